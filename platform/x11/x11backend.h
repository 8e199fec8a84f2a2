#pragma once
#include "../backend.h"

#include <memory>

namespace platform::x11 {

// The XTest backend, or null when no X display can be used (no DISPLAY, the
// offscreen or Wayland Qt platforms, a server without XTEST).
std::unique_ptr<Backend> createX11Backend();

} // namespace platform::x11
