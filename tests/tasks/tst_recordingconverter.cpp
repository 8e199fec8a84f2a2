#include "appconfig.h"
#include "autorecordtask.h"
#include "flow.h"
#include "inputdescription.h"
#include "manualwaitclock.h"
#include "operation.h"
#include "recordingbackend.h"
#include "recordingconverter.h"
#include "testenvironment.h"

#include "platform/virtualkeys.h"

#include <QtTest>

namespace {

constexpr int64_t Ms = 1000000;

void addMouse(AutoRecordTask& task, int32_t type, int atMs, int x, int y, int wheel = 0)
{
    auto event = std::make_unique<MouseEvent>(type, atMs * Ms + 5 * Ms);
    event->x = x;
    event->y = y;
    event->wheelDelta = wheel;
    task.appendEvent(std::move(event));
}

void addKey(AutoRecordTask& task, int32_t type, int atMs, int vk, int scan = 0)
{
    auto event = std::make_unique<KeyboardEvent>(type, atMs * Ms + 5 * Ms);
    event->vkCode = vk;
    event->scanCode = scan;
    task.appendEvent(std::move(event));
}

// "type interval" of each operation, and its toString() for the fields.
QStringList listing(const Flow& flow)
{
    QStringList lines;
    for (const Operation* op : flow.operations())
        lines << QStringLiteral("%1 @%2").arg(op->toString()).arg(op->interval());
    return lines;
}

// What a run sends, without the empty records a click pads its batch with.
QStringList sentRecords(RecordingBackend& backend)
{
    QStringList lines;
    for (const platform::Input& in : backend.allInputs()) {
        if (in != platform::Input())
            lines << describeInput(in);
    }
    backend.clear();
    return lines;
}

struct RunFlagSet
{
    RunFlagSet() { AppConfig::runFlag.store(true); }
    ~RunFlagSet() { AppConfig::runFlag.store(false); }
};

} // namespace

class TestRecordingConverter : public QObject
{
    Q_OBJECT

private slots:
    void everyKindBecomesItsOperation()
    {
        AutoRecordTask task;
        addMouse(task, EventType::MouseMove, 0, 10, 10);
        addMouse(task, EventType::LeftDown, 120, 10, 10);
        addMouse(task, EventType::LeftUp, 180, 10, 10);
        addMouse(task, EventType::Wheel, 400, 15, 16, -240);
        addKey(task, EventType::KeyDown, 1000, platform::Vk::LShift);
        addKey(task, EventType::KeyDown, 1050, 'A');
        addKey(task, EventType::KeyUp, 1100, 'A');
        addKey(task, EventType::KeyUp, 1101, platform::Vk::LShift);
        addKey(task, EventType::KeyDown, 1200, platform::Vk::Packet, 0x4f60); // 你
        addKey(task, EventType::KeyUp, 1201, platform::Vk::Packet, 0x4f60);
        addKey(task, EventType::KeyDown, 1300, 0xE8); // no key name: left out
        addMouse(task, EventType::RightDown, 1500, 40, 50);
        addMouse(task, EventType::RightUp, 1550, 40, 50);
        Flow flow;
        const ConversionSummary summary = convertRecording(task, flow);
        QCOMPARE(listing(flow), (QStringList{
                                    "移动鼠标: x=10, y=10 @0",
                                    "点击鼠标: clickType=0, x=10, y=10 @120",
                                    "滚动滚轮: delta=-240, horizontal=0, x=15, y=16 @280",
                                    "输入按键: eventType=0, key=LSHIFT, modifiers= @600",
                                    "输入按键: eventType=0, key=A, modifiers= @50",
                                    "输入按键: eventType=1, key=A, modifiers= @50",
                                    "输入按键: eventType=1, key=LSHIFT, modifiers= @1",
                                    "输入文本: text=\"你\" @99",
                                    "点击鼠标: clickType=0, x=40, y=50 @300",
                                }));
        QCOMPARE(flow.operations().at(8)->property("clickButton").toInt(), 1);
        QCOMPARE(summary.operations, 9);
        QCOMPARE(summary.keysLeftOut, 1);
        QCOMPARE(summary.dragsAsClicks, 0);
        for (const Operation* op : flow.operations())
            QCOMPARE(op->parent(), &flow);
    }

