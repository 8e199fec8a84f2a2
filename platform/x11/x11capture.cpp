#include "x11capture.h"

#include "platform/qtx11.h"
#include "x11captureclock.h"
#include "x11capturetranslator.h"

#include <QMetaObject>
#include <QObject>
#include <QThread>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xlibint.h>
#include <X11/Xproto.h>
#include <X11/extensions/record.h>
#include <X11/keysym.h>

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace platform::x11 {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// A quiet server keeps RECORD data in its output buffer until it next flushes to
// some client; a round trip on our control connection this often makes it flush.
constexpr milliseconds kFlushPumpInterval{4};
// The server clock may run at a slightly different rate (remote servers).
constexpr milliseconds kRecalibrateInterval{2000};
// A calibration round trip slower than this says little about the server's time.
constexpr int64_t kMaxCalibrationRoundTripNs = 2000000;
constexpr int kCalibrationSamples = 3;
// How long start() waits for the server to confirm that recording runs.
constexpr milliseconds kStartTimeout{2000};
constexpr int kKeycodeCount = 256;

int64_t steadyNowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
        .count();
}

// Xlib's error handler is process-wide and exits by default; an extension error hook
// is per connection, so errors on our private connections are recorded here instead.
thread_local int t_lastXError = 0;

int recordXError(Display*, xError* error, XExtCodes*, int*)
{
    t_lastXError = error->errorCode;
    return 1; // handled: never reaches the process-wide handler
}

struct DisplayCloser
{
    void operator()(Display* display) const { XCloseDisplay(display); }
};
using DisplayPtr = std::unique_ptr<Display, DisplayCloser>;

DisplayPtr openDisplay()
{
    // The display Qt uses, so capture and the program watch the same server.
    Display* qtDisplay = platform::qtx11::display();
    const char* name = qtDisplay ? DisplayString(qtDisplay) : nullptr;
    DisplayPtr display(XOpenDisplay(name));
    if (display) {
        if (XExtCodes* codes = XAddExtension(display.get()))
            XESetError(display.get(), codes->extension, recordXError);
    }
    return display;
}

bool hasRecord(Display* display)
{
    int major = 0;
    int minor = 0;
    return XRecordQueryVersion(display, &major, &minor) != 0;
}

class FileDescriptor
{
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

// What the GUI thread needs to run handlers. Shared with every queued batch, so a
// batch still in the event queue after stop() (or after the capture is gone) sees
// live == false and runs nothing.
struct Delivery
{
    Delivery(InputCapture::MouseHandler mouse, InputCapture::KeyHandler key)
        : onMouse(std::move(mouse)), onKey(std::move(key))
    {
    }
    std::atomic<bool> live{true};
    const InputCapture::MouseHandler onMouse;
    const InputCapture::KeyHandler onKey;
};

void deliver(const std::shared_ptr<Delivery>& delivery, const std::vector<X11CapturedEvent>& batch)
{
    for (const X11CapturedEvent& event : batch) {
        // A handler may stop (or even destroy) the capture: check before every event.
        if (!delivery->live.load())
            return;
        if (event.kind == X11CapturedEvent::Kind::Mouse && delivery->onMouse)
            delivery->onMouse(event.mouse);
        else if (event.kind == X11CapturedEvent::Kind::Key && delivery->onKey)
            delivery->onKey(event.key);
    }
}

// One recording: two connections (RECORD needs one that does nothing but receive
// the data), the record context, the capture thread and its wake-up descriptor.
// Created by start() and destroyed by stop().
class RecordSession
{
public:
    RecordSession(DisplayPtr control, DisplayPtr data, std::shared_ptr<Delivery> delivery,
                  QObject* receiver)
        : m_control(std::move(control)), m_data(std::move(data)), m_wake(eventfd(0, EFD_CLOEXEC)),
          m_delivery(std::move(delivery)), m_receiver(receiver)
    {
    }
    ~RecordSession() { shutdown(); }
    RecordSession(const RecordSession&) = delete;
    RecordSession& operator=(const RecordSession&) = delete;

