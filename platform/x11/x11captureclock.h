#pragma once
// Maps X server timestamps onto std::chrono::steady_clock.

#include <cstdint>

namespace platform::x11 {

// X server times are 32-bit millisecond counters on the server's own clock that wrap
// every 49.7 days. Events reach us in batches, so arrival time says little about when
// an event happened; this clock turns each event's own server time into steady-clock
// nanoseconds from one calibration point (server time observed at a known steady time).
class X11CaptureClock
{
public:
    // The server time serverMs was current at some moment between steadyBeforeNs and
    // steadyAfterNs (a round trip bracketing the reading).
    void calibrate(uint32_t serverMs, int64_t steadyBeforeNs, int64_t steadyAfterNs);
    bool isCalibrated() const { return m_calibrated; }

    // Steady time of an event stamped serverMs that arrived at arrivalNs. Never later
    // than the arrival and never earlier than the previous result, so a small
    // calibration error cannot put events in the future or out of order. Uncalibrated,
    // the arrival time.
    int64_t toSteadyNs(uint32_t serverMs, int64_t arrivalNs);

private:
    uint32_t m_refServerMs = 0;
    int64_t m_refSteadyNs = 0;
    int64_t m_lastNs = 0;
    bool m_calibrated = false;
    bool m_hasLast = false;
};

} // namespace platform::x11
