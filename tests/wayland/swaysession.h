#pragma once
// The headless sway of the test run (swaysession.sh, a CTest fixture) as seen from
// a test: this process and the programs it starts connect to it.

#include <QString>
#include <QStringList>

namespace SwaySession {

// Points WAYLAND_DISPLAY and SWAYSOCK at the session named by KLIQORA_SWAY_SESSION;
// false when there is none.
bool enter();

// Runs a sway command through swaymsg; its JSON answer, empty on failure.
QByteArray command(const QStringList& arguments);

// Whether the process `pid` has a window on the desktop (shown, even if another
// program's fullscreen window covers it).
bool hasWindow(qint64 pid);

} // namespace SwaySession
