#pragma once
// The pause every job and every flow operation uses: it sleeps in slices of at
// most 50 ms and ends early once AppConfig::runFlag is cleared, holding the fine
// (1 ms) timer resolution only while it waits. All waits read waitClock().

#include "waitclock.h"

// Waits `ms` milliseconds or until the run flag is cleared. Returns at once when ms
// is below 1 (without touching the timer resolution). With the flag already clear
// the timer resolution is still raised and restored, without sleeping.
void interruptibleWait(int ms);

// Waits until `deadline` or until the run flag is cleared, in the same slices; the
// last slice ends as close to the deadline as the machine allows. Returns at once
// when the deadline has passed.
void interruptibleWaitUntil(WaitClock::TimePoint deadline);

// Keeps a repeating job on a timetable: each wait ends one interval after the end of
// the previous one, so the time spent sending input between waits and every late
// wake-up do not add up over thousands of repetitions.
class PacedWait
{
public:
    // The timetable starts now.
    PacedWait();

    // Waits, interruptibly, until one interval of `ms` after the previous deadline.
    // Behind by more than a whole interval (a stalled machine), the timetable starts
    // again from now instead of catching up with a burst.
    void wait(int ms);

private:
    WaitClock::TimePoint m_deadline;
};
