// The auto-clicker job on the recording backend, and its "mouse.kqt" file.

#include "appconfig.h"
#include "manualwaitclock.h"
#include "mousetask.h"
#include "platform/virtualkeys.h"
#include "recordingbackend.h"
#include "taskfile.h"
#include "testenvironment.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <limits>
#include <set>
#include <thread>

using platform::Input;
namespace Flag = platform::MouseFlag;
namespace Vk = platform::Vk;

namespace {

const uint32_t MoveAbsolute = Flag::Move | Flag::Absolute;

// A hand-written mouse.kqt: right double click at (16, 32), random interval 250 ms,
// 7 clicks, stop by count, 1000 ms duration, jitter 3/4, Ctrl+Alt, hotkey "F4".
// clang-format off
const QByteArray MouseFileFixture = QByteArray::fromHex(
    "8e62d878"                  // magic
    "00000003"                  // taskType
    "00000010" "00000020"       // position
    "00000000"                  // intervalTime
    "000000fa"                  // executeInterval
    "00000007"                  // executeTimes
    "00000001"                  // positionMode
    "00000001"                  // intervalFlag
    "00000002"                  // stopFlag
    "000003e8"                  // durationTime
    "00000003" "00000004"       // jitter ranges
    "00000110"                  // modifierKeys
    "00000004" "00460034");     // hotKey "F4"
// clang-format on

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

std::vector<Input> movesOf(const std::vector<Input>& inputs)
{
    std::vector<Input> moves;
    for (const Input& in : inputs)
        if (in.type == Input::Type::Mouse && in.mouse.flags == MoveAbsolute)
            moves.push_back(in);
    return moves;
}

} // namespace

class TestMouseTask : public QObject
{
    Q_OBJECT

private slots:
    void init() { AppConfig::runFlag = true; }
    void cleanup() { AppConfig::runFlag = false; }

    void countMode_clicksThenWaitsEachTime();
    void nothingToDo_sendsNothing_data();
    void nothingToDo_sendsNothing();
    void clickKinds_data();
    void clickKinds();
    void intervalZero_clicksGoOutInBursts_data();
    void intervalZero_clicksGoOutInBursts();
    void modifiers_wrapEveryClickInFixedOrder();
    void position_fixedOrCursor_data();
    void position_fixedOrCursor();
    void jitter_data();
    void jitter();
    void unknownCursor_clicksInPlaceAndJittersRelatively_data();
    void unknownCursor_clicksInPlaceAndJittersRelatively();
    void randomInterval_data();
    void randomInterval();
    void durationMode_endsAfterLimit_data();
    void durationMode_endsAfterLimit();
    void stop_endsWithinASliceAndLeavesNothingDown();

    void file_matchesHandWrittenLayout();
    void file_refusedContentLeavesTaskUnchanged_data();
    void file_refusedContentLeavesTaskUnchanged();
};

void TestMouseTask::countMode_clicksThenWaitsEachTime()
{
    ScopedRecordingBackend backend;
    backend->setCursorPos(100, 200);
    MouseTask task;
    task.setTaskType(TaskType::LeftClick);
    task.setStopFlag(MouseTask::StopByCount);
    task.setExecuteTimes(3);
    task.setExecuteInterval(20);

    // The clicker's one test on the steady clock, with wide bounds.
    QElapsedTimer clock;
    clock.start();
    task.run();
    QVERIFY2(clock.elapsed() >= 60 && clock.elapsed() < 1000,
             qPrintable(QString::number(clock.elapsed())));

    // At the cursor without jitter a click needs no move: it lands where the pointer is.
    const RecordingBackend::Batch click = {Input::mouseInput(Flag::LeftDown),
                                           Input::mouseInput(Flag::LeftUp)};
    QVERIFY(backend->batches() == std::vector<RecordingBackend::Batch>(3, click));
    // One wait per click, the last click's included.
    QCOMPARE(backend->timerBeginCount(), 3);
}

void TestMouseTask::nothingToDo_sendsNothing_data()
{
    QTest::addColumn<int>("stopFlag");
    QTest::addColumn<int>("times");
    QTest::addColumn<int>("duration");
    QTest::newRow("count 0") << int(MouseTask::StopByCount) << 0 << 1000;
    QTest::newRow("count negative") << int(MouseTask::StopByCount) << -5 << 1000;
    QTest::newRow("duration 0") << int(MouseTask::StopByDuration) << 10 << 0;
    QTest::newRow("duration negative") << int(MouseTask::StopByDuration) << 10 << -100;
}

