#include "jobrunner.h"

#include "appconfig.h"
#include "logcategory.h"
#include "waitclock.h"

#include "platform/backend.h"

namespace {

// How often the held modifiers are looked at while the worker waits for their release.
constexpr std::chrono::milliseconds ModifierPoll{5};

// Waits (bounded) until none of `modifiers` is held. A job started by Ctrl+F5 would
// otherwise click or type with the user's Ctrl still down: Ctrl+click, Ctrl+A.
// False when the job was stopped meanwhile.
bool waitForModifierRelease(uint32_t modifiers)
{
    WaitClock& clock = waitClock();
    const auto deadline = clock.now() + std::chrono::milliseconds(JobRunner::ModifierReleaseWaitMs);
    while (AppConfig::runFlag.load() && (platform::backend().heldModifiers() & modifiers) &&
           clock.now() < deadline)
        clock.sleepUntil(clock.now() + ModifierPoll);
    return AppConfig::runFlag.load();
}

} // namespace

JobRunner::JobRunner(QObject* parent) : QObject(parent)
{
    m_endPause.setSingleShot(true);
    m_endPause.setTimerType(Qt::PreciseTimer); // a coarse timer may fire early
    m_endPause.setInterval(EndPauseMs);
    connect(&m_endPause, &QTimer::timeout, this, [this] {
        endRun(EndReason::EndedByItself);
        emit finished();
    });
}

JobRunner::~JobRunner()
{
    // A joinable std::thread must never be destroyed: that ends the process.
    stop();
}

bool JobRunner::start(Body body, uint32_t modifiers)
{
    if (AppConfig::runFlag.load())
        return false; // a job runs already: never a second worker
    // A previous run whose flag someone else cleared: its worker ends promptly.
    if (isRunning())
        endRun(EndReason::Stopped);
    bool idle = false;
    if (!AppConfig::runFlag.compare_exchange_strong(idle, true))
        return false;
    if (!platform::backend().setKeepAwake(true))
        qCDebug(logCategory()) << "Keep-awake request not available";

    m_body = std::move(body);
    const quint64 run = ++m_run;
    m_worker = std::thread([this, run, modifiers] {
        if (modifiers == 0 || waitForModifierRelease(modifiers))
            m_body();
        QMetaObject::invokeMethod(
            this, [this, run] { onBodyReturned(run); }, Qt::QueuedConnection);
    });
    return true;
}

void JobRunner::stop()
{
    if (isRunning())
        endRun(EndReason::Stopped);
}

void JobRunner::onBodyReturned(quint64 run)
{
    if (run != m_run) {
        qCDebug(logCategory()) << "Ignoring the end of an earlier run";
        return;
    }
    m_endPause.start(); // the last input settles before anything comes back
}

bool JobRunner::releasesHeldInput(EndReason reason)
{
    // What a job can leave pressed: a press step of a flow without its release, a
    // key presser stopped in a hold, a replay stopped in a drag. A stop is the
    // user's (or the program's exit): nothing may stay down. A job that ends by
    // itself did what it was told: "hold W" on one hotkey and "release W" on
    // another is how a flow keeps a key down; the program's exit lets go of it.
    switch (reason) {
    case EndReason::Stopped:
        return true;
    case EndReason::EndedByItself:
        return false;
    }
    return true;
}

void JobRunner::endRun(EndReason reason)
{
    ++m_run;
    m_endPause.stop();
    AppConfig::runFlag.store(false);
    // Joined on this thread only; the worker never ends its own run.
    if (m_worker.joinable())
        m_worker.join();
    m_worker = std::thread();
    m_body = nullptr; // what the body captured goes with its run, on this thread
    if (releasesHeldInput(reason))
        platform::releaseHeldInput();
    platform::backend().setKeepAwake(false);
}
