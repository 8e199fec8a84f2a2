// Without a usable display (here: the offscreen Qt platform, even when an X
// server is reachable) every platform call fails cleanly and nothing crashes.
#include "testenvironment.h"

#include "null/nullbackend.h"
#include "platform/backend.h"
#include "x11/x11backend.h"

#include <cstring>

class TestNullBackend : public QObject
{
    Q_OBJECT

private slots:
    void offscreenPlatformGetsTheNullBackend();
    void everyCallFails_data();
    void everyCallFails();
};

void TestNullBackend::offscreenPlatformGetsTheNullBackend()
{
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("offscreen"));
    QVERIFY(!platform::x11::createX11Backend());
    QCOMPARE(platform::backend().name(), "null");
    QCOMPARE(platform::inputReach(), platform::InputReach::Nothing);
}

void TestNullBackend::everyCallFails_data()
{
    QTest::addColumn<bool>("processBackend");
    QTest::newRow("chosen for the process") << true;
    QTest::newRow("made directly") << false;
}

void TestNullBackend::everyCallFails()
{
    QFETCH(bool, processBackend);
    platform::NullBackend direct;
    platform::Backend& backend = processBackend ? platform::backend() : direct;

    const platform::Input inputs[] = {
        platform::Input::mouseInput(platform::MouseFlag::Move | platform::MouseFlag::Absolute,
                                    32767, 32767),
        platform::Input::mouseInput(platform::MouseFlag::LeftDown),
        platform::Input::keyInput(0, platform::KeyFlag::Unicode, 0x4F60),
    };
    QCOMPARE(backend.sendInput(inputs, 3), 0u);
    QCOMPARE(backend.sendInput(nullptr, 0), 0u);
    const platform::ScreenSize size = backend.primaryScreenSize();
    QCOMPARE(size.width, 0);
    QCOMPARE(size.height, 0);
    platform::CursorPos pos{7, 8};
    QVERIFY(!backend.cursorPos(pos));
    QVERIFY(!backend.beginTimerResolution());
    backend.endTimerResolution();
    QVERIFY(!backend.setKeepAwake(true));
    QVERIFY(!backend.setKeepAwake(false));
    QVERIFY(!backend.createCapture());
}

KLIQORA_TEST_MAIN(TestNullBackend)
#include "tst_nullbackend.moc"
