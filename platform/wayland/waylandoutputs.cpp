#include "waylandoutputs.h"

#include "xdg-output-unstable-v1-client-protocol.h"

#include <wayland-client.h>

#include <algorithm>
#include <climits>

namespace platform::wayland {
namespace {

// wl_output 2 added scale.
constexpr uint32_t kOutputVersion = 2;

bool swapsAxes(int32_t transform)
{
    // The 90 and 270 degree rotations, flipped or not.
    return transform % 2 == 1;
}

} // namespace

struct WaylandOutputs::Output
{
    uint32_t name = 0;
    wl_output* output = nullptr;
    zxdg_output_v1* xdgOutput = nullptr;
    LayoutRect advertised; // position from geometry, size from the current mode
    int32_t scale = 1;
    int32_t transform = WL_OUTPUT_TRANSFORM_NORMAL;
    LayoutRect logical;
    bool logicalPosition = false;
    bool logicalSize = false;

    ~Output()
    {
        if (xdgOutput)
            zxdg_output_v1_destroy(xdgOutput);
        if (output)
            wl_output_destroy(output);
    }

    bool answered() const { return logicalPosition && logicalSize; }

    LayoutRect advertisedRect() const
    {
        LayoutRect r = advertised;
        if (swapsAxes(transform))
            std::swap(r.width, r.height);
        r.width /= std::max(scale, 1);
        r.height /= std::max(scale, 1);
        return r;
    }
};

namespace {

using Output = WaylandOutputs::Output;

void onGeometry(void* data, wl_output*, int32_t x, int32_t y, int32_t, int32_t, int32_t,
                const char*, const char*, int32_t transform)
{
    auto* output = static_cast<Output*>(data);
    output->advertised.x = x;
    output->advertised.y = y;
    output->transform = transform;
}

void onMode(void* data, wl_output*, uint32_t flags, int32_t width, int32_t height, int32_t)
{
    if (!(flags & WL_OUTPUT_MODE_CURRENT))
        return;
    auto* output = static_cast<Output*>(data);
    output->advertised.width = width;
    output->advertised.height = height;
}

void onDone(void*, wl_output*) {}

void onScale(void* data, wl_output*, int32_t factor)
{
    static_cast<Output*>(data)->scale = factor;
}

// Names and descriptions (version 4) are not asked for.
const wl_output_listener kOutputListener = {onGeometry, onMode, onDone, onScale, nullptr, nullptr};

void onLogicalPosition(void* data, zxdg_output_v1*, int32_t x, int32_t y)
{
    auto* output = static_cast<Output*>(data);
    output->logical.x = x;
    output->logical.y = y;
    output->logicalPosition = true;
}

void onLogicalSize(void* data, zxdg_output_v1*, int32_t width, int32_t height)
{
    auto* output = static_cast<Output*>(data);
    output->logical.width = width;
    output->logical.height = height;
    output->logicalSize = true;
}

void onXdgDone(void*, zxdg_output_v1*) {}

const zxdg_output_v1_listener kXdgOutputListener = {onLogicalPosition, onLogicalSize, onXdgDone,
                                                    nullptr, nullptr};

} // namespace

LayoutRect layoutBounds(const std::vector<LayoutRect>& outputs)
{
    if (outputs.empty())
        return {};
    int left = INT_MAX;
    int top = INT_MAX;
    int right = INT_MIN;
    int bottom = INT_MIN;
    for (const LayoutRect& r : outputs) {
        left = std::min(left, r.x);
        top = std::min(top, r.y);
        right = std::max(right, r.x + r.width);
        bottom = std::max(bottom, r.y + r.height);
    }
    return {left, top, right - left, bottom - top};
}

ScreenSize layoutExtent(const std::vector<LayoutRect>& outputs)
{
    const LayoutRect bounds = layoutBounds(outputs);
    return {bounds.width, bounds.height};
}

WaylandOutputs::WaylandOutputs() = default;
WaylandOutputs::~WaylandOutputs() = default;

void WaylandOutputs::add(wl_registry* registry, uint32_t name, uint32_t version)
{
    auto output = std::make_unique<Output>();
    output->name = name;
    output->output = static_cast<wl_output*>(
        wl_registry_bind(registry, name, &wl_output_interface, std::min(version, kOutputVersion)));
    wl_output_add_listener(output->output, &kOutputListener, output.get());
    describe(*output);
    m_outputs.push_back(std::move(output));
}

void WaylandOutputs::remove(uint32_t name)
{
    m_outputs.erase(std::remove_if(m_outputs.begin(), m_outputs.end(),
                                   [name](const auto& output) { return output->name == name; }),
                    m_outputs.end());
}

void WaylandOutputs::setXdgOutputManager(zxdg_output_manager_v1* manager)
{
    m_xdgOutputManager = manager;
    for (const auto& output : m_outputs)
        describe(*output);
}

void WaylandOutputs::refresh()
{
    for (const auto& output : m_outputs) {
        if (output->xdgOutput)
            zxdg_output_v1_destroy(output->xdgOutput);
        output->xdgOutput = nullptr;
        output->logicalPosition = false;
        output->logicalSize = false;
        describe(*output);
    }
}

void WaylandOutputs::describe(Output& output)
{
    if (!m_xdgOutputManager || output.xdgOutput)
        return;
    output.xdgOutput = zxdg_output_manager_v1_get_xdg_output(m_xdgOutputManager, output.output);
    zxdg_output_v1_add_listener(output.xdgOutput, &kXdgOutputListener, &output);
}

std::vector<LayoutRect> WaylandOutputs::rects() const
{
    std::vector<LayoutRect> result;
    for (const auto& output : m_outputs) {
        if (!m_xdgOutputManager)
            result.push_back(output->advertisedRect());
        else if (output->answered())
            result.push_back(output->logical);
    }
    return result;
}

} // namespace platform::wayland
