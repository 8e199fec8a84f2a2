#include "headlessrun.h"

#include "appconfig.h"
#include "console.h"
#include "exitstatus.h"
#include "jobrunner.h"
#include "operationfactory.h"
#include "runnablejob.h"
#include "terminationwatcher.h"

#include "platform/backend.h"

#include <QCoreApplication>

#include <cstring>
#include <memory>

namespace {

const char NullBackendName[] = "null";

void runRepeatedly(RunnableJob& job, int repeat)
{
    // Nothing to send: without this an endless repeat would only spin.
    if (job.isEmpty())
        return;
    for (int done = 0; (repeat == 0 || done < repeat) && AppConfig::runFlag.load(); ++done)
        job.runOnce();
}

} // namespace

int runWithoutWindow(const RunOptions& options)
{
    // Watched from the start: no signal may end the process while it holds input.
    TerminationWatcher watcher;

    OperationFactory::instance()->registerBuiltinOperations();
    QString problem;
    std::shared_ptr<RunnableJob> job = loadRunnableJob(options.file, options.speed, &problem);
    if (!job) {
        Console::printError(QStringLiteral("cannot run %1: %2").arg(options.file, problem));
        return ExitStatus::BadUsage;
    }
    // The permission a desktop gave the window's runs (the portal's restore token) serves
    // here too, so that it does not ask at every run. The portal hands back a fresh
    // token for the one it took: only that is written, nothing else of the settings.
    AppConfig::keepRemoteDesktopPermission();
    if (std::strcmp(platform::backend().name(), NullBackendName) == 0) {
        Console::printError(
            QStringLiteral("cannot run %1: no display to send input to").arg(options.file));
        return ExitStatus::Refused;
    }

    JobRunner runner;
    int status = ExitStatus::Done;
    QObject::connect(&watcher, &TerminationWatcher::terminationRequested, &runner,
                     [&runner, &status](int signalNumber) {
                         runner.stop(); // joins the job, then releases what it holds
                         status = ExitStatus::SignalBase + signalNumber;
                         QCoreApplication::exit(status);
                     });
    QObject::connect(&runner, &JobRunner::finished, &runner,
                     [] { QCoreApplication::exit(ExitStatus::Done); });
    // Started from a desktop shortcut, the shortcut's modifiers may still be held.
    const int repeat = options.repeat;
    runner.start([job, repeat] { runRepeatedly(*job, repeat); }, platform::ModifierKey::Any);
    QCoreApplication::exec();
    return status;
}
