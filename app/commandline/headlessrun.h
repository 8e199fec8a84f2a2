#pragma once
// --run FILE: a flow or a recording run in this process, without any window, tray,
// single-instance lock, update check or settings written (except the desktop's
// permission to send input, when its portal hands a new one); it needs only the
// display the input goes to. SIGINT and SIGTERM stop it (within a wait slice, 50 ms), every
// key and button it holds is released, and it exits with 128 + the signal's number.

#include "commandlinerequest.h"

// Runs it and returns the exit status: 0 when the run ended by itself, 2 for a file
// that cannot be run (nothing is sent), 1 without a display. Needs the application
// object; runs its event loop.
int runWithoutWindow(const RunOptions& options);
