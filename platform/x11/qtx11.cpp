#include "platform/qtx11.h"

#include <QByteArray>
#include <QGuiApplication>
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
#include <QX11Info>
#endif

// After Qt: Xlib's macros (None, CursorShape, KeyPress) clash with Qt headers.
#include <X11/Xlib.h>

namespace platform::qtx11 {

Display* display()
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return nullptr;
        // The one place that knows how each Qt hands out its connection.
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    return QX11Info::isPlatformX11() ? QX11Info::display() : nullptr;
#else
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->display() : nullptr;
#endif
}

bool compositingManagerRunning()
{
    Display* connection = display();
    if (!connection)
        return false;
    const QByteArray selection = "_NET_WM_CM_S" + QByteArray::number(DefaultScreen(connection));
    const Atom atom = XInternAtom(connection, selection.constData(), False);
    return XGetSelectionOwner(connection, atom) != None;
}

} // namespace platform::qtx11
