// The real Kliqora on a real X server: one instance per user, a crashed instance
// does not lock the program out, and quitting by signal or by the close button
// ends the process normally.

#include "appconfig.h"
#include "e2eprogram.h"
#include "testenvironment.h"
#include "waituntil.h"
#include "xdotool.h"

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <memory>

namespace {
constexpr int StartTimeoutMs = 15000;
constexpr int QuitTimeoutMs = 5000;
// How long the clicker runs before the signal arrives.
constexpr int JobRunMs = 300;

// A private runtime folder stands for a user: the instance guard lives there.
std::unique_ptr<QTemporaryDir> makeRuntimeDir()
{
    auto dir = std::make_unique<QTemporaryDir>();
    QFile::setPermissions(dir->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return dir;
}

std::unique_ptr<E2eProgram> startKliqora(const QString& runtimeDir)
{
    auto process = std::make_unique<E2eProgram>(QStringLiteral(KLIQORA_PROGRAM));
    QProcessEnvironment env = process->processEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir);
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    process->setProcessEnvironment(env);
    process->start();
    return process;
}
} // namespace

class TestE2eFrame : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void secondInstanceExitsSilently();
    void crashedInstanceDoesNotLockOut();
    void otherUserRunsOwnInstance();
    void terminationSignalQuitsNormally_data();
    void terminationSignalQuitsNormally();
    void closeButtonQuitsWithActionOne();

private:
    bool startFirst();

    std::unique_ptr<QTemporaryDir> m_runtime;
    std::vector<std::unique_ptr<E2eProgram>> m_processes;
};

void TestE2eFrame::initTestCase()
{
    QVERIFY2(QGuiApplication::platformName() == QLatin1String("xcb"), "needs an X server");
}

void TestE2eFrame::cleanup()
{
    m_processes.clear(); // kills those still running
    m_runtime.reset();
}

// Ready once its probe answers: the pages have loaded and taken their hotkeys.
bool TestE2eFrame::startFirst()
{
    m_runtime = makeRuntimeDir();
    m_processes.push_back(startKliqora(m_runtime->path()));
    E2eProgram* first = m_processes.back().get();
    return first->waitForStarted(StartTimeoutMs) &&
           waitUntil([first] { return !first->visibleWindows().isEmpty(); }, StartTimeoutMs) &&
           first->probe().waitUntilAnswering(StartTimeoutMs);
}

void TestE2eFrame::secondInstanceExitsSilently()
{
    QVERIFY(startFirst());
    E2eProgram* first = m_processes.back().get();

    m_processes.push_back(startKliqora(m_runtime->path()));
    E2eProgram* second = m_processes.back().get();
    QVERIFY(second->waitForFinished(StartTimeoutMs));
    QCOMPARE(second->exitStatus(), QProcess::NormalExit);
    QCOMPARE(second->exitCode(), 0);
    QCOMPARE(first->state(), QProcess::Running);
    QCOMPARE(first->visibleWindows().size(), 1);
}

void TestE2eFrame::crashedInstanceDoesNotLockOut()
{
    QVERIFY(startFirst());
    E2eProgram* first = m_processes.back().get();
    first->kill(); // SIGKILL: no clean-up of any kind
    QVERIFY(first->waitForFinished(QuitTimeoutMs));

    m_processes.push_back(startKliqora(m_runtime->path()));
    E2eProgram* next = m_processes.back().get();
    QVERIFY(next->waitForStarted(StartTimeoutMs));
    QTRY_VERIFY_WITH_TIMEOUT(!next->visibleWindows().isEmpty(), StartTimeoutMs);
    QCOMPARE(next->state(), QProcess::Running);
}

void TestE2eFrame::otherUserRunsOwnInstance()
{
    QVERIFY(startFirst());
    auto otherRuntime = makeRuntimeDir();
    m_processes.push_back(startKliqora(otherRuntime->path()));
    E2eProgram* other = m_processes.back().get();
    QVERIFY(other->waitForStarted(StartTimeoutMs));
    QTRY_VERIFY_WITH_TIMEOUT(!other->visibleWindows().isEmpty(), StartTimeoutMs);
    QCOMPARE(m_processes.front()->state(), QProcess::Running);
}

void TestE2eFrame::terminationSignalQuitsNormally_data()
{
    QTest::addColumn<int>("signal");
    QTest::addColumn<bool>("jobRunning");
    QTest::newRow("SIGTERM") << int(SIGTERM) << false;
    QTest::newRow("SIGINT") << int(SIGINT) << false;
    // The page's worker must be stopped and joined before the pages are destroyed.
    QTest::newRow("SIGTERM while the clicker runs") << int(SIGTERM) << true;
}

void TestE2eFrame::terminationSignalQuitsNormally()
{
    QFETCH(int, signal);
    QFETCH(bool, jobRunning);
    QVERIFY(startFirst());
    E2eProgram* first = m_processes.back().get();
    if (jobRunning) {
        // Clicks land on the bare root window in the far corner.
        QVERIFY(
            xdotool({QStringLiteral("mousemove"), QStringLiteral("1915"), QStringLiteral("1075")}));
        QVERIFY(xdotool({QStringLiteral("key"), QStringLiteral("F2")}));
        // A running job hides the window.
        QTRY_VERIFY_WITH_TIMEOUT(first->visibleWindows().isEmpty(), StartTimeoutMs);
        QTest::qWait(JobRunMs);
    }
    QCOMPARE(::kill(pid_t(first->processId()), signal), 0);
    QVERIFY(first->waitForFinished(QuitTimeoutMs));
    QCOMPARE(first->exitStatus(), QProcess::NormalExit); // not killed by the signal
    QCOMPARE(first->exitCode(), 0);

    // The guard went with it: the next start is a first instance again.
    m_processes.push_back(startKliqora(m_runtime->path()));
    E2eProgram* next = m_processes.back().get();
    QTRY_VERIFY_WITH_TIMEOUT(!next->visibleWindows().isEmpty(), StartTimeoutMs);
}

void TestE2eFrame::closeButtonQuitsWithActionOne()
{
    AppConfig::openSettings()->setValue(QStringLiteral("BtnCloseAction"), 1);
    QVERIFY(startFirst());
    AppConfig::openSettings()->remove(QStringLiteral("BtnCloseAction"));
    E2eProgram* first = m_processes.back().get();
    QVERIFY(first->probe().click(QStringLiteral("btnClose")));
    QVERIFY(first->waitForFinished(QuitTimeoutMs));
    QCOMPARE(first->exitStatus(), QProcess::NormalExit);
    QCOMPARE(first->exitCode(), 0);
}

KLIQORA_TEST_MAIN(TestE2eFrame)
#include "tst_e2e_frame.moc"
