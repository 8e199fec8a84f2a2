// The real Kliqora on a real X server, driven as a user would: F2 starts and stops
// the clicker, whose clicks land in a real window of this test; the count mode ends
// by itself; the settings come back after a quit and a restart.

#include "e2eprogram.h"
#include "mousetask.h"
#include "taskfile.h"
#include "testenvironment.h"
#include "xdotool.h"

#include <QElapsedTimer>
#include <QFile>
#include <QMouseEvent>
#include <QProcess>
#include <QWidget>
#include <QtTest>

#include <memory>

namespace {

const QRect TargetGeometry(1500, 60, 300, 300);
const QPoint TargetCentre = TargetGeometry.center();
constexpr int StopToleranceMs = 60;
constexpr int QuitTimeoutMs = 10000;

// A window that notes when each button press reaches it.
class ClickTarget : public QWidget
{
public:
    ClickTarget()
    {
        setWindowTitle(QStringLiteral("click target"));
        setGeometry(TargetGeometry);
        m_clock.start();
    }
    QVector<qint64> pressTimes;
    QVector<QPoint> pressPoints;
    qint64 now() const { return m_clock.elapsed(); }

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        pressTimes.append(m_clock.elapsed());
        pressPoints.append(event->globalPos());
    }

private:
    QElapsedTimer m_clock;
};

bool pressKey(const QString& key)
{
    return xdotool({QStringLiteral("key"), key});
}

bool saveClickerSettings(int stopFlag, int times, int interval)
{
    MouseTask task;
    task.setTaskType(TaskType::LeftClick);
    task.setPositionMode(MouseTask::FixedPoint);
    task.setPosition(TargetCentre);
    task.setExecuteInterval(interval);
    task.setStopFlag(stopFlag);
    task.setExecuteTimes(times);
    // What the page shows for fields it does not load from the file, so that the
    // file it writes back at quit is the same, byte for byte.
    task.setDurationTime(1000);
    return task.save(TaskFile::mouseFilePath());
}

} // namespace

class TestE2eMouse : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void hotkeyStartsAndStopsClicking();
    void countModeEndsByItselfAndSettingsSurviveRestart();

private:
    bool startKliqora();
    bool quitKliqora();

    std::unique_ptr<E2eProgram> m_kliqora;
    std::unique_ptr<ClickTarget> m_target;
};

void TestE2eMouse::initTestCase()
{
    QVERIFY2(QGuiApplication::platformName() == QLatin1String("xcb"), "needs an X server");
    m_target = std::make_unique<ClickTarget>();
    m_target->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_target.get()));
    // Park the pointer away from the target and from the program's window.
    QVERIFY(xdotool({QStringLiteral("mousemove"), QStringLiteral("5"), QStringLiteral("1070")}));
}

void TestE2eMouse::cleanup()
{
    m_kliqora.reset(); // kills a program a failed test left running
    m_target->pressTimes.clear();
    m_target->pressPoints.clear();
}

// Ready once its probe answers: the page has loaded its file and taken its hotkey.
bool TestE2eMouse::startKliqora()
{
    m_kliqora = std::make_unique<E2eProgram>(QStringLiteral(KLIQORA_PROGRAM));
    return m_kliqora->startAndWaitForWindow();
}

bool TestE2eMouse::quitKliqora()
{
    return m_kliqora->quit(QuitTimeoutMs) && m_kliqora->exitStatus() == QProcess::NormalExit;
}

void TestE2eMouse::hotkeyStartsAndStopsClicking()
{
    QVERIFY(saveClickerSettings(MouseTask::StopByHand, 0, 10));
    QVERIFY(startKliqora());

    QVERIFY(pressKey(QStringLiteral("F2")));
    QTRY_VERIFY_WITH_TIMEOUT(m_target->pressTimes.size() >= 10, 5000);
    QVERIFY(!m_kliqora->hasVisibleWindow());
    for (const QPoint& point : qAsConst(m_target->pressPoints))
        QCOMPARE(point, TargetCentre);

    // Second F2: the key has been sent when xdotool exits; note that moment as the
    // event loop learns of it, as the clicks are noted.
    QProcess stopper;
    qint64 stopSent = -1;
    connect(&stopper, qOverload<int, QProcess::ExitStatus>(&QProcess::finished), this,
            [&] { stopSent = m_target->now(); });
    stopper.start(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("F2")});
    QTRY_VERIFY_WITH_TIMEOUT(stopSent >= 0, 10000);
    QTest::qWait(500);
    const qint64 lastPress = m_target->pressTimes.last();
    qInfo("%d clicks; the last one %lld ms after the stop key was sent",
          int(m_target->pressTimes.size()), lastPress - stopSent);
    QVERIFY2(lastPress - stopSent <= StopToleranceMs,
             qPrintable(
                 QStringLiteral("last click %1 ms after the stop key").arg(lastPress - stopSent)));
    QTRY_VERIFY_WITH_TIMEOUT(m_kliqora->hasVisibleWindow(), 5000);
    const int settled = m_target->pressTimes.size();
    QTest::qWait(300);
    QCOMPARE(m_target->pressTimes.size(), settled);
    QVERIFY(quitKliqora());
}

void TestE2eMouse::countModeEndsByItselfAndSettingsSurviveRestart()
{
    const QString path = TaskFile::mouseFilePath();
    QVERIFY(saveClickerSettings(MouseTask::StopByCount, 4, 30));
    QFile fixture(path);
    QVERIFY(fixture.open(QIODevice::ReadOnly));
    const QByteArray written = fixture.readAll();
    fixture.close();

    QVERIFY(startKliqora());
    QVERIFY(pressKey(QStringLiteral("F2")));
    QTRY_COMPARE_WITH_TIMEOUT(m_target->pressTimes.size(), 4, 5000);
    // It ends by itself: the window comes back and no fifth click follows.
    QTRY_VERIFY_WITH_TIMEOUT(m_kliqora->hasVisibleWindow(), 5000);
    QTest::qWait(300);
    QCOMPARE(m_target->pressTimes.size(), 4);

    // Quitting writes the settings of that start again.
    QVERIFY(QFile::remove(path));
    QVERIFY(quitKliqora());
    QVERIFY(fixture.open(QIODevice::ReadOnly));
    QCOMPARE(fixture.readAll().toHex(), written.toHex());
    fixture.close();

    // The next start shows them and runs them.
    m_target->pressTimes.clear();
    QVERIFY(startKliqora());
    QVERIFY(pressKey(QStringLiteral("F2")));
    QTRY_COMPARE_WITH_TIMEOUT(m_target->pressTimes.size(), 4, 5000);
    QTRY_VERIFY_WITH_TIMEOUT(m_kliqora->hasVisibleWindow(), 5000);
    QVERIFY(quitKliqora());
}

KLIQORA_TEST_MAIN(TestE2eMouse)
#include "tst_e2e_mouse.moc"
