// The real Kliqora commanded by a second start of itself, on a real X server: the
// clicker toggled from another process clicks into a window of this test and ends
// by itself; refusals and unknown names come back as status and text at once,
// without a message box; with no instance running the command starts one, which
// carries it out and quits on --quit; a flood of malformed requests leaves the
// instance answering.

#include "clicktarget.h"
#include "commandline/controlprotocol.h"
#include "e2eprogram.h"
#include "mousetask.h"
#include "programrun.h"
#include "taskfile.h"
#include "testenvironment.h"
#include "xdotool.h"

#include <QLocalSocket>
#include <QWidget>
#include <QtTest>

#include <memory>
#include <vector>

namespace {

const QRect TargetGeometry(1500, 60, 300, 300);
constexpr int QuitTimeoutMs = 10000;
// A refusal or an unknown name is answered at once.
constexpr int PromptAnswerMs = 1000;
constexpr int Clicks = 4;

bool saveClickerSettings(int stopFlag)
{
    MouseTask task;
    task.setTaskType(TaskType::LeftClick);
    task.setPositionMode(MouseTask::FixedPoint);
    task.setPosition(TargetGeometry.center());
    task.setExecuteInterval(30);
    task.setStopFlag(stopFlag);
    task.setExecuteTimes(Clicks);
    task.setDurationTime(1000);
    return task.save(TaskFile::mouseFilePath());
}

ProgramRun kliqora(const QStringList& arguments)
{
    return ProgramRun::of(QStringLiteral(KLIQORA_PROGRAM), arguments);
}

QString errorText(const ProgramRun& run)
{
    return QString::fromLocal8Bit(run.err);
}

} // namespace

class TestE2eCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void toggleClickerFromASecondProcess();
    void refusalsAndUnknownNamesAnswerAtOnce_data();
    void refusalsAndUnknownNamesAnswerAtOnce();
    void withoutInstanceTheCommandStartsOne();
    void floodOfMalformedRequestsLeavesItAnswering();
    void helpAndVersion();

private:
    void startInstance();

    std::unique_ptr<E2eProgram> m_instance;
    std::unique_ptr<ClickTarget> m_target;
};

void TestE2eCommandLine::initTestCase()
{
    QVERIFY2(QGuiApplication::platformName() == QLatin1String("xcb"), "needs an X server");
    m_target = std::make_unique<ClickTarget>(TargetGeometry);
    m_target->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_target.get()));
    QVERIFY(xdotool({QStringLiteral("mousemove"), QStringLiteral("5"), QStringLiteral("1070")}));
}

void TestE2eCommandLine::cleanup()
{
    if (m_instance && m_instance->state() != QProcess::NotRunning)
        m_instance->quit(QuitTimeoutMs);
    m_instance.reset();
    m_target->presses = 0;
}

void TestE2eCommandLine::startInstance()
{
    // Its probe answers once the pages have loaded and the control socket listens.
    m_instance = std::make_unique<E2eProgram>(QStringLiteral(KLIQORA_PROGRAM));
    QVERIFY(m_instance->startAndWaitForWindow());
}

void TestE2eCommandLine::toggleClickerFromASecondProcess()
{
    QVERIFY(saveClickerSettings(MouseTask::StopByCount));
    startInstance();
    if (QTest::currentTestFailed())
        return;

    const ProgramRun run = kliqora({QStringLiteral("--toggle"), QStringLiteral("clicker")});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.err, QByteArray());
    QTRY_COMPARE_WITH_TIMEOUT(m_target->presses, Clicks, 5000);
    // The count ends the run by itself: the window comes back, no fifth click.
    QTRY_VERIFY_WITH_TIMEOUT(m_instance->hasVisibleWindow(), 5000);
    QTest::qWait(300);
    QCOMPARE(m_target->presses, Clicks);
}

void TestE2eCommandLine::refusalsAndUnknownNamesAnswerAtOnce_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("error");
    QTest::newRow("key presser without keys")
        << QStringList{"--toggle", "keys"} << 1 << "Kliqora: 请先完成按键设置,在启动连点。\n";
    QTest::newRow("unknown flow") << QStringList{"--toggle", "flow:Daily"} << 2
                                  << "Kliqora: no flow is named \"Daily\" (there are no flows)\n";
    QTest::newRow("unknown recording")
        << QStringList{"--toggle", "replay:rec"} << 2
        << "Kliqora: no recording is named \"rec\" (there are no recordings)\n";
    QTest::newRow("bad usage") << QStringList{"--toggle", "everything"} << 2
                               << "Kliqora: unknown job \"everything\": use clicker, keys, "
                                  "recorder, replay:NAME or flow:NAME (see Kliqora --help)\n";
}

