// Kliqora --run on a real X server, without any window of its own and without a
// window manager: a flow and a recording type and click into a window of this test
// and exit 0, as often and as fast as asked; a termination signal in the middle of
// a long run leaves nothing pressed at the X server and exits 130 or 143; Windows
// line ends type one Return; a file that cannot be run is refused at once with one
// line, and nothing is sent.

#include "autorecordtask.h"
#include "flow.h"
#include "keyboardoperation.h"
#include "loopstartoperation.h"
#include "mousetask.h"
#include "operationfactory.h"
#include "programrun.h"
#include "testenvironment.h"
#include "textinputoperation.h"
#include "xdotool.h"


#include <QDir>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <memory>

// After Qt: Xlib's macros clash with Qt headers.
#include "x11testclient.h"

namespace {

const QRect EditGeometry(1500, 60, 300, 40);
constexpr int64_t Ms = 1000000;
constexpr int LongPauseMs = 30000;
// A bad file is refused at once.
constexpr int PromptRefusalMs = 1000;
// From the signal to the end of the process, with the releases sent: the job itself
// stops within one wait slice (50 ms); the rest is the process ending.
constexpr int SignalExitMs = 1000;

// A line edit that notes the X server's time of each key press and counts button
// presses. (The test waits for each run to end, so events arrive in a burst after it.)
class Edit : public QLineEdit
{
public:
    Edit() { setGeometry(EditGeometry); }
    QVector<ulong> keyTimes;
    int presses = 0;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (!event->isAutoRepeat())
            keyTimes.append(event->timestamp());
        QLineEdit::keyPressEvent(event);
    }
    void mousePressEvent(QMouseEvent* event) override
    {
        ++presses;
        QLineEdit::mousePressEvent(event);
    }
};

void addEvent(AutoRecordTask& task, int type, int64_t ms, int a = 0, int b = 0)
{
    if (EventType::isKey(type)) {
        auto key = std::make_unique<KeyboardEvent>(type, ms * Ms);
        key->vkCode = a;
        task.appendEvent(std::move(key));
        return;
    }
    auto mouse = std::make_unique<MouseEvent>(type, ms * Ms);
    mouse->x = a;
    mouse->y = b;
    task.appendEvent(std::move(mouse));
}

// Keys typed `gapMs` apart: a down and an up each.
void addTaps(AutoRecordTask& task, const QVector<int>& keys, int64_t gapMs)
{
    int64_t at = 1000;
    for (const int key : keys) {
        addEvent(task, EventType::KeyDown, at, key);
        addEvent(task, EventType::KeyUp, at + 5, key);
        at += gapMs;
    }
}

} // namespace

class TestE2eHeadless : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void flowRuns_data();
    void flowRuns();
    void recordingRuns_data();
    void recordingRuns();
    void fasterReplayShortensTheGaps();
    void lineEndsTypeOneReturnEach_data();
    void lineEndsTypeOneReturnEach();
    void signalStopsAndReleasesEverything_data();
    void signalStopsAndReleasesEverything();
    void badFileIsRefusedAtOnce_data();
    void badFileIsRefusedAtOnce();
    void noDisplayIsNoSuccess();
    void convertedRecordingRunsAsItsReplay_data();
    void convertedRecordingRunsAsItsReplay();
    void conversionRefusals_data();
    void conversionRefusals();

private:
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QString saveFlow(const QString& name, const QList<Operation*>& operations);
    QString saveRecording(const QString& name, AutoRecordTask& task);
    void focusEdit();
    void focus(QWidget* widget);
    bool keysOrButtonsDown() const;

    QTemporaryDir m_dir;
    std::unique_ptr<Edit> m_edit;
    X11TestClient m_x;
};

void TestE2eHeadless::initTestCase()
{
    QVERIFY2(QGuiApplication::platformName() == QLatin1String("xcb"), "needs an X server");
    OperationFactory::instance()->registerBuiltinOperations();
    QVERIFY(m_x.display());
}

void TestE2eHeadless::init()
{
    m_edit = std::make_unique<Edit>();
    m_edit->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_edit.get()));
    focusEdit();
}

void TestE2eHeadless::focusEdit()
{
    focus(m_edit.get());
}

void TestE2eHeadless::focus(QWidget* widget)
{
    widget->activateWindow();
    // No window manager: xdotool's focus request carries a current time stamp.
    xdotool({QStringLiteral("windowfocus"), QString::number(widget->winId())});
    widget->setFocus();
    QTRY_VERIFY(widget->hasFocus() && QGuiApplication::focusWindow() == widget->windowHandle());
}

QString TestE2eHeadless::saveFlow(const QString& name, const QList<Operation*>& operations)
{
    Flow flow;
    flow.setName(name);
    for (Operation* op : operations) {
        op->setParent(&flow);
        flow.operations().append(op);
    }
    return flow.save(path(name)) ? path(name) : QString();
}

