#include "errorreporter.h"

#include <atomic>
#include <cstdio>

namespace {
std::atomic<ErrorReporter*> installedReporter{nullptr};
} // namespace

void ErrorReporter::install(ErrorReporter* reporter)
{
    installedReporter.store(reporter);
}

void ErrorReporter::report(const QString& title, const QString& text)
{
    if (ErrorReporter* reporter = installedReporter.load()) {
        reporter->showError(title, text);
        return;
    }
    const QByteArray line = text.toLocal8Bit() + '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
    std::fflush(stderr);
}