    void pathsAreThinnedToTheirShape_data()
    {
        QTest::addColumn<bool>("keepAll");
        QTest::addColumn<QStringList>("moves");
        QTest::addColumn<int>("dropped");
        // clang-format off
        QTest::newRow("thinned") << false << QStringList{
            "移动鼠标: x=0, y=0 @0", "移动鼠标: x=100, y=0 @50", "移动鼠标: x=100, y=100 @50"} << 8;
        QTest::newRow("all kept") << true << QStringList{} << 0;
        // clang-format on
    }

    void pathsAreThinnedToTheirShape()
    {
        QFETCH(bool, keepAll);
        QFETCH(QStringList, moves);
        QFETCH(int, dropped);
        // An L: right along the top (one point a pixel off), then down; 10 ms apart.
        AutoRecordTask task;
        int at = 0;
        for (int x : {0, 20, 40, 60, 80, 100})
            addMouse(task, EventType::MouseMove, at++ * 10, x, x == 40 ? 1 : 0);
        for (int y : {20, 40, 60, 80, 100})
            addMouse(task, EventType::MouseMove, at++ * 10, 100, y);
        Flow flow;
        RecordingConversion options;
        options.keepAllMoves = keepAll;
        const ConversionSummary summary = convertRecording(task, flow, options);
        QCOMPARE(summary.droppedMoves, dropped);
        if (keepAll) {
            QCOMPARE(flow.operations().size(), 11);
            for (int i = 1; i < 11; ++i)
                QCOMPARE(flow.operations().at(i)->interval(), 10);
        } else {
            QCOMPARE(listing(flow), moves);
        }
    }

    void dragBecomesAClickWhereItWasPressed()
    {
        AutoRecordTask task;
        addMouse(task, EventType::LeftDown, 0, 5, 5);
        addMouse(task, EventType::MouseMove, 30, 50, 50);
        addMouse(task, EventType::LeftUp, 60, 50, 50);
        Flow flow;
        const ConversionSummary summary = convertRecording(task, flow);
        QCOMPARE(summary.dragsAsClicks, 1);
        QCOMPARE(listing(flow),
                 (QStringList{"点击鼠标: clickType=0, x=5, y=5 @0", "移动鼠标: x=50, y=50 @30"}));
    }

    // The flow sends what the replay of the recording sends, in the same order and at
    // the same moments (a click's release comes with its press).
    void flowReplaysTheRecording()
    {
        AutoRecordTask task;
        addMouse(task, EventType::MouseMove, 0, 300, 200);
        addMouse(task, EventType::LeftDown, 100, 300, 200);
        addMouse(task, EventType::LeftUp, 100, 300, 200);
        addMouse(task, EventType::Wheel, 250, 300, 200, 120);
        addKey(task, EventType::KeyDown, 400, 'K');
        addKey(task, EventType::KeyUp, 460, 'K');
        ScopedRecordingBackend backend;
        ManualWaitClock clock;
        RunFlagSet running;
        task.run();
        const auto replayEnd = clock.elapsed();
        QStringList replayed = sentRecords(*backend);

        Flow flow;
        convertRecording(task, flow);
        ManualWaitClock flowClock;
        QCOMPARE(flow.run(), FlowRunEnd::Finished);
        QStringList flowed = sentRecords(*backend);
        QCOMPARE(flowClock.elapsed(), replayEnd);
        // The wheel operation moves to its point first; the replayed wheel stays where
        // the pointer is, which is the same point here.
        QCOMPARE(flowed.size(), replayed.size() + 1);
        flowed.removeAt(4);
        QCOMPARE(flowed, replayed);
    }

    void emptyRecordingGivesNoOperation()
    {
        AutoRecordTask task;
        Flow flow;
        QCOMPARE(convertRecording(task, flow).operations, 0);
        QVERIFY(flow.operations().isEmpty());
    }
};

KLIQORA_TEST_MAIN(TestRecordingConverter)
#include "tst_recordingconverter.moc"