QString TestE2eHeadless::saveRecording(const QString& name, AutoRecordTask& task)
{
    return task.save(path(name)) ? path(name) : QString();
}

bool TestE2eHeadless::keysOrButtonsDown() const
{
    char keys[32] = {};
    XQueryKeymap(m_x.display(), keys);
    for (const char byte : keys) {
        if (byte)
            return true;
    }
    Window root = 0;
    Window child = 0;
    int x = 0, y = 0, winX = 0, winY = 0;
    unsigned mask = 0;
    XQueryPointer(m_x.display(), DefaultRootWindow(m_x.display()), &root, &child, &x, &y, &winX,
                  &winY, &mask);
    return mask & (Button1Mask | Button2Mask | Button3Mask);
}

void TestE2eHeadless::flowRuns_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("typed");
    QTest::newRow("once") << QStringList{} << "abc";
    QTest::newRow("three times") << QStringList{"--repeat", "3"} << "abcabcabc";
    QTest::newRow("speed is ignored") << QStringList{"--speed", "0.25"} << "abc";
}

void TestE2eHeadless::flowRuns()
{
    QFETCH(QStringList, options);
    QFETCH(QString, typed);
    auto* text = new TextInputOperation;
    text->setText(QStringLiteral("abc"));
    // Named like a recording: the content decides.
    const QString file = saveFlow(QStringLiteral("typist.kqt"), {text});
    QVERIFY(!file.isEmpty());
    const ProgramRun run =
        ProgramRun::of(QStringLiteral(KLIQORA_PROGRAM), QStringList{"--run", file} + options);
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(run.status, 0);
    QTRY_COMPARE(m_edit->text(), typed);
}

void TestE2eHeadless::recordingRuns_data()
{
    QTest::addColumn<bool>("click");
    QTest::addColumn<int>("repeat");
    QTest::addColumn<QString>("typed");
    QTest::newRow("a click and two keys") << true << 1 << "ab";
    // Without the click: three clicks in a row would select the text.
    QTest::newRow("two keys three times") << false << 3 << "ababab";
}

void TestE2eHeadless::recordingRuns()
{
    QFETCH(bool, click);
    QFETCH(int, repeat);
    QFETCH(QString, typed);
    AutoRecordTask task;
    if (click) {
        // At its recorded point.
        const QPoint centre = EditGeometry.center();
        addEvent(task, EventType::LeftDown, 900, centre.x(), centre.y());
        addEvent(task, EventType::LeftUp, 920, centre.x(), centre.y());
    }
    addTaps(task, {'A', 'B'}, 50);
    const QString file = saveRecording(QStringLiteral("record.flw"), task);
    QVERIFY(!file.isEmpty());
    const ProgramRun run = ProgramRun::of(QStringLiteral(KLIQORA_PROGRAM),
                                          {"--run", file, "--repeat", QString::number(repeat)});
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(run.status, 0);
    QTRY_COMPARE(m_edit->text(), typed);
    QCOMPARE(m_edit->presses, click ? repeat : 0);
}

void TestE2eHeadless::fasterReplayShortensTheGaps()
{
    constexpr int RecordedGapMs = 800;
    AutoRecordTask task;
    addTaps(task, {'A', 'B'}, RecordedGapMs);
    const QString file = saveRecording(QStringLiteral("slow.kqt"), task);
    const ProgramRun run =
        ProgramRun::of(QStringLiteral(KLIQORA_PROGRAM), {"--run", file, "--speed", "2"});
    QCOMPARE(run.status, 0);
    QTRY_COMPARE(m_edit->keyTimes.size(), 2);
    const qint64 gap = qint64(m_edit->keyTimes[1]) - qint64(m_edit->keyTimes[0]);
    qInfo("recorded %d ms apart, arrived %lld ms apart at speed 2", RecordedGapMs, gap);
    // Wide bounds: the exact offsets are the replay engine's unit test.
    QVERIFY2(gap >= RecordedGapMs / 2 - 150 && gap <= RecordedGapMs / 2 + 150,
             qPrintable(QString::number(gap)));
}

void TestE2eHeadless::lineEndsTypeOneReturnEach_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("typed");
    QTest::newRow("Windows line end") << "a\r\nb" << "a\nb";
    QTest::newRow("line feed") << "a\nb" << "a\nb";
    QTest::newRow("carriage return") << "a\rb" << "a\nb";
    QTest::newRow("two Windows line ends") << "a\r\n\r\nb" << "a\n\nb";
    QTest::newRow("feed, then a Windows line end") << "a\n\r\nb" << "a\n\nb";
    QTest::newRow("return twice") << "a\r\rb" << "a\n\nb";
}

