// Linux: hotkeys follow the session. On sway the compositor owns the keyboard, and
// X11 grabs (even through Xwayland) would see keys only while an X window has the
// focus, so its bindings come first; then the desktop portal's GlobalShortcuts (KDE).
// A Wayland desktop with neither keeps global keys to itself (GNOME): no X11 grabs
// there either, as they would work only while an X window has the focus.
#include "../hotkeybackend.h"
#include "../hotkeylog.h"
#include "../portal/portalhotkeybackend.h"
#include "../sway/swayhotkeybackend.h"
#include "hotkeysession.h"

#include <QCoreApplication>
#include <QGuiApplication>

// After Qt: Xlib's macros clash with Qt headers.
#include "../x11/x11hotkeybackend.h"

namespace {

std::unique_ptr<HotkeyBackend> createWaylandHotkeyBackend()
{
    if (!qEnvironmentVariableIsEmpty("SWAYSOCK")) {
        if (std::unique_ptr<HotkeyBackend> sway = SwayHotkeyBackend::create()) {
            qCInfo(hotkeyLog()) << "Global hotkeys: sway bindings, because SWAYSOCK is set";
            return sway;
        }
        qCWarning(hotkeyLog()) << "SWAYSOCK is set but sway does not answer there";
    }
    if (std::unique_ptr<HotkeyBackend> portal = PortalHotkeyBackend::create()) {
        qCInfo(hotkeyLog()) << "Global hotkeys: the desktop portal's GlobalShortcuts";
        return portal;
    }
    qCInfo(hotkeyLog()) << "Global hotkeys: none, this Wayland desktop offers neither sway "
                           "bindings nor the GlobalShortcuts portal; keys are bound to "
                           "Kliqora --toggle in the desktop's own settings";
    return nullptr;
}

} // namespace

std::unique_ptr<HotkeyBackend> createPlatformHotkeyBackend()
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return nullptr;
    if (hotkeysForcedToDesktop()) {
        qCInfo(hotkeyLog()) << "Global hotkeys: left to the desktop, as KLIQORA_HOTKEYS says";
        return nullptr;
    }
    if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return createWaylandHotkeyBackend();
    if (std::unique_ptr<HotkeyBackend> x11 = createX11HotkeyBackend()) {
        qCInfo(hotkeyLog()) << "Global hotkeys: X11 key grabs";
        return x11;
    }
    return nullptr;
}
