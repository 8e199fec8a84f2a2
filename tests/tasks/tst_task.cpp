// The shared operations of every job: interruptible wait, modifier keys, absolute
// coordinates, and the frame and locations of task files.

#include "appconfig.h"
#include "interruptiblewait.h"
#include "manualwaitclock.h"
#include "platform/virtualkeys.h"
#include "recordingbackend.h"
#include "task.h"
#include "taskfile.h"
#include "testenvironment.h"

#include <QDir>
#include <QElapsedTimer>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <thread>

using platform::Input;
namespace Vk = platform::Vk;

class TestTask : public QObject
{
    Q_OBJECT

private slots:
    void init() { AppConfig::runFlag = true; }
    void cleanup() { AppConfig::runFlag = false; }

    void waitMs_nonPositiveReturnsAtOnce_data();
    void waitMs_nonPositiveReturnsAtOnce();
    void waitMs_sleepsInSlicesHoldingTimerResolution();
    void waitMs_stopEndsAfterCurrentSlice();
    void waitMs_realTime();
    void waitUntil_neverEarlyOnTheSteadyClock_data();
    void waitUntil_neverEarlyOnTheSteadyClock();
    void pacedWait_keepsItsTimetable_data();
    void pacedWait_keepsItsTimetable();

    void modifierKeys_pressAndReleaseInFixedOrder();

    void toAbsolutePoint_data();
    void toAbsolutePoint();

    void taskFile_foreignMagicRefused_data();
    void taskFile_foreignMagicRefused();
    void taskFile_missingFileRefused();
    void taskFile_locations();
};

void TestTask::waitMs_nonPositiveReturnsAtOnce_data()
{
    QTest::addColumn<int>("ms");
    QTest::newRow("zero") << 0;
    QTest::newRow("negative") << -500;
}

void TestTask::waitMs_nonPositiveReturnsAtOnce()
{
    QFETCH(int, ms);
    ScopedRecordingBackend backend;
    QElapsedTimer clock;
    clock.start();
    Task::waitMs(ms);
    QVERIFY(clock.elapsed() < 5);
    QCOMPARE(backend->timerBeginCount(), 0);
    QCOMPARE(backend->timerEndCount(), 0);
}

void TestTask::waitMs_sleepsInSlicesHoldingTimerResolution()
{
    ScopedRecordingBackend backend;
    ManualWaitClock clock;
    Task::waitMs(120);
    using ms = std::chrono::milliseconds;
    QVERIFY(clock.sleeps() == (std::vector<std::chrono::nanoseconds>{ms(50), ms(50), ms(20)}));
    QCOMPARE(backend->timerBeginCount(), 1);
    QCOMPARE(backend->timerEndCount(), 1);
}

void TestTask::waitMs_stopEndsAfterCurrentSlice()
{
    // A 120 ms wait sleeps 50 + 50 + 20: a stop 10 ms in is seen when the first
    // 50 ms slice ends, not earlier and not a slice later.
    ScopedRecordingBackend backend;
    ManualWaitClock clock;
    clock.schedule(std::chrono::milliseconds(10), [] { AppConfig::runFlag = false; });
    Task::waitMs(120);
    QCOMPARE(clock.elapsed(), std::chrono::milliseconds(50));
    QCOMPARE(backend->timerEndCount(), backend->timerBeginCount());
}

void TestTask::waitMs_realTime()
{
    // On the steady clock, with wide bounds: the wait really sleeps, and not for long.
    ScopedRecordingBackend backend;
    QElapsedTimer clock;
    clock.start();
    Task::waitMs(120);
    const qint64 elapsed = clock.elapsed();
    QVERIFY2(elapsed >= 120 && elapsed < 1000, qPrintable(QString::number(elapsed)));
}

void TestTask::waitUntil_neverEarlyOnTheSteadyClock_data()
{
    // Deadlines around the stretch the wait yields instead of sleeping.
    QTest::addColumn<int>("inUs");
    QTest::newRow("already passed") << -1000;
    QTest::newRow("inside the yielded stretch") << 100;
    QTest::newRow("just past it") << 400;
    QTest::newRow("a clicker's interval") << 10000;
    QTest::newRow("longer than a slice") << 61000;
}

void TestTask::waitUntil_neverEarlyOnTheSteadyClock()
{
    QFETCH(int, inUs);
    using namespace std::chrono;
    ScopedRecordingBackend backend;
    for (int i = 0; i < 10; ++i) {
        const auto deadline = steady_clock::now() + microseconds(inUs);
        interruptibleWaitUntil(deadline);
        const auto lateUs = duration_cast<microseconds>(steady_clock::now() - deadline).count();
        // Early is a fault; late only by what a loaded machine can cause.
        QVERIFY2(lateUs >= 0 || inUs < 0, qPrintable(QStringLiteral("%1 us early").arg(-lateUs)));
        QVERIFY2(lateUs < 100000, qPrintable(QStringLiteral("%1 us late").arg(lateUs)));
    }
}

