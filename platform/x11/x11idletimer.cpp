#include "x11idletimer.h"

namespace platform::x11 {

X11IdleTimer::X11IdleTimer(std::chrono::milliseconds idle, std::function<bool()> task)
    : m_idle(idle), m_task(std::move(task)), m_thread([this] { loop(); })
{
}

X11IdleTimer::~X11IdleTimer()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

void X11IdleTimer::touch()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_armed = true;
        m_deadline = std::chrono::steady_clock::now() + m_idle;
    }
    m_wake.notify_all();
}

void X11IdleTimer::loop()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_stopping) {
        if (!m_armed) {
            m_wake.wait(lock);
            continue;
        }
        if (std::chrono::steady_clock::now() < m_deadline) {
            m_wake.wait_until(lock, m_deadline);
            continue;
        }
        m_armed = false;
        // The task takes its owner's lock; never hold ours meanwhile, or touch()
        // called under the owner's lock would deadlock.
        lock.unlock();
        const bool done = m_task();
        lock.lock();
        if (!done && !m_armed) {
            m_armed = true;
            m_deadline = std::chrono::steady_clock::now() + m_idle;
        }
    }
}

} // namespace platform::x11
