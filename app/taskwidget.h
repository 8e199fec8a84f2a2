#pragma once
// The base of the job pages. A page supplies its form, its settings check and its
// job body; this class runs the job through a JobRunner (one worker thread, one job
// in the whole program at a time), ties it to the page's global hotkey and hides
// the main window while it runs.
//
// A page implements:
//   initUi()          texts, icons, sizes and style sheets of its form
//   initConnections() signal wiring; creates m_hotkey and adds it to HotkeyManage
//   prepareStart()    reads and checks the settings; false refuses the start (the
//                     page tells the user why)
//   runTask()         the job, on the worker thread: it polls AppConfig::runFlag in
//                     every loop and wait, touches no widget, and returns when done
// and its constructor calls initUi() and then initConnections().
//
// runTask() runs on the derived object: a page that can be destroyed while its job
// runs calls stopTaskForExit() in its own destructor (MainWidget stops every job
// before it destroys its pages, so the four pages need not).
//
// A page tells the user why it refused a start through warnUser(): a message box,
// or, while a command of the command line is carried out (CommandScope), the text
// of that command's answer.

#include "commandline/jobspec.h"

#include <QWidget>

class JobRunner;
class QHotkey;

class TaskWidget : public QWidget
{
    Q_OBJECT

public:
    // While one exists (GUI thread, one at a time), the pages' warnings are
    // collected here instead of shown: a command from the command line is carried
    // out, its sender gets the text, and a modal box would hold the instance while
    // the command waits. A start made meanwhile waits for the release of every
    // modifier, as the keys of the desktop shortcut that ran the command are unknown.
    class CommandScope
    {
    public:
        CommandScope();
        ~CommandScope();
        CommandScope(const CommandScope&) = delete;
        CommandScope& operator=(const CommandScope&) = delete;

        static CommandScope* current();
        // The warnings given meanwhile, one a line; empty when none.
        QString warnings() const { return m_warnings; }
        void addWarning(const QString& text);

    private:
        QString m_warnings;
    };

    explicit TaskWidget(QWidget* parent = nullptr);
    // Stops a running job of this page (through the runner, a child of the page).
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
    // `job` is the page's job, whose command the dialog shows where the desktop binds keys.
    bool editHotkey(QString& hotkey, const JobSpec& job);
    // editHotkey(), telling the user when the new key could not be registered.
    bool editHotkeyOrWarn(QString& hotkey, const JobSpec& job);

    // A failure or a refused start, told to the user (see CommandScope).
    void warnUser(const QString& title, const QString& text);

    // False, after telling the user, when a job that stops after a number of
    // rounds would get none (an empty or zero count): it would end at once and
    // do nothing without a word.
    bool acceptRepeatCount(const QString& countText);

    void setHotkeysBlocked(bool block);
    void hideMainWindow();
    void restoreMainWindow();

    // The modifiers of the key that stays live while the job runs, as
    // platform::ModifierKey bits: the job's first input waits for their release.
    uint32_t activeHotkeyModifiers() const;

signals:
    // The job ended by itself and the window is back.
    void sigTaskFinished();

protected:
    virtual void initUi() = 0;
    virtual void initConnections() = 0;
    virtual void runTask() = 0;
    virtual bool prepareStart() = 0;

    QHotkey* m_hotkey = nullptr;       // the page's own start/stop key
    QHotkey* m_activeHotkey = nullptr; // the key that stays live while the job runs
    bool m_running = false;

private:
    void onTaskFinished();
    void finishStop(bool restoreWindow);

    JobRunner* m_runner;
};
