// The real Kliqora on a real X server, driven as a user would: F4 starts a
// recording, clicks, a wheel notch and typing go to a real window of this test, F4
// stops it; the recording, given its own hotkey, replays into the same window.
// What arrives the second time is compared with what the user did: kinds,
// positions, keys and the spacing of the events.

#include "autorecordtask.h"
#include "e2eprogram.h"
#include "taskfile.h"
#include "testenvironment.h"
#include "xdotool.h"

#include <QDir>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>
#include <QtTest>

#include <memory>

namespace {

const QRect TargetGeometry(1200, 100, 500, 400);
const QPoint FirstClick(1300, 200);
const QPoint SecondClick(1550, 380);
const QString ReplayHotkey = QStringLiteral("F7");
constexpr int QuitTimeoutMs = 10000;
// Only the main window's title starts with the program's name: the floating stop
// button is another window of the same program.
const QString MainWindowTitle = QStringLiteral("Kliqora");
// How far the replay may stray from the spacing of the user's own events, across two
// processes and the X server on a busy machine. Wide: the replay's timetable itself
// is asserted exactly on an injected clock (tst_autorecordtask); this only catches a
// replay whose timing is far off (events bunched together or spread out).
constexpr qint64 SpacingToleranceMs = 40;

struct Arrival
{
    QString what; // "press 1", "release 1", "wheel -120", "key 65", "keyup 65"
    QPoint point;
    qint64 timeMs; // server time
};

// A window that notes every press, release, wheel notch and key that reaches it.
class InputTarget : public QWidget
{
public:
    InputTarget()
    {
        setWindowTitle(QStringLiteral("input target"));
        setGeometry(TargetGeometry);
    }
    QVector<Arrival> arrivals;
    void clear() { arrivals.clear(); }

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        note(QStringLiteral("press %1").arg(int(event->button())), event->globalPos(), event);
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        note(QStringLiteral("release %1").arg(int(event->button())), event->globalPos(), event);
    }
    void wheelEvent(QWheelEvent* event) override
    {
        note(QStringLiteral("wheel %1").arg(event->angleDelta().y()),
             event->globalPosition().toPoint(), event);
    }
    void keyPressEvent(QKeyEvent* event) override
    {
        if (!event->isAutoRepeat())
            note(QStringLiteral("key %1").arg(event->key()), QPoint(), event);
    }
    void keyReleaseEvent(QKeyEvent* event) override
    {
        if (!event->isAutoRepeat())
            note(QStringLiteral("keyup %1").arg(event->key()), QPoint(), event);
    }

private:
    // The X server's own time of the event: this process may notice it later (it
    // waits for xdotool), but the time stamp says when it happened.
    void note(const QString& what, const QPoint& point, const QInputEvent* event)
    {
        arrivals.append({what, point, qint64(event->timestamp())});
    }
};

bool xdo(const QString& command)
{
    return xdotool(command.split(QLatin1Char(' ')));
}

QStringList recordFiles()
{
    QDir dir(QDir::fromNativeSeparators(TaskFile::recordFolderPath()));
    QStringList files;
    for (const QString& name : dir.entryList({QStringLiteral("*.kqt")}, QDir::Files))
        files << dir.filePath(name);
    return files;
}

QString describe(const QVector<Arrival>& arrivals)
{
    QStringList parts;
    for (const Arrival& a : arrivals)
        parts << QStringLiteral("%1@(%2,%3)+%4")
                     .arg(a.what)
                     .arg(a.point.x())
                     .arg(a.point.y())
                     .arg(a.timeMs);
    return parts.join(QStringLiteral(", "));
}

} // namespace

class TestE2eRecord : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void recordWithF4ThenReplayOnItsHotkey();

private:
    bool startKliqora();
    bool quitKliqora();
    bool performUserActions();

    std::unique_ptr<E2eProgram> m_kliqora;
    std::unique_ptr<InputTarget> m_target;
};

void TestE2eRecord::initTestCase()
{
    QVERIFY2(QGuiApplication::platformName() == QLatin1String("xcb"), "needs an X server");
    QDir(QDir::fromNativeSeparators(TaskFile::recordFolderPath())).removeRecursively();
    m_target = std::make_unique<InputTarget>();
    m_target->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_target.get()));
}

void TestE2eRecord::cleanupTestCase()
{
    m_kliqora.reset(); // kills a program a failed test left running
}

// Ready once its probe answers: the page has listed the recordings and taken their keys.
bool TestE2eRecord::startKliqora()
{
    m_kliqora = std::make_unique<E2eProgram>(QStringLiteral(KLIQORA_PROGRAM));
    // A runtime folder of its own: the single-instance lock lives there, and another
    // Kliqora of this user on the machine must not hold this one back.
    const QString runtime = QDir::home().filePath(QStringLiteral("runtime"));
    if (!QDir().mkpath(runtime))
        return false;
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcessEnvironment env = m_kliqora->processEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    m_kliqora->setProcessEnvironment(env);
    return m_kliqora->startAndWaitForWindow(MainWindowTitle);
}

bool TestE2eRecord::quitKliqora()
{
    return m_kliqora->quit(QuitTimeoutMs) && m_kliqora->exitStatus() == QProcess::NormalExit;
}

