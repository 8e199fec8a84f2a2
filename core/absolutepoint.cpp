#include "absolutepoint.h"

#include "platform/backend.h"

namespace {

int scale(int pixel, int extent)
{
    // 64-bit product: the same result as the 32-bit one for every on-screen pixel,
    // without overflow for the far-off points.
    return static_cast<int>(qint64(pixel) * platform::AbsoluteRange / extent);
}

} // namespace

QPoint toAbsolutePoint(const QPoint& px)
{
    const platform::ScreenSize screen = platform::primaryScreenSize();
    if (screen.width <= 0 || screen.height <= 0)
        return QPoint(0, 0);
    return QPoint(scale(px.x(), screen.width), scale(px.y(), screen.height));
}
