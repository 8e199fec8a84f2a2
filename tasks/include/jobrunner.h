#pragma once
// Runs a job on a worker thread of its own and ends it, for every program that runs
// jobs: the main program's pages, the designer's test run, a run without any window.
// Only one job runs in the whole process at a time (AppConfig::runFlag). Widget-free:
// hiding and showing windows is left to the owner, which learns of a job that ends
// by itself through finished().
//
// A run:
//   start()   sets the run flag, keeps the system awake and starts the worker, which
//             waits for the user to let go of the starting hotkey's modifiers and then
//             runs the job's body. The body polls the run flag in every loop and wait.
//   stop()    clears the run flag, joins the worker, releases what the job left
//             pressed and ends the keep-awake request.
//   The body returns by itself: after EndPauseMs (the last input settles before a
//   window comes back) the runner does what stop() does, except that what the job
//   left pressed stays pressed (a flow's "hold W"), and emits finished(). The
//   program lets go of it at its exit (platform::releaseHeldInput()).
//
// Every call is made on the thread that owns the runner (the GUI thread).

#include <QObject>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <thread>

class JobRunner : public QObject
{
    Q_OBJECT

public:
    using Body = std::function<void()>;

    // Pause between a job ending by itself and finished().
    static constexpr int EndPauseMs = 500;
    // Longest wait, before the body, for the user to let go of the modifiers.
    static constexpr int ModifierReleaseWaitMs = 1000;

    explicit JobRunner(QObject* parent = nullptr);
    // Stops a running job.
    ~JobRunner() override;

    // Runs `body` on the worker once none of `modifiers` (platform::ModifierKey bits,
    // those of the hotkey that started the job) is held any more, or after
    // ModifierReleaseWaitMs. Refused (false, nothing changes) while any job of the
    // process runs. The body is destroyed on this thread once the run has ended, so
    // what it captures (a copy of what it works on) lives exactly as long as the run.
    bool start(Body body, uint32_t modifiers = 0);

    // Ends this runner's job, if it has one, and waits for its worker; the body stops
    // at its next look at the run flag.
    void stop();

    // From start() until stop() or finished().
    bool isRunning() const { return m_worker.joinable(); }

signals:
    // The job ended by itself and the run is over (after the pause).
    void finished();

private:
    enum class EndReason
    {
        Stopped,      // by stop(): the user's key, program exit, a page going away
        EndedByItself // the body returned
    };

    // Whether a run that ended this way lets go of what its job left pressed.
    static bool releasesHeldInput(EndReason reason);

    void onBodyReturned(quint64 run);
    void endRun(EndReason reason);

    std::thread m_worker;
    Body m_body;
    // Changes at every start and every end. The worker's report that its body
    // returned names the run it belongs to; a report that arrives after its run has
    // ended (stopped, perhaps started again) is stale and changes nothing.
    quint64 m_run = 0;
    QTimer m_endPause;
};
