#pragma once
#include <cstdint>

namespace platform::win {

// The value of an absolute mouse record that puts the pointer on the pixel a job meant.
// Jobs encode pixel p of an axis of `size` pixels as p * 65535 / size (truncating);
// Windows maps a value v to pixel v * size / 65536 (truncating), which for nearly every
// p would be p - 1. The result is the middle of p's range on Windows. Values outside
// 0..65535 land on the edges; an unknown size (<= 0) leaves the value as it is.
int32_t toSystemAbsolute(int32_t value, int32_t size);

} // namespace platform::win
