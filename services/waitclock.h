#pragma once
// The clock every job waits on: the steady clock in the programs, a clock the test
// drives in tests, so that counts and timetables can be asserted exactly.

#include <chrono>

class WaitClock
{
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    virtual ~WaitClock() = default;

    virtual TimePoint now() = 0;
    // Returns once now() has reached `deadline` (at once when it has already), possibly
    // late when the machine is busy. For polls and the slices of a long wait.
    virtual void sleepUntil(TimePoint deadline) = 0;
    // The same, finishing the last stretch without a timer so that the return is as
    // close to `deadline` as the machine allows, at the price of some processor time.
    // For the end of a wait whose timing the user sees.
    virtual void sleepExactlyUntil(TimePoint deadline) { sleepUntil(deadline); }
};

// The process's clock: the steady clock unless a test installed another.
// Callable from any thread.
WaitClock& waitClock();

// Tests: makes `clock` the process's clock (null restores the steady clock). The
// caller keeps it alive while it is installed. Call it while no job runs.
void installWaitClock(WaitClock* clock);
