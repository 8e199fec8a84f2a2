#pragma once
// One run of a program from start to exit, as a shell script runs it: its exit
// status, what it printed, and how long it took.

#include <QByteArray>
#include <QProcess>
#include <QStringList>

struct ProgramRun
{
    int status = -1; // -1: it did not end in time or crashed
    QByteArray out;
    QByteArray err;
    qint64 elapsedMs = 0;

    // Runs `program` with `arguments` and waits up to `timeoutMs` for its end.
    static ProgramRun
    of(const QString& program, const QStringList& arguments, int timeoutMs = 20000,
       const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());
};
