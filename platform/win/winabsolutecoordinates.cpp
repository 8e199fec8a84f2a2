#include "winabsolutecoordinates.h"

#include "platform/input.h"

#include <algorithm>

namespace platform::win {
namespace {
// Windows divides the absolute range into this many steps across the screen.
constexpr int64_t kSystemSteps = 65536;
} // namespace

int32_t toSystemAbsolute(int32_t value, int32_t size)
{
    if (size <= 0)
        return value;
    const int64_t clamped = std::clamp<int64_t>(value, 0, AbsoluteRange);
    // The exact inverse of the jobs' truncating pixel * 65535 / size.
    const int64_t pixel =
        std::min<int64_t>((clamped * size + AbsoluteRange - 1) / AbsoluteRange, size - 1);
    // Pixel p covers [p * 65536 / size, (p + 1) * 65536 / size): aim at its middle.
    return static_cast<int32_t>((2 * pixel + 1) * (kSystemSteps / 2) / size);
}

} // namespace platform::win
