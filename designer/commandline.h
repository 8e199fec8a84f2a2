#pragma once
// The designer's command line: "-f <file>".

#include <QStringList>

// The argument after the first "-f" (exact and case-sensitive), unchanged; empty when
// there is no "-f" or nothing follows it. arguments[0] is the program.
QString designerFilePathFromArguments(const QStringList& arguments);
