// Global capture on a real X server: what XTest injects comes back with the same
// kind, point, key and a believable time, promptly, and start/stop leaves nothing behind.

#include "platform/backend.h"
#include "platform/virtualkeys.h"
#include "testenvironment.h"
#include "x11/x11capture.h"
#include "x11/x11keysyms.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QThread>
#include <QWindow>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <memory>
#include <utility>
#include <vector>

Q_DECLARE_METATYPE(platform::Input)

using namespace platform;

namespace {

int64_t steadyNowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

int countEntries(const char* path)
{
    return static_cast<int>(QDir(QString::fromLatin1(path))
                                .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System)
                                .size());
}

// Injects through XTest on a connection of its own. Only flushes, never waits for a
// reply: a round trip would make the server flush the recorded data by itself.
class Injector
{
public:
    Injector() : m_display(XOpenDisplay(nullptr)) {}
    ~Injector()
    {
        if (m_display)
            XCloseDisplay(m_display);
    }
    Injector(const Injector&) = delete;
    Injector& operator=(const Injector&) = delete;

    bool isOpen() const { return m_display != nullptr; }
    void move(int x, int y) { XTestFakeMotionEvent(m_display, -1, x, y, CurrentTime), flush(); }
    void button(unsigned button, bool down)
    {
        XTestFakeButtonEvent(m_display, button, down, CurrentTime), flush();
    }
    void click(unsigned b) { button(b, true), button(b, false); }
    unsigned keycodeOf(uint16_t vk) const
    {
        return XKeysymToKeycode(m_display, x11::vkToKeysym(vk));
    }
    void key(uint16_t vk, bool down)
    {
        XTestFakeKeyEvent(m_display, keycodeOf(vk), down, CurrentTime);
        flush();
    }
    void tap(uint16_t vk) { key(vk, true), key(vk, false); }
    // While the server is grabbed it serves only this connection, so recorded data
    // reaches the capture only after the ungrab, all at once.
    void grabServer() { XGrabServer(m_display), flush(); }
    void ungrabServer() { XUngrabServer(m_display), flush(); }
    void sync() { XSync(m_display, False); }

private:
    void flush() { XFlush(m_display); }
    Display* m_display;
};

// Collects every delivered event in order, with the steady time it was handled.
struct Collector
{
    struct Item
    {
        bool isKey = false;
        CapturedMouse mouse;
        CapturedKey key;
        int64_t handledNs = 0;
    };
    std::vector<Item> items;

    InputCapture::MouseHandler mouseHandler()
    {
        return [this](const CapturedMouse& m) { items.push_back({false, m, {}, steadyNowNs()}); };
    }
    InputCapture::KeyHandler keyHandler()
    {
        return [this](const CapturedKey& k) { items.push_back({true, {}, k, steadyNowNs()}); };
    }
    std::vector<CapturedMouse> mice(bool withMoves = true) const
    {
        std::vector<CapturedMouse> out;
        for (const Item& item : items) {
            if (!item.isKey && (withMoves || item.mouse.message != Message::MouseMove))
                out.push_back(item.mouse);
        }
        return out;
    }
    std::vector<CapturedKey> keys() const
    {
        std::vector<CapturedKey> out;
        for (const Item& item : items) {
            if (item.isKey)
                out.push_back(item.key);
        }
        return out;
    }
};

constexpr int kWaitMs = 2000;
constexpr int kQuietDeliveryMs = 100;

uint32_t wheel(int16_t delta)
{
    return static_cast<uint32_t>(static_cast<uint16_t>(delta)) << 16;
}

// A plain window that counts the presses it receives.
class PressCounter : public QWindow
{
public:
    int mousePresses = 0;
    int keyPresses = 0;

protected:
    void mousePressEvent(QMouseEvent*) override { ++mousePresses; }
    void keyPressEvent(QKeyEvent*) override { ++keyPresses; }
};

} // namespace

class TestX11Capture : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void mouseEvents_data();
    void mouseEvents();
    void keyRoundTrip_data();
    void keyRoundTrip();
    void backendInjectionComesBack_data();
    void backendInjectionComesBack();
    void altMakesSystemKeys_data();
    void altMakesSystemKeys();
    void eventTimesFollowTheSteadyClock();
    void quietServerDeliversPromptly();
    void startStopLeavesNothingBehind();
    void noHandlerRunsAfterStop();
    void handlerMayStopOrDestroyTheCapture();
    void inputStillReachesWindows();

private:
    std::unique_ptr<InputCapture> startCapture(Collector& collector);
    Injector m_inject;
};