    bool begin();
    void shutdown();

private:
    static void onRecordData(XPointer closure, XRecordInterceptData* data);
    void handleRecordData(const XRecordInterceptData& data);
    void run();
    bool waitForStart();
    void pump();
    void handleQueuedEvents(Display* display);
    void loadKeyboard();
    bool createClockWindow();
    void calibrateClock();
    void postBatch();

    DisplayPtr m_control;
    DisplayPtr m_data;
    FileDescriptor m_wake;
    std::shared_ptr<Delivery> m_delivery;
    QObject* m_receiver;
    XRecordContext m_context = 0;
    Window m_clockWindow = 0;
    Atom m_clockAtom = 0;
    bool m_enabled = false;
    bool m_started = false; // the server confirmed recording (StartOfData)
    std::thread m_thread;
    std::atomic<bool> m_stopRequested{false};

    // Owned by the capture thread once it runs.
    X11CaptureClock m_clock;
    std::array<unsigned long, kKeycodeCount> m_level0Keysyms{};
    unsigned m_altMask = Mod1Mask;
    std::vector<X11CapturedEvent> m_batch;
};

bool RecordSession::begin()
{
    if (m_wake.get() < 0 || !createClockWindow())
        return false;
    loadKeyboard();
    calibrateClock();

    XRecordRange* range = XRecordAllocRange();
    if (!range)
        return false;
    range->device_events.first = KeyPress;
    range->device_events.last = MotionNotify;
    XRecordClientSpec clients = XRecordAllClients;
    t_lastXError = 0;
    m_context = XRecordCreateContext(m_control.get(), 0, &clients, 1, &range, 1);
    XFree(range);
    XSync(m_control.get(), False);
    if (!m_context || t_lastXError != 0) {
        m_context = 0;
        return false;
    }
    if (!XRecordEnableContextAsync(m_data.get(), m_context, &RecordSession::onRecordData,
                                   reinterpret_cast<XPointer>(this)))
        return false;
    m_enabled = true;
    XFlush(m_data.get());
    // Return only once the server records, so input sent right after start() is seen.
    if (!waitForStart())
        return false;
    m_thread = std::thread([this] { run(); });
    return true;
}

bool RecordSession::waitForStart()
{
    const Clock::time_point deadline = Clock::now() + kStartTimeout;
    pollfd data{ConnectionNumber(m_data.get()), POLLIN, 0};
    while (!m_started && Clock::now() < deadline) {
        XSync(m_control.get(), False); // makes the server flush the reply to us
        poll(&data, 1, static_cast<int>(kFlushPumpInterval.count()));
        XRecordProcessReplies(m_data.get());
    }
    return m_started;
}

void RecordSession::shutdown()
{
    if (m_thread.joinable()) {
        m_stopRequested.store(true);
        const uint64_t one = 1;
        [[maybe_unused]] ssize_t written = write(m_wake.get(), &one, sizeof one);
        m_thread.join();
    }
    if (m_control) {
        if (m_enabled)
            XRecordDisableContext(m_control.get(), m_context);
        if (m_context)
            XRecordFreeContext(m_control.get(), m_context);
        if (m_clockWindow)
            XDestroyWindow(m_control.get(), m_clockWindow);
        XSync(m_control.get(), False);
    }
    m_enabled = false;
    m_context = 0;
    m_clockWindow = 0;
    // Closing the data connection reads the end of the recording; the callback only
    // collects it into a batch that is never posted.
    m_data.reset();
    m_control.reset();
}

void RecordSession::onRecordData(XPointer closure, XRecordInterceptData* data)
{
    reinterpret_cast<RecordSession*>(closure)->handleRecordData(*data);
    XRecordFreeData(data);
}

void RecordSession::handleRecordData(const XRecordInterceptData& data)
{
    if (data.category == XRecordStartOfData) {
        m_started = true;
        return;
    }
    if (data.category != XRecordFromServer || data.data_len * 4 < sizeof(xEvent))
        return;
    const auto* raw = reinterpret_cast<const xEvent*>(data.data);
    X11DeviceEvent event;
    event.type = raw->u.u.type & 0x7f; // the top bit marks SendEvent
    event.detail = raw->u.u.detail;
    event.state = raw->u.keyButtonPointer.state;
    event.rootX = raw->u.keyButtonPointer.rootX;
    event.rootY = raw->u.keyButtonPointer.rootY;
    X11KeyboardState keyboard;
    keyboard.level0Keysym = m_level0Keysyms[event.detail % kKeycodeCount];
    keyboard.altMask = m_altMask;
    X11CapturedEvent out = translateDeviceEvent(event, keyboard);
    if (out.kind == X11CapturedEvent::Kind::Ignored)
        return;
    const int64_t timeNs = m_clock.toSteadyNs(raw->u.keyButtonPointer.time, steadyNowNs());
    out.mouse.timeNs = timeNs;
    out.key.timeNs = timeNs;
    m_batch.push_back(out);
}

void RecordSession::run()
{
    pollfd fds[2] = {{ConnectionNumber(m_data.get()), POLLIN, 0}, {m_wake.get(), POLLIN, 0}};
    Clock::time_point nextPump = Clock::now();
    Clock::time_point nextCalibration = Clock::now() + kRecalibrateInterval;
    while (!m_stopRequested.load()) {
        const auto wait = std::chrono::duration_cast<milliseconds>(nextPump - Clock::now());
        poll(fds, 2, static_cast<int>(std::max<milliseconds::rep>(0, wait.count())));
        if (m_stopRequested.load())
            break;
        handleQueuedEvents(m_control.get());
        XRecordProcessReplies(m_data.get());
        handleQueuedEvents(m_data.get());
        postBatch();
        const Clock::time_point now = Clock::now();
        if (now >= nextCalibration) {
            calibrateClock();
            nextCalibration = now + kRecalibrateInterval;
        }
        if (now >= nextPump) {
            pump();
            nextPump = now + kFlushPumpInterval;
        }
    }
}

void RecordSession::pump()
{
    XSync(m_control.get(), False);
}

void RecordSession::handleQueuedEvents(Display* display)
{
    // Every client receives MappingNotify; nothing else is selected on these connections.
    bool reload = false;
    while (XEventsQueued(display, QueuedAlready) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MappingNotify && (event.xmapping.request == MappingKeyboard ||
                                            event.xmapping.request == MappingModifier))
            reload = true;
    }
    if (reload)
        loadKeyboard();
}