void TestMouseTask::nothingToDo_sendsNothing()
{
    QFETCH(int, stopFlag);
    QFETCH(int, times);
    QFETCH(int, duration);
    ScopedRecordingBackend backend;
    MouseTask task;
    task.setTaskType(TaskType::LeftClick);
    task.setStopFlag(stopFlag);
    task.setExecuteTimes(times);
    task.setDurationTime(duration);
    task.setExecuteInterval(100);
    QElapsedTimer clock;
    clock.start();
    task.run();
    QVERIFY(clock.elapsed() < 20);
    QCOMPARE(backend->callCount(), 0);
}

void TestMouseTask::clickKinds_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<uint>("down");
    QTest::addColumn<uint>("up");
    QTest::addColumn<int>("pairs");
    QTest::newRow("left single") << 0 << uint(Flag::LeftDown) << uint(Flag::LeftUp) << 1;
    QTest::newRow("left double") << 1 << uint(Flag::LeftDown) << uint(Flag::LeftUp) << 2;
    QTest::newRow("right single") << 2 << uint(Flag::RightDown) << uint(Flag::RightUp) << 1;
    QTest::newRow("right double") << 3 << uint(Flag::RightDown) << uint(Flag::RightUp) << 2;
    QTest::newRow("middle single") << 4 << uint(Flag::MiddleDown) << uint(Flag::MiddleUp) << 1;
    QTest::newRow("middle double") << 5 << uint(Flag::MiddleDown) << uint(Flag::MiddleUp) << 2;
}

void TestMouseTask::clickKinds()
{
    QFETCH(int, type);
    QFETCH(uint, down);
    QFETCH(uint, up);
    QFETCH(int, pairs);
    ScopedRecordingBackend backend;
    MouseTask task;
    task.setTaskType(type);
    task.setPositionMode(MouseTask::FixedPoint);
    task.setStopFlag(MouseTask::StopByCount);
    task.setExecuteTimes(1);
    task.run();

    RecordingBackend::Batch expected;
    for (int i = 0; i < pairs; ++i)
        expected.insert(expected.end(), {Input::mouseInput(down), Input::mouseInput(up)});
    const auto batches = backend->batches();
    QCOMPARE(int(batches.size()), 1); // the move and every button record in one call
    QCOMPARE(batches[0].front().mouse.flags, MoveAbsolute);
    QVERIFY(RecordingBackend::Batch(batches[0].begin() + 1, batches[0].end()) == expected);
}

void TestMouseTask::intervalZero_clicksGoOutInBursts_data()
{
    // Each call's records: a move first where the round moves, then the buttons.
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("interval");
    QTest::addColumn<int>("jitter");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("times");
    QTest::addColumn<QVector<int>>("callSizes");
    const int fixed = MouseTask::FixedPoint;
    const int cursor = MouseTask::FollowCursor;
    const int left = TaskType::LeftClick;
    QTest::newRow("fixed point: one move per burst")
        << left << fixed << 0 << 0 << 0 << 120 << QVector<int>{101, 101, 41};
    QTest::newRow("at the cursor: no move at all")
        << left << cursor << 0 << 0 << 0 << 120 << QVector<int>{100, 100, 40};
    QTest::newRow("double clicks count as one")
        << int(TaskType::LeftDoubleClick) << fixed << 0 << 0 << 0 << 60 << QVector<int>{201, 41};
    QTest::newRow("an interval: one click per call")
        << left << fixed << 1 << 0 << 0 << 3 << QVector<int>(3, 3);
    QTest::newRow("jitter: each click moves on its own")
        << left << fixed << 0 << 2 << 0 << 3 << QVector<int>(3, 3);
    // The move, the modifier down, the click, the modifier up: four calls per click.
    QTest::newRow("modifiers wrap each click") << left << fixed << 0 << 0 << int(ModifierMask::Ctrl)
                                               << 2 << QVector<int>{1, 1, 2, 1, 1, 1, 2, 1};
}

