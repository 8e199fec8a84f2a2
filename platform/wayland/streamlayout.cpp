#include "streamlayout.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace platform::wayland {
namespace {

int clampInto(int value, int start, int length)
{
    return std::clamp(value, start, start + std::max(length, 1) - 1);
}

// Squared distance from (x, y) to the nearest pixel of `rect`.
int64_t distanceSquared(const LayoutRect& rect, int x, int y)
{
    const int64_t dx = x - clampInto(x, rect.x, rect.width);
    const int64_t dy = y - clampInto(y, rect.y, rect.height);
    return dx * dx + dy * dy;
}

} // namespace

StreamLayout::StreamLayout(std::vector<LayoutRect> streams)
    : m_streams(std::move(streams)), m_box(layoutBounds(m_streams))
{
}

ScreenSize StreamLayout::size() const
{
    return {m_box.width, m_box.height};
}

StreamPoint StreamLayout::locate(int x, int y) const
{
    const int globalX = m_box.x + x;
    const int globalY = m_box.y + y;
    size_t nearest = 0;
    int64_t nearestDistance = std::numeric_limits<int64_t>::max();
    for (size_t i = 0; i < m_streams.size(); ++i) {
        const int64_t distance = distanceSquared(m_streams[i], globalX, globalY);
        if (distance < nearestDistance) {
            nearest = i;
            nearestDistance = distance;
        }
    }
    const LayoutRect& stream = m_streams[nearest];
    return {nearest, clampInto(globalX, stream.x, stream.width) - stream.x,
            clampInto(globalY, stream.y, stream.height) - stream.y};
}

} // namespace platform::wayland
