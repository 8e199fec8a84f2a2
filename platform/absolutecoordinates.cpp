#include "absolutecoordinates.h"

#include "platform/input.h"

#include <algorithm>

namespace platform {

int absoluteToPixel(int32_t absolute, int size)
{
    if (size <= 0)
        return 0;
    const int64_t value = std::clamp<int64_t>(absolute, 0, AbsoluteRange);
    // The smallest pixel p with p * range / size >= value: the one that was sent.
    const int64_t pixel = (value * size + AbsoluteRange - 1) / AbsoluteRange;
    return static_cast<int>(std::min<int64_t>(pixel, size - 1));
}

} // namespace platform
