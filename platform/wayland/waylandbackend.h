#pragma once
#include "platform/backend.h"

#include <memory>
#include <mutex>
#include <string>

namespace platform::wayland {

class WaylandInjector;

// Input injection in a Wayland session through the injector the compositor
// supports. Every call may come from any thread; one mutex serialises them.
// What Wayland does not offer ordinary programs is reported as unknown: the
// pointer's position, global capture, and modifier keys other than our own.
class WaylandBackend : public Backend
{
public:
    explicit WaylandBackend(std::unique_ptr<WaylandInjector> injector);
    ~WaylandBackend() override;

    const char* name() const override { return "wayland"; }

    unsigned sendInput(const Input* inputs, unsigned count) override;
    void waitForDelivery() override;
    // The box around every output of the layout: absolute coordinates span it.
    ScreenSize primaryScreenSize() override;
    // No Wayland protocol tells an ordinary program where the pointer is.
    bool cursorPos(CursorPos&) override { return false; }
    // The compositor's timers need no request: a no-op that reports success.
    bool beginTimerResolution() override { return true; }
    void endTimerResolution() override {}
    // Idle inhibition needs a visible surface of ours, which a running job hides.
    bool setKeepAwake(bool) override { return false; }
    // No compositor lets a program watch the whole desktop's input.
    std::unique_ptr<InputCapture> createCapture() override { return nullptr; }
    // Only the modifier keys injected by this process: the user's are not visible.
    uint32_t heldModifiers() override;

private:
    std::mutex m_mutex;
    std::unique_ptr<WaylandInjector> m_injector;
};

// The Wayland backend with the first injector the session supports; null when no
// compositor answers or none of its injection paths is available. `why` tells
// which (for the log).
std::unique_ptr<Backend> createWaylandBackend(std::string& why);

} // namespace platform::wayland
