// Captured X events mapped to what Windows' low-level hooks report, and X server
// times mapped onto the steady clock.

#include "platform/virtualkeys.h"
#include "testenvironment.h"
#include "x11/x11captureclock.h"
#include "x11/x11capturetranslator.h"

#include <X11/X.h>
#include <X11/keysym.h>

using namespace platform;
using namespace platform::x11;

namespace {
constexpr int64_t kMs = 1000000;
constexpr unsigned kKeycodeA = 38;
} // namespace

class TestX11CaptureTranslation : public QObject
{
    Q_OBJECT

private slots:
    void clock_data();
    void clock();
    void clockNeverGoesBackOrAhead();
    void keys_data();
    void keys();
    void wheelReleaseIsNotReported();
};

void TestX11CaptureTranslation::clock_data()
{
    QTest::addColumn<uint32_t>("calibrationMs");
    QTest::addColumn<uint32_t>("eventMs");
    QTest::addColumn<int64_t>("expectedOffsetMs");

    QTest::newRow("later") << 1000u << 1250u << int64_t(250);
    QTest::newRow("earlier") << 1000u << 990u << int64_t(-10);
    QTest::newRow("event after the counter wrapped") << 0xFFFFFFF0u << 0x10u << int64_t(0x20);
    QTest::newRow("calibrated after the wrap") << 0x10u << 0xFFFFFFF0u << int64_t(-0x20);
}

void TestX11CaptureTranslation::clock()
{
    QFETCH(uint32_t, calibrationMs);
    QFETCH(uint32_t, eventMs);
    QFETCH(int64_t, expectedOffsetMs);

    const int64_t base = 5000 * kMs;
    X11CaptureClock clock;
    clock.calibrate(calibrationMs, base, base + kMs); // reading taken in [base, base + 1 ms]
    // The reference tick lies half a millisecond before the middle of the round trip.
    const int64_t expected = base + expectedOffsetMs * kMs;
    QCOMPARE(clock.toSteadyNs(eventMs, base + 10000 * kMs), expected);
}

void TestX11CaptureTranslation::clockNeverGoesBackOrAhead()
{
    X11CaptureClock uncalibrated;
    QCOMPARE(uncalibrated.toSteadyNs(123, 42 * kMs), 42 * kMs);

    X11CaptureClock clock;
    clock.calibrate(1000, 0, 0);
    // An event stamped later than it arrived (calibration error) is put at its arrival.
    QCOMPARE(clock.toSteadyNs(1100, 50 * kMs), 50 * kMs);
    // A following event never comes out earlier than the previous one.
    QCOMPARE(clock.toSteadyNs(1020, 200 * kMs), 50 * kMs);
    QCOMPARE(clock.toSteadyNs(1150, 300 * kMs), 150 * kMs - kMs / 2);
}

void TestX11CaptureTranslation::keys_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<unsigned long>("keysym");
    QTest::addColumn<unsigned>("state");
    QTest::addColumn<uint32_t>("message");
    QTest::addColumn<uint32_t>("vk");
    QTest::addColumn<uint32_t>("flags");

    namespace F = CapturedKeyFlag;
    const unsigned alt = Mod1Mask;
    // clang-format off
    QTest::newRow("a down") << KeyPress << (unsigned long)XK_a << 0u << Message::KeyDown << uint32_t(Vk::KeyA) << 0u;
    QTest::newRow("a up") << KeyRelease << (unsigned long)XK_a << 0u << Message::KeyUp << uint32_t(Vk::KeyA) << F::Up;
    QTest::newRow("shift held: still the key") << KeyPress << (unsigned long)XK_a << unsigned(ShiftMask) << Message::KeyDown << uint32_t(Vk::KeyA) << 0u;
    QTest::newRow("Alt down") << KeyPress << (unsigned long)XK_Alt_L << 0u << Message::SysKeyDown << uint32_t(Vk::Menu) << F::AltDown;
    QTest::newRow("Alt up") << KeyRelease << (unsigned long)XK_Alt_L << alt << Message::KeyUp << uint32_t(Vk::Menu) << F::Up;
    QTest::newRow("a with Alt") << KeyPress << (unsigned long)XK_a << alt << Message::SysKeyDown << uint32_t(Vk::KeyA) << F::AltDown;
    QTest::newRow("a up with Alt") << KeyRelease << (unsigned long)XK_a << alt << Message::SysKeyUp << uint32_t(Vk::KeyA) << (F::AltDown | F::Up);
    QTest::newRow("a with Ctrl+Alt") << KeyPress << (unsigned long)XK_a << (alt | ControlMask) << Message::KeyDown << uint32_t(Vk::KeyA) << F::AltDown;
    QTest::newRow("F10 alone") << KeyPress << (unsigned long)XK_F10 << 0u << Message::SysKeyDown << uint32_t(Vk::F1 + 9) << 0u;
    QTest::newRow("right Ctrl") << KeyPress << (unsigned long)XK_Control_R << 0u << Message::KeyDown << uint32_t(Vk::RControl) << F::Extended;
    QTest::newRow("arrow") << KeyRelease << (unsigned long)XK_Up << 0u << Message::KeyUp << uint32_t(Vk::Up) << (F::Extended | F::Up);
    QTest::newRow("keypad arrow") << KeyPress << (unsigned long)XK_KP_Up << 0u << Message::KeyDown << uint32_t(Vk::Numpad0 + 8) << 0u;
    QTest::newRow("unknown keysym") << KeyPress << (unsigned long)XK_EuroSign << 0u << Message::KeyDown << 0u << 0u;
    // clang-format on
}

void TestX11CaptureTranslation::keys()
{
    QFETCH(int, type);
    QFETCH(unsigned long, keysym);
    QFETCH(unsigned, state);
    QFETCH(uint32_t, message);
    QFETCH(uint32_t, vk);
    QFETCH(uint32_t, flags);

    X11DeviceEvent event;
    event.type = type;
    event.detail = kKeycodeA;
    event.state = state;
    X11KeyboardState keyboard;
    keyboard.level0Keysym = keysym;
    keyboard.altMask = Mod1Mask;
    const X11CapturedEvent out = translateDeviceEvent(event, keyboard);
    QCOMPARE(int(out.kind), int(X11CapturedEvent::Kind::Key));
    QCOMPARE(out.key.message, message);
    QCOMPARE(out.key.vkCode, vk);
    QCOMPARE(out.key.scanCode, kKeycodeA - 8);
    QCOMPARE(out.key.flags, flags);
}

void TestX11CaptureTranslation::wheelReleaseIsNotReported()
{
    // One notch is one message: the release X sends after each wheel press is dropped.
    X11DeviceEvent event;
    event.type = ButtonRelease;
    event.detail = 4;
    QCOMPARE(int(translateDeviceEvent(event, {}).kind), int(X11CapturedEvent::Kind::Ignored));
    event.type = ButtonPress;
    QCOMPARE(int(translateDeviceEvent(event, {}).kind), int(X11CapturedEvent::Kind::Mouse));
}

KLIQORA_TEST_APPLESS_MAIN(TestX11CaptureTranslation)
#include "tst_x11capturetranslation.moc"
