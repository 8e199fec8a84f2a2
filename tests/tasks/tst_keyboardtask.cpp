// The key presser job on the recording backend: rows built from key texts, the
// presses of one row, the repetition of the list, stops, and "keyboard.kqt".

#include "appconfig.h"
#include "keyboardtask.h"
#include "keyboardtasklist.h"
#include "manualwaitclock.h"
#include "platform/virtualkeys.h"
#include "recordingbackend.h"
#include "testenvironment.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

#include <thread>

using platform::Input;
namespace Vk = platform::Vk;

namespace {

const uint32_t Up = platform::KeyFlag::KeyUp;

// Hotkey "F3", stop by count, 1000 ms, 2 passes, then rows "CTRL+C" (hold 0, pause 100)
// and "A" (hold 20, pause 5).
// clang-format off
const QByteArray KeyboardFile = QByteArray::fromHex(
    "8e62d878"
    "00000004" "00460033"                                   // hotkey "F3"
    "00000002" "000003e8" "00000002"                        // stop type, duration, repeat
    "00000006" "00000000" "00000000" "00000064" "00000000" "00000001"
    "00000000" "00000010" "0043" "0000000c" "004300540052004c002b0043" // CTRL+C
    "00000006" "00000000" "00000000" "00000005" "00000000" "00000001"
    "00000014" "00000000" "0041" "00000002" "0041");        // A
// clang-format on

// Byte offset of the second row record in KeyboardFile.
constexpr int SecondRowOffset = 4 + 8 + 12 + 24 + 10 + 16;

std::vector<uint16_t> keyDowns(const std::vector<Input>& inputs)
{
    std::vector<uint16_t> downs;
    for (const Input& in : inputs)
        if (in.type == Input::Type::Keyboard && !(in.keyboard.flags & Up))
            downs.push_back(in.keyboard.vk);
    return downs;
}

QString writeTemp(const QTemporaryDir& dir, const QByteArray& bytes)
{
    const QString path = dir.filePath(QStringLiteral("keyboard.kqt"));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

} // namespace

class TestKeyBoardTask : public QObject
{
    Q_OBJECT

private slots:
    void init() { AppConfig::runFlag = true; }
    void cleanup() { AppConfig::runFlag = false; }

    void rowFromKeyText_data();
    void rowFromKeyText();
    void run_pressesModifiersKeyThenReleases();
    void stopDuringHold_stillReleasesEverything();
    void list_countRepeatsRowsInOrder_data();
    void list_countRepeatsRowsInOrder();
    void list_stopBetweenRows();

    void file_roundTripMatchesHandWrittenLayout();
    void file_wrongRowTypeKeepsRowsBefore();
    void file_damagedNeverCrashesOrHangs_data();
    void file_damagedNeverCrashesOrHangs();
};

void TestKeyBoardTask::rowFromKeyText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("vk");
    QTest::addColumn<int>("mask");
    QTest::newRow("CTRL+SHIFT+A") << "CTRL+SHIFT+A" << int(Vk::KeyA) << 0x0011;
    QTest::newRow("CTRL+C") << "CTRL+C" << int(Vk::KeyA + 2) << 0x0010;
    QTest::newRow("lower case with spaces") << " ctrl + c " << int(Vk::KeyA + 2) << 0x0010;
    QTest::newRow("all four") << "WIN+ALT+SHIFT+CTRL+F5" << int(Vk::F1 + 4) << 0x1111;
    QTest::newRow("unknown modifier adds nothing") << "LCTRL+C" << int(Vk::KeyA + 2) << 0;
    QTest::newRow("unknown key sends 0") << "CTRL+NOSUCHKEY" << 0 << 0x0010;
    QTest::newRow("empty parts dropped") << "CTRL++SHIFT+TAB" << int(Vk::Tab) << 0x0011;
    QTest::newRow("empty text") << "" << 0 << 0;
}

void TestKeyBoardTask::rowFromKeyText()
{
    QFETCH(QString, text);
    QFETCH(int, vk);
    QFETCH(int, mask);
    std::unique_ptr<KeyBoardTask> task(
        KeyBoardTask::fromRowTexts(text, QStringLiteral("30"), QStringLiteral("x")));
    QCOMPARE(int(task->vkCode()), vk);
    QCOMPARE(task->modifierKeys(), mask);
    QCOMPARE(task->key(), text);
    QCOMPARE(task->pressDuration(), 30);
    QCOMPARE(task->intervalTime(), 0); // not a number
    QCOMPARE(task->taskType(), int(TaskType::KeyPress));
    QCOMPARE(task->executeTimes(), 1);
}

