#include "x11backend.h"

// Qt before Xlib: Xlib's macros (Bool, Status, ...) break Qt's headers.
#include <QByteArray>
#include <QGuiApplication>

#include "../platformlog.h"

#include "x11capture.h"
#include "x11display.h"
#include "x11errorcatcher.h"
#include "x11idletimer.h"
#include "x11keyboard.h"
#include "x11pointer.h"

#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/scrnsaver.h>

namespace platform::x11 {
namespace {

// Spare keycodes are emptied once typing has paused this long. Longer than the
// time a client needs to read the last key that used them.
constexpr std::chrono::milliseconds kSpareRestoreIdle{500};

// Pointer batches are only written to the server, which is what makes a fast
// clicker fast: waiting for the server after every click costs a round trip each.
// A wait at least this often keeps the server from falling behind, so a stop
// takes effect promptly. Each wait leaves the server idle while the clicker wakes
// up: waiting every millisecond cost clicks at interval 0 about a tenth of their
// rate, every 5 ms about nothing measurable.
constexpr std::chrono::milliseconds kPointerSyncInterval{5};

const char kXcbPlatform[] = "xcb";

// A Qt application on another platform plugin (offscreen, minimal, wayland, ...)
// does not show on this X server: injecting there would reach the wrong desktop.
bool qtPlatformIsX11()
{
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return QGuiApplication::platformName() == QLatin1String(kXcbPlatform);
    // No GUI application (yet): honour the platform the environment asks for.
    const QByteArray requested = qgetenv("QT_QPA_PLATFORM").split(';').value(0).trimmed();
    return requested.isEmpty() || requested.startsWith(kXcbPlatform);
}

} // namespace

X11Backend::X11Backend(std::unique_ptr<X11Display> display)
    : m_display(std::move(display)),
      m_pointerErrors(std::make_unique<X11ErrorCatcher>(m_display->get())),
      m_pointer(std::make_unique<X11Pointer>(m_display->get())),
      m_keyboard(std::make_unique<X11Keyboard>(m_display->get()))
{
    int eventBase = 0;
    int errorBase = 0;
    m_screenSaverExtension = XScreenSaverQueryExtension(m_display->get(), &eventBase, &errorBase);
    XSelectInput(m_display->get(), m_display->root(), StructureNotifyMask);
    m_spareRestorer =
        std::make_unique<X11IdleTimer>(kSpareRestoreIdle, [this] { return restoreIdleSpares(); });
}

X11Backend::~X11Backend()
{
    m_spareRestorer.reset();
    std::lock_guard<std::mutex> lock(m_mutex);
    X11ErrorCatcher errors(m_display->get());
    m_pointer->releaseAll();
    m_keyboard->releaseAll();
    m_keyboard->restoreSpares(true);
    if (m_keepAwake)
        XScreenSaverSuspend(m_display->get(), False);
    errors.sync();
}

unsigned X11Backend::sendInput(const Input* inputs, unsigned count)
{
    if (!inputs || count == 0)
        return 0;
    std::lock_guard<std::mutex> lock(m_mutex);
    bool hasKeyboard = false;
    for (unsigned i = 0; i < count; ++i)
        hasKeyboard |= inputs[i].type == Input::Type::Keyboard;
    if (!hasKeyboard)
        return sendPointerBatch(inputs, count);

    // Keyboard records may change the keyboard mapping, whose errors and timing
    // matter to the very next record: this batch waits for the server. Earlier
    // pointer batches are settled first so that their errors stay theirs.
    if (m_unsynced)
        syncPointerBatches();
    X11ErrorCatcher errors(m_display->get());
    const ScreenSize screen = screenForBatch(inputs, count);
    drainEvents(); // before the keyboard empties the queue: no resize goes unseen
    m_keyboard->beginBatch();
    unsigned sent = 0;
    for (unsigned i = 0; i < count; ++i) {
        if (inputs[i].type == Input::Type::Mouse) {
            m_pointer->send(inputs[i].mouse, screen);
            ++sent;
        } else if (m_keyboard->send(inputs, count, i)) {
            ++sent;
        } else {
            qCWarning(platformLog, "No keycode free to type key record %u (vk %u, unit %u)", i,
                      inputs[i].keyboard.vk, inputs[i].keyboard.scan);
        }
    }
    // Synchronous, like SendInput: the server has queued every event on return.
    m_unsynced = false;
    m_lastSync = std::chrono::steady_clock::now();
    if (!errors.sync()) {
        qCWarning(platformLog, "X error %d while injecting input", errors.errorCode());
        return 0;
    }
    if (m_keyboard->hasBoundSpares())
        m_spareRestorer->touch();
    return sent;
}

ScreenSize X11Backend::screenForBatch(const Input* inputs, unsigned count)
{
    for (unsigned i = 0; i < count; ++i) {
        // Current for every batch, so a resolution change between two calls is honoured.
        if (inputs[i].type == Input::Type::Mouse && X11Pointer::isAbsoluteMove(inputs[i].mouse))
            return rootSize();
    }
    return {};
}

unsigned X11Backend::sendPointerBatch(const Input* inputs, unsigned count)
{
    const ScreenSize screen = screenForBatch(inputs, count);
    for (unsigned i = 0; i < count; ++i)
        m_pointer->send(inputs[i].mouse, screen);
    m_unsynced = true;
    if (std::chrono::steady_clock::now() - m_lastSync >= kPointerSyncInterval)
        syncPointerBatches();
    else
        XFlush(m_display->get());
    return count;
}

void X11Backend::syncPointerBatches()
{
    XSync(m_display->get(), False);
    m_unsynced = false;
    m_lastSync = std::chrono::steady_clock::now();
    // Pointer requests do not fail in practice (fixed buttons, any coordinates); one
    // that did is reported here, after its call has already counted it as sent.
    if (const int code = m_pointerErrors->takeErrorCode())
        qCWarning(platformLog, "X error %d while injecting pointer input", code);
}

void X11Backend::waitForDelivery()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_unsynced)
        syncPointerBatches();
}

