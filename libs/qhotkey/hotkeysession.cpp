#include "hotkeysession.h"

#include "hotkeyregistry.h"

#include <QGuiApplication>

bool hotkeysForcedToDesktop()
{
    return qEnvironmentVariable("KLIQORA_HOTKEYS") == QLatin1String("desktop");
}

bool hotkeysLeftToDesktop()
{
    if (hotkeysForcedToDesktop())
        return true;
    // Without a GUI (offscreen tests, the headless runner) there is no desktop to ask.
    const bool waylandDesktop = qobject_cast<QGuiApplication*>(QCoreApplication::instance()) &&
                                QGuiApplication::platformName() != QLatin1String("offscreen") &&
                                !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    return waylandDesktop && !HotkeyRegistry::instance().isSupported();
}
