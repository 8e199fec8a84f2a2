#pragma once
// Turns SIGINT and SIGTERM into a signal on the GUI thread, so that a terminal's
// Ctrl+C or a system shutdown quits the program in order (running job stopped,
// aboutToQuit handlers run) instead of killing it mid-job.

#include <QObject>
#include <QTimer>

class TerminationWatcher : public QObject
{
    Q_OBJECT

public:
    // Installs the handlers; only one watcher should exist at a time.
    explicit TerminationWatcher(QObject* parent = nullptr);
    ~TerminationWatcher() override;

    // How often the GUI thread looks at the flag the handler sets.
    static constexpr int PollIntervalMs = 100;

signals:
    void terminationRequested();

private:
    void poll();

    QTimer m_timer;
};
