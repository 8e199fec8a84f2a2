#include "recordingbackend.h"

using platform::Input;

unsigned RecordingBackend::sendInput(const Input* inputs, unsigned count)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_batches.emplace_back(inputs, inputs + count);
    return count;
}

platform::ScreenSize RecordingBackend::primaryScreenSize()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_screen;
}

bool RecordingBackend::cursorPos(platform::CursorPos& pos)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    pos = m_cursor;
    return m_cursorKnown;
}

void RecordingBackend::setCursorKnown(bool known)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_cursorKnown = known;
}

bool RecordingBackend::beginTimerResolution()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_timerBegin;
    return true;
}

void RecordingBackend::endTimerResolution()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_timerEnd;
}

bool RecordingBackend::setKeepAwake(bool on)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_keepAwake = on;
    return true;
}

std::unique_ptr<platform::InputCapture> RecordingBackend::createCapture()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_captureAvailable)
        return nullptr;
    return std::make_unique<RecordingCapture>(this);
}

void RecordingBackend::setScreenSize(int width, int height)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_screen = {width, height};
}

uint32_t RecordingBackend::heldModifiers()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_heldModifiers;
}

bool RecordingBackend::pixelColor(int x, int y, uint32_t& rgb)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_pixelReads;
    const bool onScreen = x >= 0 && y >= 0 && x < m_screen.width && y < m_screen.height;
    if (!m_screenReadable || !onScreen)
        return false;
    rgb = m_screenColor;
    return true;
}

void RecordingBackend::setScreenColor(uint32_t rgb)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_screenColor = rgb;
}

void RecordingBackend::setScreenReadable(bool readable)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_screenReadable = readable;
}

int RecordingBackend::pixelReads() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_pixelReads;
}

void RecordingBackend::setHeldModifiers(uint32_t modifiers)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_heldModifiers = modifiers;
}

void RecordingBackend::setCursorPos(int x, int y)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_cursor = {x, y};
}

void RecordingBackend::setCaptureAvailable(bool available)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_captureAvailable = available;
}

void RecordingBackend::setCaptureRefused(bool refused)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_captureRefused = refused;
}

std::vector<RecordingBackend::Batch> RecordingBackend::batches() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_batches;
}

std::vector<Input> RecordingBackend::allInputs() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<Input> all;
    for (const Batch& batch : m_batches)
        all.insert(all.end(), batch.begin(), batch.end());
    return all;
}

int RecordingBackend::callCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return static_cast<int>(m_batches.size());
}

void RecordingBackend::clear()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_batches.clear();
    m_timerBegin = m_timerEnd = 0;
}

int RecordingBackend::timerBeginCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_timerBegin;
}

int RecordingBackend::timerEndCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_timerEnd;
}

bool RecordingBackend::keepAwake() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_keepAwake;
}

RecordingCapture* RecordingBackend::activeCapture() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_activeCapture;
}

RecordingCapture::~RecordingCapture()
{
    stop();
}

bool RecordingCapture::start(MouseHandler onMouse, KeyHandler onKey)
{
    {
        std::lock_guard<std::mutex> lock(m_owner->m_mutex);
        if (m_owner->m_captureRefused)
            return false;
    }
    m_onMouse = std::move(onMouse);
    m_onKey = std::move(onKey);
    m_active = true;
    std::lock_guard<std::mutex> lock(m_owner->m_mutex);
    m_owner->m_activeCapture = this;
    return true;
}

void RecordingCapture::stop()
{
    if (!m_active)
        return;
    m_active = false;
    m_onMouse = nullptr;
    m_onKey = nullptr;
    std::lock_guard<std::mutex> lock(m_owner->m_mutex);
    if (m_owner->m_activeCapture == this)
        m_owner->m_activeCapture = nullptr;
}

void RecordingCapture::feedMouse(const platform::CapturedMouse& event)
{
    if (m_active && m_onMouse)
        m_onMouse(event);
}

void RecordingCapture::feedKey(const platform::CapturedKey& event)
{
    if (m_active && m_onKey)
        m_onKey(event);
}

ScopedRecordingBackend::ScopedRecordingBackend()
{
    auto backend = std::make_unique<RecordingBackend>();
    m_backend = backend.get();
    m_previous = platform::installBackend(std::move(backend));
}

ScopedRecordingBackend::~ScopedRecordingBackend()
{
    platform::installBackend(std::move(m_previous));
}