void RecordSession::loadKeyboard()
{
    Display* display = m_control.get();
    int minKeycode = 0;
    int maxKeycode = 0;
    XDisplayKeycodes(display, &minKeycode, &maxKeycode);
    m_level0Keysyms.fill(NoSymbol);
    int perKeycode = 0;
    const int count = maxKeycode - minKeycode + 1;
    KeySym* syms =
        XGetKeyboardMapping(display, static_cast<KeyCode>(minKeycode), count, &perKeycode);
    if (syms) {
        for (int i = 0; i < count && minKeycode + i < kKeycodeCount; ++i)
            m_level0Keysyms[minKeycode + i] = syms[i * perKeycode];
        XFree(syms);
    }
    // Alt is Mod1 almost everywhere, but the modifier map decides.
    m_altMask = Mod1Mask;
    if (XModifierKeymap* map = XGetModifierMapping(display)) {
        for (int mod = 0; mod < 8; ++mod) {
            for (int k = 0; k < map->max_keypermod; ++k) {
                const KeyCode code = map->modifiermap[mod * map->max_keypermod + k];
                const unsigned long sym = m_level0Keysyms[code];
                if (code && (sym == XK_Alt_L || sym == XK_Alt_R) &&
                    mod > 2) // not Shift/Lock/Control
                    m_altMask = 1u << mod;
            }
        }
        XFreeModifiermap(map);
    }
}

