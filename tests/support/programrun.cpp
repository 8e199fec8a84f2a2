#include "programrun.h"

#include <QElapsedTimer>

ProgramRun ProgramRun::of(const QString& program, const QStringList& arguments, int timeoutMs,
                          const QProcessEnvironment& environment)
{
    ProgramRun run;
    QProcess process;
    process.setProcessEnvironment(environment);
    QElapsedTimer clock;
    clock.start();
    process.start(program, arguments);
    const bool ended = process.waitForFinished(timeoutMs);
    run.elapsedMs = clock.elapsed();
    if (!ended) {
        process.kill();
        process.waitForFinished();
    } else if (process.exitStatus() == QProcess::NormalExit) {
        run.status = process.exitCode();
    }
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}