void TestE2eHeadless::lineEndsTypeOneReturnEach()
{
    QFETCH(QString, text);
    QFETCH(QString, typed);
    QPlainTextEdit lines;
    lines.setGeometry(EditGeometry.adjusted(0, 0, 0, 100));
    lines.show();
    QVERIFY(QTest::qWaitForWindowExposed(&lines));
    focus(&lines);
    auto* input = new TextInputOperation;
    input->setText(text);
    const QString file = saveFlow(QStringLiteral("lines.flw"), {input});
    const ProgramRun run = ProgramRun::of(QStringLiteral(KLIQORA_PROGRAM), {"--run", file});
    QCOMPARE(run.status, 0);
    QTRY_COMPARE(lines.toPlainText().size(), typed.size());
    QTest::qWait(100); // nothing more follows
    QCOMPARE(lines.toPlainText(), typed);
}

void TestE2eHeadless::signalStopsAndReleasesEverything_data()
{
    QTest::addColumn<bool>("flow");
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("flow, SIGINT") << true << SIGINT;
    QTest::newRow("recording, SIGTERM") << false << SIGTERM;
}

void TestE2eHeadless::signalStopsAndReleasesEverything()
{
    QFETCH(bool, flow);
    QFETCH(int, signalNumber);
    QString file;
    if (flow) {
        // Shift and A pressed, then a long pause before the next step.
        auto* press = new KeyboardOperation;
        press->setEventType(KeyboardOperation::Press);
        press->setKey(QStringLiteral("A"));
        press->setModifiers(Qt::ShiftModifier);
        auto* later = new TextInputOperation;
        later->setText(QStringLiteral("never"));
        later->setInterval(LongPauseMs);
        file = saveFlow(QStringLiteral("long.flw"), {press, later});
    } else {
        // The left button and a key held over a long pause.
        AutoRecordTask task;
        const QPoint centre = EditGeometry.center();
        addEvent(task, EventType::LeftDown, 1000, centre.x(), centre.y());
        addEvent(task, EventType::KeyDown, 1010, 'B');
        addEvent(task, EventType::KeyUp, 1010 + LongPauseMs, 'B');
        addEvent(task, EventType::LeftUp, 1020 + LongPauseMs, centre.x(), centre.y());
        file = saveRecording(QStringLiteral("long.kqt"), task);
    }
    QVERIFY(!file.isEmpty());
    QVERIFY(!keysOrButtonsDown());

    QProcess process;
    process.start(QStringLiteral(KLIQORA_PROGRAM), {"--run", file});
    QVERIFY(process.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(keysOrButtonsDown(), 10000);
    QTest::qWait(200); // well inside the pause
    QElapsedTimer clock;
    clock.start();
    ::kill(pid_t(process.processId()), signalNumber);
    QVERIFY(process.waitForFinished(10000));
    const qint64 ended = clock.elapsed();
    qInfo("ended %lld ms after the signal", ended);
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 128 + signalNumber);
    QVERIFY2(ended < SignalExitMs, qPrintable(QString::number(ended)));
    QVERIFY2(!keysOrButtonsDown(), "the run left a key or a button pressed");
    QVERIFY(!m_edit->text().contains(QLatin1String("never")));
}

void TestE2eHeadless::badFileIsRefusedAtOnce_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes"); // null: not written
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing") << "missing.flw" << QByteArray() << "no such file";
    QTest::newRow("empty") << "empty.kqt" << QByteArray("") << "the file is empty";
    QTest::newRow("foreign") << "notes.flw" << QByteArray("#!/bin/sh\necho hi\n")
                             << "it is neither a flow nor a recording of Kliqora";
    QTest::newRow("flow cut off") << "cut.flw" << QByteArray::fromHex("8e62d8790000000a0041")
                                  << "the flow file is cut off";
    QTest::newRow("recording cut off")
        << "cut.kqt"
        << QByteArray::fromHex("8e62d87800000007000000000000000000000032000000000000000000000000"
                               "0000000500000008")
        << "the recording file is cut off";
    QTest::newRow("clicker settings")
        << "mouse.kqt" << QByteArray::fromHex("8e62d878000000000000000000000000")
        << "it holds the settings of another job, not a recording";
    // A whole flow, but one that would repeat a part without end where it ends.
    auto* typed = new TextInputOperation;
    typed->setText(QStringLiteral("never"));
    QFile unmatched(saveFlow(QStringLiteral("unmatched.flw"), {new LoopStartOperation, typed}));
    QVERIFY(unmatched.open(QIODevice::ReadOnly));
    QTest::newRow("loop start without end")
        << "unmatched.flw" << unmatched.readAll() << "the loop start in row 1 has no loop end";
}

