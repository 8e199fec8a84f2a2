#pragma once
// The inverse of the jobs' pixel -> 0..65535 conversion, shared by the backends
// that inject in pixels. Standard C++ only.

#include <cstdint>

namespace platform {

// The pixel an absolute coordinate (0..65535) stands for on an axis of `size`
// pixels: the exact inverse of pixel * 65535 / size (truncating), so a pixel sent
// that way lands on itself. Out-of-range values land on the nearest edge.
int absoluteToPixel(int32_t absolute, int size);

} // namespace platform
