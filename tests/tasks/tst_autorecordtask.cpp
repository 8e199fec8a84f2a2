// The recording job: hook entries with their filters and the 1 ms cap, replay on the
// recording backend (inputs, timing, stops), and the recording file.

#include "appconfig.h"
#include "autorecordtask.h"
#include "manualwaitclock.h"
#include "platform/virtualkeys.h"
#include "recordingbackend.h"
#include "testenvironment.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

#include <chrono>
#include <cmath>
#include <thread>

using platform::Input;
namespace Msg = platform::Message;
namespace MouseFlag = platform::MouseFlag;
namespace Vk = platform::Vk;

namespace {

constexpr int64_t Ms = 1000000;

// Now on the wait clock the replay reads (the steady clock unless a test installed one).
int64_t nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               waitClock().now().time_since_epoch())
        .count();
}

platform::CapturedKey key(uint32_t message, uint32_t vk, int64_t timeNs)
{
    platform::CapturedKey k;
    k.message = message;
    k.vkCode = vk;
    k.scanCode = vk + 1;
    k.flags = message == Msg::KeyUp ? platform::CapturedKeyFlag::Up : 0;
    k.timeNs = timeNs;
    return k;
}

platform::CapturedMouse mouse(uint32_t message, int x, int y, int64_t timeNs, uint32_t data = 0)
{
    platform::CapturedMouse m;
    m.message = message;
    m.x = x;
    m.y = y;
    m.mouseData = data;
    m.timeNs = timeNs;
    return m;
}

void recordAll(AutoRecordTask& task)
{
    task.setRecordClick(true);
    task.setRecordMove(true);
    task.setRecordScroll(true);
    task.setRecordKeyPress(true);
    task.setRecordInterval(true);
}

std::vector<int> types(const AutoRecordTask& task)
{
    std::vector<int> result;
    for (const auto& event : task.events())
        result.push_back(event->type);
    return result;
}

Input absMove(int dx, int dy)
{
    return Input::mouseInput(MouseFlag::Move | MouseFlag::Absolute, dx, dy);
}

Input keyIn(uint16_t vk, bool up)
{
    return Input::keyInput(vk, up ? platform::KeyFlag::KeyUp : 0);
}

// Header of a recording file up to (without) the event count.
QByteArray header(const char* typeHex = "00000007")
{
    return QByteArray::fromHex(QByteArray("8e62d878") + typeHex +
                               "00000000"
                               "00000000"
                               "00000032"
                               "00000000"
                               "00000000");
}

QString writeTemp(const QTemporaryDir& dir, const QByteArray& bytes)
{
    const QString path = dir.filePath(QStringLiteral("record_test.kqt"));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

// Stores the wait-clock time of every batch as well.
class TimedBackend : public RecordingBackend
{
public:
    unsigned sendInput(const Input* inputs, unsigned count) override
    {
        {
            std::lock_guard<std::mutex> lock(m_timesMutex);
            m_times.push_back(nowNs());
        }
        return RecordingBackend::sendInput(inputs, count);
    }
    std::vector<int64_t> times() const
    {
        std::lock_guard<std::mutex> lock(m_timesMutex);
        return m_times;
    }

private:
    mutable std::mutex m_timesMutex;
    std::vector<int64_t> m_times;
};

} // namespace

class TestAutoRecordTask : public QObject
{
    Q_OBJECT

private slots:
    void init() { AppConfig::runFlag = true; }
    void cleanup() { AppConfig::runFlag = false; }

    void hook_leadingReleaseIgnored_data();
    void hook_leadingReleaseIgnored();
    void hook_optionFilters_data();
    void hook_optionFilters();
    void hook_withoutIntervalGapsShrinkToOneMs();

    void replay_sendsEachKindAsRecorded();
    void replay_followsRecordedOffsetsWithoutDrift();
    void replay_speedDividesOffsets_data();
    void replay_speedDividesOffsets();
    void replay_stopInLongPauseEndsQuicklyAndReleases();
    void replay_equalTimesKeepTheirOrder();
    void replay_emptyRecordingSendsNothing();

    void file_layoutByteForByte();
    void file_stopKeyDownsAreNotWritten();
    void file_otherKindReadAsPlainEventAndOnlyTimes();
    void file_otherTaskTypeRefused();
    void file_malformedNeverCrashesOrHangs_data();
    void file_malformedNeverCrashesOrHangs();
};

