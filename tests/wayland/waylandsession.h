#pragma once
// The headless compositor of the test run (swaysession.sh or muttersession.sh, a
// CTest fixture) as seen from a test: this process and the programs it starts
// connect to it.

#include <QRect>
#include <QString>
#include <QStringList>

namespace WaylandSession {

// Points WAYLAND_DISPLAY, and SWAYSOCK or the session bus where the compositor has
// one, at the session named by KLIQORA_WAYLAND_SESSION; false when there is none.
bool enter();

// sway only: runs a sway command through swaymsg; its JSON answer, empty on failure.
QByteArray command(const QStringList& arguments);

// sway only: whether the process `pid` has a window on the desktop (shown, even if another
// program's fullscreen window covers it).
bool hasWindow(qint64 pid);

// sway only: a window on the desktop found by its title.
struct Window
{
    bool found = false;
    bool floating = false;
    QRect rect; // in the output layout
};
Window windowTitled(const QString& title);

} // namespace WaylandSession
