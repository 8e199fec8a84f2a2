#pragma once
// The base of the job pages. A page supplies its form, its settings check and its
// job body; this class starts the job on one worker thread, stops it, ties it to
// the page's global hotkey, hides the main window while it runs and keeps the
// system awake. One job runs at a time in the whole program (AppConfig::runFlag).
//
// A page implements:
//   initUi()          texts, icons, sizes and style sheets of its form
//   initConnections() signal wiring; creates m_hotkey and adds it to HotkeyManage
//   prepareStart()    reads and checks the settings; false refuses the start (the
//                     page tells the user why)
//   runTask()         the job, on the worker thread: it polls AppConfig::runFlag in
//                     every loop and wait, touches no widget, and ends by emitting
//                     sigTaskFinished()
// and its constructor calls initUi() and then initConnections().
//
// runTask() runs on the derived object: a page that can be destroyed while its job
// runs calls stopTaskForExit() in its own destructor (MainWidget stops every job
// before it destroys its pages, so the four pages need not).

#include <QWidget>

#include <atomic>
#include <mutex>
#include <thread>

class QHotkey;

class TaskWidget : public QWidget
{
    Q_OBJECT

public:
    explicit TaskWidget(QWidget* parent = nullptr);
    // Stops a running job of this page (clears the flag, joins the worker).
    ~TaskWidget() override;

    bool isRunning() const { return m_running; }

    // GUI thread only.
    void startTask();
    void stopTask();
    void toggleTask();

    // Ends this page's job for program exit: like stopTask() but the main window
    // stays hidden. Does nothing when the page is idle.
    void stopTaskForExit();

    // Lets the user pick a new key for m_hotkey. On confirmation `hotkey` receives
    // the text and m_hotkey is re-registered with it (unregistered for an empty
    // text). False only when a non-empty key could not be registered.
    bool editHotkey(QString& hotkey);
    // editHotkey(), telling the user when the new key could not be registered.
    bool editHotkeyOrWarn(QString& hotkey);

    void setHotkeysBlocked(bool block);
    void hideMainWindow();
    void restoreMainWindow();

    // Pause between a job ending by itself and the window coming back.
    static constexpr int FinishedPauseMs = 500;
    // Longest wait, before a job's first input, for the user to let go of the
    // modifiers of the hotkey that started it.
    static constexpr int ModifierReleaseWaitMs = 1000;

    // The modifiers of the key that stays live while the job runs, as
    // platform::ModifierKey bits.
    uint32_t activeHotkeyModifiers() const;

signals:
    void sigTaskFinished();

public slots:
    void onTaskFinished();

protected:
    virtual void initUi() = 0;
    virtual void initConnections() = 0;
    virtual void runTask() = 0;
    virtual bool prepareStart() = 0;

    QHotkey* m_hotkey = nullptr;       // the page's own start/stop key
    QHotkey* m_activeHotkey = nullptr; // the key that stays live while the job runs
    bool m_running = false;

private:
    // Clears the run flag, joins the worker and releases the keys and buttons the
    // job left down; true when this page had a worker.
    bool endWorker();
    void finishStop(bool restoreWindow);

    std::thread m_worker;
    // True from the worker's start until runTask() returns. A finish signal that
    // arrives while a newer worker runs is from an earlier run and is ignored.
    std::atomic<bool> m_workerActive{false};
    std::mutex m_mutex; // serialises the flag check-and-set with the start and the join
};
