#pragma once
// Turns the wheel deltas of mouse records (120 units a notch) into whole notches,
// for the backends whose systems scroll in notches. Standard C++ only.

#include "platform/input.h"

#include <algorithm>
#include <cstdint>

namespace platform {

class WheelNotches
{
public:
    // The signed number of notches `delta` completes. Fine-grained deltas add up
    // until they make a notch; a turn the other way forgets the leftover.
    int64_t take(int32_t delta)
    {
        if ((delta > 0 && m_remainder < 0) || (delta < 0 && m_remainder > 0))
            m_remainder = 0;
        const int64_t total = int64_t(m_remainder) + delta;
        const int64_t notches = total / WheelDelta;
        m_remainder = static_cast<int32_t>(total - notches * WheelDelta);
        // A corrupt record (a delta of millions) must not keep the worker busy for minutes.
        return std::clamp(notches, -kMaxNotches, kMaxNotches);
    }

private:
    static constexpr int64_t kMaxNotches = 1000;
    int32_t m_remainder = 0; // part of a notch left over from earlier records
};

} // namespace platform
