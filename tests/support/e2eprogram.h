#pragma once
// One of our programs run for real by an end-to-end test, on the test's X server:
// started as a user starts it, watched through its windows and its test probe,
// asked to quit as a session end asks it. A program still running when this goes
// away is killed.

#include "probeclient.h"

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

class E2eProgram : public QProcess
{
public:
    // The environment is the test's own plus the probe's folder; change it through
    // processEnvironment() so the probe stays on.
    explicit E2eProgram(const QString& program, const QStringList& arguments = QStringList());
    ~E2eProgram() override;
    E2eProgram(const E2eProgram&) = delete;
    E2eProgram& operator=(const E2eProgram&) = delete;

    // Starts the program and waits for its first window and for its probe, which
    // answers once the start-up work is done. False, after a warning that says why,
    // when it does not start, ends at once (another instance holds its lock) or
    // never answers. With a title prefix only a window whose title starts with it
    // counts.
    bool startAndWaitForWindow(const QString& titlePrefix = QString());

    // Ids of its visible windows, or only those whose title matches `namePattern`.
    QStringList visibleWindows(const QString& namePattern = QString()) const;
    bool hasVisibleWindow(const QString& titlePrefix = QString()) const;

    // Asks it to quit (SIGTERM on Unix) and waits; true when it ended in time.
    bool quit(int timeoutMs);

    // Its test probe.
    ProbeClient& probe() { return m_probe; }
    // The probe of another of our programs that this one starts (it inherits the
    // probe's folder), e.g. the designer started by the main program.
    ProbeClient probeOf(const QString& programName) const;

private:
    QTemporaryDir m_probeFolder;
    ProbeClient m_probe;
};
