#pragma once
// The exit statuses of the main program's command line, and the status a control
// request is answered with.

namespace ExitStatus {
constexpr int Done = 0;     // carried out; a run that ended by itself
constexpr int Refused = 1;  // another job runs, the job's settings are incomplete, no answer
constexpr int BadUsage = 2; // bad options, an unknown job or name, a file that cannot be run
// A run ended by a signal exits with SignalBase + the signal's number (130, 143), as
// shells report a program killed by it.
constexpr int SignalBase = 128;
} // namespace ExitStatus
