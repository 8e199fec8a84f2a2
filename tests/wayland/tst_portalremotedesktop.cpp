// Input through the desktop portal's remote desktop, against a stand-in portal on
// the test's own session bus: the session is set up in the portal's order, the
// user's answer and the restore token are honoured, pointer positions land on the
// right monitor's exact pixel, and a session the desktop closed stops taking input.

#include "fakeportal.h"
#include "testenvironment.h"
#include "wayland/portalremotedesktop.h"
#include "wayland/remotedesktopinjector.h"

#include <QtTest>

#include <thread>

using platform::Input;
using platform::wayland::PortalRemoteDesktop;
using platform::wayland::RemoteDesktopInjector;
namespace MouseFlag = platform::MouseFlag;
namespace KeyFlag = platform::KeyFlag;

namespace {

constexpr int kBoxWidth = 2304; // the fake portal's two monitors
constexpr int kBoxHeight = 800;
constexpr int kLeftButton = 0x110;

Input moveTo(int x, int y)
{
    return Input::mouseInput(MouseFlag::Move | MouseFlag::Absolute, x * 65535 / kBoxWidth,
                             y * 65535 / kBoxHeight);
}

} // namespace

class TestPortalRemoteDesktop : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void sessionIsSetUpInThePortalsOrder();
    void declinedSessionIsReported();
    void restoreTokenIsOfferedAndKept();
    void positionsLandOnTheMonitorsPixels_data();
    void positionsLandOnTheMonitorsPixels();
    void buttonsWheelAndText();
    void sessionClosedByTheDesktopTakesNoInput();

private:
    // Runs `work` on a thread of its own, as a job does, while this thread's event
    // loop serves the fake portal.
    void onWorker(const std::function<void()>& work);
    // Starts m_injector; false when the session does not start.
    bool startInjector(const platform::RemoteDesktopPermission& permission = {},
                       std::string* why = nullptr);
    unsigned send(const std::vector<Input>& inputs);
    // Ends the session, as the program does at exit.
    void stopInjector();

    FakePortal m_portal;
    std::unique_ptr<RemoteDesktopInjector> m_injector;
};

void TestPortalRemoteDesktop::initTestCase()
{
    QVERIFY2(m_portal.registerOn(QDBusConnection::sessionBus()),
             "no session bus of the test's own (run through ctest)");
}

void TestPortalRemoteDesktop::init()
{
    m_portal.calls.clear();
    m_portal.version = 1;
    m_portal.startResponse = 0;
    m_portal.restoreToken.clear();
}

void TestPortalRemoteDesktop::cleanup()
{
    stopInjector();
}

void TestPortalRemoteDesktop::onWorker(const std::function<void()>& work)
{
    std::atomic<bool> done{false};
    std::thread worker([&] {
        work();
        done = true;
    });
    QVERIFY(QTest::qWaitFor([&] { return done.load(); }, 20000));
    worker.join();
}

bool TestPortalRemoteDesktop::startInjector(const platform::RemoteDesktopPermission& permission,
                                            std::string* why)
{
    onWorker([&] {
        std::string reason;
        if (auto session = PortalRemoteDesktop::start(permission, reason))
            m_injector = RemoteDesktopInjector::create(std::move(session));
        if (why)
            *why = reason;
    });
    return m_injector != nullptr;
}

unsigned TestPortalRemoteDesktop::send(const std::vector<Input>& inputs)
{
    unsigned sent = 0;
    onWorker([&] { sent = m_injector->sendInput(inputs.data(), unsigned(inputs.size())); });
    return sent;
}

void TestPortalRemoteDesktop::stopInjector()
{
    // Its last calls wait for the portal, which answers on this thread.
    onWorker([&] { m_injector.reset(); });
}

void TestPortalRemoteDesktop::sessionIsSetUpInThePortalsOrder()
{
    QVERIFY(startInjector());
    QCOMPARE(m_portal.members().mid(0, 4),
             (QStringList{"CreateSession", "SelectDevices", "SelectSources", "Start"}));
    const QVariantMap devices = m_portal.optionsOf(QStringLiteral("SelectDevices"));
    QCOMPARE(devices.value(QStringLiteral("types")).toUInt(), 3u); // keyboard and pointer
    QVERIFY(!devices.contains(QStringLiteral("persist_mode")));    // version 1 has none
    const QVariantMap sources = m_portal.optionsOf(QStringLiteral("SelectSources"));
    QCOMPARE(sources.value(QStringLiteral("types")).toUInt(), 1u); // monitors
    QCOMPARE(sources.value(QStringLiteral("multiple")).toBool(), true);
    QCOMPARE(m_injector->layoutSize().width, kBoxWidth);
    QCOMPARE(m_injector->layoutSize().height, kBoxHeight);
    stopInjector();
    QVERIFY(m_portal.sessionClosed);
}