void TestX11Capture::initTestCase()
{
    QVERIFY2(m_inject.isOpen(), "needs an X display");
    QVERIFY2(x11::createX11Capture() != nullptr, "needs the RECORD extension");
}

std::unique_ptr<InputCapture> TestX11Capture::startCapture(Collector& collector)
{
    std::unique_ptr<InputCapture> capture = x11::createX11Capture();
    if (capture && !capture->start(collector.mouseHandler(), collector.keyHandler()))
        capture.reset();
    return capture;
}

void TestX11Capture::mouseEvents_data()
{
    QTest::addColumn<unsigned>("button");
    QTest::addColumn<QVector<uint32_t>>("messages");
    QTest::addColumn<QVector<uint32_t>>("mouseData");

    using M = QVector<uint32_t>;
    // clang-format off
    QTest::newRow("left") << 1u << M{Message::LButtonDown, Message::LButtonUp} << M{0, 0};
    QTest::newRow("middle") << 2u << M{Message::MButtonDown, Message::MButtonUp} << M{0, 0};
    QTest::newRow("right") << 3u << M{Message::RButtonDown, Message::RButtonUp} << M{0, 0};
    QTest::newRow("wheel away from the user") << 4u << M{Message::MouseWheel} << M{wheel(120)};
    QTest::newRow("wheel toward the user") << 5u << M{Message::MouseWheel} << M{wheel(-120)};
    QTest::newRow("wheel left") << 6u << M{Message::MouseHWheel} << M{wheel(-120)};
    QTest::newRow("wheel right") << 7u << M{Message::MouseHWheel} << M{wheel(120)};
    QTest::newRow("back") << 8u << M{Message::XButtonDown, Message::XButtonUp} << M{1u << 16, 1u << 16};
    // clang-format on
}

void TestX11Capture::mouseEvents()
{
    QFETCH(unsigned, button);
    QFETCH(QVector<uint32_t>, messages);
    QFETCH(QVector<uint32_t>, mouseData);

    Collector collector;
    std::unique_ptr<InputCapture> capture = startCapture(collector);
    QVERIFY(capture);
    m_inject.move(321, 456);
    QVERIFY(QTest::qWaitFor([&] { return !collector.mice().empty(); }, kWaitMs));
    const CapturedMouse moved = collector.mice().back();
    QCOMPARE(moved.message, Message::MouseMove);
    QCOMPARE(moved.x, 321);
    QCOMPARE(moved.y, 456);

    m_inject.click(button);
    QVERIFY(QTest::qWaitFor([&] { return collector.mice(false).size() >= size_t(messages.size()); },
                            kWaitMs));
    QTest::qWait(50); // nothing more may follow
    const std::vector<CapturedMouse> got = collector.mice(false);
    QCOMPARE(got.size(), size_t(messages.size()));
    for (int i = 0; i < messages.size(); ++i) {
        QCOMPARE(got[i].message, messages[i]);
        QCOMPARE(got[i].mouseData, mouseData[i]);
        QCOMPARE(got[i].x, 321); // a button reports the pointer's position
        QCOMPARE(got[i].y, 456);
    }
}

void TestX11Capture::keyRoundTrip_data()
{
    QTest::addColumn<uint16_t>("vk");
    QTest::addColumn<bool>("extended");

    // clang-format off
    const struct { const char* name; uint16_t vk; bool extended; } rows[] = {
        {"A", Vk::KeyA, false}, {"Z", Vk::KeyA + 25, false},
        {"0", Vk::Key0, false}, {"9", Vk::Key0 + 9, false},
        {"F1", Vk::F1, false}, {"F12", Vk::F1 + 11, false},
        {"Shift", Vk::Shift, false}, {"Control", Vk::Control, false},
        {"RControl", Vk::RControl, true}, {"LWin", Vk::LWin, true},
        {"space", Vk::Space, false}, {"Return", Vk::Return, false}, {"Escape", Vk::Escape, false},
        {";", Vk::Oem1, false}, {",", Vk::OemComma, false}, {"/", Vk::Oem2, false},
        {"'", Vk::Oem7, false}, {"[", Vk::Oem4, false}, {"-", Vk::OemMinus, false},
        {"Delete", Vk::Delete, true}, {"Left", Vk::Left, true}, {"Home", Vk::Home, true},
        {"numpad 5", Vk::Numpad0 + 5, false}, {"keypad divide", Vk::Divide, true},
    };
    // clang-format on
    for (const auto& row : rows)
        QTest::newRow(row.name) << row.vk << row.extended;
}

