#pragma once
#include "platform/backend.h"

namespace platform {

// Used where no input system is reachable (no display, Wayland without XWayland,
// the offscreen Qt platform): every call fails cleanly.
class NullBackend : public Backend
{
public:
    const char* name() const override { return "null"; }
    unsigned sendInput(const Input*, unsigned) override { return 0; }
    ScreenSize primaryScreenSize() override { return {}; }
    bool cursorPos(CursorPos&) override { return false; }
    bool beginTimerResolution() override { return false; }
    void endTimerResolution() override {}
    bool setKeepAwake(bool) override { return false; }
    std::unique_ptr<InputCapture> createCapture() override { return nullptr; }
};

} // namespace platform
