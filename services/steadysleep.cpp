#include "steadysleep.h"

#include <thread>

#if defined(__linux__)
#include <sys/prctl.h>

#include <cerrno>
#include <ctime>
#endif

namespace steadysleep {

#if defined(__linux__)
namespace {

// A timer fires up to the thread's timer slack (50 µs by default) after it is due;
// a thread that sleeps here asks for 1 µs.
constexpr unsigned long TimerSlackNs = 1000;

void useFineTimerSlack()
{
    thread_local bool done = false;
    if (!done) {
        prctl(PR_SET_TIMERSLACK, TimerSlackNs, 0, 0, 0);
        done = true;
    }
}

} // namespace

// The steady clock of libstdc++ and libc++ is CLOCK_MONOTONIC: an absolute
// clock_nanosleep on it is not stretched by the time spent going to sleep.
void until(Clock::time_point deadline)
{
    useFineTimerSlack();
    const auto ns =
        std::chrono::duration_cast<std::chrono::nanoseconds>(deadline.time_since_epoch()).count();
    timespec at{};
    at.tv_sec = time_t(ns / 1000000000);
    at.tv_nsec = long(ns % 1000000000);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr) == EINTR) {
    }
}
#else
void until(Clock::time_point deadline)
{
    // sleep_until may wake early (coarse timers): sleep again until reached.
    while (Clock::now() < deadline)
        std::this_thread::sleep_until(deadline);
}
#endif

void exactlyUntil(Clock::time_point deadline)
{
    const Clock::time_point wake = deadline - EarlyWake;
    if (Clock::now() < wake)
        until(wake);
    while (Clock::now() < deadline)
        std::this_thread::yield();
}

} // namespace steadysleep
