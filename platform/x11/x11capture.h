#pragma once
#include "platform/backend.h"

#include <memory>

namespace platform::x11 {

// Global mouse and keyboard capture through the X RECORD extension, on connections
// and a thread of its own. Handlers run on the thread that called start(), which
// needs a running Qt event loop; call start() and stop() on that thread. Null when
// no X display or no RECORD extension is available.
std::unique_ptr<InputCapture> createX11Capture();

} // namespace platform::x11
