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
    FineTimerResolution resolution;
    WaitClock& clock = waitClock();
    int remaining = ms;
    while (AppConfig::runFlag.load() && remaining >= 1) {
        const int slice = std::min(remaining, kMaxSliceMs);
        clock.sleepUntil(clock.now() + std::chrono::milliseconds(slice));
        remaining -= slice;
    }
}

PacedWait::PacedWait() : m_deadline(waitClock().now()) {}

void PacedWait::wait(int ms)
{
    using namespace std::chrono;
    const auto now = waitClock().now();
    const auto interval = milliseconds(std::max(ms, 0));
    m_deadline += interval;
    if (m_deadline + interval < now)
        m_deadline = now;
    // Rounded up: waking a fraction of a millisecond late is not carried into the next
    // deadline, waking early would shorten this interval.
    const auto remaining = ceil<milliseconds>(m_deadline - now);
    interruptibleWait(static_cast<int>(std::max<milliseconds::rep>(remaining.count(), 0)));
}