void TestPortalRemoteDesktop::declinedSessionIsReported()
{
    m_portal.startResponse = 1;
    std::string why;
    QVERIFY(!startInjector({}, &why));
    QCOMPARE(QString::fromStdString(why),
             QStringLiteral("the user did not allow the remote-desktop session"));
}

void TestPortalRemoteDesktop::restoreTokenIsOfferedAndKept()
{
    m_portal.version = 2;
    m_portal.restoreToken = QStringLiteral("new-token");
    std::string saved;
    platform::RemoteDesktopPermission permission{[] { return std::string("old-token"); },
                                                 [&](const std::string& t) { saved = t; }};
    QVERIFY(startInjector(permission));
    const QVariantMap devices = m_portal.optionsOf(QStringLiteral("SelectDevices"));
    QCOMPARE(devices.value(QStringLiteral("persist_mode")).toUInt(), 2u);
    QCOMPARE(devices.value(QStringLiteral("restore_token")).toString(),
             QStringLiteral("old-token"));
    QCOMPARE(saved, std::string("new-token"));
}

void TestPortalRemoteDesktop::positionsLandOnTheMonitorsPixels_data()
{
    QTest::addColumn<QPoint>("pixel");
    QTest::addColumn<uint>("node");
    QTest::addColumn<QPoint>("onStream");
    QTest::newRow("first monitor") << QPoint(5, 790) << 41u << QPoint(5, 790);
    QTest::newRow("first monitor's last pixel") << QPoint(1279, 799) << 41u << QPoint(1279, 799);
    QTest::newRow("second monitor's first pixel") << QPoint(1280, 0) << 42u << QPoint(0, 0);
    QTest::newRow("second monitor") << QPoint(1500, 100) << 42u << QPoint(220, 100);
    // Below the shorter monitor nothing is shown: the nearest pixel that is.
    QTest::newRow("under the second monitor") << QPoint(2000, 790) << 42u << QPoint(720, 767);
}

void TestPortalRemoteDesktop::positionsLandOnTheMonitorsPixels()
{
    QFETCH(QPoint, pixel);
    QFETCH(uint, node);
    QFETCH(QPoint, onStream);
    QVERIFY(startInjector());
    QCOMPARE(send({moveTo(pixel.x(), pixel.y())}), 1u);
    const QList<QList<QVariant>> moves =
        m_portal.notifications(QStringLiteral("NotifyPointerMotionAbsolute"));
    QCOMPARE(moves.size(), 1);
    QCOMPARE(moves[0], (QList<QVariant>{node, double(onStream.x()), double(onStream.y())}));
}

void TestPortalRemoteDesktop::buttonsWheelAndText()
{
    QVERIFY(startInjector());
    const std::vector<Input> inputs = {
        Input::mouseInput(MouseFlag::LeftDown), Input::mouseInput(MouseFlag::LeftUp),
        Input::mouseInput(MouseFlag::Wheel, 0, 0, 120),
        Input::keyInput(0, KeyFlag::Unicode, 0x4E2D),
        Input::keyInput(0, KeyFlag::Unicode | KeyFlag::KeyUp, 0x4E2D)};
    QCOMPARE(send(inputs), unsigned(inputs.size()));
    QCOMPARE(m_portal.notifications(QStringLiteral("NotifyPointerButton")),
             (QList<QList<QVariant>>{{kLeftButton, 1u}, {kLeftButton, 0u}}));
    // One notch away from the user scrolls up.
    QCOMPARE(m_portal.notifications(QStringLiteral("NotifyPointerAxisDiscrete")),
             (QList<QList<QVariant>>{{0u, -1}}));
    // The keyboard was woken with a Shift tap; then the character by its Unicode keysym.
    const QList<QList<QVariant>> keys =
        m_portal.notifications(QStringLiteral("NotifyKeyboardKeysym"));
    QCOMPARE(keys.mid(2), (QList<QList<QVariant>>{{0x01004E2D, 1u}, {0x01004E2D, 0u}}));
}

void TestPortalRemoteDesktop::sessionClosedByTheDesktopTakesNoInput()
{
    QVERIFY(startInjector());
    m_portal.sessionClosed = true;
    QCOMPARE(send({Input::mouseInput(MouseFlag::LeftDown)}), 0u);
    QCOMPARE(send({Input::mouseInput(MouseFlag::LeftUp)}), 0u);
    QCOMPARE(m_portal.notifications(QStringLiteral("NotifyPointerButton")).size(), 1);
}

KLIQORA_TEST_GUILESS_MAIN(TestPortalRemoteDesktop)
#include "tst_portalremotedesktop.moc"
