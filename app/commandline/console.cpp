#include "console.h"

#include <cstdio>

namespace {

void write(std::FILE* stream, const QString& text)
{
    const QByteArray line = text.toLocal8Bit() + '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), stream);
    std::fflush(stream);
}

} // namespace

namespace Console {

void printLine(const QString& text)
{
    write(stdout, text);
}

void printError(const QString& text)
{
    write(stderr, QStringLiteral("Kliqora: ") + text);
}

} // namespace Console
