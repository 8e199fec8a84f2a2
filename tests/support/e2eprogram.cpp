#include "e2eprogram.h"

#include "testprobe.h"
#include "waituntil.h"
#include "xdotool.h"

#include <QFileInfo>

namespace {
constexpr int StartTimeoutMs = 10000;
// Generous: a busy build machine is slow to map the first window.
constexpr int WindowTimeoutMs = 15000;
constexpr int KillTimeoutMs = 5000;

QString programName(const QString& program)
{
    return QFileInfo(program).completeBaseName();
}
} // namespace

E2eProgram::E2eProgram(const QString& program, const QStringList& arguments)
    : m_probe(TestProbe::socketPath(m_probeFolder.path(), programName(program)))
{
    setProgram(program);
    setArguments(arguments);
    setProcessChannelMode(QProcess::ForwardedChannels);
    // QTemporaryDir makes the folder for this user only.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QLatin1String(TestProbe::EnvironmentVariable), m_probeFolder.path());
    setProcessEnvironment(environment);
}

E2eProgram::~E2eProgram()
{
    if (state() != QProcess::NotRunning) {
        kill();
        waitForFinished(KillTimeoutMs);
    }
}

bool E2eProgram::startAndWaitForWindow(const QString& titlePrefix)
{
    const QString name = programName(program());
    start();
    if (!waitForStarted(StartTimeoutMs)) {
        qWarning("%s did not start: %s", qPrintable(name), qPrintable(errorString()));
        return false;
    }
    const bool shown =
        waitUntil([&] { return state() == QProcess::NotRunning || hasVisibleWindow(titlePrefix); },
                  WindowTimeoutMs);
    if (state() != QProcess::Running) {
        qWarning("%s ended at once: another instance on this machine holds its lock",
                 qPrintable(name));
        return false;
    }
    if (!shown) {
        qWarning("%s shows no window", qPrintable(name));
        return false;
    }
    return m_probe.waitUntilAnswering(WindowTimeoutMs);
}

QStringList E2eProgram::visibleWindows(const QString& namePattern) const
{
    return ::visibleWindows(processId(), namePattern);
}

bool E2eProgram::hasVisibleWindow(const QString& titlePrefix) const
{
    const QStringList windows = visibleWindows();
    if (titlePrefix.isEmpty())
        return !windows.isEmpty();
    for (const QString& id : windows) {
        QString title;
        if (xdotool({QStringLiteral("getwindowname"), id}, &title) && title.startsWith(titlePrefix))
            return true;
    }
    return false;
}

bool E2eProgram::quit(int timeoutMs)
{
    terminate();
    return waitForFinished(timeoutMs);
}

ProbeClient E2eProgram::probeOf(const QString& programName) const
{
    return ProbeClient(TestProbe::socketPath(m_probeFolder.path(), programName));
}
