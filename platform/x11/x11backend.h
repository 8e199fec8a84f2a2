#pragma once
#include "../backend.h"

#include <memory>
#include <mutex>

namespace platform::x11 {

class X11Display;
class X11IdleTimer;
class X11Keyboard;
class X11Pointer;

// Input injection through XTest on a connection of its own. Every call may come
// from any thread; one mutex serialises them.
class X11Backend : public Backend
{
public:
    // Takes a connection whose server has XTEST.
    explicit X11Backend(std::unique_ptr<X11Display> display);
    // Releases every key and button it still holds and restores the spare keycodes.
    ~X11Backend() override;

    const char* name() const override { return "x11"; }
    unsigned sendInput(const Input* inputs, unsigned count) override;
    // The root window's size: the whole desktop, every monitor included.
    ScreenSize primaryScreenSize() override;
    bool cursorPos(CursorPos& pos) override;
    // The X server's timers need no request: a no-op that reports success.
    bool beginTimerResolution() override { return true; }
    void endTimerResolution() override {}
    // Suspends the screen saver and display power saving (MIT-SCREEN-SAVER).
    bool setKeepAwake(bool on) override;
    std::unique_ptr<InputCapture> createCapture() override;
    uint32_t heldModifiers() override;

private:
    // The root size, cached: a resize reaches our connection as a ConfigureNotify of
    // the root window, so only then is it asked for again (one round trip saved per
    // absolute move and per size query, which a fast clicker makes for every click).
    ScreenSize rootSize();
    // Reads the events queued on our connection without waiting for any.
    void drainEvents();
    bool restoreIdleSpares();

    std::mutex m_mutex;
    std::unique_ptr<X11Display> m_display;
    std::unique_ptr<X11Pointer> m_pointer;
    std::unique_ptr<X11Keyboard> m_keyboard;
    bool m_screenSaverExtension = false;
    bool m_keepAwake = false;
    ScreenSize m_rootSize;
    bool m_rootSizeKnown = false;
    std::unique_ptr<X11IdleTimer> m_spareRestorer; // last: its thread uses the members above
};

// The XTest backend, or null when no X display can be used (no DISPLAY, a Qt
// platform other than xcb such as offscreen or wayland, a server without XTEST).
std::unique_ptr<Backend> createX11Backend();

} // namespace platform::x11