void TestTask::pacedWait_keepsItsTimetable_data()
{
    // Each step does its work (the clock moves on by it) and then waits one 10 ms
    // interval; the column holds the time at which each wait ends.
    QTest::addColumn<QVector<int>>("workMs");
    QTest::addColumn<QVector<int>>("endsAtMs");
    QTest::newRow("work takes nothing") << QVector<int>{0, 0, 0} << QVector<int>{10, 20, 30};
    QTest::newRow("work is not added to the interval")
        << QVector<int>{3, 3, 3} << QVector<int>{10, 20, 30};
    QTest::newRow("a late step is caught up with")
        << QVector<int>{0, 15, 0, 0} << QVector<int>{10, 25, 30, 40};
    QTest::newRow("behind by more than an interval: a new timetable, no burst")
        << QVector<int>{0, 35, 0, 0} << QVector<int>{10, 45, 55, 65};
}

void TestTask::pacedWait_keepsItsTimetable()
{
    QFETCH(QVector<int>, workMs);
    QFETCH(QVector<int>, endsAtMs);
    ScopedRecordingBackend backend;
    ManualWaitClock clock;
    PacedWait pace;
    QVector<int> ends;
    for (int work : qAsConst(workMs)) {
        clock.sleepUntil(clock.now() + std::chrono::milliseconds(work));
        pace.wait(10);
        ends.append(
            int(std::chrono::duration_cast<std::chrono::milliseconds>(clock.elapsed()).count()));
    }
    QCOMPARE(ends, endsAtMs);
}

void TestTask::modifierKeys_pressAndReleaseInFixedOrder()
{
    ScopedRecordingBackend backend;
    const int all =
        ModifierMask::Win | ModifierMask::Alt | ModifierMask::Ctrl | ModifierMask::Shift;
    Task::pressModifierKeys(all);
    Task::releaseModifierKeys(all);
    Task::pressModifierKeys(ModifierMask::Alt);

    const uint32_t up = platform::KeyFlag::KeyUp;
    const std::vector<RecordingBackend::Batch> expected = {
        {Input::keyInput(Vk::Shift)},     {Input::keyInput(Vk::Control)},
        {Input::keyInput(Vk::Menu)},      {Input::keyInput(Vk::LWin)},
        {Input::keyInput(Vk::Shift, up)}, {Input::keyInput(Vk::Control, up)},
        {Input::keyInput(Vk::Menu, up)},  {Input::keyInput(Vk::LWin, up)},
        {Input::keyInput(Vk::Menu)},
    };
    QVERIFY(backend->batches() == expected);
}

void TestTask::toAbsolutePoint_data()
{
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<QPoint>("px");
    QTest::addColumn<QPoint>("expected");
    QTest::newRow("origin") << QSize(1920, 1080) << QPoint(0, 0) << QPoint(0, 0);
    QTest::newRow("centre truncates")
        << QSize(1920, 1080) << QPoint(960, 540) << QPoint(32767, 32767);
    QTest::newRow("last pixel") << QSize(1920, 1080) << QPoint(1919, 1079) << QPoint(65500, 65474);
    QTest::newRow("other screen size read per call")
        << QSize(800, 600) << QPoint(400, 300) << QPoint(32767, 32767);
    QTest::newRow("far off screen does not overflow")
        << QSize(1920, 1080) << QPoint(100000, -50000) << QPoint(3413281, -3034027);
}

void TestTask::toAbsolutePoint()
{
    QFETCH(QSize, screen);
    QFETCH(QPoint, px);
    QFETCH(QPoint, expected);
    ScopedRecordingBackend backend;
    backend->setScreenSize(screen.width(), screen.height());
    QCOMPARE(Task::toAbsolutePoint(px), expected);
}

void TestTask::taskFile_foreignMagicRefused_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("flow file magic") << QByteArray::fromHex("8e62d87900000000");
    QTest::newRow("little-endian magic") << QByteArray::fromHex("78d8628e00000000");
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("two bytes") << QByteArray::fromHex("8e62");
}

void TestTask::taskFile_foreignMagicRefused()
{
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("foreign.kqt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();

    const QString expected =
        QStringLiteral("要载入的文件不是本应用的文件.file name: %1.").arg(path);
    QTest::ignoreMessage(QtWarningMsg, qPrintable(expected));
    TaskFileReader reader(path);
    QVERIFY(!reader.open());
    QCOMPARE(reader.errorText(), expected);
}

void TestTask::taskFile_missingFileRefused()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("missing.kqt"));
    TaskFileReader reader(path);
    QTest::ignoreMessage(
        QtWarningMsg, QRegularExpression(QStringLiteral("^无法读取文件 .*missing\\.kqt:\n.+\\.$")));
    QVERIFY(!reader.open());
}

void TestTask::taskFile_locations()
{
    AppConfig* config = AppConfig::instance();
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    config->saveFilePath.clear();
    QCOMPARE(QDir::fromNativeSeparators(TaskFile::mouseFilePath()),
             documents + QStringLiteral("/Kliqora/Mouse/mouse.kqt"));
    QVERIFY(QDir(documents + QStringLiteral("/Kliqora/Mouse")).exists());

    QTemporaryDir base;
    config->saveFilePath = base.path();
    QCOMPARE(QDir::fromNativeSeparators(TaskFile::keyboardFilePath()),
             base.path() + QStringLiteral("/Kliqora/Keyboard/keyboard.kqt"));
    QCOMPARE(QDir::fromNativeSeparators(TaskFile::recordFolderPath()),
             base.path() + QStringLiteral("/Kliqora/Record"));
    QVERIFY(QDir(base.path() + QStringLiteral("/Kliqora/Record")).exists());
    config->saveFilePath.clear();
}

KLIQORA_TEST_GUILESS_MAIN(TestTask)
#include "tst_task.moc"
