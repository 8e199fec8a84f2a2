// SIGINT and SIGTERM reach the event loop at once, as a Qt signal naming which one
// arrived, without killing the process; the actions the watcher replaced come back
// when it goes.

#include "terminationwatcher.h"
#include "testenvironment.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

#include <csignal>

namespace {
// The old watcher looked every 100 ms; a pipe wakes the loop at once.
constexpr int PromptMs = 30;
constexpr int Raises = 5;

std::atomic<int> ownHandlerCalls{0};
extern "C" void ownHandler(int)
{
    ++ownHandlerCalls;
}
} // namespace

class TestTerminationWatcher : public QObject
{
    Q_OBJECT

private slots:
    void signalReachesTheLoopPromptly_data();
    void signalReachesTheLoopPromptly();
    void previousActionComesBack();
};

void TestTerminationWatcher::signalReachesTheLoopPromptly_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
}

void TestTerminationWatcher::signalReachesTheLoopPromptly()
{
    QFETCH(int, signalNumber);
    TerminationWatcher watcher;
    QSignalSpy requested(&watcher, &TerminationWatcher::terminationRequested);
    QElapsedTimer clock;
    qint64 slowest = 0;
    for (int i = 0; i < Raises; ++i) {
        QTest::qWait(20 + 17 * i); // at different moments of any polling cycle
        clock.start();
        QCOMPARE(std::raise(signalNumber), 0); // the process lives on
        QVERIFY(requested.wait(1000));
        slowest = std::max(slowest, clock.elapsed());
        QCOMPARE(requested.takeFirst().at(0).toInt(), signalNumber);
    }
    QVERIFY2(slowest < PromptMs, qPrintable(QStringLiteral("slowest: %1 ms").arg(slowest)));
    QVERIFY(requested.isEmpty());
}

void TestTerminationWatcher::previousActionComesBack()
{
    struct sigaction own = {};
    own.sa_handler = ownHandler;
    sigemptyset(&own.sa_mask);
    QCOMPARE(sigaction(SIGTERM, &own, nullptr), 0);
    {
        TerminationWatcher watcher;
        QSignalSpy requested(&watcher, &TerminationWatcher::terminationRequested);
        std::raise(SIGTERM);
        QVERIFY(requested.wait(1000));
        QCOMPARE(ownHandlerCalls.load(), 0);
    }
    std::raise(SIGTERM);
    QCOMPARE(ownHandlerCalls.load(), 1);
    signal(SIGTERM, SIG_DFL);
}

KLIQORA_TEST_GUILESS_MAIN(TestTerminationWatcher)
#include "tst_terminationwatcher.moc"
