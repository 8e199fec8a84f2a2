// The real Kliqora on a Wayland desktop (headless sway), Qt on its Wayland platform:
// the jobs besides the clicker (tst_waylande2e_mouse) are started by their own
// hotkeys, bound through the compositor, and their input arrives at a Wayland
// program. The key presser types until its key stops it, a recording replays until
// its key stops it, a flow clicks and types to its end; none leaves a key or a
// button down. (Recording itself cannot run there: no compositor lets a program
// watch the desktop's input.)

#include "appconfig.h"
#include "autorecordtask.h"
#include "flow.h"
#include "keyboardtask.h"
#include "keyboardtasklist.h"
#include "mouseclickoperation.h"
#include "taskfile.h"
#include "testenvironment.h"
#include "textinputoperation.h"
#include "waylandclientlog.h"
#include "waylandkliqora.h"
#include "waylandsession.h"

#include "platform/backend.h"
#include "platform/virtualkeys.h"

#include <QDir>
#include <QtTest>

namespace {

constexpr int LeftButton = 0x110;
constexpr uint16_t KeyPresserKey = platform::Vk::F1 + 2; // its page's own key, F3
constexpr uint16_t RecordingKey = platform::Vk::F1 + 4;
constexpr uint16_t FlowKey = platform::Vk::F1 + 5;
constexpr uint16_t MarkerKey = platform::Vk::F1 + 11; // bound to nothing
// Generous: under load a job's first input and the window's return take a while.
constexpr int JobTimeoutMs = 15000;
const QPoint RecordedClick(300, 200);
const QPoint FlowClick(500, 300);
const QString FlowText = QStringLiteral("流程 flow ✓");

bool saveKeyPresser()
{
    KeyBoardTaskList list;
    list.setStopType(KeyBoardTaskList::StopByHand);
    list.appendTask(
        KeyBoardTask::fromRowTexts(QStringLiteral("A"), QStringLiteral("0"), QStringLiteral("10")));
    list.appendTask(KeyBoardTask::fromRowTexts(QStringLiteral("SHIFT+B"), QStringLiteral("0"),
                                               QStringLiteral("10")));
    return list.save(TaskFile::keyboardFilePath());
}

template <typename T> std::unique_ptr<T> eventAt(int32_t type, int64_t ms)
{
    return std::make_unique<T>(type, ms * 1000000);
}

void appendKeyTap(AutoRecordTask& recording, int32_t vk, int64_t& ms)
{
    for (int32_t type : {EventType::KeyDown, EventType::KeyUp}) {
        auto event = eventAt<KeyboardEvent>(type, ms += 20);
        event->vkCode = vk;
        recording.appendEvent(std::move(event));
    }
}

// A click at RecordedClick and a K typed after it, 20 ms apart, replayed by F5; an L
// long after them, past any time the test waits, so a replay ends by its key.
bool saveRecording()
{
    AutoRecordTask recording;
    recording.setHotKey(QStringLiteral("F5"));
    int64_t ms = 1000;
    for (int32_t type : {EventType::MouseMove, EventType::LeftDown, EventType::LeftUp}) {
        auto event = eventAt<MouseEvent>(type, ms += 20);
        event->x = RecordedClick.x();
        event->y = RecordedClick.y();
        recording.appendEvent(std::move(event));
    }
    appendKeyTap(recording, 'K', ms);
    ms += 60000;
    appendKeyTap(recording, 'L', ms);
    return recording.save(QDir(TaskFile::recordFolderPath()).filePath(QStringLiteral("e2e.kqt")));
}

// A click at FlowClick and then FlowText, started by F6.
bool saveFlow()
{
    Flow flow;
    flow.setName(QStringLiteral("e2e"));
    flow.setHotkey(QStringLiteral("F6"));
    auto* click = new MouseClickOperation(&flow);
    click->setPosition(FlowClick);
    auto* text = new TextInputOperation(&flow);
    text->setText(FlowText);
    for (Operation* op : {static_cast<Operation*>(click), static_cast<Operation*>(text)}) {
        op->setInterval(0);
        flow.operations().append(op);
    }
    return flow.save(QDir(AppConfig::taskFolder(QStringLiteral("Kliqora/Custom")))
                         .filePath(QStringLiteral("e2e.flw")));
}

QString buttonLine(const char* state, const QPoint& at)
{
    return QStringLiteral("button %1 %2 %3 %4")
        .arg(LeftButton)
        .arg(QLatin1String(state))
        .arg(at.x())
        .arg(at.y());
}

} // namespace

class TestWaylandE2eJobs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();
    void keyPresserTypesUntilItsKeyStopsIt();
    void recordingReplaysUntilItsKeyStopsIt();
    void flowRunsByItsKey();

private:
    // The job is over, its window back, and all it sent has arrived at the client.
    void waitUntilIdle();
    void expectNothingHeld();

    std::unique_ptr<WaylandKliqora> m_kliqora;
    std::unique_ptr<WaylandClientLog> m_client;
};

