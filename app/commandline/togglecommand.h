#pragma once
// The command line that starts or stops a job of the running Kliqora, as a user binds
// it to a key in the desktop's own keyboard settings where programs cannot take
// global keys: Kliqora --toggle 'flow:My flow'. Desktops read such a command as a
// POSIX shell does, so every word that needs it is quoted for one.

#include "jobspec.h"

#include <QString>

// `word` as one word of a POSIX shell: as it is when it holds only characters no shell
// treats specially, else in single quotes (a quote inside as '\'').
QString shellQuoted(const QString& word);

// The program to name in the command: "Kliqora" when that name on the PATH is this
// very program, else this program's full path (a build not installed).
QString toggleCommandProgram();

// "<program> --toggle <job>", each word quoted as needed.
QString toggleCommandLine(const JobSpec& job, const QString& program = toggleCommandProgram());
