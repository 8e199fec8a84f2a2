#include "interruptiblewait.h"

#include "appconfig.h"
#include "waitclock.h"

#include "platform/backend.h"

#include <algorithm>

namespace {

// Longest sleep between two looks at the run flag: bounds the reaction to a stop.
constexpr int kMaxSliceMs = 50;

// Holds the fine timer resolution for its lifetime, released only if it was granted.
class FineTimerResolution
{
public:
    FineTimerResolution() : m_granted(platform::backend().beginTimerResolution()) {}
    ~FineTimerResolution()
    {
        if (m_granted)
            platform::backend().endTimerResolution();
    }
    FineTimerResolution(const FineTimerResolution&) = delete;
    FineTimerResolution& operator=(const FineTimerResolution&) = delete;

private:
    bool m_granted;
};

} // namespace

void interruptibleWait(int ms)
{
    if (ms < 1)
        return;
    interruptibleWaitUntil(waitClock().now() + std::chrono::milliseconds(ms));
}

void interruptibleWaitUntil(WaitClock::TimePoint deadline)
{
    WaitClock& clock = waitClock();
    if (clock.now() >= deadline)
        return;
    FineTimerResolution resolution;
    constexpr auto maxSlice = std::chrono::milliseconds(kMaxSliceMs);
    while (AppConfig::runFlag.load()) {
        const auto now = clock.now();
        if (deadline - now > maxSlice) {
            clock.sleepUntil(now + maxSlice);
        } else {
            clock.sleepExactlyUntil(deadline);
            return;
        }
    }
}

PacedWait::PacedWait() : m_deadline(waitClock().now()) {}

void PacedWait::wait(int ms)
{
    const auto now = waitClock().now();
    const auto interval = std::chrono::milliseconds(std::max(ms, 0));
    m_deadline += interval;
    if (m_deadline + interval < now)
        m_deadline = now;
    interruptibleWaitUntil(m_deadline);
}
