#include "terminationwatcher.h"

#include <atomic>
#include <csignal>

namespace {
// The only thing a signal handler may safely do here: set a lock-free flag.
std::atomic<bool> terminationPending{false};
static_assert(std::atomic<bool>::is_always_lock_free, "flag must be usable in a signal handler");

extern "C" void onTerminationSignal(int)
{
    terminationPending.store(true);
}
} // namespace

TerminationWatcher::TerminationWatcher(QObject* parent) : QObject(parent)
{
    terminationPending.store(false);
    std::signal(SIGINT, onTerminationSignal);
    std::signal(SIGTERM, onTerminationSignal);
    connect(&m_timer, &QTimer::timeout, this, &TerminationWatcher::poll);
    m_timer.start(PollIntervalMs);
}

TerminationWatcher::~TerminationWatcher()
{
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
}

void TerminationWatcher::poll()
{
    if (terminationPending.exchange(false))
        emit terminationRequested();
}
