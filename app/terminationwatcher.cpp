#include "terminationwatcher.h"

#include "logcategory.h"

#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The write end of the active watcher's pipe, for the handler; -1 without a watcher.
std::atomic<int> signalPipe{-1};
static_assert(std::atomic<int>::is_always_lock_free, "read in a signal handler");

extern "C" void onTerminationSignal(int signalNumber)
{
    const int savedErrno = errno; // the interrupted code may be about to read it
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    const int fd = signalPipe.load();
    // Non-blocking: with the pipe full (thousands of signals unread) one more is dropped.
    if (fd >= 0) {
        [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
    }
    errno = savedErrno;
}

void watch(int signalNumber, struct sigaction* previous)
{
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    // Interrupted system calls elsewhere in the program resume instead of failing.
    action.sa_flags = SA_RESTART;
    sigaction(signalNumber, &action, previous);
}

} // namespace

TerminationWatcher::TerminationWatcher(QObject* parent) : QObject(parent)
{
    if (::pipe2(m_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        qCWarning(logCategory()) << "No pipe for termination signals; SIGINT and SIGTERM end "
                                    "the program at once";
        return;
    }
    m_notifier = new QSocketNotifier(m_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationWatcher::readSignals);
    signalPipe.store(m_pipe[1]);
    watch(SIGINT, &m_previousInt);
    watch(SIGTERM, &m_previousTerm);
}

TerminationWatcher::~TerminationWatcher()
{
    if (m_pipe[0] < 0)
        return;
    sigaction(SIGINT, &m_previousInt, nullptr);
    sigaction(SIGTERM, &m_previousTerm, nullptr);
    signalPipe.store(-1);
    delete m_notifier;
    ::close(m_pipe[0]);
    ::close(m_pipe[1]);
}

void TerminationWatcher::readSignals()
{
    unsigned char numbers[64];
    ssize_t count = 0;
    while ((count = ::read(m_pipe[0], numbers, sizeof numbers)) > 0) {
        for (ssize_t i = 0; i < count; ++i)
            emit terminationRequested(numbers[i]);
    }
}
