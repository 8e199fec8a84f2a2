#pragma once
#include "platform/backend.h"

#include <atomic>

namespace platform::win {

// Input injection and system services through Win32. Standard C++ and Win32 only.
class WinBackend : public Backend
{
public:
    WinBackend() = default;
    // Ends a keep-awake request and a timer resolution still in force.
    ~WinBackend() override;

    WinBackend(const WinBackend&) = delete;
    WinBackend& operator=(const WinBackend&) = delete;

    const char* name() const override { return "windows"; }
    unsigned sendInput(const Input* inputs, unsigned count) override;
    ScreenSize primaryScreenSize() override;
    bool cursorPos(CursorPos& pos) override;
    bool beginTimerResolution() override;
    void endTimerResolution() override;
    // The execution state belongs to the calling thread: switch it on and off
    // from the same thread (the GUI thread).
    bool setKeepAwake(bool on) override;
    std::unique_ptr<InputCapture> createCapture() override;
    uint32_t heldModifiers() override;
    // The screen's pixel through GDI; false off the screen or on a locked desktop.
    bool pixelColor(int x, int y, uint32_t& rgb) override;

private:
    // Begun and not yet ended; jobs begin and end periods on their own worker threads.
    std::atomic<int> m_timerPeriods{0};
    bool m_keepAwake = false;
};

} // namespace platform::win
