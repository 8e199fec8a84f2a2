#pragma once
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace platform::x11 {

// Runs a task on a thread of its own once `idle` has passed since the last call
// to touch(). The task returns false to be run again after another idle period.
class X11IdleTimer
{
public:
    X11IdleTimer(std::chrono::milliseconds idle, std::function<bool()> task);
    // Stops the thread; a pending task is not run (the owner cleans up itself).
    ~X11IdleTimer();

    X11IdleTimer(const X11IdleTimer&) = delete;
    X11IdleTimer& operator=(const X11IdleTimer&) = delete;

    void touch();

private:
    void loop();

    const std::chrono::milliseconds m_idle;
    const std::function<bool()> m_task;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_armed = false;
    bool m_stopping = false;
    std::chrono::steady_clock::time_point m_deadline;
    std::thread m_thread;
};

} // namespace platform::x11