void TestMouseTask::intervalZero_clicksGoOutInBursts()
{
    QFETCH(int, type);
    QFETCH(int, mode);
    QFETCH(int, interval);
    QFETCH(int, jitter);
    QFETCH(int, modifiers);
    QFETCH(int, times);
    QFETCH(QVector<int>, callSizes);
    ScopedRecordingBackend backend;
    ManualWaitClock clock;
    MouseTask task;
    task.setTaskType(type);
    task.setPositionMode(mode);
    task.setPosition(QPoint(10, 20));
    task.setExecuteInterval(interval);
    task.setHJitterRange(jitter);
    task.setModifierKeys(modifiers);
    task.setStopFlag(MouseTask::StopByCount);
    task.setExecuteTimes(times);
    task.run();

    QVector<int> sizes;
    for (const RecordingBackend::Batch& batch : backend->batches())
        sizes.append(int(batch.size()));
    QCOMPARE(sizes, callSizes);
    int presses = 0;
    for (const Input& in : backend->allInputs())
        presses += in.type == Input::Type::Mouse && (in.mouse.flags & Flag::LeftDown) ? 1 : 0;
    QCOMPARE(presses, times * (type == TaskType::LeftDoubleClick ? 2 : 1));
}

void TestMouseTask::modifiers_wrapEveryClickInFixedOrder()
{
    ScopedRecordingBackend backend;
    MouseTask task;
    task.setTaskType(TaskType::RightClick);
    task.setPositionMode(MouseTask::FixedPoint);
    task.setStopFlag(MouseTask::StopByCount);
    task.setExecuteTimes(2);
    task.setModifierKeys(ModifierMask::Win | ModifierMask::Alt | ModifierMask::Ctrl |
                         ModifierMask::Shift);
    task.run();

    const uint32_t up = platform::KeyFlag::KeyUp;
    const std::vector<RecordingBackend::Batch> oneClick = {
        {Input::mouseInput(MoveAbsolute)},
        {Input::keyInput(Vk::Shift)},
        {Input::keyInput(Vk::Control)},
        {Input::keyInput(Vk::Menu)},
        {Input::keyInput(Vk::LWin)},
        {Input::mouseInput(Flag::RightDown), Input::mouseInput(Flag::RightUp)},
        {Input::keyInput(Vk::Shift, up)},
        {Input::keyInput(Vk::Control, up)},
        {Input::keyInput(Vk::Menu, up)},
        {Input::keyInput(Vk::LWin, up)},
    };
    std::vector<RecordingBackend::Batch> expected = oneClick;
    expected.insert(expected.end(), oneClick.begin(), oneClick.end());
    QVERIFY(backend->batches() == expected);
}

void TestMouseTask::position_fixedOrCursor_data()
{
    // The cursor is at (100, 200) for the first click and (700, 50) for the second.
    // Each expected move is a point in pixels and the jitter allowed around it.
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("jitter");
    QTest::addColumn<QVector<QPoint>>("moves");
    QTest::newRow("at the cursor a click needs no move")
        << int(MouseTask::FollowCursor) << 0 << QVector<QPoint>{};
    QTest::newRow("at the cursor with jitter: around where the cursor is")
        << int(MouseTask::FollowCursor) << 3 << QVector<QPoint>{{100, 200}, {700, 50}};
    QTest::newRow("fixed point ignores the cursor")
        << int(MouseTask::FixedPoint) << 0 << QVector<QPoint>{{10, 20}, {10, 20}};
}

void TestMouseTask::position_fixedOrCursor()
{
    QFETCH(int, mode);
    QFETCH(int, jitter);
    QFETCH(QVector<QPoint>, moves);
    ScopedRecordingBackend backend;
    MouseTask task;
    task.setTaskType(TaskType::LeftClick);
    task.setStopFlag(MouseTask::StopByCount);
    task.setExecuteTimes(1);
    task.setPositionMode(mode);
    task.setPosition(QPoint(10, 20));
    task.setHJitterRange(jitter);
    task.setVJitterRange(jitter);

    backend->setCursorPos(100, 200);
    task.run();
    backend->setCursorPos(700, 50);
    task.run();

    const auto sent = movesOf(backend->allInputs());
    QCOMPARE(int(sent.size()), moves.size());
    for (int i = 0; i < moves.size(); ++i) {
        const QPoint at(sent[i].mouse.dx * 1920 / 65535, sent[i].mouse.dy * 1080 / 65535);
        QVERIFY2(std::abs(at.x() - moves[i].x()) <= jitter + 1 &&
                     std::abs(at.y() - moves[i].y()) <= jitter + 1,
                 qPrintable(QStringLiteral("move %1 to (%2, %3)").arg(i).arg(at.x()).arg(at.y())));
    }
}

