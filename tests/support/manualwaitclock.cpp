#include "manualwaitclock.h"

#include <algorithm>

namespace {
// Any fixed moment will do; a fixed one makes every run of a test read the same times.
constexpr std::chrono::hours Origin{1000};
} // namespace

ManualWaitClock::ManualWaitClock() : m_origin(Origin), m_now(Origin)
{
    installWaitClock(this);
}

ManualWaitClock::~ManualWaitClock()
{
    installWaitClock(nullptr);
}

WaitClock::TimePoint ManualWaitClock::now()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_now;
}

void ManualWaitClock::sleepUntil(TimePoint deadline)
{
    std::vector<std::function<void()>> due;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (deadline <= m_now)
            return;
        m_sleeps.push_back(deadline - m_now);
        m_now = deadline;
        std::stable_sort(m_scheduled.begin(), m_scheduled.end(),
                         [](const Scheduled& a, const Scheduled& b) { return a.at < b.at; });
        auto firstLater = m_scheduled.begin();
        while (firstLater != m_scheduled.end() && firstLater->at <= m_now)
            due.push_back(std::move((firstLater++)->action));
        m_scheduled.erase(m_scheduled.begin(), firstLater);
    }
    // Outside the lock: an action may read the clock.
    for (const auto& action : due)
        action();
}

std::chrono::nanoseconds ManualWaitClock::elapsed() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_now - m_origin;
}

void ManualWaitClock::schedule(std::chrono::milliseconds at, std::function<void()> action)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_scheduled.push_back({m_origin + at, std::move(action)});
}

std::vector<std::chrono::nanoseconds> ManualWaitClock::sleeps() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_sleeps;
}
