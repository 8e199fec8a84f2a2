// The job runner without any widget: a start, the stops (during a wait, during
// input), the end of a job by itself, restarts and the stale end reports they
// leave behind, the one-job-per-process rule and the wait for the hotkey's
// modifiers.

#include "appconfig.h"
#include "interruptiblewait.h"
#include "jobrunner.h"
#include "manualwaitclock.h"
#include "platform/virtualkeys.h"
#include "recordingbackend.h"
#include "testenvironment.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

using platform::Input;
namespace Vk = platform::Vk;

namespace {

constexpr std::chrono::milliseconds BodyPoll{2};
// Real-time bounds: wide, they only catch a wait that is far off.
constexpr int PromptMs = 200;
constexpr int SlackMs = 1000;

// Counts the bodies a test gives the runner; static so that a body still running
// while a failed test unwinds touches nothing of the test.
std::atomic<int> bodiesStarted{0};
std::atomic<int> bodiesRunning{0};

// A body that runs until the run flag is cleared, after `before` (on the worker).
JobRunner::Body untilStopped(std::function<void()> before = {})
{
    return [before] {
        ++bodiesStarted;
        ++bodiesRunning;
        if (before)
            before();
        while (AppConfig::runFlag.load())
            std::this_thread::sleep_for(BodyPoll);
        --bodiesRunning;
    };
}

// A body that returns at once, after `before`.
JobRunner::Body endsAtOnce(std::function<void()> before = {})
{
    return [before] {
        ++bodiesStarted;
        if (before)
            before();
    };
}

void pressKey(uint16_t vk)
{
    const Input down = Input::keyInput(vk);
    platform::sendInput(&down, 1);
}

// Notes the thread that destroys it: what a body captures goes with its run.
struct DestroyedOn
{
    std::thread::id* thread;
    ~DestroyedOn() { *thread = std::this_thread::get_id(); }
};

} // namespace

class TestJobRunner : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startRunsTheBodyOnItsWorker();
    void stop_data();
    void stop();
    void naturalEndFinishesAfterThePause();
    void restartAfterAnEnd_data();
    void restartAfterAnEnd();
    void oneJobPerProcess();
    void bodyWaitsForTheHotkeyModifiers_data();
    void bodyWaitsForTheHotkeyModifiers();
    void stopWhileWaitingForModifiersRunsNothing();

private:
    std::unique_ptr<ScopedRecordingBackend> m_backend;
};

void TestJobRunner::init()
{
    AppConfig::runFlag = false;
    bodiesStarted = 0;
    bodiesRunning = 0;
    m_backend = std::make_unique<ScopedRecordingBackend>();
}

void TestJobRunner::cleanup()
{
    AppConfig::runFlag = false;
    QTRY_COMPARE(bodiesRunning.load(), 0);
    platform::releaseHeldInput();
    m_backend.reset();
}

void TestJobRunner::startRunsTheBodyOnItsWorker()
{
    JobRunner runner;
    std::atomic<bool> onWorker{false};
    const auto gui = std::this_thread::get_id();
    QVERIFY(runner.start(untilStopped([&] { onWorker = std::this_thread::get_id() != gui; })));
    QVERIFY(runner.isRunning());
    QVERIFY(AppConfig::runFlag.load());
    QVERIFY((*m_backend)->keepAwake());
    QTRY_COMPARE(bodiesRunning.load(), 1);
    QVERIFY(onWorker.load());

    runner.stop();
    QCOMPARE(bodiesRunning.load(), 0); // joined before stop() returned
    QVERIFY(!runner.isRunning());
    QVERIFY(!AppConfig::runFlag.load());
    QVERIFY(!(*m_backend)->keepAwake());
    runner.stop(); // a second stop does nothing
    QVERIFY(!AppConfig::runFlag.load());
}

void TestJobRunner::stop_data()
{
    QTest::addColumn<bool>("holdsAKey");
    // A long interruptible wait ends at its next slice.
    QTest::newRow("during a wait") << false;
    // Between a press and its release: the key must not stay down.
    QTest::newRow("during input") << true;
}