void TestMouseTask::jitter_data()
{
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<int>("h");
    QTest::addColumn<int>("v");
    QTest::newRow("none") << QPoint(500, 500) << 0 << 0;
    QTest::newRow("horizontal only") << QPoint(500, 500) << 5 << 0;
    QTest::newRow("vertical only") << QPoint(500, 500) << 0 << 7;
    QTest::newRow("both") << QPoint(500, 500) << 99 << 99;
    QTest::newRow("kept on screen at the origin") << QPoint(0, 0) << 50 << 50;
    QTest::newRow("kept on screen at the far corner") << QPoint(1919, 1079) << 50 << 50;
    // A point from a file may lie anywhere in the int range: adding the offset must not wrap.
    QTest::newRow("int limits") << QPoint(std::numeric_limits<int>::max(),
                                          std::numeric_limits<int>::min())
                                << 50 << 50;
}

void TestMouseTask::jitter()
{
    // Offsets are whole pixels within the range, added before the conversion, and
    // never leave the screen.
    QFETCH(QPoint, point);
    QFETCH(int, h);
    QFETCH(int, v);
    ScopedRecordingBackend backend;
    MouseTask task;
    task.setTaskType(TaskType::LeftClick);
    task.setStopFlag(MouseTask::StopByCount);
    task.setExecuteTimes(200);
    task.setPositionMode(MouseTask::FixedPoint);
    task.setPosition(point);
    task.setHJitterRange(h);
    task.setVJitterRange(v);
    task.run();

    std::set<int> xs, ys;
    for (const Input& move : movesOf(backend->allInputs())) {
        xs.insert(move.mouse.dx);
        ys.insert(move.mouse.dy);
    }
    const auto reachable = [](int centre, int range, int extent) {
        std::set<int> values;
        for (int d = -range; d <= range; ++d)
            values.insert(
                int(qBound(qint64(0), qint64(centre) + d, qint64(extent - 1)) * 65535 / extent));
        return values;
    };
    const std::set<int> allX = reachable(point.x(), h, 1920);
    const std::set<int> allY = reachable(point.y(), v, 1080);
    QVERIFY2(std::includes(allX.begin(), allX.end(), xs.begin(), xs.end()), "x out of range");
    QVERIFY2(std::includes(allY.begin(), allY.end(), ys.begin(), ys.end()), "y out of range");
    QCOMPARE(xs.size() > 1, allX.size() > 1);
    QCOMPARE(ys.size() > 1, allY.size() > 1);
}

void TestMouseTask::unknownCursor_clicksInPlaceAndJittersRelatively_data()
{
    QTest::addColumn<int>("h");
    QTest::addColumn<int>("v");
    QTest::newRow("no jitter") << 0 << 0;
    QTest::newRow("horizontal") << 6 << 0;
    QTest::newRow("both") << 3 << 4;
}

void TestMouseTask::unknownCursor_clicksInPlaceAndJittersRelatively()
{
    // Wayland tells no program where the pointer is: the clicker at the cursor clicks
    // wherever it is, and its jitter moves the pointer relatively, within the ranges.
    QFETCH(int, h);
    QFETCH(int, v);
    ScopedRecordingBackend backend;
    backend->setCursorKnown(false);
    MouseTask task;
    task.setTaskType(TaskType::LeftClick);
    task.setStopFlag(MouseTask::StopByCount);
    task.setExecuteTimes(100);
    task.setPositionMode(MouseTask::FollowCursor);
    task.setHJitterRange(h);
    task.setVJitterRange(v);
    task.run();

    int clicks = 0;
    int nudges = 0;
    for (const RecordingBackend::Batch& batch : backend->batches()) {
        const Input& first = batch.front();
        QVERIFY2(!(first.mouse.flags & Flag::Absolute), "no absolute move without a position");
        if (first.mouse.flags == Flag::Move) {
            ++nudges;
            QCOMPARE(int(batch.size()), 1);
            QVERIFY(std::abs(first.mouse.dx) <= h && std::abs(first.mouse.dy) <= v);
            QVERIFY(first.mouse.dx != 0 || first.mouse.dy != 0);
        } else {
            clicks += int(std::count_if(batch.begin(), batch.end(), [](const Input& in) {
                return in.mouse.flags == Flag::LeftDown;
            }));
        }
    }
    QCOMPARE(clicks, 100);
    if (h == 0 && v == 0)
        QCOMPARE(nudges, 0);
    else
        QVERIFY2(nudges > 50, "most clicks move a little"); // 1 in 13 at worst stays put
}