void TestWaylandE2eJobs::initTestCase()
{
    QVERIFY2(WaylandSession::enter(), "no headless compositor session (run through ctest)");
    QCOMPARE(QString::fromLatin1(platform::backend().name()), QStringLiteral("wayland"));
    QVERIFY(saveKeyPresser());
    QVERIFY(saveRecording());
    QVERIFY(saveFlow());
    m_kliqora = std::make_unique<WaylandKliqora>(QStringLiteral(KLIQORA_PROGRAM));
    QVERIFY(m_kliqora->start());
    // The program found the recording and the flow, and so bound their keys.
    QVERIFY(m_kliqora->probe().waitFor(QStringLiteral("tableRecord"),
                                       [](const ProbedWidget& table) { return table.rows == 1; }));
    QVERIFY(m_kliqora->probe().waitFor(QStringLiteral("tableCustom"),
                                       [](const ProbedWidget& table) { return table.rows == 1; }));
}

void TestWaylandE2eJobs::init()
{
    // Comes up over the program's window and takes the keyboard focus, each time anew
    // as the program's window returns after every job.
    m_client = std::make_unique<WaylandClientLog>();
    QVERIFY(m_client->start());
}

void TestWaylandE2eJobs::cleanup()
{
    m_client.reset();
}

void TestWaylandE2eJobs::cleanupTestCase()
{
    m_kliqora.reset();
}

void TestWaylandE2eJobs::waitUntilIdle()
{
    QTRY_VERIFY_WITH_TIMEOUT(m_kliqora->hasWindow(), JobTimeoutMs);
    // The client may still be behind (each new keymap takes it a while): a key of this
    // process's own, sent now, arrives after everything the job sent before.
    pressKey(MarkerKey);
    QVERIFY(
        m_client->waitFor(wholeLine(QStringLiteral("key released \\d+ F12 ")), 1, JobTimeoutMs));
}

void TestWaylandE2eJobs::expectNothingHeld()
{
    QVERIFY2(m_client->keysDown().isEmpty(), qPrintable(m_client->keysDown().join(' ')));
    QVERIFY2(m_client->buttonsDown().isEmpty(), "a button was left down");
    const QStringList modifiers = m_client->matching(wholeLine(QStringLiteral("modifiers .*")));
    if (!modifiers.isEmpty())
        QCOMPARE(modifiers.last(), QStringLiteral("modifiers 0 0"));
}

void TestWaylandE2eJobs::keyPresserTypesUntilItsKeyStopsIt()
{
    const QRegularExpression typedB(wholeLine(QStringLiteral("key pressed \\d+ B B")));
    pressKey(KeyPresserKey);
    QVERIFY2(m_client->waitFor(typedB, 5, JobTimeoutMs),
             qPrintable(m_client->lines().join(QLatin1Char('\n'))));
    QVERIFY(!m_kliqora->hasWindow());

    pressKey(KeyPresserKey);
    waitUntilIdle();
    if (QTest::currentTestFailed())
        return;
    const int typed = m_client->typedText().size();
    QTest::qWait(300);
    QCOMPARE(m_client->typedText().size(), typed);
    qInfo("%d keys typed before the stop", int(typed));
    // The rows in their order, Shift held around the B only, the stop between passes
    // or between rows.
    QVERIFY2(
        QRegularExpression(QStringLiteral("^(aB)+a?$")).match(m_client->typedText()).hasMatch(),
        qPrintable(m_client->typedText()));
    expectNothingHeld();
}

void TestWaylandE2eJobs::recordingReplaysUntilItsKeyStopsIt()
{
    pressKey(RecordingKey);
    QVERIFY2(m_client->waitFor(wholeLine(QStringLiteral("key released .*")), 1, JobTimeoutMs),
             qPrintable(m_client->lines().join(QLatin1Char('\n'))));
    QVERIFY(!m_kliqora->hasWindow());
    // The replay's own key stays live while every other key is silenced.
    pressKey(RecordingKey);
    waitUntilIdle();
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(
        m_client->matching(wholeLine(QStringLiteral("button .*"))),
        (QStringList{buttonLine("pressed", RecordedClick), buttonLine("released", RecordedClick)}));
    QCOMPARE(m_client->typedText(), QStringLiteral("k"));
    expectNothingHeld();
}

void TestWaylandE2eJobs::flowRunsByItsKey()
{
    pressKey(FlowKey);
    QVERIFY2(m_client->waitFor(wholeLine(buttonLine("released", FlowClick)), 1, JobTimeoutMs),
             qPrintable(m_client->lines().join(QLatin1Char('\n'))));
    QTRY_COMPARE_WITH_TIMEOUT(m_client->typedText(), FlowText, JobTimeoutMs);
    waitUntilIdle();
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(m_client->matching(wholeLine(QStringLiteral("button .*"))),
             (QStringList{buttonLine("pressed", FlowClick), buttonLine("released", FlowClick)}));
    expectNothingHeld();
}

KLIQORA_TEST_MAIN_WITH(QGuiApplication, TestWaylandE2eJobs)
#include "tst_waylande2e_jobs.moc"
