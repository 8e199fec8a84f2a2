// The real Kliqora runs flows that repeat parts and wait for the screen, started by
// their keys: what they type reaches a window of this test through the X server,
// and a wait ends when a window of the awaited colour appears on the server's screen.
// A hand-written recording and the flow converted from it type the same text.

#include "appconfig.h"
#include "autorecordtask.h"
#include "e2eprogram.h"
#include "flow.h"
#include "loopendoperation.h"
#include "loopstartoperation.h"
#include "operationfactory.h"
#include "recordingconverter.h"
#include "testenvironment.h"
#include "testwindows.h"
#include "textinputoperation.h"
#include "waitcoloroperation.h"
#include "waituntil.h"
#include "xdotool.h"

#include "platform/virtualkeys.h"

#include <QDir>
#include <QLineEdit>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>
#include <thread>

namespace {

constexpr int QuitTimeoutMs = 10000;
constexpr int FocusTimeoutMs = 5000;
// The first operation waits this long, so the hotkey's Ctrl is up before it types.
constexpr int FirstPauseMs = 400;
constexpr quint32 Magenta = 0xff00ff;
const QRect PatchArea(1680, 880, 60, 60);

QString flowFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
        .filePath(QStringLiteral("Kliqora/Custom"));
}

Operation* text(const QString& typed, int pauseMs = 0)
{
    auto* op = new TextInputOperation;
    op->setText(typed);
    op->setInterval(pauseMs);
    return op;
}

Operation* loopStart(int count, int pauseMs = 0)
{
    auto* op = new LoopStartOperation;
    op->setCount(count);
    op->setInterval(pauseMs);
    return op;
}

Operation* loopEnd()
{
    auto* op = new LoopEndOperation;
    op->setInterval(0);
    return op;
}

Operation* waitForMagenta(int timeoutMs, int onTimeout)
{
    auto* op = new WaitColorOperation;
    op->setInterval(0);
    op->setPosition(PatchArea.center());
    op->setColor(Magenta);
    op->setTolerance(8);
    op->setTimeout(timeoutMs);
    op->setOnTimeout(onTimeout);
    return op;
}

bool writeFlow(const QString& name, const QString& hotkey, const QList<Operation*>& steps)
{
    QDir().mkpath(flowFolder());
    Flow flow;
    flow.setName(name);
    flow.setHotkey(hotkey);
    for (Operation* op : steps) {
        op->setParent(&flow);
        flow.operations().append(op);
    }
    return flow.save(QDir(flowFolder()).filePath(name + QStringLiteral(".flw")));
}

} // namespace

class TestE2eFlowControl : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void nestedLoopsTypeEveryRound();
    void waitEndsWhenTheColourAppears();
    void convertedRecordingTypesWhatItsReplayTypes();

private:
    bool startKliqora();
    bool focusEdit();
    bool press(const QString& key) { return xdotool({QStringLiteral("key"), key}); }

    QTemporaryDir m_runtime;
    std::unique_ptr<E2eProgram> m_kliqora;
    std::unique_ptr<QLineEdit> m_edit;
};

void TestE2eFlowControl::initTestCase()
{
    QVERIFY2(QGuiApplication::platformName() == QLatin1String("xcb"), "needs an X server");
    OperationFactory::instance()->registerBuiltinOperations();
    QVERIFY(m_runtime.isValid());
    QFile::setPermissions(m_runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
    m_edit = std::make_unique<QLineEdit>();
    m_edit->setGeometry(1500, 60, 300, 40);
    m_edit->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_edit.get()));
}

void TestE2eFlowControl::cleanup()
{
    if (m_kliqora && m_kliqora->state() != QProcess::NotRunning)
        m_kliqora->quit(QuitTimeoutMs);
    m_kliqora.reset();
    QDir(flowFolder()).removeRecursively();
    m_edit->clear();
}

bool TestE2eFlowControl::startKliqora()
{
    m_kliqora = std::make_unique<E2eProgram>(QStringLiteral(KLIQORA_PROGRAM));
    return m_kliqora->startAndWaitForWindow();
}

bool TestE2eFlowControl::focusEdit()
{
    return focusForTyping(m_edit.get(), FocusTimeoutMs);
}

