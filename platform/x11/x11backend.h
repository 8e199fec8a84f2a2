#pragma once
#include "platform/backend.h"

#include <chrono>
#include <memory>
#include <mutex>

namespace platform::x11 {

class X11Display;
class X11ErrorCatcher;
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
    void waitForDelivery() override;
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
    // A 1x1 image of the root window at the point.
    bool pixelColor(int x, int y, uint32_t& rgb) override;

private:
    // The root size, cached: a resize reaches our connection as a ConfigureNotify of
    // the root window, so only then is it asked for again (one round trip saved per
    // absolute move and per size query, which a fast clicker makes for every click).
    ScreenSize rootSize();
    // The pointer's root position and the modifier and button mask; false off this screen.
    bool queryPointer(CursorPos& pos, unsigned& mask);
    // Reads the events queued on our connection without waiting for any.
    void drainEvents();
    bool restoreIdleSpares();
    // The root size when the batch holds an absolute move, else {0, 0}.
    ScreenSize screenForBatch(const Input* inputs, unsigned count);
    // A batch of pointer records only is written without waiting for the server.
    unsigned sendPointerBatch(const Input* inputs, unsigned count);
    // Waits for the server to handle every request and reports a pointer batch's error.
    void syncPointerBatches();

    std::mutex m_mutex;
    std::unique_ptr<X11Display> m_display;
    // Errors of pointer batches the server handles after their call returned.
    std::unique_ptr<X11ErrorCatcher> m_pointerErrors;
    std::chrono::steady_clock::time_point m_lastSync;
    bool m_unsynced = false; // requests were written since the last sync
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
