#pragma once
// xdotool drives the X server of an end-to-end test as a user would: keys, the
// pointer, and questions about the windows of the programs under test.

#include <QString>
#include <QStringList>

// Runs xdotool with the arguments and waits for it; its trimmed standard output
// goes to `output`. True when it ran and reported success.
bool xdotool(const QStringList& args, QString* output = nullptr);

// Ids of the visible windows of a process, those whose title matches `namePattern`
// (a regular expression) when one is given.
QStringList visibleWindows(qint64 pid, const QString& namePattern = QString());
