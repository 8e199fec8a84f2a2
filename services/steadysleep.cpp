#include "steadysleep.h"

#include <thread>

#if defined(__linux__)
#include <cerrno>
#include <ctime>
#endif

namespace steadysleep {

#if defined(__linux__)
// The steady clock of libstdc++ and libc++ is CLOCK_MONOTONIC: an absolute
// clock_nanosleep on it is not stretched by the time spent going to sleep.
void until(Clock::time_point deadline)
{
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