void TestAutoRecordTask::hook_leadingReleaseIgnored_data()
{
    QTest::addColumn<bool>("isKey");
    QTest::addColumn<uint>("message");
    QTest::newRow("key up") << true << uint(Msg::KeyUp);
    QTest::newRow("system key up") << true << uint(Msg::SysKeyUp);
    QTest::newRow("left up") << false << uint(Msg::LButtonUp);
    QTest::newRow("right up") << false << uint(Msg::RButtonUp);
    QTest::newRow("middle up") << false << uint(Msg::MButtonUp);
}

void TestAutoRecordTask::hook_leadingReleaseIgnored()
{
    QFETCH(bool, isKey);
    QFETCH(uint, message);
    AutoRecordTask task;
    recordAll(task);
    auto feed = [&](int64_t t) {
        if (isKey)
            task.keyboardHook(0, key(message, Vk::KeyA, t));
        else
            task.mouseHook(0, mouse(message, 5, 6, t));
    };
    feed(1 * Ms);
    QVERIFY(task.events().empty());
    // Once something was recorded, a release is an ordinary event.
    task.keyboardHook(0, key(Msg::KeyDown, (Vk::KeyA + 1), 2 * Ms));
    feed(3 * Ms);
    QCOMPARE(task.events().size(), size_t(2));
    // Calls with another hook code never record.
    task.keyboardHook(1, key(Msg::KeyDown, (Vk::KeyA + 1), 4 * Ms));
    task.mouseHook(1, mouse(Msg::LButtonDown, 1, 1, 4 * Ms));
    QCOMPARE(task.events().size(), size_t(2));
}

void TestAutoRecordTask::hook_optionFilters_data()
{
    QTest::addColumn<bool>("click");
    QTest::addColumn<bool>("move");
    QTest::addColumn<bool>("scroll");
    QTest::addColumn<bool>("keys");
    QTest::addColumn<std::vector<int>>("expected");
    // Fed: move, left down, left up, wheel, key down, key up, side button (other).
    QTest::newRow("all") << true << true << true << true << std::vector<int>{0, 1, 2, 7, 8, 9, 10};
    QTest::newRow("no moves") << true << false << true << true
                              << std::vector<int>{1, 2, 7, 8, 9, 10};
    QTest::newRow("moves only") << false << true << false << false << std::vector<int>{0, 10};
    QTest::newRow("keys only") << false << false << false << true << std::vector<int>{8, 9, 10};
}

void TestAutoRecordTask::hook_optionFilters()
{
    QFETCH(bool, click);
    QFETCH(bool, move);
    QFETCH(bool, scroll);
    QFETCH(bool, keys);
    QFETCH(std::vector<int>, expected);
    AutoRecordTask task;
    task.setRecordClick(click);
    task.setRecordMove(move);
    task.setRecordScroll(scroll);
    task.setRecordKeyPress(keys);
    task.setRecordInterval(true);
    task.mouseHook(0, mouse(Msg::MouseMove, 10, 20, 1 * Ms));
    task.mouseHook(0, mouse(Msg::LButtonDown, 11, 21, 2 * Ms));
    task.mouseHook(0, mouse(Msg::LButtonUp, 11, 21, 3 * Ms));
    task.mouseHook(0, mouse(Msg::MouseWheel, 11, 21, 4 * Ms, uint32_t(-120) << 16));
    task.keyboardHook(0, key(Msg::SysKeyDown, Vk::KeyA, 5 * Ms));
    task.keyboardHook(0, key(Msg::KeyUp, Vk::KeyA, 6 * Ms));
    task.mouseHook(0, mouse(Msg::XButtonDown, 12, 22, 7 * Ms, 1u << 16));
    QCOMPARE(types(task), expected);
    for (const auto& event : task.events()) {
        if (event->type == 7)
            QCOMPARE(static_cast<const MouseEvent*>(event.get())->wheelDelta, -120);
    }
}

