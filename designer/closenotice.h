#pragma once
// Tells the main program that the designer closed a flow file, so it reloads it.

#include <QString>

// Connects to the main program's local server (waiting at most 1 s) and writes the
// path as UTF-8 with nothing around it. False when nobody listens or the write fails;
// that is not an error, the main program may simply not be running.
bool sendCloseNotice(const QString& filePath, const QString& serverName);
