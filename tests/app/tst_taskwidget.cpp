// The page base: starting and stopping a job on its worker, the window and hotkey
// handling around it, and the ways a job ends (its hotkey, by itself, at exit).

#include "appconfig.h"
#include "dialogs/hotkeyset.h"
#include "hotkeymanage.h"
#include "jobrunner.h"
#include "manualwaitclock.h"
#include "modalanswers.h"
#include "qhotkey.h"
#include "recordingbackend.h"
#include "taskwidget.h"
#include "testenvironment.h"

#include <QPointer>
#include <QTimer>
#include <QtTest>

#include <atomic>
#include <chrono>
#include <thread>

namespace {
using Clock = std::chrono::steady_clock;

// What the job body saw; static so a body still running while its page is being
// destroyed touches nothing of the page.
std::atomic<int> bodiesStarted{0};
std::atomic<int> bodiesRunning{0};
std::atomic<Clock::rep> lastEndTime{0};
std::atomic<WaitClock::TimePoint::rep> lastStartTime{0}; // on the wait clock

// A page whose job body the test controls.
class TestPage : public TaskWidget
{
    Q_OBJECT

public:
    enum class Body
    {
        UntilStopped,
        EndsAtOnce
    };

    explicit TestPage(QWidget* parent = nullptr) : TaskWidget(parent)
    {
        initUi();
        initConnections();
    }

    Body body = Body::UntilStopped;
    bool acceptStart = true;
    QHotkey* hotkey() const { return m_hotkey; }

protected:
    void initUi() override {}
    void initConnections() override
    {
        m_hotkey = new QHotkey(QKeySequence(QStringLiteral("F9")), false, this);
        m_activeHotkey = m_hotkey;
        HotkeyManage::instance()->addHotkey(m_hotkey);
        connect(m_hotkey, &QHotkey::activated, this, &TaskWidget::toggleTask);
    }
    bool prepareStart() override { return acceptStart; }
    void runTask() override
    {
        lastStartTime = waitClock().now().time_since_epoch().count();
        ++bodiesRunning;
        ++bodiesStarted;
        if (body == Body::UntilStopped) {
            while (AppConfig::runFlag.load())
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        lastEndTime = Clock::now().time_since_epoch().count();
        --bodiesRunning;
    }
};

void pressHotkey(QHotkey* hotkey)
{
    // What the system key press does: the hotkey's activated() signal.
    QVERIFY(QMetaObject::invokeMethod(hotkey, "activated"));
}
} // namespace

class TestTaskWidget : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startHidesWindowBlocksOthersAndStopsOnOwnHotkey();
    void refusedStartChangesNothing();
    void secondStartStartsNoSecondWorker();
    void restartAfterStop_data();
    void restartAfterStop();
    void selfEndingJobRestoresWindowAfterPause();
    void exitStopJoinsWorkerAndKeepsWindowHidden();
    void destroyingRunningPageJoinsWorker();
    void editHotkey_data();
    void editHotkey();
    void firstInputWaitsForHotkeyModifiers_data();
    void firstInputWaitsForHotkeyModifiers();
    void stopWhileWaitingForModifiersRunsNothing();
    void startByCommandWaitsForAnyModifier_data();
    void startByCommandWaitsForAnyModifier();
    void warningsGoToTheCommandInsteadOfABox();

private:
    std::unique_ptr<ScopedRecordingBackend> m_backend;
    std::unique_ptr<QWidget> m_window;
    TestPage* m_page = nullptr;
    QPointer<QHotkey> m_other;
};

