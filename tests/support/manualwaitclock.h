#pragma once
// A wait clock the test drives, installed for the object's lifetime: time stands
// still until a job sleeps, and each sleep returns at once with the clock moved to
// its deadline. An action scheduled for a moment runs, on the sleeping thread, when
// a sleep reaches that moment; so a test can stop a job or let go of a key at an
// exact time and assert counts and timetables exactly.

#include "waitclock.h"

#include <functional>
#include <mutex>
#include <vector>

class ManualWaitClock : public WaitClock
{
public:
    ManualWaitClock();
    ~ManualWaitClock() override;
    ManualWaitClock(const ManualWaitClock&) = delete;
    ManualWaitClock& operator=(const ManualWaitClock&) = delete;

    TimePoint now() override;
    void sleepUntil(TimePoint deadline) override;

    // Time passed since the clock was made.
    std::chrono::nanoseconds elapsed() const;
    // Runs `action` once a sleep reaches `at` after the clock was made.
    void schedule(std::chrono::milliseconds at, std::function<void()> action);
    // The length of every sleep so far, in order.
    std::vector<std::chrono::nanoseconds> sleeps() const;

private:
    struct Scheduled
    {
        TimePoint at;
        std::function<void()> action;
    };

    mutable std::mutex m_mutex;
    const TimePoint m_origin;
    TimePoint m_now;
    std::vector<std::chrono::nanoseconds> m_sleeps;
    std::vector<Scheduled> m_scheduled;
};