void TestMouseTask::randomInterval_data()
{
    QTest::addColumn<int>("flag");
    QTest::addColumn<int>("interval");
    QTest::addColumn<int>("low");
    QTest::addColumn<int>("high");
    QTest::newRow("fixed") << int(MouseTask::FixedInterval) << 200 << 200 << 200;
    QTest::newRow("random 200") << int(MouseTask::RandomInterval) << 200 << 100 << 200;
    QTest::newRow("random 1") << int(MouseTask::RandomInterval) << 1 << 0 << 1;
    QTest::newRow("random 0") << int(MouseTask::RandomInterval) << 0 << 0 << 0;
    QTest::newRow("random negative from a file")
        << int(MouseTask::RandomInterval) << -300 << 0 << 0;
    QTest::newRow("fixed negative from a file") << int(MouseTask::FixedInterval) << -300 << 0 << 0;
    QTest::newRow("random largest")
        << int(MouseTask::RandomInterval) << INT_MAX << INT_MAX / 2 << INT_MAX;
}

void TestMouseTask::randomInterval()
{
    QFETCH(int, flag);
    QFETCH(int, interval);
    QFETCH(int, low);
    QFETCH(int, high);
    MouseTask task;
    task.setIntervalFlag(flag);
    task.setExecuteInterval(interval);
    int seenLow = INT_MAX, seenHigh = INT_MIN;
    for (int i = 0; i < 3000; ++i) {
        const int wait = task.nextWait();
        seenLow = qMin(seenLow, wait);
        seenHigh = qMax(seenHigh, wait);
    }
    QVERIFY2(seenLow >= low && seenHigh <= high,
             qPrintable(QStringLiteral("%1..%2").arg(seenLow).arg(seenHigh)));
    // Both ends are drawn (small ranges only: a 1-in-a-billion end is never seen).
    if (high - low <= 100) {
        QCOMPARE(seenLow, low);
        QCOMPARE(seenHigh, high);
    }
}

void TestMouseTask::durationMode_endsAfterLimit_data()
{
    QTest::addColumn<int>("duration");
    QTest::addColumn<int>("clicks");
    QTest::addColumn<int>("endsAtMs");
    // 30 ms per click; the limit is looked at before each click, and the click and
    // wait in which it passes are completed.
    QTest::newRow("limit inside the fourth wait") << 100 << 4 << 120;
    QTest::newRow("limit at the end of the third wait") << 90 << 3 << 90;
    QTest::newRow("limit inside the first wait") << 1 << 1 << 30;
}

void TestMouseTask::durationMode_endsAfterLimit()
{
    QFETCH(int, duration);
    QFETCH(int, clicks);
    QFETCH(int, endsAtMs);
    ScopedRecordingBackend backend;
    ManualWaitClock clock;
    MouseTask task;
    task.setTaskType(TaskType::LeftClick);
    task.setPositionMode(MouseTask::FixedPoint); // a move per click counts the clicks
    task.setStopFlag(MouseTask::StopByDuration);
    task.setDurationTime(duration);
    task.setExecuteInterval(30);
    task.run();
    QCOMPARE(int(movesOf(backend->allInputs()).size()), clicks);
    QCOMPARE(clock.elapsed(), std::chrono::milliseconds(endsAtMs));
}

void TestMouseTask::stop_endsWithinASliceAndLeavesNothingDown()
{
    ScopedRecordingBackend backend;
    MouseTask task;
    task.setTaskType(TaskType::MiddleDoubleClick);
    task.setStopFlag(MouseTask::StopByHand);
    task.setExecuteInterval(2);
    task.setModifierKeys(ModifierMask::Ctrl | ModifierMask::Win);

    std::thread worker([&task] { task.run(); });
    QTest::qWait(80);
    QElapsedTimer clock;
    clock.start();
    AppConfig::runFlag = false;
    worker.join();
    QVERIFY(clock.elapsed() < 60);

    // Every press has its release: no button and no modifier stays down.
    int buttons = 0, keys = 0;
    for (const Input& in : backend->allInputs()) {
        if (in.type == Input::Type::Keyboard)
            keys += (in.keyboard.flags & platform::KeyFlag::KeyUp) ? -1 : 1;
        else if (in.mouse.flags == Flag::MiddleDown)
            ++buttons;
        else if (in.mouse.flags == Flag::MiddleUp)
            --buttons;
    }
    QVERIFY(backend->callCount() > 0);
    QCOMPARE(buttons, 0);
    QCOMPARE(keys, 0);
}