void TestTaskWidget::init()
{
    AppConfig::runFlag = false;
    bodiesStarted = 0;
    bodiesRunning = 0;
    m_backend = std::make_unique<ScopedRecordingBackend>();
    m_window = std::make_unique<QWidget>();
    m_page = new TestPage(m_window.get());
    m_other = new QHotkey(QKeySequence(QStringLiteral("F10")), false, m_window.get());
    HotkeyManage::instance()->addHotkey(m_other);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestTaskWidget::cleanup()
{
    m_window.reset(); // stops a job left running by a failed test
    QTRY_COMPARE(bodiesRunning.load(), 0);
    m_backend.reset();
}

void TestTaskWidget::startHidesWindowBlocksOthersAndStopsOnOwnHotkey()
{
    pressHotkey(m_page->hotkey());
    QVERIFY(m_page->isRunning());
    QVERIFY(!m_window->isVisible());
    QVERIFY(AppConfig::runFlag.load());
    QVERIFY2(m_other->signalsBlocked(), "another page's key must be silent");
    QVERIFY2(!m_page->hotkey()->signalsBlocked(), "the job's own key must stay live");
    QVERIFY((*m_backend)->keepAwake());
    QTRY_COMPARE(bodiesRunning.load(), 1);

    QSignalSpy otherActivated(m_other.data(), &QHotkey::activated);
    pressHotkey(m_other);
    QCOMPARE(otherActivated.count(), 0);

    pressHotkey(m_page->hotkey());
    QCOMPARE(bodiesRunning.load(), 0); // joined before the hotkey press returned
    QVERIFY(!m_page->isRunning());
    QVERIFY(!AppConfig::runFlag.load());
    QVERIFY(m_window->isVisible());
    QVERIFY(!m_window->isMinimized());
    QVERIFY(!m_other->signalsBlocked());
    QVERIFY(!(*m_backend)->keepAwake());
}

void TestTaskWidget::refusedStartChangesNothing()
{
    m_page->acceptStart = false;
    m_page->startTask();
    QVERIFY(!m_page->isRunning());
    QVERIFY(m_window->isVisible());
    QVERIFY(!AppConfig::runFlag.load());
    QVERIFY(!m_other->signalsBlocked());
    QVERIFY(!(*m_backend)->keepAwake());
    QTest::qWait(50);
    QCOMPARE(bodiesStarted.load(), 0);
}

void TestTaskWidget::secondStartStartsNoSecondWorker()
{
    m_page->startTask();
    m_page->startTask();
    QTRY_COMPARE(bodiesStarted.load(), 1);
    QTest::qWait(50);
    QCOMPARE(bodiesStarted.load(), 1);

    // A job of another page holds the flag: the start takes the window and the
    // keys, but starts no worker of its own.
    TestPage second(m_window.get());
    second.startTask();
    QVERIFY(second.isRunning());
    QTest::qWait(50);
    QCOMPARE(bodiesStarted.load(), 1);
    second.stopTaskForExit();

    m_page->stopTask();
    QCOMPARE(bodiesRunning.load(), 0);
}

void TestTaskWidget::restartAfterStop_data()
{
    QTest::addColumn<bool>("foreignStop");
    // Another page's stop cleared the shared flag and this page's worker was not
    // joined yet: replacing a joinable thread would abort the program.
    QTest::newRow("flag cleared elsewhere") << true;
    // Stopped by its key and started again before the old run's queued finish
    // signal was handled: that signal must not end the new run.
    QTest::newRow("stopped by its key") << false;
}

void TestTaskWidget::restartAfterStop()
{
    QFETCH(bool, foreignStop);
    m_page->startTask();
    QTRY_COMPARE(bodiesRunning.load(), 1);
    if (foreignStop) {
        AppConfig::runFlag = false;
        QTRY_COMPARE(bodiesRunning.load(), 0);
    } else {
        m_page->stopTask();
    }
    m_page->startTask(); // before the finish signal of the first run is delivered
    QTRY_COMPARE(bodiesStarted.load(), 2);
    QTest::qWait(JobRunner::EndPauseMs + 300);
    QCOMPARE(bodiesRunning.load(), 1);
    QVERIFY(m_page->isRunning());
    QVERIFY(AppConfig::runFlag.load());
    QVERIFY(!m_window->isVisible());
    m_page->stopTask();
    QCOMPARE(bodiesRunning.load(), 0);
}

void TestTaskWidget::selfEndingJobRestoresWindowAfterPause()
{
    m_page->body = TestPage::Body::EndsAtOnce;
    QSignalSpy finished(m_page, &TaskWidget::sigTaskFinished);
    m_page->startTask();
    QTRY_VERIFY_WITH_TIMEOUT(m_window->isVisible(), 3000);
    QCOMPARE(finished.count(), 1);
    const auto restoredAt = Clock::now();
    const auto endedAt = Clock::time_point(Clock::duration(lastEndTime.load()));
    const auto pause =
        std::chrono::duration_cast<std::chrono::milliseconds>(restoredAt - endedAt).count();
    QVERIFY2(pause >= JobRunner::EndPauseMs, qPrintable(QString::number(pause)));
    QVERIFY2(pause < JobRunner::EndPauseMs + 1000, qPrintable(QString::number(pause)));
    QVERIFY(!m_page->isRunning());
    QVERIFY(!AppConfig::runFlag.load());
    QVERIFY(!m_other->signalsBlocked());
    QVERIFY(!(*m_backend)->keepAwake());
}

void TestTaskWidget::exitStopJoinsWorkerAndKeepsWindowHidden()
{
    m_page->startTask();
    QTRY_COMPARE(bodiesRunning.load(), 1);
    m_page->stopTaskForExit();
    QCOMPARE(bodiesRunning.load(), 0);
    QVERIFY(!AppConfig::runFlag.load());
    QVERIFY(!m_page->isRunning());
    QVERIFY2(!m_window->isVisible(), "quitting must not flash the window");
    QVERIFY(!m_other->signalsBlocked());
    QVERIFY(!(*m_backend)->keepAwake());
}

void TestTaskWidget::destroyingRunningPageJoinsWorker()
{
    m_page->startTask();
    QTRY_COMPARE(bodiesRunning.load(), 1);
    delete m_page; // a joinable std::thread destroyed here would end the process
    m_page = nullptr;
    QCOMPARE(bodiesRunning.load(), 0);
    QVERIFY(!AppConfig::runFlag.load());
}

void TestTaskWidget::editHotkey_data()
{
    QTest::addColumn<bool>("accept");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("shortcut");

    // Without a hotkey backend (offscreen) every registration fails.
    const bool registers = QHotkey::isPlatformSupported();
    QTest::newRow("cancelled") << false << "F7" << true << "F9"
                               << "F9";
    QTest::newRow("cleared") << true << "" << true << ""
                             << "F9";
    QTest::newRow("new key") << true << "Ctrl+Shift+F7" << registers << "Ctrl+Shift+F7"
                             << "Ctrl+Shift+F7";
}

void TestTaskWidget::editHotkey()
{
    QFETCH(bool, accept);
    QFETCH(QString, typed);
    QFETCH(bool, result);
    QFETCH(QString, stored);
    QFETCH(QString, shortcut);

    QString text = QStringLiteral("F9");
    QString preset;
    QTimer::singleShot(0, this, [&] {
        auto* dialog = qobject_cast<HotKeySet*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        preset = dialog->hotkeyText();
        dialog->setHotkeyText(typed);
        accept ? dialog->accept() : dialog->reject();
    });
    QCOMPARE(m_page->editHotkey(text, JobSpec{JobSpec::Kind::Clicker, QString()}), result);
    QCOMPARE(preset, QStringLiteral("F9"));
    QCOMPARE(text, stored);
    QCOMPARE(m_page->hotkey()->shortcut().toString(QKeySequence::PortableText), shortcut);
    if (accept)
        QCOMPARE(m_page->hotkey()->isRegistered(), !typed.isEmpty() && result);
}

void TestTaskWidget::firstInputWaitsForHotkeyModifiers_data()
{
    using platform::ModifierKey::Alt;
    using platform::ModifierKey::Control;
    using platform::ModifierKey::Meta;
    using platform::ModifierKey::Shift;
    QTest::addColumn<QString>("hotkey");
    QTest::addColumn<uint>("held");
    QTest::addColumn<int>("releaseAtMs"); // -1: never
    QTest::addColumn<int>("startAtMs");
    QTest::newRow("Ctrl released after 300 ms") << "Ctrl+F9" << uint(Control) << 300 << 300;
    QTest::newRow("Ctrl+Alt, both held, released after 200 ms")
        << "Ctrl+Alt+F9" << uint(Control | Alt) << 200 << 200;
    QTest::newRow("Shift+Meta, both held, released after 100 ms")
        << "Shift+Meta+F9" << uint(Shift | Meta) << 100 << 100;
    QTest::newRow("held forever: bounded wait")
        << "Ctrl+F9" << uint(Control) << -1 << JobRunner::ModifierReleaseWaitMs;
    QTest::newRow("another modifier held: no wait") << "Ctrl+F9" << uint(Shift) << -1 << 0;
    QTest::newRow("hotkey without modifiers: no wait") << "F9" << uint(Control) << -1 << 0;
}

void TestTaskWidget::firstInputWaitsForHotkeyModifiers()
{
    QFETCH(QString, hotkey);
    QFETCH(uint, held);
    QFETCH(int, releaseAtMs);
    QFETCH(int, startAtMs);
    ManualWaitClock clock;
    m_page->hotkey()->setShortcut(QKeySequence(hotkey), false);
    (*m_backend)->setHeldModifiers(held);
    if (releaseAtMs >= 0)
        clock.schedule(std::chrono::milliseconds(releaseAtMs),
                       [this] { (*m_backend)->setHeldModifiers(0); });
    m_page->body = TestPage::Body::EndsAtOnce;

    const WaitClock::TimePoint pressed = clock.now();
    pressHotkey(m_page->hotkey());
    QTRY_COMPARE(bodiesStarted.load(), 1);
    QCOMPARE(WaitClock::TimePoint(WaitClock::TimePoint::duration(lastStartTime.load())) - pressed,
             std::chrono::milliseconds(startAtMs));
    m_page->stopTask();
}

void TestTaskWidget::stopWhileWaitingForModifiersRunsNothing()
{
    m_page->hotkey()->setShortcut(QKeySequence(QStringLiteral("Ctrl+F9")), false);
    (*m_backend)->setHeldModifiers(platform::ModifierKey::Control);
    pressHotkey(m_page->hotkey());
    QTest::qWait(100);
    pressHotkey(m_page->hotkey()); // the user stops before letting go of Ctrl
    QVERIFY(!m_page->isRunning());
    QCOMPARE(bodiesStarted.load(), 0);
    QTest::qWait(JobRunner::EndPauseMs + 200); // the stopped worker's finish notice
    QVERIFY(!m_page->isRunning());
    QVERIFY(m_window->isVisible());
}

void TestTaskWidget::startByCommandWaitsForAnyModifier_data()
{
    QTest::addColumn<uint>("held");
    QTest::addColumn<int>("releaseAtMs"); // -1: never
    QTest::addColumn<int>("startAtMs");
    // The desktop shortcut that ran the command is unknown: every modifier counts.
    QTest::newRow("Super released after 250 ms") << uint(platform::ModifierKey::Meta) << 250 << 250;
    QTest::newRow("Shift held forever: bounded wait")
        << uint(platform::ModifierKey::Shift) << -1 << JobRunner::ModifierReleaseWaitMs;
    QTest::newRow("nothing held") << 0u << -1 << 0;
}

void TestTaskWidget::startByCommandWaitsForAnyModifier()
{
    QFETCH(uint, held);
    QFETCH(int, releaseAtMs);
    QFETCH(int, startAtMs);
    ManualWaitClock clock;
    (*m_backend)->setHeldModifiers(held);
    if (releaseAtMs >= 0)
        clock.schedule(std::chrono::milliseconds(releaseAtMs),
                       [this] { (*m_backend)->setHeldModifiers(0); });
    m_page->body = TestPage::Body::EndsAtOnce;

    const WaitClock::TimePoint started = clock.now();
    {
        TaskWidget::CommandScope scope;
        m_page->toggleTask();
    }
    QTRY_COMPARE(bodiesStarted.load(), 1);
    QCOMPARE(WaitClock::TimePoint(WaitClock::TimePoint::duration(lastStartTime.load())) - started,
             std::chrono::milliseconds(startAtMs));
    m_page->stopTask();
}

void TestTaskWidget::warningsGoToTheCommandInsteadOfABox()
{
    MessageBoxCloser closer;
    {
        TaskWidget::CommandScope scope;
        QCOMPARE(TaskWidget::CommandScope::current(), &scope);
        closer.arm(this);
        m_page->warnUser(QStringLiteral("标题"), QStringLiteral("第一"));
        m_page->warnUser(QStringLiteral("标题"), QStringLiteral("第二"));
        QCOMPARE(scope.warnings(), QStringLiteral("第一\n第二"));
        QCoreApplication::processEvents();
        QVERIFY2(closer.text.isEmpty(), "no box while a command is carried out");
    }
    QCOMPARE(TaskWidget::CommandScope::current(), nullptr);
    closer.arm(this);
    m_page->warnUser(QStringLiteral("标题"), QStringLiteral("第三"));
    QCOMPARE(closer.title, QStringLiteral("标题"));
    QCOMPARE(closer.text, QStringLiteral("第三"));
}

KLIQORA_TEST_MAIN(TestTaskWidget)
#include "tst_taskwidget.moc"
