// The real Kliqora on a Wayland desktop (headless sway), with Qt on its Wayland
// platform and with Qt on X as under Xwayland: F2, bound through the compositor,
// starts and stops the clicker, whose clicks land at a Wayland program; a stop
// leaves no button down; quitting gives F2 back.

#include "mousetask.h"
#include "platform/backend.h"
#include "platform/virtualkeys.h"
#include "taskfile.h"
#include "testenvironment.h"
#include "waylandclientlog.h"
#include "waylandkliqora.h"
#include "waylandsession.h"

#include <QElapsedTimer>
#include <QtTest>

using platform::Input;

namespace {

constexpr int LeftButton = 0x110;
#if defined(__SANITIZE_ADDRESS__)
// The instrumented program answers its hotkey a few times slower.
constexpr int StopToleranceMs = 150;
#else
constexpr int StopToleranceMs = 60;
#endif
const QPoint Target(640, 400);

void pressF2()
{
    pressKey(platform::Vk::F1 + 1);
}

bool saveClickerSettings(int positionMode, int hJitter)
{
    MouseTask task;
    task.setTaskType(TaskType::LeftClick);
    task.setPositionMode(positionMode);
    task.setPosition(Target);
    task.setExecuteInterval(10);
    task.setStopFlag(MouseTask::StopByHand);
    task.setHJitterRange(hJitter);
    task.setDurationTime(1000);
    return task.save(TaskFile::mouseFilePath());
}

} // namespace

class TestWaylandE2eMouse : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void hotkeyStartsAndStopsClickingAtAFixedPoint_data();
    void hotkeyStartsAndStopsClickingAtAFixedPoint();
    void clickingAtTheCursorJittersAroundIt();

private:
    void startKliqora(const QString& qtPlatform = QStringLiteral("wayland"));
    void startClickingAndStop(int clicks);

    std::unique_ptr<WaylandKliqora> m_kliqora;
    std::unique_ptr<WaylandClientLog> m_client;
};

void TestWaylandE2eMouse::initTestCase()
{
    QVERIFY2(WaylandSession::enter(), "no headless compositor session (run through ctest)");
    // This process presses the keys, on a virtual keyboard of its own.
    QCOMPARE(QString::fromLatin1(platform::backend().name()), QStringLiteral("wayland"));
}

void TestWaylandE2eMouse::cleanup()
{
    m_kliqora.reset();
    m_client.reset();
}

void TestWaylandE2eMouse::startKliqora(const QString& qtPlatform)
{
    m_kliqora = std::make_unique<WaylandKliqora>(QStringLiteral(KLIQORA_PROGRAM));
    QVERIFY(m_kliqora->start(qtPlatform));
    // The program to click in comes up over the main window and takes the focus.
    m_client = std::make_unique<WaylandClientLog>();
    QVERIFY(m_client->start());
}

void TestWaylandE2eMouse::startClickingAndStop(int clicks)
{
    const QRegularExpression press(
        wholeLine(QStringLiteral("button %1 pressed .*").arg(LeftButton)));
    pressF2();
    QVERIFY2(m_client->waitFor(press, clicks),
             qPrintable(m_client->lines().join(QLatin1Char('\n'))));
    QVERIFY(!m_kliqora->hasWindow());

    QElapsedTimer clock;
    pressF2();
    clock.start();
    const int atStop = m_client->matching(press).size();
    QTest::qWait(500);
    const int late = m_client->matching(press).size() - atStop;
    qInfo("%d clicks; %d arrived after the stop key was sent", atStop, late);
    // At a click every 10 ms, more than a few late ones mean the stop was slow.
    QVERIFY2(late <= StopToleranceMs / 10, qPrintable(QString::number(late)));
    QVERIFY2(m_client->buttonsDown().isEmpty(), "a button was left down");
    QTRY_VERIFY_WITH_TIMEOUT(m_kliqora->hasWindow(), 5000);
    const int settled = m_client->matching(press).size();
    QTest::qWait(300);
    QCOMPARE(m_client->matching(press).size(), settled);
}

void TestWaylandE2eMouse::hotkeyStartsAndStopsClickingAtAFixedPoint_data()
{
    QTest::addColumn<QString>("qtPlatform");
    QTest::newRow("Qt on Wayland") << "wayland";
    // The session, not Qt's platform, decides: input and hotkeys still go through sway.
    QTest::newRow("Qt on X, as under Xwayland") << "xcb";
}

void TestWaylandE2eMouse::hotkeyStartsAndStopsClickingAtAFixedPoint()
{
    QFETCH(QString, qtPlatform);
    if (qtPlatform == QLatin1String("xcb"))
        QVERIFY2(!qEnvironmentVariableIsEmpty("DISPLAY"), "needs the X server of scripts/test");
    QVERIFY(saveClickerSettings(MouseTask::FixedPoint, 0));
    startKliqora(qtPlatform);
    if (QTest::currentTestFailed())
        return;
    startClickingAndStop(10);
    if (QTest::currentTestFailed())
        return;
    const QStringList presses =
        m_client->matching(wholeLine(QStringLiteral("button %1 pressed .*").arg(LeftButton)));
    for (const QString& press : presses) {
        QCOMPARE(press, QStringLiteral("button %1 pressed %2 %3")
                            .arg(LeftButton)
                            .arg(Target.x())
                            .arg(Target.y()));
    }

    // Quitting removes the binding: F2 reaches the focused program again.
    QVERIFY(m_kliqora->quitNormally());
    m_client->clear();
    pressF2();
    QVERIFY(m_client->waitFor(wholeLine(QStringLiteral("key pressed 60 F2 "))));
}

void TestWaylandE2eMouse::clickingAtTheCursorJittersAroundIt()
{
    QVERIFY(saveClickerSettings(MouseTask::FollowCursor, 3));
    startKliqora();
    if (QTest::currentTestFailed())
        return;
    // Park the pointer; the program cannot read where it is, only click there.
    const Input park = Input::mouseInput(platform::MouseFlag::Move | platform::MouseFlag::Absolute,
                                         300 * 65535 / 1280, 200 * 65535 / 800);
    QCOMPARE(platform::sendInput(&park, 1), 1u);
    platform::backend().waitForDelivery();
    startClickingAndStop(20);
    if (QTest::currentTestFailed())
        return;
    const QRegularExpression at(
        QStringLiteral("^button %1 pressed (\\d+) (\\d+)$").arg(LeftButton));
    for (const QString& press : m_client->matching(at)) {
        const QRegularExpressionMatch match = at.match(press);
        // A random walk of at most 3 pixels a click, vertically still.
        QCOMPARE(match.captured(2).toInt(), 200);
        QVERIFY2(std::abs(match.captured(1).toInt() - 300) <= 3 * 40, qPrintable(press));
    }
    const QStringList presses = m_client->matching(at);
    QVERIFY2(QSet<QString>(presses.begin(), presses.end()).size() > 1, "the clicks moved");
}

KLIQORA_TEST_MAIN_WITH(QGuiApplication, TestWaylandE2eMouse)
#include "tst_waylande2e_mouse.moc"