void TestAutoRecordTask::hook_withoutIntervalGapsShrinkToOneMs()
{
    ScopedRecordingBackend backend;
    AutoRecordTask task;
    recordAll(task);
    task.setRecordInterval(false);
    const int64_t t0 = 5000 * Ms;
    task.keyboardHook(0, key(Msg::KeyDown, Vk::KeyA, t0));
    task.keyboardHook(0, key(Msg::KeyUp, Vk::KeyA, t0 + Ms / 2)); // under 1 ms: kept
    task.keyboardHook(0, key(Msg::KeyDown, (Vk::KeyA + 1), t0 + 3000 * Ms));
    task.mouseHook(0, mouse(Msg::LButtonDown, 1, 1, t0 + 6000 * Ms));
    const auto& ev = task.events();
    QCOMPARE(ev[1]->time - ev[0]->time, Ms / 2);
    QCOMPARE(ev[2]->time - ev[1]->time, Ms);
    QCOMPARE(ev[3]->time - ev[2]->time, Ms);

    QElapsedTimer clock;
    clock.start();
    task.run();
    QVERIFY2(clock.elapsed() < 100, qPrintable(QString::number(clock.elapsed())));
    // + the releases of B and of the left button, still down at the end
    QCOMPARE(backend->callCount(), 4 + 2);
}

void TestAutoRecordTask::replay_sendsEachKindAsRecorded()
{
    ScopedRecordingBackend backend;
    backend->setScreenSize(1000, 500);
    AutoRecordTask task;
    recordAll(task);
    task.setRecordMove(false); // the press must still go to its own point
    const int64_t t = 100 * Ms;
    task.mouseHook(0, mouse(Msg::MouseMove, 1, 1, t));
    task.mouseHook(0, mouse(Msg::RButtonDown, 250, 100, t + 1 * Ms));
    task.mouseHook(0, mouse(Msg::RButtonUp, 260, 110, t + 2 * Ms));
    task.setRecordMove(true);
    task.mouseHook(0, mouse(Msg::MouseMove, 999, 499, t + 3 * Ms));
    task.mouseHook(0, mouse(Msg::MButtonDown, 0, 0, t + 4 * Ms));
    task.mouseHook(0, mouse(Msg::MButtonUp, 0, 0, t + 5 * Ms));
    task.mouseHook(0, mouse(Msg::MouseWheel, 0, 0, t + 6 * Ms, uint32_t(240) << 16));
    task.keyboardHook(0, key(Msg::KeyDown, Vk::Return, t + 7 * Ms));
    task.keyboardHook(0, key(Msg::KeyUp, Vk::Return, t + 8 * Ms));
    platform::CapturedKey character = key(Msg::KeyDown, Vk::Packet, t + 9 * Ms);
    character.scanCode = 0x4F60; // typed as a character by another program
    task.keyboardHook(0, character);
    character.message = Msg::KeyUp;
    character.flags = platform::CapturedKeyFlag::Up;
    character.timeNs = t + 10 * Ms;
    task.keyboardHook(0, character);
    task.run();

    const std::vector<RecordingBackend::Batch> expected = {
        {absMove(250 * 65535 / 1000, 100 * 65535 / 500), Input::mouseInput(MouseFlag::RightDown)},
        {Input::mouseInput(MouseFlag::RightUp)},
        {absMove(999 * 65535 / 1000, 499 * 65535 / 500)},
        {absMove(0, 0), Input::mouseInput(MouseFlag::MiddleDown)},
        {Input::mouseInput(MouseFlag::MiddleUp)},
        {Input::mouseInput(MouseFlag::Wheel, 0, 0, 240)},
        {keyIn(Vk::Return, false)}, // recorded scan code and flags are not sent
        {keyIn(Vk::Return, true)},
        {Input::keyInput(0, platform::KeyFlag::Unicode, 0x4F60)},
        {Input::keyInput(0, platform::KeyFlag::Unicode | platform::KeyFlag::KeyUp, 0x4F60)},
    };
    QVERIFY(backend->batches() == expected);
}

