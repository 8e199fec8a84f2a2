// Linux: hotkeys follow the session. On sway the compositor owns the keyboard, and
// X11 grabs (even through Xwayland) would see keys only while an X window has the
// focus, so its bindings come first.
#include "../hotkeybackend.h"
#include "../hotkeylog.h"
#include "../sway/swayhotkeybackend.h"

#include <QCoreApplication>
#include <QGuiApplication>

// After Qt: Xlib's macros clash with Qt headers.
#include "../x11/x11hotkeybackend.h"

std::unique_ptr<HotkeyBackend> createPlatformHotkeyBackend()
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return nullptr;
    const bool waylandSession = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (waylandSession && !qEnvironmentVariableIsEmpty("SWAYSOCK")) {
        if (std::unique_ptr<HotkeyBackend> sway = SwayHotkeyBackend::create()) {
            qCInfo(hotkeyLog()) << "Global hotkeys: sway bindings, because SWAYSOCK is set";
            return sway;
        }
        qCWarning(hotkeyLog()) << "SWAYSOCK is set but sway does not answer there";
    }
    if (std::unique_ptr<HotkeyBackend> x11 = createX11HotkeyBackend()) {
        qCInfo(hotkeyLog()) << "Global hotkeys: X11 key grabs"
                            << (waylandSession ? "(X programs under Xwayland only)" : "");
        return x11;
    }
    return nullptr;
}
