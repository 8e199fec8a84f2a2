// Linux: the backend follows the session, not Qt's platform plugin. In a Wayland
// session the X11 backend would reach only the X programs running under
// Xwayland, so Wayland comes first even when Qt itself runs through Xwayland.
#include "../platformlog.h"
#include "../wayland/waylandbackend.h"
#include "../x11/x11backend.h"
#include "null/nullbackend.h"

#include <QtGlobal>

#include <string>

namespace platform {
namespace {

// A backend that reaches less than the session's own programs is worth a warning.
void logChoice(const char* backend, const std::string& reason, bool degraded)
{
    if (degraded)
        qCWarning(platformLog(), "Input backend: %s, because %s", backend, reason.c_str());
    else
        qCInfo(platformLog(), "Input backend: %s, because %s", backend, reason.c_str());
}

} // namespace

std::unique_ptr<Backend> createSystemBackend(InputReach& reach)
{
    std::string waylandFailure;
    if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        std::string injector;
        if (std::unique_ptr<Backend> wayland = wayland::createWaylandBackend(injector)) {
            logChoice("wayland", "WAYLAND_DISPLAY is set (" + injector + ")", false);
            reach = InputReach::Desktop;
            return wayland;
        }
        waylandFailure = "WAYLAND_DISPLAY is set but " + injector;
    }
    if (std::unique_ptr<Backend> x11 = x11::createX11Backend()) {
        logChoice("x11",
                  waylandFailure.empty() ? std::string("an X display is reachable")
                                         : waylandFailure + "; X programs (Xwayland) only",
                  !waylandFailure.empty());
        reach = waylandFailure.empty() ? InputReach::Desktop : InputReach::XProgramsOnly;
        return x11;
    }
    logChoice("null",
              (waylandFailure.empty() ? std::string() : waylandFailure + ", and ") +
                  "no X display is usable: no input can be injected",
              true);
    reach = InputReach::Nothing;
    return std::make_unique<NullBackend>();
}

} // namespace platform
