#include "appconfig.h"
#include "errorreporter.h"
#include "flow.h"
#include "keyboardoperation.h"
#include "loopendoperation.h"
#include "loopstartoperation.h"
#include "loopstructure.h"
#include "manualwaitclock.h"
#include "recordingbackend.h"
#include "testenvironment.h"
#include "waitcoloroperation.h"

#include <QtTest>

using namespace std::chrono_literals;

namespace {

// Builds a flow from a short script: "[3" a loop start with count 3, "]" a loop end,
// a letter a tap of that key, "w" a wait for green at (10, 10). Every pause is 0
// unless `interval` says otherwise.
void fill(Flow& flow, const QString& script, int interval = 0)
{
    for (const QString& word : script.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        Operation* op = nullptr;
        if (word.startsWith(QLatin1Char('['))) {
            auto* start = new LoopStartOperation(&flow);
            start->setCount(word.mid(1).toInt());
            op = start;
        } else if (word == QLatin1String("]")) {
            op = new LoopEndOperation(&flow);
        } else if (word == QLatin1String("w")) {
            auto* wait = new WaitColorOperation(&flow);
            wait->setPosition(QPoint(10, 10));
            wait->setColor(0x00ff00);
            op = wait;
        } else {
            auto* key = new KeyboardOperation(&flow);
            key->setEventType(KeyboardOperation::Tap);
            key->setKey(word);
            op = key;
        }
        op->setInterval(interval);
        flow.operations() << op;
    }
}

// The keys pressed, in order, as one text.
QString pressedKeys(const RecordingBackend& backend)
{
    QString keys;
    for (const platform::Input& in : backend.allInputs()) {
        if (in.type == platform::Input::Type::Keyboard &&
            !(in.keyboard.flags & platform::KeyFlag::KeyUp))
            keys += QChar(in.keyboard.vk);
    }
    return keys;
}

struct RunFlagSet
{
    RunFlagSet() { AppConfig::runFlag.store(true); }
    ~RunFlagSet() { AppConfig::runFlag.store(false); }
};

class ReportCatcher : public ErrorReporter
{
public:
    ReportCatcher() { ErrorReporter::install(this); }
    ~ReportCatcher() override { ErrorReporter::install(nullptr); }
    void showError(const QString& title, const QString& text) override
    {
        titles << title;
        texts << text;
    }
    QStringList titles;
    QStringList texts;
};

// The lines logged in the "kliqora" category while it lives.
class LogLines
{
public:
    LogLines() { s_previous = qInstallMessageHandler(&LogLines::handle); }
    ~LogLines() { qInstallMessageHandler(s_previous); }
    int count(const QString& line) const { return s_lines.count(line); }

private:
    static void handle(QtMsgType, const QMessageLogContext& context, const QString& text)
    {
        if (qstrcmp(context.category, "kliqora") == 0)
            s_lines << text;
    }
    static inline QStringList s_lines;
    static inline QtMessageHandler s_previous = nullptr;
};

WaitColorOperation* waitIn(Flow& flow)
{
    for (Operation* op : flow.operations()) {
        if (auto* wait = qobject_cast<WaitColorOperation*>(op))
            return wait;
    }
    return nullptr;
}

} // namespace

Q_DECLARE_METATYPE(FlowRunEnd)