void TestX11Capture::keyRoundTrip()
{
    QFETCH(uint16_t, vk);
    QFETCH(bool, extended);

    const unsigned keycode = m_inject.keycodeOf(vk);
    QVERIFY2(keycode != 0, "the server's keymap lacks the key");
    Collector collector;
    std::unique_ptr<InputCapture> capture = startCapture(collector);
    QVERIFY(capture);
    m_inject.tap(vk);
    QVERIFY(QTest::qWaitFor([&] { return collector.keys().size() >= 2; }, kWaitMs));
    const std::vector<CapturedKey> keys = collector.keys();
    QCOMPARE(keys.size(), size_t(2));
    const uint32_t extendedFlag = extended ? CapturedKeyFlag::Extended : 0;
    QCOMPARE(keys[0].message, Message::KeyDown);
    QCOMPARE(keys[0].vkCode, uint32_t(vk));
    QCOMPARE(keys[0].scanCode, keycode - 8);
    QCOMPARE(keys[0].flags, extendedFlag);
    QCOMPARE(keys[1].message, Message::KeyUp);
    QCOMPARE(keys[1].vkCode, uint32_t(vk));
    QCOMPARE(keys[1].flags, extendedFlag | CapturedKeyFlag::Up);
}

void TestX11Capture::backendInjectionComesBack_data()
{
    QTest::addColumn<QVector<Input>>("inputs");
    QTest::addColumn<QVector<uint32_t>>("messages");
    QTest::addColumn<QVector<uint32_t>>("codes"); // vk for keys, mouseData for the mouse

    using I = QVector<Input>;
    using M = QVector<uint32_t>;
    const auto tap = [](uint16_t vk) {
        return I{Input::keyInput(vk), Input::keyInput(vk, KeyFlag::KeyUp)};
    };
    const M downUp{Message::KeyDown, Message::KeyUp};
    // clang-format off
    const struct { const char* name; uint16_t vk; } keys[] = {
        {"Q", Vk::KeyA + 16}, {"7", Vk::Key0 + 7}, {"F5", Vk::F1 + 4}, {"F11", Vk::F1 + 10},
        {"Shift", Vk::Shift}, {"Control", Vk::Control}, {"Tab", Vk::Tab}, {"Back", Vk::Back},
        {"=", Vk::OemPlus}, {".", Vk::OemPeriod}, {"`", Vk::Oem3}, {"\\", Vk::Oem5}, {"]", Vk::Oem6},
    };
    // clang-format on
    for (const auto& key : keys)
        QTest::newRow(key.name) << tap(key.vk) << downUp << M{key.vk, key.vk};

    QTest::newRow("right click") << I{Input::mouseInput(MouseFlag::RightDown),
                                      Input::mouseInput(MouseFlag::RightUp)}
                                 << M{Message::RButtonDown, Message::RButtonUp} << M{0, 0};
    QTest::newRow("wheel two notches back")
        << I{Input::mouseInput(MouseFlag::Wheel, 0, 0, -2 * WheelDelta)}
        << M{Message::MouseWheel, Message::MouseWheel} << M{wheel(-120), wheel(-120)};
}

void TestX11Capture::backendInjectionComesBack()
{
    // What the jobs send through the backend is what a recording of it holds.
    QFETCH(QVector<Input>, inputs);
    QFETCH(QVector<uint32_t>, messages);
    QFETCH(QVector<uint32_t>, codes);

    QCOMPARE(QByteArray(backend().name()), QByteArray("x11"));
    m_inject.move(700, 300);
    Collector collector;
    std::unique_ptr<InputCapture> capture = backend().createCapture();
    QVERIFY(capture);
    QVERIFY(capture->start(collector.mouseHandler(), collector.keyHandler()));
    QCOMPARE(sendInput(inputs.constData(), unsigned(inputs.size())), unsigned(inputs.size()));
    const auto withoutMoves = [&] {
        std::vector<Collector::Item> out;
        for (const Collector::Item& item : collector.items) {
            if (item.isKey || item.mouse.message != Message::MouseMove)
                out.push_back(item);
        }
        return out;
    };
    QVERIFY(
        QTest::qWaitFor([&] { return withoutMoves().size() >= size_t(messages.size()); }, kWaitMs));
    QTest::qWait(50);
    const std::vector<Collector::Item> got = withoutMoves();
    QCOMPARE(got.size(), size_t(messages.size()));
    for (int i = 0; i < messages.size(); ++i) {
        if (got[i].isKey) {
            QCOMPARE(got[i].key.message, messages[i]);
            QCOMPARE(got[i].key.vkCode, codes[i]);
        } else {
            QCOMPARE(got[i].mouse.message, messages[i]);
            QCOMPARE(got[i].mouse.mouseData, codes[i]);
            QCOMPARE(got[i].mouse.x, 700);
            QCOMPARE(got[i].mouse.y, 300);
        }
    }
}