void TestAutoRecordTask::replay_followsRecordedOffsetsWithoutDrift()
{
    // Gaps of 2.9 ms: waiting each truncated gap after the previous send would be
    // 0.9 ms short per event, an error that grows to 270 ms over 300 of them. Every
    // event goes out at its own offset from the start, to the nanosecond.
    ManualWaitClock clock;
    auto* timed = new TimedBackend;
    auto previous = platform::installBackend(std::unique_ptr<platform::Backend>(timed));
    AutoRecordTask task;
    recordAll(task);
    constexpr int Count = 300;
    constexpr int64_t Gap = 2900000;
    for (int i = 0; i < Count; ++i)
        task.mouseHook(0, mouse(Msg::MouseMove, i, i, 1000 * Ms + i * Gap));
    task.run();
    const std::vector<int64_t> sent = timed->times();
    platform::installBackend(std::move(previous));

    QCOMPARE(int(sent.size()), Count);
    for (int i = 0; i < Count; ++i) {
        const int64_t due = i * Gap;
        QVERIFY2(sent[i] - sent[0] == due, qPrintable(QStringLiteral("event %1 at %2 ns, due %3 ns")
                                                          .arg(i)
                                                          .arg(sent[i] - sent[0])
                                                          .arg(due)));
    }
}

void TestAutoRecordTask::replay_speedDividesOffsets_data()
{
    QTest::addColumn<double>("speed");
    QTest::addColumn<double>("applied");
    QTest::newRow("as recorded") << 1.0 << 1.0;
    QTest::newRow("twice as fast") << 2.0 << 2.0;
    QTest::newRow("four times") << 4.0 << 4.0;
    QTest::newRow("half") << 0.5 << 0.5;
    QTest::newRow("a quarter") << 0.25 << 0.25;
    QTest::newRow("above the range") << 10.0 << 4.0;
    QTest::newRow("below the range") << 0.1 << 0.25;
    QTest::newRow("zero") << 0.0 << 0.25;
    QTest::newRow("not a number") << std::nan("") << 1.0;
}

void TestAutoRecordTask::replay_speedDividesOffsets()
{
    QFETCH(double, speed);
    QFETCH(double, applied);
    ManualWaitClock clock;
    auto* timed = new TimedBackend;
    auto previous = platform::installBackend(std::unique_ptr<platform::Backend>(timed));
    AutoRecordTask task;
    recordAll(task);
    task.setReplaySpeed(speed);
    QCOMPARE(task.replaySpeed(), applied);
    const std::vector<int64_t> offsets = {0, 100 * Ms, 333 * Ms + 700000, 1001 * Ms};
    for (const int64_t offset : offsets)
        task.mouseHook(0, mouse(Msg::MouseMove, 1, 1, 5000 * Ms + offset));
    task.run();
    const std::vector<int64_t> sent = timed->times();
    platform::installBackend(std::move(previous));

    QCOMPARE(sent.size(), offsets.size());
    for (size_t i = 0; i < offsets.size(); ++i) {
        // Sent at its offset at that speed.
        const int64_t due = int64_t(double(offsets[i]) / applied);
        QCOMPARE(sent[i] - sent[0], due);
    }
}

void TestAutoRecordTask::replay_stopInLongPauseEndsQuicklyAndReleases()
{
    ScopedRecordingBackend backend;
    AutoRecordTask task;
    recordAll(task);
    const int64_t t = 100 * Ms;
    task.keyboardHook(0, key(Msg::KeyDown, Vk::Shift, t));
    task.mouseHook(0, mouse(Msg::LButtonDown, 0, 0, t + Ms));
    task.keyboardHook(0, key(Msg::KeyDown, Vk::KeyA, t + 2 * Ms));
    task.keyboardHook(0, key(Msg::KeyUp, Vk::KeyA, t + 3 * Ms));
    task.keyboardHook(0, key(Msg::KeyUp, Vk::Shift, t + 10000 * Ms));
    task.mouseHook(0, mouse(Msg::LButtonUp, 0, 0, t + 10001 * Ms));

    std::thread worker([&] { task.run(); });
    QTest::qWait(150);
    QElapsedTimer clock;
    clock.start();
    AppConfig::runFlag = false;
    worker.join();
    QVERIFY2(clock.elapsed() <= 60, qPrintable(QString::number(clock.elapsed())));

    const std::vector<RecordingBackend::Batch> expected = {
        {keyIn(Vk::Shift, false)},
        {absMove(0, 0), Input::mouseInput(MouseFlag::LeftDown)},
        {keyIn(Vk::KeyA, false)},
        {keyIn(Vk::KeyA, true)},
        // stopped: what is still down is released, nothing else is sent
        {keyIn(Vk::Shift, true)},
        {Input::mouseInput(MouseFlag::LeftUp)},
    };
    QVERIFY(backend->batches() == expected);
}