void TestE2eHeadless::badFileIsRefusedAtOnce()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    const QString file = path(name);
    if (!bytes.isNull()) {
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(bytes);
    }
    const ProgramRun run = ProgramRun::of(QStringLiteral(KLIQORA_PROGRAM), {"--run", file});
    QCOMPARE(run.status, 2);
    QCOMPARE(QString::fromLocal8Bit(run.err),
             QStringLiteral("Kliqora: cannot run %1: %2\n").arg(file, reason));
    QVERIFY2(run.elapsedMs < PromptRefusalMs, qPrintable(QString::number(run.elapsedMs)));
    QTest::qWait(100);
    QVERIFY(m_edit->text().isEmpty());
    QCOMPARE(m_edit->presses, 0);
}

void TestE2eHeadless::noDisplayIsNoSuccess()
{
    auto* text = new TextInputOperation;
    text->setText(QStringLiteral("abc"));
    const QString file = saveFlow(QStringLiteral("nowhere.flw"), {text});
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    const ProgramRun run =
        ProgramRun::of(QStringLiteral(KLIQORA_PROGRAM), {"--run", file}, 20000, environment);
    QCOMPARE(run.status, 1);
    QCOMPARE(QString::fromLocal8Bit(run.err),
             QStringLiteral("Kliqora: cannot run %1: no display to send input to\n").arg(file));
}

KLIQORA_TEST_MAIN(TestE2eHeadless)
#include "tst_e2e_headless.moc"

void TestE2eHeadless::convertedRecordingRunsAsItsReplay_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::newRow("path thinned") << QStringList{};
    QTest::newRow("every move") << QStringList{"--all-moves"};
}

// The flow made from a recording sends what the recording's replay sends.
void TestE2eHeadless::convertedRecordingRunsAsItsReplay()
{
    QFETCH(QStringList, options);
    AutoRecordTask task;
    const QPoint centre = EditGeometry.center();
    addEvent(task, EventType::MouseMove, 100, centre.x() - 40, centre.y());
    addEvent(task, EventType::MouseMove, 120, centre.x() - 20, centre.y());
    addEvent(task, EventType::LeftDown, 140, centre.x(), centre.y());
    addEvent(task, EventType::LeftUp, 160, centre.x(), centre.y());
    addTaps(task, {'A', 'B'}, 200);
    const QString recording = saveRecording(QStringLiteral("walk.kqt"), task);
    QVERIFY(!recording.isEmpty());
    const QString flow = path(QStringLiteral("walk.flw"));
    QFile::remove(flow); // left by the row before

    const ProgramRun convert = ProgramRun::of(QStringLiteral(KLIQORA_PROGRAM),
                                              QStringList{"--convert", recording, flow} + options);
    QCOMPARE(convert.err, QByteArray());
    QCOMPARE(convert.status, 0);
    Flow converted;
    QVERIFY(converted.load(flow));
    QCOMPARE(converted.name(), QStringLiteral("walk"));

    const ProgramRun run = ProgramRun::of(QStringLiteral(KLIQORA_PROGRAM), {"--run", flow});
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(run.status, 0);
    QTRY_COMPARE(m_edit->text(), QStringLiteral("ab"));
    QCOMPARE(m_edit->presses, 1);
}

void TestE2eHeadless::conversionRefusals_data()
{
    QTest::addColumn<QString>("recording");
    QTest::addColumn<QString>("flow");
    QTest::addColumn<QString>("reason");
    QTest::newRow("no recording") << "missing.kqt" << "new.flw" << "no such file";
    QTest::newRow("a flow, not a recording")
        << "existing.flw" << "new.flw" << "it is a flow, not a recording";
    QTest::newRow("the flow exists") << "record.kqt" << "existing.flw"
                                     << "the flow file exists already";
}

void TestE2eHeadless::conversionRefusals()
{
    QFETCH(QString, recording);
    QFETCH(QString, flow);
    QFETCH(QString, reason);
    auto* text = new TextInputOperation;
    text->setText(QStringLiteral("kept"));
    const QString existing = saveFlow(QStringLiteral("existing.flw"), {text});
    QFile before(existing);
    QVERIFY(before.open(QIODevice::ReadOnly));
    const QByteArray existingBytes = before.readAll();
    AutoRecordTask task;
    addTaps(task, {'A'}, 50);
    QVERIFY(!saveRecording(QStringLiteral("record.kqt"), task).isEmpty());

    const ProgramRun run = ProgramRun::of(QStringLiteral(KLIQORA_PROGRAM),
                                          {"--convert", path(recording), path(flow)});
    QCOMPARE(run.status, 2);
    QCOMPARE(QString::fromLocal8Bit(run.err),
             QStringLiteral("Kliqora: cannot convert %1 to %2: %3\n")
                 .arg(path(recording), path(flow), reason));
    QFile after(existing);
    QVERIFY(after.open(QIODevice::ReadOnly));
    QCOMPARE(after.readAll(), existingBytes);
    QVERIFY(!QFile::exists(path(QStringLiteral("new.flw"))));
}