void TestE2eCommandLine::refusalsAndUnknownNamesAnswerAtOnce()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, error);
    QFile::remove(TaskFile::keyboardFilePath());
    startInstance();
    if (QTest::currentTestFailed())
        return;
    const ProgramRun run = kliqora(arguments);
    QCOMPARE(run.status, status);
    QCOMPARE(errorText(run), error);
    QVERIFY2(run.elapsedMs < PromptAnswerMs, qPrintable(QString::number(run.elapsedMs)));
    // Nothing else opened: no message box waits for a click in the instance.
    QCOMPARE(m_instance->visibleWindows().size(), 1);
    QCOMPARE(kliqora({QStringLiteral("--show")}).status, 0);
}

void TestE2eCommandLine::withoutInstanceTheCommandStartsOne()
{
    QVERIFY(saveClickerSettings(MouseTask::StopByCount));
    // Nothing runs: nothing to stop or to quit, and nothing is started for that.
    QCOMPARE(kliqora({QStringLiteral("--stop")}).status, 0);
    QCOMPARE(kliqora({QStringLiteral("--quit")}).status, 0);

    // The command's own process becomes the instance and clicks once its pages are loaded.
    m_instance = std::make_unique<E2eProgram>(QStringLiteral(KLIQORA_PROGRAM),
                                              QStringList{"--toggle", "clicker"});
    m_instance->start();
    QVERIFY(m_instance->waitForStarted());
    QTRY_COMPARE_WITH_TIMEOUT(m_target->presses, Clicks, 15000);
    QTRY_VERIFY_WITH_TIMEOUT(m_instance->hasVisibleWindow(), 5000);

    // A second command goes to it; --quit returns once it has ended.
    QCOMPARE(kliqora({QStringLiteral("--toggle"), QStringLiteral("keys")}).status, 1);
    const ProgramRun quit = kliqora({QStringLiteral("--quit")});
    QCOMPARE(quit.status, 0);
    QVERIFY(m_instance->waitForFinished(QuitTimeoutMs));
    QCOMPARE(m_instance->exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_instance->exitCode(), 0);
}

void TestE2eCommandLine::floodOfMalformedRequestsLeavesItAnswering()
{
    QVERIFY(saveClickerSettings(MouseTask::StopByHand));
    startInstance();
    if (QTest::currentTestFailed())
        return;
    const QString server = ControlProtocol::serverName();
    std::vector<std::unique_ptr<QLocalSocket>> clients;
    const auto connectClient = [&] {
        clients.push_back(std::make_unique<QLocalSocket>());
        clients.back()->connectToServer(server);
        return clients.back()->waitForConnected(5000);
    };
    // Some never say anything, one never ends its line, the rest send garbage.
    QLocalSocket endless;
    endless.connectToServer(server);
    QVERIFY(endless.waitForConnected(5000));
    endless.write(QByteArray(4 * 1024 * 1024, 'x'));
    for (int i = 0; i < 8; ++i)
        QVERIFY(connectClient());
    for (int i = 0; i < 200; ++i) {
        QVERIFY(connectClient());
        clients.back()->write(QByteArray(i % 13 + 1, char(i * 7)) + '\n' + QByteArray(i, '\r'));
        clients.back()->flush();
    }

    // The instance still takes a command at once, and carries it out.
    ProgramRun run = kliqora({QStringLiteral("--toggle"), QStringLiteral("clicker")});
    QCOMPARE(run.status, 0);
    QVERIFY2(run.elapsedMs < PromptAnswerMs, qPrintable(QString::number(run.elapsedMs)));
    QTRY_VERIFY_WITH_TIMEOUT(m_target->presses >= 3, 5000);
    run = kliqora({QStringLiteral("--stop")});
    QCOMPARE(run.status, 0);
    QTRY_VERIFY_WITH_TIMEOUT(m_instance->hasVisibleWindow(), 5000);

    // Each malformed request was answered as such; the silent ones when their time ran out.
    int answered = 0;
    for (const auto& client : clients) {
        if (client->bytesAvailable() == 0)
            client->waitForReadyRead(QuitTimeoutMs);
        if (client->readAll().startsWith("2 "))
            ++answered;
    }
    QCOMPARE(answered, int(clients.size()));
    // The endless line was cut off (its writer may miss the answer in its write error).
    QVERIFY(endless.state() == QLocalSocket::UnconnectedState ||
            endless.waitForDisconnected(QuitTimeoutMs));
    QCOMPARE(m_instance->state(), QProcess::Running);
}

void TestE2eCommandLine::helpAndVersion()
{
    const ProgramRun version = kliqora({QStringLiteral("--version")});
    QCOMPARE(version.status, 0);
    QCOMPARE(version.out, QByteArray("Kliqora 2.0.0\n"));
    const ProgramRun help = kliqora({QStringLiteral("--help")});
    QCOMPARE(help.status, 0);
    for (const char* option : {"--toggle <JOB>", "--stop", "--show", "--quit", "--run <FILE>",
                               "--repeat <N>", "--speed <F>", "--list <WHAT>", "-v, --version"})
        QVERIFY2(help.out.contains(option), option);
}

KLIQORA_TEST_MAIN(TestE2eCommandLine)
#include "tst_e2e_commandline.moc"
