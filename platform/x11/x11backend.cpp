#include "x11backend.h"

namespace platform::x11 {

std::unique_ptr<Backend> createX11Backend() { return nullptr; }

} // namespace platform::x11