bool TestE2eRecord::performUserActions()
{
    struct Action
    {
        QString command;
        int pauseMs; // the user's own rhythm, which the replay has to keep
    };
    // Keys go to the window under the pointer (no window manager: the focus follows it).
    const Action actions[] = {
        {QStringLiteral("mousemove %1 %2").arg(FirstClick.x()).arg(FirstClick.y()), 150},
        {QStringLiteral("click 1"), 250},
        {QStringLiteral("mousemove %1 %2").arg(SecondClick.x()).arg(SecondClick.y()), 120},
        {QStringLiteral("click 3"), 200},
        {QStringLiteral("click 5"), 180}, // one wheel notch towards the user
        {QStringLiteral("type --delay 90 kq"), 300},
    };
    for (const Action& action : actions) {
        if (!xdo(action.command))
            return false;
        QTest::qWait(action.pauseMs);
    }
    return true;
}

void TestE2eRecord::recordWithF4ThenReplayOnItsHotkey()
{
    QVERIFY(startKliqora());
    QVERIFY(xdo(QStringLiteral("mousemove 5 1070")));
    QVERIFY(xdo(QStringLiteral("key F4")));
    QTRY_VERIFY_WITH_TIMEOUT(!m_kliqora->hasVisibleWindow(MainWindowTitle) ||
                                 m_kliqora->state() != QProcess::Running,
                             5000);
    // The floating stop button shows once the capture runs (both in one step).
    QVERIFY(m_kliqora->probe().waitFor(QStringLiteral("btnRecordStop"),
                                       [](const ProbedWidget& stop) { return stop.visible; }));
    m_target->clear();
    QVERIFY(performUserActions());
    const QVector<Arrival> done = m_target->arrivals;
    QVERIFY(xdo(QStringLiteral("key F4")));
    QTRY_VERIFY_WITH_TIMEOUT(m_kliqora->hasVisibleWindow(MainWindowTitle), 5000);
    QTRY_COMPARE_WITH_TIMEOUT(recordFiles().size(), 1, 5000);
    QVERIFY(quitKliqora());

    // What the user did reached the window: two clicks, a notch, two keys.
    const QStringList kinds = {QStringLiteral("press 1"),
                               QStringLiteral("release 1"),
                               QStringLiteral("press 2"),
                               QStringLiteral("release 2"),
                               QStringLiteral("wheel -120"),
                               QStringLiteral("key %1").arg(int(Qt::Key_K)),
                               QStringLiteral("keyup %1").arg(int(Qt::Key_K)),
                               QStringLiteral("key %1").arg(int(Qt::Key_Q)),
                               QStringLiteral("keyup %1").arg(int(Qt::Key_Q))};
    QStringList doneKinds;
    for (const Arrival& a : done)
        doneKinds << a.what;
    QCOMPARE(doneKinds, kinds);

    // Give the recording its own hotkey, as the page's dialog would, and replay it.
    const QString file = recordFiles().first();
    {
        std::unique_ptr<AutoRecordTask> task(AutoRecordTask::load(file));
        QVERIFY(task);
        qInfo("recorded %d events", int(task->events().size()));
        QVERIFY(!task->events().empty());
        QVERIFY(task->events().back()->type != EventType::KeyDown); // no stop key at the end
        task->setHotKey(ReplayHotkey);
        QVERIFY(task->save(file));
    }
    QVERIFY(startKliqora());
    QVERIFY(xdo(QStringLiteral("mousemove 5 1070")));
    m_target->clear();
    QVERIFY(xdo(QStringLiteral("key %1").arg(ReplayHotkey)));
    QTRY_VERIFY_WITH_TIMEOUT(m_target->arrivals.size() >= done.size(), 10000);
    QTRY_VERIFY_WITH_TIMEOUT(m_kliqora->hasVisibleWindow(MainWindowTitle), 10000);
    const QVector<Arrival> replayed = m_target->arrivals;
    QVERIFY(quitKliqora());

    QVERIFY2(replayed.size() == done.size(), qPrintable(describe(replayed)));
    qint64 worst = 0;
    for (int i = 0; i < done.size(); ++i) {
        QCOMPARE(replayed[i].what, done[i].what);
        QCOMPARE(replayed[i].point, done[i].point);
        if (i > 0) {
            const qint64 userGap = done[i].timeMs - done[i - 1].timeMs;
            const qint64 replayGap = replayed[i].timeMs - replayed[i - 1].timeMs;
            worst = std::max(worst, std::abs(replayGap - userGap));
        }
    }
    const qint64 userSpan = done.last().timeMs - done.first().timeMs;
    const qint64 replaySpan = replayed.last().timeMs - replayed.first().timeMs;
    qInfo("spacing: worst gap difference %lld ms; span %lld ms done, %lld ms replayed", worst,
          userSpan, replaySpan);
    QVERIFY2(worst <= SpacingToleranceMs,
             qPrintable(describe(done) + QStringLiteral("\n") + describe(replayed)));
    QVERIFY(std::abs(replaySpan - userSpan) <= SpacingToleranceMs);
}

KLIQORA_TEST_MAIN(TestE2eRecord)
#include "tst_e2e_record.moc"