class TestFlowEngine : public QObject
{
    Q_OBJECT

private slots:
    void loops_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("keys");
        // clang-format off
        QTest::newRow("no loop")           << "A B"                  << "AB";
        QTest::newRow("three rounds")      << "A [3 B ] C"           << "ABBBC";
        QTest::newRow("nested")            << "[2 A [3 B ] ] C"      << "ABBBABBBC";
        QTest::newRow("two in a row")      << "[2 A ] [3 B ]"        << "AABBB";
        QTest::newRow("deeply nested")     << "[2 [2 [2 A ] B ] ] C" << "AABAABAABAABC";
        QTest::newRow("one round")         << "[1 A ] B"             << "AB";
        QTest::newRow("negative: skipped") << "A [-1 B ] C"          << "AC";
        QTest::newRow("empty body")        << "[5 ] A"               << "A";
        // clang-format on
    }

    void loops()
    {
        QFETCH(QString, script);
        ScopedRecordingBackend rec;
        ManualWaitClock clock;
        RunFlagSet running;
        Flow flow;
        fill(flow, script);
        QCOMPARE(flow.run(), FlowRunEnd::Finished);
        QTEST(pressedKeys(*rec), "keys");
    }

    void pausesOfLoopMarkers()
    {
        // The start's pause comes once, the end's before every jump back and once more
        // before the flow goes on.
        ScopedRecordingBackend rec;
        ManualWaitClock clock;
        RunFlagSet running;
        Flow flow;
        fill(flow, QStringLiteral("[3 ]"));
        flow.operations().at(0)->setInterval(100);
        flow.operations().at(1)->setInterval(10);
        QCOMPARE(flow.run(), FlowRunEnd::Finished);
        QCOMPARE(clock.elapsed(), 130ms);
    }

    void endlessLoopRunsUntilStopped()
    {
        ScopedRecordingBackend rec;
        ManualWaitClock clock;
        RunFlagSet running;
        Flow flow;
        fill(flow, QStringLiteral("[0 A ] B"), 100);
        flow.operations().first()->setInterval(0);
        clock.schedule(1070ms, [] { AppConfig::runFlag.store(false); });
        LogLines log;
        QCOMPARE(flow.run(), FlowRunEnd::Stopped);
        // Each step is logged once, not in every round.
        QCOMPARE(log.count(flow.operations().at(1)->description()), 1);
        // A at 100, then every 200 ms (its pause and the end's): 100, 300, ..., 900.
        QCOMPARE(pressedKeys(*rec), QStringLiteral("AAAAA"));
        // The stop ends the pause it falls in at once: within one slice of 50 ms.
        QVERIFY(clock.elapsed() <= 1070ms + 50ms);
    }

    void unmatchedPairsAreRefused_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("problem");
        // clang-format off
        QTest::newRow("start alone")    << "A [2 B"       << "第 2 行的“重复开始”没有对应的“重复结束”，流程无法运行。";
        QTest::newRow("end alone")      << "A ] B"        << "第 2 行的“重复结束”没有对应的“重复开始”，流程无法运行。";
        QTest::newRow("end before start") << "] [2"       << "第 1 行的“重复结束”没有对应的“重复开始”，流程无法运行。";
        QTest::newRow("one start short") << "[2 [2 A ]"   << "第 1 行的“重复开始”没有对应的“重复结束”，流程无法运行。";
        QTest::newRow("one end too many") << "[2 A ] ] B" << "第 4 行的“重复结束”没有对应的“重复开始”，流程无法运行。";
        // clang-format on
    }

    void unmatchedPairsAreRefused()
    {
        QFETCH(QString, script);
        QFETCH(QString, problem);
        ScopedRecordingBackend rec;
        ManualWaitClock clock;
        RunFlagSet running;
        Flow flow;
        fill(flow, script, 10);
        QCOMPARE(flow.run(), FlowRunEnd::RefusedUnmatched);
        QCOMPARE(rec->callCount(), 0);
        QCOMPARE(clock.elapsed(), 0ms);

        ReportCatcher reports;
        QVERIFY(!flow.checkRunnable());
        QCOMPARE(reports.titles, QStringList{QStringLiteral("流程无法运行")});
        QCOMPARE(reports.texts, QStringList{problem});
    }

    void loopStructureForTheTable()
    {
        Flow flow;
        fill(flow, QStringLiteral("A [2 B [3 C ] ] ] D [4"));
        const LoopStructure loops(flow.operations());
        QVector<int> depths;
        QVector<int> partners;
        QVector<int> unmatched;
        for (int row = 0; row < flow.operations().size(); ++row) {
            depths << loops.depth(row);
            partners << loops.partner(row);
            if (loops.isUnmatched(row))
                unmatched << row;
        }
        QCOMPARE(depths, (QVector<int>{0, 0, 1, 1, 2, 1, 0, 0, 0, 0}));
        QCOMPARE(partners, (QVector<int>{-1, 6, -1, 5, -1, 3, 1, -1, -1, -1}));
        QCOMPARE(unmatched, (QVector<int>{7, 9}));
        QVERIFY(!loops.isSound());

        Flow sound;
        fill(sound, QStringLiteral("A [2 B ]"));
        ReportCatcher reports;
        QVERIFY(sound.checkRunnable());
        QVERIFY(reports.texts.isEmpty());
    }

    void waitForColor_data()
    {
        QTest::addColumn<int>("showsAtMs"); // -1: never
        QTest::addColumn<quint32>("shown");
        QTest::addColumn<int>("tolerance");
        QTest::addColumn<int>("timeout");
        QTest::addColumn<int>("onTimeout");
        QTest::addColumn<FlowRunEnd>("end");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("elapsedMs");
        const auto finished = FlowRunEnd::Finished;
        const auto ended = FlowRunEnd::EndedByOperation;
        // clang-format off
        QTest::newRow("shows at once")       << 0   << 0x00ff00u << 0 << 1000 << 0 << finished << "AB" << 0;
        QTest::newRow("shows later")         << 300 << 0x00ff00u << 0 << 1000 << 0 << finished << "AB" << 300;
        QTest::newRow("within tolerance")    << 0   << 0x05fa03u << 5 << 1000 << 0 << finished << "AB" << 0;
        QTest::newRow("beyond tolerance")    << 0   << 0x06ff00u << 5 << 200  << 1 << finished << "AB" << 200;
        QTest::newRow("timeout stops")       << -1  << 0u        << 0 << 500  << 0 << ended    << "A"  << 500;
        QTest::newRow("timeout goes on")     << -1  << 0u        << 0 << 500  << 1 << finished << "AB" << 500;
        QTest::newRow("no limit, shows late") << 9000 << 0x00ff00u << 0 << 0   << 0 << finished << "AB" << 9000;
        // clang-format on
    }

    void waitForColor()
    {
        QFETCH(int, showsAtMs);
        QFETCH(quint32, shown);
        ScopedRecordingBackend rec;
        ManualWaitClock clock;
        RunFlagSet running;
        Flow flow;
        fill(flow, QStringLiteral("A w B"));
        WaitColorOperation* wait = waitIn(flow);
        QFETCH(int, tolerance);
        QFETCH(int, timeout);
        QFETCH(int, onTimeout);
        wait->setTolerance(tolerance);
        wait->setTimeout(timeout);
        wait->setOnTimeout(onTimeout);
        rec->setScreenColor(0x000000);
        if (showsAtMs == 0)
            rec->setScreenColor(shown);
        else if (showsAtMs > 0)
            clock.schedule(std::chrono::milliseconds(showsAtMs),
                           [&rec, shown] { rec->setScreenColor(shown); });
        QTEST(flow.run(), "end");
        QTEST(pressedKeys(*rec), "keys");
        QFETCH(int, elapsedMs);
        QCOMPARE(clock.elapsed(), std::chrono::milliseconds(elapsedMs));
        // One look every 10 ms, the first at once.
        QCOMPARE(rec->pixelReads(), elapsedMs / WaitColorOperation::PollIntervalMs + 1);
    }

    void stopDuringWaitForColor()
    {
        ScopedRecordingBackend rec;
        ManualWaitClock clock;
        RunFlagSet running;
        Flow flow;
        fill(flow, QStringLiteral("w B"));
        waitIn(flow)->setTimeout(0);
        clock.schedule(205ms, [] { AppConfig::runFlag.store(false); });
        QCOMPARE(flow.run(), FlowRunEnd::Stopped);
        QCOMPARE(clock.elapsed(), 210ms); // the next look after the stop
        QCOMPARE(pressedKeys(*rec), QString());
    }

    void unreadableScreenEndsTheFlow()
    {
        ScopedRecordingBackend rec;
        ManualWaitClock clock;
        RunFlagSet running;
        rec->setScreenReadable(false);
        Flow flow;
        fill(flow, QStringLiteral("A w B"));
        QCOMPARE(flow.run(), FlowRunEnd::EndedByOperation);
        QCOMPARE(pressedKeys(*rec), QStringLiteral("A"));
        QCOMPARE(rec->pixelReads(), 1);
        QCOMPARE(clock.elapsed(), 0ms);
    }
};

KLIQORA_TEST_MAIN(TestFlowEngine)
#include "tst_flowengine.moc"