void TestAutoRecordTask::replay_equalTimesKeepTheirOrder()
{
    // A quick key press read back from a file: down and up in the same millisecond.
    ScopedRecordingBackend backend;
    AutoRecordTask task;
    for (int i = 0; i < 40; ++i) {
        auto down = std::make_unique<KeyboardEvent>(EventType::KeyDown, 7 * Ms);
        down->vkCode = Vk::KeyA + i % 26;
        auto up = std::make_unique<KeyboardEvent>(EventType::KeyUp, 7 * Ms);
        up->vkCode = down->vkCode;
        task.appendEvent(std::move(down));
        task.appendEvent(std::move(up));
    }
    task.run();
    const auto inputs = backend->allInputs();
    QCOMPARE(inputs.size(), size_t(80));
    for (size_t i = 0; i < inputs.size(); ++i)
        QCOMPARE(bool(inputs[i].keyboard.flags & platform::KeyFlag::KeyUp), i % 2 == 1);
}

void TestAutoRecordTask::replay_emptyRecordingSendsNothing()
{
    ScopedRecordingBackend backend;
    AutoRecordTask task;
    QTest::ignoreMessage(QtDebugMsg, "no event to replay.");
    task.run();
    QCOMPARE(backend->callCount(), 0);
}

void TestAutoRecordTask::file_layoutByteForByte()
{
    AutoRecordTask task;
    recordAll(task);
    task.mouseHook(0, mouse(Msg::LButtonDown, 3, 4, 2 * Ms + 999999)); // ms truncated
    task.mouseHook(0, mouse(Msg::MouseWheel, 3, 4, 5 * Ms, uint32_t(-120) << 16));
    task.keyboardHook(0, key(Msg::KeyUp, 0x41, 6 * Ms));
    task.setHotKey(QStringLiteral("F6"));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("record.kqt"));
    QVERIFY(task.save(path));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray expected = header() + QByteArray::fromHex("0000000000000003"
                                                               "00000001"
                                                               "0000000000000002"
                                                               "00000003"
                                                               "00000004"
                                                               "00000007"
                                                               "0000000000000005"
                                                               "ffffff88"
                                                               "00000009"
                                                               "0000000000000006"
                                                               "00000041"
                                                               "00000042"
                                                               "00000080"
                                                               "00000004"
                                                               "00460036");
    QCOMPARE(file.readAll().toHex(), expected.toHex());

    std::unique_ptr<AutoRecordTask> back(AutoRecordTask::load(path));
    QVERIFY(back);
    QCOMPARE(types(*back), (std::vector<int>{1, 7, 9}));
    QCOMPARE(back->events()[0]->time, 2 * Ms);
    QCOMPARE(back->hotKey(), QStringLiteral("F6"));
    QVERIFY(back->hotkey()); // a hotkey object is made for a stored key
    QCOMPARE(back->intervalTime(), 50);
}

void TestAutoRecordTask::file_stopKeyDownsAreNotWritten()
{
    AutoRecordTask task;
    recordAll(task);
    task.keyboardHook(0, key(Msg::KeyDown, Vk::KeyA, 1 * Ms));
    task.keyboardHook(0, key(Msg::KeyUp, Vk::KeyA, 2 * Ms));
    // Ctrl+F4 stops the recording; its releases are never captured.
    task.keyboardHook(0, key(Msg::KeyDown, Vk::Control, 3 * Ms));
    task.keyboardHook(0, key(Msg::KeyDown, Vk::F1 + 3, 4 * Ms));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("r.kqt"));
    QVERIFY(task.save(path));
    QCOMPARE(types(task), (std::vector<int>{8, 9}));
    std::unique_ptr<AutoRecordTask> back(AutoRecordTask::load(path));
    QVERIFY(back);
    QCOMPARE(types(*back), (std::vector<int>{8, 9}));

    AutoRecordTask onlyDowns;
    recordAll(onlyDowns);
    onlyDowns.keyboardHook(0, key(Msg::KeyDown, Vk::Control, 3 * Ms));
    QVERIFY(onlyDowns.save(path));
    back.reset(AutoRecordTask::load(path));
    QVERIFY(back && back->events().empty());
}

