#pragma once
// Turns SIGINT and SIGTERM into a Qt signal on the thread that made the watcher (the
// GUI thread), so that a terminal's Ctrl+C or a system shutdown quits the program in
// order (running job stopped, aboutToQuit handlers run) instead of killing it
// mid-job. The handler only writes the signal's number into a pipe whose other end
// the event loop watches: it wakes the loop at once and touches nothing else.
//
// One watcher at a time; it restores the actions it replaced when it goes.

#include <QObject>

#include <csignal>

class QSocketNotifier;

class TerminationWatcher : public QObject
{
    Q_OBJECT

public:
    explicit TerminationWatcher(QObject* parent = nullptr);
    ~TerminationWatcher() override;
    TerminationWatcher(const TerminationWatcher&) = delete;
    TerminationWatcher& operator=(const TerminationWatcher&) = delete;

signals:
    // SIGINT or SIGTERM arrived; once per signal delivered.
    void terminationRequested(int signalNumber);

private:
    void readSignals();

    int m_pipe[2] = {-1, -1};
    QSocketNotifier* m_notifier = nullptr;
    struct sigaction m_previousInt = {};
    struct sigaction m_previousTerm = {};
};