void TestX11Capture::altMakesSystemKeys_data()
{
    QTest::addColumn<bool>("withControl");
    QTest::newRow("Alt+A is a system key") << false;
    QTest::newRow("Ctrl+Alt+A is not") << true;
}

void TestX11Capture::altMakesSystemKeys()
{
    QFETCH(bool, withControl);

    Collector collector;
    std::unique_ptr<InputCapture> capture = startCapture(collector);
    QVERIFY(capture);
    if (withControl)
        m_inject.key(Vk::Control, true);
    m_inject.key(Vk::Menu, true);
    m_inject.tap(Vk::KeyA);
    m_inject.key(Vk::Menu, false);
    if (withControl)
        m_inject.key(Vk::Control, false);
    const size_t expected = withControl ? 6 : 4;
    QVERIFY(QTest::qWaitFor([&] { return collector.keys().size() >= expected; }, kWaitMs));
    std::vector<CapturedKey> keys = collector.keys();
    if (withControl)
        keys = std::vector<CapturedKey>(keys.begin() + 1, keys.end() - 1);

    const uint32_t down = withControl ? Message::KeyDown : Message::SysKeyDown;
    const uint32_t up = withControl ? Message::KeyUp : Message::SysKeyUp;
    namespace F = CapturedKeyFlag;
    // clang-format off
    const struct { uint32_t message; uint16_t vk; uint32_t flags; } expect[] = {
        {down, Vk::Menu, F::AltDown},
        {down, Vk::KeyA, F::AltDown},
        {up, Vk::KeyA, F::AltDown | F::Up},
        {Message::KeyUp, Vk::Menu, F::Up}, // Alt itself is released as a plain key
    };
    // clang-format on
    for (size_t i = 0; i < std::size(expect); ++i) {
        QCOMPARE(keys[i].message, expect[i].message);
        QCOMPARE(keys[i].vkCode, uint32_t(expect[i].vk));
        QCOMPARE(keys[i].flags, expect[i].flags);
    }
}

void TestX11Capture::eventTimesFollowTheSteadyClock()
{
    constexpr int kGapMs = 40;
    constexpr int kSteps = 5;
    constexpr double kSlackMs = 1.5; // whole-millisecond server times, calibration error
    Collector collector;
    std::unique_ptr<InputCapture> capture = startCapture(collector);
    QVERIFY(capture);
    // Each event happens between the send and the reply to a round trip after it.
    std::vector<std::pair<int64_t, int64_t>> sent;
    m_inject.grabServer();
    for (int i = 0; i < kSteps; ++i) {
        const int64_t before = steadyNowNs();
        m_inject.move(100 + i, 200);
        m_inject.sync();
        sent.emplace_back(before, steadyNowNs());
        QThread::msleep(kGapMs);
    }
    m_inject.ungrabServer();
    QVERIFY(QTest::qWaitFor([&] { return collector.items.size() >= size_t(kSteps); }, kWaitMs));
    QCOMPARE(collector.items.size(), size_t(kSteps));
    for (int i = 0; i < kSteps; ++i) {
        const Collector::Item& item = collector.items[i];
        QVERIFY2(item.mouse.timeNs <= item.handledNs, "an event time lies in the future");
        // The event's own time, not its (late, batched) arrival.
        const double afterSendMs = (item.mouse.timeNs - sent[i].first) / 1e6;
        const double beforeReplyMs = (sent[i].second - item.mouse.timeNs) / 1e6;
        QVERIFY2(afterSendMs > -kSlackMs && beforeReplyMs > -kSlackMs,
                 qPrintable(QStringLiteral("event %1: %2 ms after the send, %3 ms before the reply")
                                .arg(i)
                                .arg(afterSendMs)
                                .arg(beforeReplyMs)));
    }
}

void TestX11Capture::quietServerDeliversPromptly()
{
    // A click on the bare root window: nothing else talks to the server, which then
    // keeps the recorded data to itself until some client's output is flushed.
    Collector collector;
    std::unique_ptr<InputCapture> capture = startCapture(collector);
    QVERIFY(capture);
    m_inject.move(5, 5);
    QVERIFY(QTest::qWaitFor([&] { return !collector.items.empty(); }, kWaitMs));
    QTest::qWait(200);
    collector.items.clear();

    QElapsedTimer timer;
    timer.start();
    m_inject.click(1);
    QVERIFY(QTest::qWaitFor([&] { return collector.mice(false).size() >= 2; }, kWaitMs));
    QVERIFY2(timer.elapsed() < kQuietDeliveryMs, qPrintable(QString::number(timer.elapsed())));
}