void TestAutoRecordTask::file_otherKindReadAsPlainEventAndOnlyTimes()
{
    const QByteArray bytes = header() + QByteArray::fromHex("0000000000000003"
                                                            "00000008"
                                                            "0000000000001000"
                                                            "00000041"
                                                            "00000000"
                                                            "00000000"
                                                            "0000000a"
                                                            "0000000000001096"
                                                            "00000009"
                                                            "0000000000001096"
                                                            "00000041"
                                                            "00000000"
                                                            "00000000"
                                                            "00000000");
    QTemporaryDir dir;
    std::unique_ptr<AutoRecordTask> task(AutoRecordTask::load(writeTemp(dir, bytes)));
    QVERIFY(task);
    QCOMPARE(types(*task), (std::vector<int>{8, 10, 9}));
    const Event* other = task->events()[1].get();
    QVERIFY(!dynamic_cast<const MouseEvent*>(other) && !dynamic_cast<const KeyboardEvent*>(other));

    auto* timed = new TimedBackend;
    auto previous = platform::installBackend(std::unique_ptr<platform::Backend>(timed));
    task->run();
    const std::vector<int64_t> sent = timed->times();
    const auto batches = timed->batches();
    platform::installBackend(std::move(previous));
    QCOMPARE(int(batches.size()), 2); // the other kind sends nothing
    // The replay's one test on the steady clock, with wide bounds.
    const int64_t gap = sent[1] - sent[0];
    QVERIFY2(gap >= 149 * Ms && gap < 1000 * Ms, qPrintable(QString::number(gap)));
}

void TestAutoRecordTask::file_otherTaskTypeRefused()
{
    QTemporaryDir dir;
    const QString path =
        writeTemp(dir, header("00000006") + QByteArray(8, '\0') + QByteArray::fromHex("00000000"));
    QTest::ignoreMessage(
        QtWarningMsg,
        qPrintable(QStringLiteral("要载入的文件不是录制任务文件file name: %1.").arg(path)));
    QVERIFY(!AutoRecordTask::load(path));
}

void TestAutoRecordTask::file_malformedNeverCrashesOrHangs_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("events");
    QTest::addColumn<bool>("endsEarly"); // cut short, or damaged before its hotkey
    const QByteArray two = QByteArray::fromHex("00000001"
                                               "0000000000000002"
                                               "00000003"
                                               "00000004"
                                               "00000009"
                                               "0000000000000003"
                                               "00000041"
                                               "00000000"
                                               "00000000");
    const QByteArray hotkey = QByteArray::fromHex("00000004"
                                                  "00460036");
    QTest::newRow("intact") << header() + QByteArray::fromHex("0000000000000002") + two + hotkey
                            << 2 << false;
    QTest::newRow("cut inside the hotkey")
        << header() + QByteArray::fromHex("0000000000000002") + two + hotkey.left(6) << 2 << true;
    QTest::newRow("huge count") << header() + QByteArray::fromHex("7fffffffffffffff") + two + hotkey
                                << 2 << true;
    QTest::newRow("negative count")
        << header() + QByteArray::fromHex("8000000000000000") + two + hotkey << 0 << true;
    QTest::newRow("cut inside an event")
        << header() + QByteArray::fromHex("0000000000000002") + two.left(30) << 1 << true;
    QTest::newRow("cut after the count")
        << header() + QByteArray::fromHex("00000000000f4240") << 0 << true;
    QTest::newRow("extreme times") << header() +
                                          QByteArray::fromHex("0000000000000002"
                                                              "0000000a"
                                                              "7fffffffffffffff"
                                                              "0000000a"
                                                              "8000000000000000") +
                                          hotkey
                                   << 2 << false;
}

void TestAutoRecordTask::file_malformedNeverCrashesOrHangs()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, events);
    QFETCH(bool, endsEarly);
    ScopedRecordingBackend backend;
    QTemporaryDir dir;
    QElapsedTimer clock;
    clock.start();
    std::unique_ptr<AutoRecordTask> task(AutoRecordTask::load(writeTemp(dir, bytes)));
    QVERIFY(task);
    QCOMPARE(int(task->events().size()), events);
    QCOMPARE(task->endsEarly(), endsEarly);
    // Whatever was read replays in bounded time (extreme times: a stop ends it).
    std::thread worker([&] { task->run(); });
    QTest::qWait(20);
    AppConfig::runFlag = false;
    worker.join();
    QVERIFY(clock.elapsed() < 2000);
}

KLIQORA_TEST_MAIN(TestAutoRecordTask)
#include "tst_autorecordtask.moc"
