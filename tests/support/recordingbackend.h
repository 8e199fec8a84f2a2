#pragma once
// A backend that records every batch exactly as sent, so tests can assert the
// exact records and the number of calls. Screen size and cursor are settable.

#include "platform/backend.h"

#include <memory>
#include <mutex>
#include <vector>

class RecordingCapture;

class RecordingBackend : public platform::Backend
{
public:
    using Batch = std::vector<platform::Input>;

    const char* name() const override { return "recording"; }
    unsigned sendInput(const platform::Input* inputs, unsigned count) override;
    platform::ScreenSize primaryScreenSize() override;
    bool cursorPos(platform::CursorPos& pos) override;
    bool beginTimerResolution() override;
    void endTimerResolution() override;
    bool setKeepAwake(bool on) override;
    std::unique_ptr<platform::InputCapture> createCapture() override;
    uint32_t heldModifiers() override;
    // The fake screen: every pixel shows one colour, settable from any thread.
    bool pixelColor(int x, int y, uint32_t& rgb) override;

    void setScreenSize(int width, int height);
    void setCursorPos(int x, int y);
    // When false, cursorPos() fails, as on Wayland.
    void setCursorKnown(bool known);
    // What heldModifiers() reports (platform::ModifierKey bits).
    void setHeldModifiers(uint32_t modifiers);
    // When false, createCapture() returns null, as on a system without capture.
    void setCaptureAvailable(bool available);
    // When true, a capture's start() fails, as when the system refuses to capture.
    void setCaptureRefused(bool refused);
    // What the fake screen shows; readable false makes pixelColor() fail, as on Wayland.
    void setScreenColor(uint32_t rgb);
    void setScreenReadable(bool readable);
    // How many times the screen was read.
    int pixelReads() const;

    std::vector<Batch> batches() const;
    std::vector<platform::Input> allInputs() const; // every batch, flattened
    int callCount() const;
    void clear();

    int timerBeginCount() const;
    int timerEndCount() const;
    bool keepAwake() const;

    // The capture most recently started, or null; tests feed it events.
    RecordingCapture* activeCapture() const;

private:
    friend class RecordingCapture;
    mutable std::mutex m_mutex;
    std::vector<Batch> m_batches;
    platform::ScreenSize m_screen{1920, 1080};
    platform::CursorPos m_cursor;
    bool m_cursorKnown = true;
    uint32_t m_heldModifiers = 0;
    int m_timerBegin = 0;
    int m_timerEnd = 0;
    bool m_keepAwake = false;
    bool m_captureAvailable = true;
    bool m_captureRefused = false;
    uint32_t m_screenColor = 0;
    bool m_screenReadable = true;
    int m_pixelReads = 0;
    RecordingCapture* m_activeCapture = nullptr;
};

// A capture whose events come from the test, on the calling thread.
class RecordingCapture : public platform::InputCapture
{
public:
    explicit RecordingCapture(RecordingBackend* owner) : m_owner(owner) {}
    ~RecordingCapture() override;

    bool start(MouseHandler onMouse, KeyHandler onKey) override;
    void stop() override;
    bool isActive() const override { return m_active; }

    void feedMouse(const platform::CapturedMouse& event);
    void feedKey(const platform::CapturedKey& event);

private:
    RecordingBackend* m_owner;
    MouseHandler m_onMouse;
    KeyHandler m_onKey;
    bool m_active = false;
};

// Installs a fresh RecordingBackend for the lifetime of the object and restores
// the previous backend afterwards.
class ScopedRecordingBackend
{
public:
    ScopedRecordingBackend();
    ~ScopedRecordingBackend();
    ScopedRecordingBackend(const ScopedRecordingBackend&) = delete;
    ScopedRecordingBackend& operator=(const ScopedRecordingBackend&) = delete;

    RecordingBackend* operator->() const { return m_backend; }
    RecordingBackend& operator*() const { return *m_backend; }

private:
    RecordingBackend* m_backend;
    std::unique_ptr<platform::Backend> m_previous;
};
