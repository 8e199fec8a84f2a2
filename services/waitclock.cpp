#include "waitclock.h"

#include "steadysleep.h"

#include <atomic>

namespace {

class SteadyWaitClock : public WaitClock
{
public:
    TimePoint now() override { return std::chrono::steady_clock::now(); }

    void sleepUntil(TimePoint deadline) override { steadysleep::until(deadline); }
    void sleepExactlyUntil(TimePoint deadline) override { steadysleep::exactlyUntil(deadline); }
};

// Never destroyed: a thread still waiting while the process exits (a pending update
// check) must not find it gone.
WaitClock& steadyClock()
{
    static WaitClock* const clock = new SteadyWaitClock;
    return *clock;
}

std::atomic<WaitClock*> installedClock{nullptr};

} // namespace

WaitClock& waitClock()
{
    WaitClock* installed = installedClock.load(std::memory_order_acquire);
    return installed ? *installed : steadyClock();
}

void installWaitClock(WaitClock* clock)
{
    installedClock.store(clock, std::memory_order_release);
}
