#pragma once
// --list flows|recordings: the names the custom flows page and the record page
// show, read from the files without starting the program (for the shell's
// completion of --toggle and for scripts). Oldest first, as the pages list them.

#include <QStringList>

// `what` is CommandOptions::ListFlows or ListRecordings. Needs the settings read
// (the save folder) and the operation prototypes registered.
QStringList listedNames(const QString& what);