void TestMouseTask::file_matchesHandWrittenLayout()
{
    QTemporaryDir dir;
    const QString fixture = dir.filePath(QStringLiteral("fixture.kqt"));
    writeFile(fixture, MouseFileFixture);

    MouseTask task;
    QVERIFY(task.load(fixture));
    QCOMPARE(task.taskType(), 3);
    QCOMPARE(task.position(), QPoint(16, 32));
    QCOMPARE(task.executeInterval(), 250);
    QCOMPARE(task.executeTimes(), 7);
    QCOMPARE(task.positionMode(), 1);
    QCOMPARE(task.intervalFlag(), 1);
    QCOMPARE(task.stopFlag(), 2);
    QCOMPARE(task.durationTime(), 1000);
    QCOMPARE(task.hJitterRange(), 3);
    QCOMPARE(task.vJitterRange(), 4);
    QCOMPARE(task.modifierKeys(), ModifierMask::Ctrl | ModifierMask::Alt);
    QCOMPARE(task.hotKey(), QStringLiteral("F4"));
    QCOMPARE(task.toString(),
             QStringLiteral("MouseTask:taskType=3,taskPosition=(16,32),intervalFlag=1,stopFlag=2,"
                            "ExecuteInterval=250,m_iExecuteTimes=7,durationTime=1000,"
                            "hJitterRange=3,vJitterRange=4,modifierKeys=272,hotKey=F4"));

    // Writing it again gives the same bytes, byte for byte.
    const QString saved = dir.filePath(QStringLiteral("saved.kqt"));
    QVERIFY(task.save(saved));
    QCOMPARE(readAll(saved).toHex(), MouseFileFixture.toHex());

    // A fresh task writes its defaults: type -1, hotkey "F2".
    MouseTask fresh;
    QVERIFY(fresh.save(saved));
    QCOMPARE(readAll(saved).toHex(),
             QByteArray("8e62d878ffffffff") + QByteArray(4 * 12 * 2, '0') + "0000000400460032");
}

void TestMouseTask::file_refusedContentLeavesTaskUnchanged_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("warning");

    const QString wrongKind = QStringLiteral("要载入的文件不是鼠标连点任务文件file name: %1.");
    QByteArray keyboard = MouseFileFixture;
    keyboard.replace(4, 4, QByteArray::fromHex("00000006"));
    QTest::newRow("keyboard record") << keyboard << wrongKind;
    QByteArray negative = MouseFileFixture;
    negative.replace(4, 4, QByteArray::fromHex("ffffffff"));
    QTest::newRow("negative type") << negative << wrongKind;
    QByteArray flow = MouseFileFixture;
    flow.replace(0, 4, QByteArray::fromHex("8e62d879"));
    QTest::newRow("flow file") << flow
                               << QStringLiteral("要载入的文件不是本应用的文件.file name: %1.");
    QTest::newRow("truncated") << MouseFileFixture.left(30)
                               << QStringLiteral("Mouse task file is incomplete, file name: %1.");
    QByteArray huge = MouseFileFixture;
    huge.replace(huge.size() - 8, 4, QByteArray::fromHex("7ffffff0"));
    QTest::newRow("huge string length")
        << huge << QStringLiteral("Mouse task file is incomplete, file name: %1.");
}

void TestMouseTask::file_refusedContentLeavesTaskUnchanged()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, warning);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("mouse.kqt"));
    writeFile(path, content);

    MouseTask task;
    task.setTaskType(TaskType::LeftClick);
    task.setExecuteInterval(123);
    task.setHotKey(QStringLiteral("F9"));
    const QString before = task.toString();
    QTest::ignoreMessage(QtWarningMsg, qPrintable(warning.arg(path)));
    QVERIFY(!task.load(path));
    QCOMPARE(task.toString(), before);
}

KLIQORA_TEST_GUILESS_MAIN(TestMouseTask)
#include "tst_mousetask.moc"
