#pragma once
#include "platform/backend.h"

#include <memory>

namespace platform::win {

// Global mouse and keyboard capture through the low-level hooks, installed for the
// thread that calls start(); that thread must pump window messages, and the handlers
// run on it from inside the hook calls. Call start() and stop() on that thread.
std::unique_ptr<InputCapture> createWinCapture();

} // namespace platform::win
