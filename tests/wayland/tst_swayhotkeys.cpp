// Global hotkeys on sway: registered as compositor bindings through its IPC, pressed
// on a virtual keyboard as a user presses them, while a Wayland program has the
// focus. The compositor keeps a bound key from that program.

#include "platform/backend.h"
#include "platform/virtualkeys.h"
#include "qhotkey.h"
#include "testenvironment.h"
#include "waylandclientlog.h"
#include "waylandsession.h"

#include <QSignalSpy>
#include <QtTest>

#include <memory>

using platform::Input;
namespace Vk = platform::Vk;

namespace {

constexpr int ActivationTimeoutMs = 2000;
constexpr int SettleMs = 150;

void press(std::initializer_list<uint16_t> keys)
{
    std::vector<Input> records;
    for (uint16_t vk : keys)
        records.push_back(Input::keyInput(vk));
    for (auto it = keys.end(); it != keys.begin();)
        records.push_back(Input::keyInput(*--it, platform::KeyFlag::KeyUp));
    QCOMPARE(platform::sendInput(records.data(), unsigned(records.size())),
             unsigned(records.size()));
    platform::backend().waitForDelivery();
}

} // namespace

class TestSwayHotkeys : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init() { m_client.clear(); }

    void pressAndReleaseArriveAndTheProgramSeesNeither();
    void changingTheKeyUnbindsTheOldOne();
    void keysTheConfigurationBindsAreTaken_data();
    void keysTheConfigurationBindsAreTaken();
    void aKeyIsRegisteredOncePerProcess();

private:
    WaylandClientLog m_client;
};

void TestSwayHotkeys::initTestCase()
{
    QVERIFY2(WaylandSession::enter(), "no headless compositor session (run through ctest)");
    QCOMPARE(QString::fromLatin1(platform::backend().name()), QStringLiteral("wayland"));
    QVERIFY(m_client.start());
    QVERIFY(QHotkey::isPlatformSupported());
}

void TestSwayHotkeys::pressAndReleaseArriveAndTheProgramSeesNeither()
{
    QHotkey hotkey(QKeySequence(QStringLiteral("Ctrl+F7")), true);
    QVERIFY(hotkey.isRegistered());
    QSignalSpy activated(&hotkey, &QHotkey::activated);
    QSignalSpy released(&hotkey, &QHotkey::released);

    press({Vk::Control, Vk::F1 + 6});
    QVERIFY(activated.wait(ActivationTimeoutMs));
    QTRY_COMPARE_WITH_TIMEOUT(released.count(), 1, ActivationTimeoutMs);
    QTest::qWait(SettleMs);
    QCOMPARE(activated.count(), 1);
    // The program saw Ctrl, not the bound key.
    QVERIFY(m_client.waitFor(QRegularExpression(QStringLiteral("^key released 29 "))));
    QVERIFY(m_client.matching(QRegularExpression(QStringLiteral("^key .* F7 "))).isEmpty());

    // Without Ctrl it is another key, and the program gets it.
    press({Vk::F1 + 6});
    QVERIFY(m_client.waitFor(QRegularExpression(QStringLiteral("^key pressed 65 F7 "))));
    QCOMPARE(activated.count(), 1);
}

void TestSwayHotkeys::changingTheKeyUnbindsTheOldOne()
{
    QHotkey hotkey(QKeySequence(QStringLiteral("F8")), true);
    QVERIFY(hotkey.isRegistered());
    QVERIFY(hotkey.setShortcut(QKeySequence(QStringLiteral("Shift+F8")), true));
    QSignalSpy activated(&hotkey, &QHotkey::activated);

    press({Vk::F1 + 7});
    QVERIFY(m_client.waitFor(QRegularExpression(QStringLiteral("^key pressed 66 F8 "))));
    QTest::qWait(SettleMs);
    QCOMPARE(activated.count(), 0);

    press({Vk::Shift, Vk::F1 + 7});
    QVERIFY(activated.wait(ActivationTimeoutMs));

    // Gone with the object: the key reaches the program again.
    hotkey.setRegistered(false);
    m_client.clear();
    press({Vk::Shift, Vk::F1 + 7});
    QVERIFY(m_client.waitFor(QRegularExpression(QStringLiteral("^key pressed 66 F8 "))));
    QCOMPARE(activated.count(), 1);
}

void TestSwayHotkeys::keysTheConfigurationBindsAreTaken_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("taken");
    // swaysession.sh binds $mod+Return and Ctrl+Shift+k (on release), and F9 in a mode.
    QTest::newRow("through a variable") << "Meta+Return" << true;
    QTest::newRow("a release binding, other case") << "Ctrl+Shift+K" << true;
    QTest::newRow("same key, other modifiers") << "Ctrl+Return" << false;
    QTest::newRow("only in another mode") << "F9" << false;
}

void TestSwayHotkeys::keysTheConfigurationBindsAreTaken()
{
    QFETCH(QString, key);
    QFETCH(bool, taken);
    QHotkey hotkey(QKeySequence(key), true);
    QCOMPARE(hotkey.isRegistered(), !taken);
}

void TestSwayHotkeys::aKeyIsRegisteredOncePerProcess()
{
    QHotkey first(QKeySequence(QStringLiteral("Alt+F10")), true);
    QHotkey second(QKeySequence(QStringLiteral("Alt+F10")), true);
    QVERIFY(first.isRegistered());
    QVERIFY(!second.isRegistered());
    QSignalSpy activated(&first, &QHotkey::activated);
    press({Vk::Menu, Vk::F1 + 9});
    QVERIFY(activated.wait(ActivationTimeoutMs));
}

KLIQORA_TEST_MAIN_WITH(QGuiApplication, TestSwayHotkeys)
#include "tst_swayhotkeys.moc"
