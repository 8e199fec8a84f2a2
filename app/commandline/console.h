#pragma once
// What the command line prints: plain lines on standard output, and on standard
// error each failure as "Kliqora: <text>".

#include <QString>

namespace Console {
void printLine(const QString& text);
void printError(const QString& text);
} // namespace Console