bool RecordSession::createClockWindow()
{
    Display* display = m_control.get();
    // An unmapped window of our own: changing a property on it yields a PropertyNotify
    // carrying the server's current time, and nobody else sees it.
    XSetWindowAttributes attributes{};
    attributes.event_mask = PropertyChangeMask;
    m_clockWindow = XCreateWindow(display, DefaultRootWindow(display), -1, -1, 1, 1, 0, 0,
                                  InputOnly, CopyFromParent, CWEventMask, &attributes);
    m_clockAtom = XInternAtom(display, "_KLIQORA_CAPTURE_CLOCK", False);
    return m_clockWindow != 0 && m_clockAtom != None;
}

void RecordSession::calibrateClock()
{
    Display* display = m_control.get();
    int64_t bestRoundTrip = kMaxCalibrationRoundTripNs;
    for (int i = 0; i < kCalibrationSamples; ++i) {
        const int64_t before = steadyNowNs();
        XChangeProperty(display, m_clockWindow, m_clockAtom, XA_INTEGER, 32, PropModeAppend,
                        nullptr, 0);
        XSync(display, False);
        const int64_t after = steadyNowNs();
        XEvent event;
        if (!XCheckTypedWindowEvent(display, m_clockWindow, PropertyNotify, &event))
            continue;
        if (after - before < bestRoundTrip) {
            bestRoundTrip = after - before;
            m_clock.calibrate(static_cast<uint32_t>(event.xproperty.time), before, after);
        }
    }
}

void RecordSession::postBatch()
{
    if (m_batch.empty())
        return;
    std::vector<X11CapturedEvent> batch;
    batch.swap(m_batch);
    QMetaObject::invokeMethod(
        m_receiver, [delivery = m_delivery, batch = std::move(batch)] { deliver(delivery, batch); },
        Qt::QueuedConnection);
}

struct ReceiverDeleter
{
    // Later: the capture may be destroyed by a handler that runs inside a delivery.
    void operator()(QObject* receiver) const { receiver->deleteLater(); }
};

class X11Capture final : public InputCapture
{
public:
    ~X11Capture() override { stop(); }

    bool start(MouseHandler onMouse, KeyHandler onKey) override;
    void stop() override;
    bool isActive() const override { return m_session != nullptr; }

private:
    std::unique_ptr<QObject, ReceiverDeleter> m_receiver;
    std::shared_ptr<Delivery> m_delivery;
    std::unique_ptr<RecordSession> m_session;
};

bool X11Capture::start(MouseHandler onMouse, KeyHandler onKey)
{
    stop();
    DisplayPtr control = openDisplay();
    DisplayPtr data = openDisplay();
    if (!control || !data || !hasRecord(control.get()))
        return false;
    // Deliveries go to the thread that starts the capture.
    if (!m_receiver || m_receiver->thread() != QThread::currentThread())
        m_receiver.reset(new QObject);
    m_delivery = std::make_shared<Delivery>(std::move(onMouse), std::move(onKey));
    auto session = std::make_unique<RecordSession>(std::move(control), std::move(data), m_delivery,
                                                   m_receiver.get());
    if (!session->begin()) {
        m_delivery->live.store(false);
        return false;
    }
    m_session = std::move(session);
    return true;
}

void X11Capture::stop()
{
    if (m_delivery)
        m_delivery->live.store(false);
    m_session.reset(); // joins the thread and closes both connections
}

} // namespace

std::unique_ptr<InputCapture> createX11Capture()
{
    DisplayPtr display = openDisplay();
    if (!display || !hasRecord(display.get()))
        return nullptr;
    return std::make_unique<X11Capture>();
}

} // namespace platform::x11
