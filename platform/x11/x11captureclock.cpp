#include "x11captureclock.h"

namespace platform::x11 {
namespace {
constexpr int64_t kNsPerMs = 1000000;
} // namespace

void X11CaptureClock::calibrate(uint32_t serverMs, int64_t steadyBeforeNs, int64_t steadyAfterNs)
{
    // The reading is a whole millisecond: the server clock stood somewhere in
    // [serverMs, serverMs + 1) at the middle of the round trip, on average half a
    // millisecond past the tick.
    const int64_t middle = steadyBeforeNs + (steadyAfterNs - steadyBeforeNs) / 2;
    m_refServerMs = serverMs;
    m_refSteadyNs = middle - kNsPerMs / 2;
    m_calibrated = true;
}

int64_t X11CaptureClock::toSteadyNs(uint32_t serverMs, int64_t arrivalNs)
{
    int64_t result = arrivalNs;
    if (m_calibrated) {
        // Unsigned subtraction then a signed view: correct across the 32-bit wrap as
        // long as the reference is within about 24 days of the event.
        const auto deltaMs = static_cast<int32_t>(serverMs - m_refServerMs);
        result = m_refSteadyNs + static_cast<int64_t>(deltaMs) * kNsPerMs;
        if (result > arrivalNs)
            result = arrivalNs;
    }
    if (m_hasLast && result < m_lastNs)
        result = m_lastNs;
    m_lastNs = result;
    m_hasLast = true;
    return result;
}

} // namespace platform::x11
