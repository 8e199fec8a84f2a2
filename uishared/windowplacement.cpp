#include "windowplacement.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

namespace WindowPlacement {

bool compositorPlacesWindows()
{
    // "wayland", "wayland-egl", "wayland-xcomposite-…": Qt's Wayland platforms.
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

bool startCompositorDrag(QWidget* widget)
{
    if (!compositorPlacesWindows())
        return false;
    QWindow* window = widget->window()->windowHandle();
    return window && window->startSystemMove();
}

} // namespace WindowPlacement