void TestKeyBoardTask::run_pressesModifiersKeyThenReleases()
{
    ScopedRecordingBackend backend;
    std::unique_ptr<KeyBoardTask> task(KeyBoardTask::fromRowTexts(
        QStringLiteral("CTRL+SHIFT+A"), QStringLiteral("0"), QStringLiteral("0")));
    task->run();
    const std::vector<RecordingBackend::Batch> expected = {
        {Input::keyInput(Vk::Shift)},     {Input::keyInput(Vk::Control)},
        {Input::keyInput(Vk::KeyA)},      {Input::keyInput(Vk::KeyA, Up)},
        {Input::keyInput(Vk::Shift, Up)}, {Input::keyInput(Vk::Control, Up)},
    };
    QVERIFY(backend->batches() == expected);
}

void TestKeyBoardTask::stopDuringHold_stillReleasesEverything()
{
    ScopedRecordingBackend backend;
    std::unique_ptr<KeyBoardTask> task(KeyBoardTask::fromRowTexts(
        QStringLiteral("ALT+WIN+F4"), QStringLiteral("5000"), QStringLiteral("5000")));
    QElapsedTimer clock;
    clock.start();
    std::thread stopper([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        AppConfig::runFlag = false;
    });
    task->run();
    stopper.join();
    QVERIFY2(clock.elapsed() < 150, qPrintable(QString::number(clock.elapsed())));
    const std::vector<Input> all = backend->allInputs();
    QCOMPARE(int(all.size()), 6);
    const std::vector<Input> releases(all.begin() + 3, all.end());
    const std::vector<Input> expected = {Input::keyInput(Vk::F1 + 3, Up),
                                         Input::keyInput(Vk::Menu, Up),
                                         Input::keyInput(Vk::LWin, Up)};
    QVERIFY(releases == expected);
}

void TestKeyBoardTask::list_countRepeatsRowsInOrder_data()
{
    QTest::addColumn<int>("stopType");
    QTest::addColumn<int>("times");
    QTest::addColumn<int>("passes");
    QTest::newRow("count 2") << int(KeyBoardTaskList::StopByCount) << 2 << 2;
    QTest::newRow("count 0") << int(KeyBoardTaskList::StopByCount) << 0 << 0;
    QTest::newRow("count negative") << int(KeyBoardTaskList::StopByCount) << -1 << 0;
}

void TestKeyBoardTask::list_countRepeatsRowsInOrder()
{
    QFETCH(int, stopType);
    QFETCH(int, times);
    QFETCH(int, passes);
    ScopedRecordingBackend backend;
    KeyBoardTaskList list;
    for (const char* key : {"A", "B", "C"})
        list.appendTask(KeyBoardTask::fromRowTexts(QString::fromLatin1(key), QStringLiteral("1"),
                                                   QStringLiteral("1")));
    list.setStopType(stopType);
    list.setRepeatTimes(times);
    list.run();
    std::vector<uint16_t> expected;
    for (int i = 0; i < passes; ++i)
        expected.insert(expected.end(), {Vk::KeyA, uint16_t(Vk::KeyA + 1), uint16_t(Vk::KeyA + 2)});
    QVERIFY(keyDowns(backend->allInputs()) == expected);
}

void TestKeyBoardTask::list_stopBetweenRows()
{
    // Duration mode ends between passes; by hand runs until the flag is cleared.
    ScopedRecordingBackend backend;
    KeyBoardTaskList list;
    list.appendTask(
        KeyBoardTask::fromRowTexts(QStringLiteral("A"), QStringLiteral("0"), QStringLiteral("20")));
    list.appendTask(
        KeyBoardTask::fromRowTexts(QStringLiteral("B"), QStringLiteral("0"), QStringLiteral("20")));
    list.setStopType(KeyBoardTaskList::StopByDuration);
    list.setDuration(50);
    {
        ManualWaitClock clock;
        list.run();
        // Two passes of 40 ms: the second starts at 40 < 50 and completes.
        QCOMPARE(int(keyDowns(backend->allInputs()).size()), 4);
        QCOMPARE(clock.elapsed(), std::chrono::milliseconds(80));
    }

    backend->clear();
    list.setStopType(KeyBoardTaskList::StopByHand);
    std::thread worker([&list] { list.run(); });
    QTest::qWait(100);
    AppConfig::runFlag = false;
    worker.join();
    const auto downs = keyDowns(backend->allInputs());
    QVERIFY(downs.size() >= 3);
    int ups = 0;
    for (const Input& in : backend->allInputs())
        ups += (in.keyboard.flags & Up) ? 1 : 0;
    QCOMPARE(ups, int(downs.size()));
}