void TestE2eFlowControl::nestedLoopsTypeEveryRound()
{
    // Twice: "a" three times, then "b".
    QVERIFY(writeFlow(QStringLiteral("Rounds"), QStringLiteral("Ctrl+F7"),
                      {loopStart(2, FirstPauseMs), loopStart(3), text(QStringLiteral("a")),
                       loopEnd(), text(QStringLiteral("b")), loopEnd()}));
    QVERIFY(startKliqora());
    QVERIFY(focusEdit());
    QVERIFY(press(QStringLiteral("ctrl+F7")));
    QTRY_COMPARE_WITH_TIMEOUT(m_edit->text(), QStringLiteral("aaabaaab"), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(m_kliqora->hasVisibleWindow(), 3000);
    QCOMPARE(m_edit->text(), QStringLiteral("aaabaaab"));
}

void TestE2eFlowControl::waitEndsWhenTheColourAppears()
{
    QVERIFY(writeFlow(QStringLiteral("Waiter"), QStringLiteral("Ctrl+F9"),
                      {text(QStringLiteral("w"), FirstPauseMs), waitForMagenta(20000, 0),
                       text(QStringLiteral("c"))}));
    QVERIFY(writeFlow(QStringLiteral("Giver"), QStringLiteral("Ctrl+F10"),
                      {text(QStringLiteral("g"), FirstPauseMs), waitForMagenta(600, 0),
                       text(QStringLiteral("never"))}));
    QVERIFY(startKliqora());

    // A colour that never shows: the flow stops after its time and types no more.
    QVERIFY(focusEdit());
    QVERIFY(press(QStringLiteral("ctrl+F10")));
    QTRY_COMPARE_WITH_TIMEOUT(m_edit->text(), QStringLiteral("g"), 3000);
    QTRY_VERIFY_WITH_TIMEOUT(m_kliqora->hasVisibleWindow(), 5000);
    QCOMPARE(m_edit->text(), QStringLiteral("g"));
    m_edit->clear();

    // The colour shows a while after the start: the flow goes on at once.
    QVERIFY(focusEdit());
    QVERIFY(press(QStringLiteral("ctrl+F9")));
    QTRY_COMPARE_WITH_TIMEOUT(m_edit->text(), QStringLiteral("w"), 3000);
    QTest::qWait(800);
    QCOMPARE(m_edit->text(), QStringLiteral("w")); // still waiting

    ColorPatch patch(Magenta, PatchArea);
    patch.show();
    QTRY_COMPARE_WITH_TIMEOUT(m_edit->text(), QStringLiteral("wc"), 3000);
    QTRY_VERIFY_WITH_TIMEOUT(m_kliqora->hasVisibleWindow(), 3000);
}

void TestE2eFlowControl::convertedRecordingTypesWhatItsReplayTypes()
{
    // Shift+H, i, a click into the edit's right half, then "!" (Shift+1), 40 ms apart.
    AutoRecordTask recording;
    const QPoint inEdit = m_edit->mapToGlobal(QPoint(m_edit->width() - 10, m_edit->height() / 2));
    int64_t at = 0;
    auto key = [&](int32_t type, int vk) {
        auto event = std::make_unique<KeyboardEvent>(type, at += 40 * 1000000);
        event->vkCode = vk;
        recording.appendEvent(std::move(event));
    };
    auto button = [&](int32_t type) {
        auto event = std::make_unique<MouseEvent>(type, at += 40 * 1000000);
        event->x = inEdit.x();
        event->y = inEdit.y();
        recording.appendEvent(std::move(event));
    };
    key(EventType::KeyDown, platform::Vk::LShift);
    key(EventType::KeyDown, 'H');
    key(EventType::KeyUp, 'H');
    key(EventType::KeyUp, platform::Vk::LShift);
    key(EventType::KeyDown, 'I');
    key(EventType::KeyUp, 'I');
    button(EventType::LeftDown);
    button(EventType::LeftUp);
    key(EventType::KeyDown, platform::Vk::LShift);
    key(EventType::KeyDown, '1');
    key(EventType::KeyUp, '1');
    key(EventType::KeyUp, platform::Vk::LShift);
    Flow flow;
    convertRecording(recording, flow);

    const auto typed = [this](const std::function<void()>& run) {
        m_edit->clear();
        if (!focusEdit())
            return QStringLiteral("(no focus)");
        AppConfig::runFlag.store(true);
        std::thread worker(run);
        waitUntil([this] { return m_edit->text().size() >= 3; }, 5000);
        worker.join();
        AppConfig::runFlag.store(false);
        QTest::qWait(200); // anything more would show now
        return m_edit->text();
    };
    const QString replayed = typed([&recording] { recording.run(); });
    QCOMPARE(replayed, QStringLiteral("Hi!"));
    QCOMPARE(typed([&flow] { flow.run(); }), replayed);
}

KLIQORA_TEST_MAIN(TestE2eFlowControl)
#include "tst_e2e_flowcontrol.moc"