void TestJobRunner::stop()
{
    QFETCH(bool, holdsAKey);
    JobRunner runner;
    QSignalSpy finished(&runner, &JobRunner::finished);
    std::thread::id bodyGoneOn;
    auto captured = std::make_shared<DestroyedOn>(DestroyedOn{&bodyGoneOn});
    std::weak_ptr<DestroyedOn> capturedAlive = captured;
    runner.start([holdsAKey, captured = std::move(captured)] {
        ++bodiesRunning;
        if (holdsAKey)
            pressKey(Vk::KeyA);
        interruptibleWait(60000);
        --bodiesRunning;
    });
    QTRY_COMPARE(bodiesRunning.load(), 1);
    QTest::qWait(30);

    QElapsedTimer clock;
    clock.start();
    runner.stop();
    QVERIFY2(clock.elapsed() < PromptMs, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(bodiesRunning.load(), 0);
    QVERIFY(capturedAlive.expired());
    QCOMPARE(bodyGoneOn, std::this_thread::get_id());
    const std::vector<RecordingBackend::Batch> expected =
        holdsAKey ? std::vector<RecordingBackend::Batch>{{Input::keyInput(Vk::KeyA)},
                                                         {Input::keyInput(
                                                             Vk::KeyA, platform::KeyFlag::KeyUp)}}
                  : std::vector<RecordingBackend::Batch>{};
    QVERIFY((*m_backend)->batches() == expected);
    QTest::qWait(JobRunner::EndPauseMs + 100);
    QCOMPARE(finished.count(), 0); // a stopped run does not end by itself as well
}

void TestJobRunner::naturalEndFinishesAfterThePause()
{
    JobRunner runner;
    QSignalSpy finished(&runner, &JobRunner::finished);
    std::atomic<std::chrono::steady_clock::rep> endedAt{0};
    runner.start(endsAtOnce([&] {
        pressKey(Vk::Space); // a press the job leaves down
        endedAt = std::chrono::steady_clock::now().time_since_epoch().count();
    }));
    QVERIFY(finished.wait(JobRunner::EndPauseMs + SlackMs));
    const auto pause = std::chrono::duration_cast<std::chrono::milliseconds>(
                           std::chrono::steady_clock::now().time_since_epoch() -
                           std::chrono::steady_clock::duration(endedAt.load()))
                           .count();
    QVERIFY2(pause >= JobRunner::EndPauseMs && pause < JobRunner::EndPauseMs + SlackMs,
             qPrintable(QString::number(pause)));
    QCOMPARE(finished.count(), 1);
    QVERIFY(!runner.isRunning());
    QVERIFY(!AppConfig::runFlag.load());
    QVERIFY(!(*m_backend)->keepAwake());
    // A job that ends by itself keeps what it left pressed: holding a key on one
    // hotkey and letting it go on another is what such a flow is for.
    const std::vector<RecordingBackend::Batch> expected = {{Input::keyInput(Vk::Space)}};
    QVERIFY((*m_backend)->batches() == expected);
}

void TestJobRunner::restartAfterAnEnd_data()
{
    QTest::addColumn<QString>("end");
    // Stopped, and started again before the worker's report of its end arrived.
    QTest::newRow("stopped, report not yet delivered") << "stop";
    // The report arrived and the end pause was running when the user stopped and
    // started again: the old pause must not end the new run.
    QTest::newRow("stopped during the end pause") << "pause";
    // Someone else cleared the shared flag; the worker was not joined yet.
    QTest::newRow("flag cleared elsewhere") << "flag";
}

void TestJobRunner::restartAfterAnEnd()
{
    QFETCH(QString, end);
    JobRunner runner;
    QSignalSpy finished(&runner, &JobRunner::finished);
    if (end == QLatin1String("pause")) {
        runner.start(endsAtOnce());
        QTest::qWait(JobRunner::EndPauseMs / 5); // the report arrives, the pause begins
        QVERIFY(runner.isRunning());
        runner.stop();
    } else {
        runner.start(untilStopped());
        QTRY_COMPARE(bodiesRunning.load(), 1);
        if (end == QLatin1String("flag")) {
            AppConfig::runFlag = false;
            QTRY_COMPARE(bodiesRunning.load(), 0);
        } else {
            runner.stop();
        }
    }
    QVERIFY(runner.start(untilStopped()));
    QTRY_COMPARE(bodiesRunning.load(), 1);
    QTest::qWait(JobRunner::EndPauseMs + 300);
    QCOMPARE(finished.count(), 0);
    QVERIFY(runner.isRunning());
    QVERIFY(AppConfig::runFlag.load());
    QCOMPARE(bodiesRunning.load(), 1);
    runner.stop();
    QCOMPARE(bodiesRunning.load(), 0);
}

void TestJobRunner::oneJobPerProcess()
{
    JobRunner runner;
    JobRunner other;
    QVERIFY(runner.start(untilStopped()));
    QVERIFY2(!runner.start(untilStopped()), "a second start of the same runner");
    QVERIFY2(!other.start(untilStopped()), "a start of another runner");
    QVERIFY(!other.isRunning());
    QTest::qWait(50);
    QCOMPARE(bodiesStarted.load(), 1);
    other.stop(); // nothing to stop: the running job goes on
    QVERIFY(AppConfig::runFlag.load());
    QVERIFY((*m_backend)->keepAwake());
    runner.stop();
    QVERIFY(other.start(untilStopped()));
    QTRY_COMPARE(bodiesStarted.load(), 2);
    other.stop();
}

void TestJobRunner::bodyWaitsForTheHotkeyModifiers_data()
{
    using platform::ModifierKey::Alt;
    using platform::ModifierKey::Control;
    using platform::ModifierKey::Shift;
    QTest::addColumn<uint>("modifiers"); // the starting hotkey's
    QTest::addColumn<uint>("held");
    QTest::addColumn<int>("releaseAtMs"); // -1: never
    QTest::addColumn<int>("startAtMs");
    QTest::newRow("Ctrl released after 300 ms") << uint(Control) << uint(Control) << 300 << 300;
    QTest::newRow("Ctrl+Alt, both held, released after 200 ms")
        << uint(Control | Alt) << uint(Control | Alt) << 200 << 200;
    QTest::newRow("released between two looks") << uint(Control) << uint(Control) << 302 << 305;
    QTest::newRow("held for ever: bounded wait")
        << uint(Control) << uint(Control) << -1 << JobRunner::ModifierReleaseWaitMs;
    QTest::newRow("another modifier held: no wait") << uint(Control) << uint(Shift) << -1 << 0;
    QTest::newRow("hotkey without modifiers: no wait") << 0u << uint(Control) << -1 << 0;
}

void TestJobRunner::bodyWaitsForTheHotkeyModifiers()
{
    QFETCH(uint, modifiers);
    QFETCH(uint, held);
    QFETCH(int, releaseAtMs);
    QFETCH(int, startAtMs);
    ManualWaitClock clock;
    (*m_backend)->setHeldModifiers(held);
    if (releaseAtMs >= 0)
        clock.schedule(std::chrono::milliseconds(releaseAtMs),
                       [this] { (*m_backend)->setHeldModifiers(0); });

    JobRunner runner;
    std::atomic<std::chrono::nanoseconds::rep> startedAt{-1};
    runner.start(endsAtOnce([&] { startedAt = clock.elapsed().count(); }), modifiers);
    QTRY_COMPARE(bodiesStarted.load(), 1);
    QCOMPARE(std::chrono::nanoseconds(startedAt.load()), std::chrono::milliseconds(startAtMs));
    runner.stop();
}

void TestJobRunner::stopWhileWaitingForModifiersRunsNothing()
{
    (*m_backend)->setHeldModifiers(platform::ModifierKey::Control);
    JobRunner runner;
    QSignalSpy finished(&runner, &JobRunner::finished);
    runner.start(endsAtOnce(), platform::ModifierKey::Control);
    QTest::qWait(100);
    QElapsedTimer clock;
    clock.start();
    runner.stop(); // the user stops before letting go of Ctrl
    QVERIFY2(clock.elapsed() < PromptMs, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(!runner.isRunning());
    QTest::qWait(JobRunner::EndPauseMs + 200); // the stopped worker's report
    QCOMPARE(bodiesStarted.load(), 0);
    QCOMPARE(finished.count(), 0);
}

KLIQORA_TEST_GUILESS_MAIN(TestJobRunner)
#include "tst_jobrunner.moc"