void TestKeyBoardTask::file_roundTripMatchesHandWrittenLayout()
{
    QTemporaryDir dir;
    KeyBoardTaskList list;
    QVERIFY(list.load(writeTemp(dir, KeyboardFile)));
    QCOMPARE(list.hotKey(), QStringLiteral("F3"));
    QCOMPARE(list.stopType(), int(KeyBoardTaskList::StopByCount));
    QCOMPARE(list.duration(), 1000);
    QCOMPARE(list.repeatTimes(), 2);
    QCOMPARE(list.tasks().size(), 2);
    QCOMPARE(list.tasks()[0]->key(), QStringLiteral("CTRL+C"));
    QCOMPARE(list.tasks()[0]->modifierKeys(), 0x0010);
    QCOMPARE(int(list.tasks()[0]->vkCode()), 0x43);
    QCOMPARE(list.tasks()[0]->intervalTime(), 100);
    QCOMPARE(list.tasks()[1]->pressDuration(), 20);
    QCOMPARE(list.tasks()[1]->intervalTime(), 5);

    const QString saved = dir.filePath(QStringLiteral("saved.kqt"));
    QVERIFY(list.save(saved));
    QFile file(saved);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll().toHex(), KeyboardFile.toHex());
}

void TestKeyBoardTask::file_wrongRowTypeKeepsRowsBefore()
{
    QByteArray bytes = KeyboardFile;
    QByteArray third = bytes.mid(SecondRowOffset);
    third.replace(0, 4, QByteArray::fromHex("00000005"));
    bytes += third;
    QTemporaryDir dir;
    const QString path = writeTemp(dir, bytes);
    KeyBoardTaskList list;
    QTest::ignoreMessage(
        QtWarningMsg,
        qPrintable(QStringLiteral("要载入的文件不是键盘连点任务文件file name: %1.").arg(path)));
    QVERIFY(list.load(path));
    QCOMPARE(list.tasks().size(), 2);
    QCOMPARE(list.tasks()[1]->key(), QStringLiteral("A"));
}

void TestKeyBoardTask::file_damagedNeverCrashesOrHangs_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("rows"); // -1: refused, nothing changed
    QTest::newRow("cut inside the header") << KeyboardFile.left(14) << -1;
    QTest::newRow("cut inside the second row") << KeyboardFile.left(SecondRowOffset + 30) << 1;
    QTest::newRow("stray bytes after the rows") << KeyboardFile + QByteArray("\x00\x01", 2) << 2;
    QByteArray huge = KeyboardFile;
    huge.replace(SecondRowOffset + 34, 4, QByteArray::fromHex("7ffffff0"));
    QTest::newRow("huge string length") << huge << 1;
    QByteArray hugeHotkey = KeyboardFile;
    hugeHotkey.replace(4, 4, QByteArray::fromHex("fffffff0"));
    QTest::newRow("huge hotkey length") << hugeHotkey << -1;
    QByteArray noise(4096, '\0');
    for (int i = 0; i < noise.size(); ++i)
        noise[i] = char((i * 7919 + 13) % 251);
    QTest::newRow("random bytes") << noise << -1;
    QTest::newRow("random bytes after the magic") << QByteArray::fromHex("8e62d878") + noise << -1;
}

void TestKeyBoardTask::file_damagedNeverCrashesOrHangs()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, rows);
    QTemporaryDir dir;
    KeyBoardTaskList list;
    list.appendTask(KeyBoardTask::fromRowTexts(QStringLiteral("Z"), QString(), QString()));
    QElapsedTimer clock;
    clock.start();
    const bool loaded = list.load(writeTemp(dir, bytes));
    QVERIFY(clock.elapsed() < 1000);
    QCOMPARE(loaded, rows >= 0);
    if (rows >= 0) {
        QCOMPARE(list.tasks().size(), rows);
        QCOMPARE(list.tasks()[0]->key(), QStringLiteral("CTRL+C"));
    } else {
        QCOMPARE(list.tasks().size(), 1);
        QCOMPARE(list.tasks()[0]->key(), QStringLiteral("Z"));
        QCOMPARE(list.hotKey(), QStringLiteral("F3"));
    }
}

KLIQORA_TEST_GUILESS_MAIN(TestKeyBoardTask)
#include "tst_keyboardtask.moc"