void X11Backend::drainEvents()
{
    Display* dpy = m_display->get();
    while (XPending(dpy)) {
        XEvent event;
        XNextEvent(dpy, &event);
        if (event.type == ConfigureNotify && event.xconfigure.window == m_display->root())
            m_rootSizeKnown = false;
    }
}

ScreenSize X11Backend::rootSize()
{
    drainEvents();
    if (m_rootSizeKnown)
        return m_rootSize;
    Window root = 0;
    int x = 0;
    int y = 0;
    unsigned width = 0;
    unsigned height = 0;
    unsigned border = 0;
    unsigned depth = 0;
    if (!XGetGeometry(m_display->get(), m_display->root(), &root, &x, &y, &width, &height, &border,
                      &depth))
        return {};
    m_rootSize = {static_cast<int>(width), static_cast<int>(height)};
    m_rootSizeKnown = true;
    return m_rootSize;
}

ScreenSize X11Backend::primaryScreenSize()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return rootSize();
}

bool X11Backend::queryPointer(CursorPos& pos, unsigned& mask)
{
    Window root = 0;
    Window child = 0;
    int winX = 0;
    int winY = 0;
    // False when the pointer is on another screen of this display.
    return XQueryPointer(m_display->get(), m_display->root(), &root, &child, &pos.x, &pos.y, &winX,
                         &winY, &mask);
}

uint32_t X11Backend::heldModifiers()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    CursorPos pos;
    unsigned mask = 0;
    // The pointer query carries the core keyboard's modifier state, XTest presses included.
    queryPointer(pos, mask);
    // clang-format off
    struct Bit { unsigned x11; uint32_t modifier; };
    static constexpr Bit Bits[] = {
        {ShiftMask, ModifierKey::Shift}, {ControlMask, ModifierKey::Control},
        {Mod1Mask, ModifierKey::Alt},    {Mod4Mask, ModifierKey::Meta},
    };
    // clang-format on
    uint32_t held = 0;
    for (const Bit& bit : Bits) {
        if (mask & bit.x11)
            held |= bit.modifier;
    }
    return held;
}

bool X11Backend::cursorPos(CursorPos& pos)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    unsigned mask = 0;
    CursorPos queried;
    if (!queryPointer(queried, mask))
        return false;
    pos = queried;
    return true;
}

namespace {

// One channel of an image pixel scaled to 0..255, whatever the visual's bit layout.
uint32_t channel(unsigned long pixel, unsigned long mask)
{
    if (mask == 0)
        return 0;
    int shift = 0;
    while (!(mask & 1UL)) {
        mask >>= 1;
        ++shift;
    }
    return uint32_t(((pixel >> shift) & mask) * 255 / mask);
}

} // namespace

bool X11Backend::pixelColor(int x, int y, uint32_t& rgb)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const ScreenSize root = rootSize();
    if (x < 0 || y < 0 || x >= root.width || y >= root.height)
        return false;
    // Earlier pointer batches report their errors to their own catcher first.
    if (m_unsynced)
        syncPointerBatches();
    X11ErrorCatcher errors(m_display->get());
    XImage* image = XGetImage(m_display->get(), m_display->root(), x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image)
        return false;
    const unsigned long pixel = XGetPixel(image, 0, 0);
    rgb = channel(pixel, image->red_mask) << 16 | channel(pixel, image->green_mask) << 8 |
          channel(pixel, image->blue_mask);
    XDestroyImage(image);
    return true;
}

bool X11Backend::setKeepAwake(bool on)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_screenSaverExtension)
        return false;
    if (on != m_keepAwake) {
        XScreenSaverSuspend(m_display->get(), on ? True : False);
        XFlush(m_display->get());
        m_keepAwake = on;
    }
    return true;
}

std::unique_ptr<InputCapture> X11Backend::createCapture()
{
    return createX11Capture();
}

bool X11Backend::restoreIdleSpares()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    X11ErrorCatcher errors(m_display->get());
    const bool done = m_keyboard->restoreSpares(false);
    errors.sync();
    return done;
}

std::unique_ptr<Backend> createX11Backend()
{
    if (!qtPlatformIsX11())
        return nullptr;
    std::unique_ptr<X11Display> display = X11Display::open();
    if (!display)
        return nullptr;
    int eventBase = 0;
    int errorBase = 0;
    int major = 0;
    int minor = 0;
    if (!XTestQueryExtension(display->get(), &eventBase, &errorBase, &major, &minor)) {
        qCWarning(platformLog, "The X server lacks the XTEST extension: no input can be injected");
        return nullptr;
    }
    return std::make_unique<X11Backend>(std::move(display));
}

} // namespace platform::x11