void TestX11Capture::startStopLeavesNothingBehind()
{
    constexpr int kCycles = 20;
    const int threadsBefore = countEntries("/proc/self/task");
    const int fdsBefore = countEntries("/proc/self/fd");
    std::unique_ptr<InputCapture> capture = x11::createX11Capture();
    QVERIFY(capture);
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < kCycles; ++i) {
        QVERIFY(capture->start({}, {}));
        QVERIFY(capture->isActive());
        QVERIFY(countEntries("/proc/self/task") > threadsBefore);
        capture->stop();
        QVERIFY(!capture->isActive());
        capture->stop(); // twice is harmless
    }
    QVERIFY2(timer.elapsed() < kCycles * 100, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(countEntries("/proc/self/task"), threadsBefore);
    QCOMPARE(countEntries("/proc/self/fd"), fdsBefore); // X connections are sockets

    // Destroying a running capture cleans up as well.
    QVERIFY(capture->start({}, {}));
    capture.reset();
    QCOMPARE(countEntries("/proc/self/task"), threadsBefore);
    QCOMPARE(countEntries("/proc/self/fd"), fdsBefore);
}

void TestX11Capture::noHandlerRunsAfterStop()
{
    Collector collector;
    std::unique_ptr<InputCapture> capture = startCapture(collector);
    QVERIFY(capture);
    for (int i = 0; i < 20; ++i)
        m_inject.move(300 + i, 300);
    // Let the capture thread queue them without the event loop running them.
    QThread::msleep(100);
    capture->stop();
    const size_t atStop = collector.items.size();
    QTest::qWait(200);
    QCOMPARE(collector.items.size(), atStop);

    // A restart delivers only what happens after it, to the new handlers.
    Collector second;
    QVERIFY(capture->start(second.mouseHandler(), second.keyHandler()));
    m_inject.move(400, 400);
    QVERIFY(QTest::qWaitFor([&] { return !second.items.empty(); }, kWaitMs));
    QCOMPARE(second.items.front().mouse.x, 400);
    QCOMPARE(collector.items.size(), atStop);
}

void TestX11Capture::handlerMayStopOrDestroyTheCapture()
{
    // Point picking ends the capture from inside the handler of the first press.
    std::unique_ptr<InputCapture> capture = x11::createX11Capture();
    QVERIFY(capture);
    int calls = 0;
    QVERIFY(capture->start(
        [&](const CapturedMouse&) {
            ++calls;
            capture->stop();
        },
        {}));
    for (int i = 0; i < 10; ++i)
        m_inject.move(500 + i, 500);
    QThread::msleep(50); // one batch
    QVERIFY(QTest::qWaitFor([&] { return calls > 0; }, kWaitMs));
    QTest::qWait(100);
    QCOMPARE(calls, 1);

    calls = 0;
    QVERIFY(capture->start(
        [&](const CapturedMouse&) {
            ++calls;
            capture.reset();
        },
        {}));
    for (int i = 0; i < 10; ++i)
        m_inject.move(600 + i, 600);
    QThread::msleep(50);
    QVERIFY(QTest::qWaitFor([&] { return calls > 0; }, kWaitMs));
    QTest::qWait(100);
    QCOMPARE(calls, 1);
    QVERIFY(!capture);
}

void TestX11Capture::inputStillReachesWindows()
{
    // Capture only watches: the click and the key still reach the window under the pointer.
    PressCounter window;
    window.setGeometry(200, 200, 300, 200);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.requestActivate();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    Collector collector;
    std::unique_ptr<InputCapture> capture = startCapture(collector);
    QVERIFY(capture);
    const QPoint center = window.geometry().center();
    m_inject.move(center.x(), center.y());
    m_inject.click(1);
    m_inject.tap(Vk::KeyA + 10);
    QVERIFY(QTest::qWaitFor([&] { return window.mousePresses == 1 && window.keyPresses == 1; },
                            kWaitMs));
    QVERIFY(QTest::qWaitFor(
        [&] { return collector.mice(false).size() == 2 && collector.keys().size() == 2; },
        kWaitMs));
}

KLIQORA_TEST_MAIN_WITH(QGuiApplication, TestX11Capture)
#include "tst_x11capture.moc"
