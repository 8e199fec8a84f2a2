// The running instance carrying out the command line's requests on its real pages,
// offscreen on the recording backend: each job's toggle through the page's own path,
// refusals answered with the page's text and no message box, another job running,
// unknown names answered with the names there are, stop, show and quit.

#include "appconfig.h"
#include "autorecordtask.h"
#include "commandline/exitstatus.h"
#include "commandline/instancecontrol.h"
#include "flow.h"
#include "mainwidget.h"
#include "modalanswers.h"
#include "operationfactory.h"
#include "pages/customwidget.h"
#include "pages/keyboardwidget.h"
#include "pages/keytable.h"
#include "pages/mousewidget.h"
#include "pages/recordwidget.h"
#include "recordingbackend.h"
#include "taskfile.h"
#include "testenvironment.h"
#include "textinputoperation.h"

#include <QCheckBox>
#include <QDir>
#include <QtTest>

#include <memory>

using ControlProtocol::Answer;
using ControlProtocol::Request;
using ControlProtocol::Verb;

namespace {

constexpr int LongPauseMs = 60000;
const QString RecordingName = QStringLiteral("record_long");

// A recording that waits long between its two events, so its replay runs until stopped.
bool writeRecording(const QString& name)
{
    AutoRecordTask task;
    for (const int64_t ms : {int64_t(1000), int64_t(1000 + LongPauseMs)}) {
        auto event = std::make_unique<MouseEvent>(EventType::MouseMove, ms * 1000000);
        task.appendEvent(std::move(event));
    }
    return task.save(QDir(QDir::fromNativeSeparators(TaskFile::recordFolderPath()))
                         .filePath(name + QStringLiteral(".kqt")));
}

// A flow whose only step waits long before it types.
// The page lists flows oldest first: `ageSecs` fixes the order, which files written
// within one second would leave open.
bool writeFlow(const QString& fileName, const QString& name, int ageSecs)
{
    QDir().mkpath(CustomWidget::flowFolder());
    Flow flow;
    flow.setName(name);
    auto* op = new TextInputOperation(&flow);
    op->setText(QStringLiteral("x"));
    op->setInterval(LongPauseMs);
    flow.operations().append(op);
    const QString path =
        QDir(CustomWidget::flowFolder()).filePath(fileName + QStringLiteral(".flw"));
    QFile file(path);
    return flow.save(path) && file.open(QIODevice::ReadWrite) &&
           file.setFileTime(QDateTime::currentDateTime().addSecs(-ageSecs),
                            QFileDevice::FileModificationTime);
}

Request toggle(const QString& job)
{
    return Request{Verb::Toggle, *JobSpec::parse(job)};
}

} // namespace

class TestInstanceControl : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void toggleStartsAndStopsEachJob_data();
    void toggleStartsAndStopsEachJob();
    void refusalAnswersWithThePageText_data();
    void refusalAnswersWithThePageText();
    void recorderWithoutCaptureAnswersWhy();
    void anotherJobRunning_data();
    void anotherJobRunning();
    void unknownNameListsTheNamesThere_data();
    void unknownNameListsTheNamesThere();
    void sameFlowNameTwiceIsRefused();
    void stopEndsWhateverRuns();
    void showAndQuit();

private:
    Answer handle(const Request& request) { return m_control->handle(request); }
    bool anyRunning() const;
    void checkRecordOptions(bool on);

    std::unique_ptr<ScopedRecordingBackend> m_backend;
    std::unique_ptr<MainWidget> m_window;
    std::unique_ptr<InstanceControl> m_control;
};

void TestInstanceControl::initTestCase()
{
    OperationFactory::instance()->registerBuiltinOperations();
    QVERIFY(writeRecording(RecordingName));
    QVERIFY(writeFlow(QStringLiteral("alpha"), QStringLiteral("Alpha"), 20));
    QVERIFY(writeFlow(QStringLiteral("beta"), QStringLiteral("每日 报告"), 10));
}

void TestInstanceControl::init()
{
    m_backend = std::make_unique<ScopedRecordingBackend>();
    m_window = std::make_unique<MainWidget>();
    m_window->initUi();
    m_window->initConnections();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    QCoreApplication::processEvents(); // the pages load their files from the event loop
    QCOMPARE(m_window->customWidget()->items().size(), 2);
    m_control = std::make_unique<InstanceControl>(m_window.get());
}

void TestInstanceControl::cleanup()
{
    m_control.reset();
    m_window.reset(); // stops what a failed test left running
    m_backend.reset();
    // Recordings a test made: only the fixture stays.
    QDir records(QDir::fromNativeSeparators(TaskFile::recordFolderPath()));
    for (const QString& file : records.entryList(QDir::Files)) {
        if (file != RecordingName + QStringLiteral(".kqt"))
            records.remove(file);
    }
}

bool TestInstanceControl::anyRunning() const
{
    for (TaskWidget* page : m_window->pages()) {
        if (page->isRunning())
            return true;
    }
    return m_window->recordWidget()->isRecording();
}

void TestInstanceControl::checkRecordOptions(bool on)
{
    for (QCheckBox* box : m_window->recordWidget()->findChildren<QCheckBox*>())
        box->setChecked(on);
}

void TestInstanceControl::toggleStartsAndStopsEachJob_data()
{
    QTest::addColumn<QString>("job");
    QTest::addColumn<QString>("described");
    QTest::newRow("clicker") << "clicker"
                             << "the clicker";
    QTest::newRow("keys") << "keys"
                          << "the key presser";
    QTest::newRow("recorder") << "recorder"
                              << "a recording";
    QTest::newRow("replay") << "replay:" + RecordingName
                            << "the replay of \"" + RecordingName + "\"";
    QTest::newRow("flow") << "flow:每日 报告"
                          << "the flow \"每日 报告\"";
}

void TestInstanceControl::toggleStartsAndStopsEachJob()
{
    QFETCH(QString, job);
    QFETCH(QString, described);
    m_window->keyBoardWidget()->table()->addRow(QStringLiteral("A"), QStringLiteral("10"),
                                                QStringLiteral("10"));
    checkRecordOptions(true);

    Answer answer = handle(toggle(job));
    QCOMPARE(answer.text, QStringLiteral("started ") + described);
    QCOMPARE(answer.status, ExitStatus::Done);
    QVERIFY(anyRunning());
    QVERIFY(!m_window->isVisible());

    answer = handle(toggle(job));
    QCOMPARE(answer.text, QStringLiteral("stopped ") + described);
    QCOMPARE(answer.status, ExitStatus::Done);
    QVERIFY(!anyRunning());
    QVERIFY(m_window->isVisible());
}

void TestInstanceControl::refusalAnswersWithThePageText_data()
{
    QTest::addColumn<QString>("job");
    QTest::addColumn<QString>("text");
    QTest::newRow("keys without keys") << "keys"
                                       << "请先完成按键设置,在启动连点。";
    QTest::newRow("recorder without actions") << "recorder"
                                              << "请至少选择一种要录制的键盘鼠标动作。";
}

void TestInstanceControl::refusalAnswersWithThePageText()
{
    QFETCH(QString, job);
    QFETCH(QString, text);
    checkRecordOptions(false);
    // A box would hold the instance while the command waits for its answer.
    MessageBoxCloser closer;
    closer.arm(this);
    const Answer answer = handle(toggle(job));
    QCoreApplication::processEvents();
    QCOMPARE(answer.status, ExitStatus::Refused);
    QCOMPARE(answer.text, text);
    QVERIFY2(closer.text.isEmpty(), qPrintable(closer.text));
    QVERIFY(!anyRunning());
    QVERIFY(m_window->isVisible());
}

void TestInstanceControl::recorderWithoutCaptureAnswersWhy()
{
    m_control.reset();
    m_window.reset();
    (*m_backend)->setCaptureAvailable(false); // as on Wayland
    m_window = std::make_unique<MainWidget>();
    m_window->initUi();
    m_control = std::make_unique<InstanceControl>(m_window.get());
    MessageBoxCloser closer;
    closer.arm(this);
    const Answer answer = handle(toggle(QStringLiteral("recorder")));
    QCoreApplication::processEvents();
    QCOMPARE(answer.status, ExitStatus::Refused);
    QCOMPARE(answer.text, RecordWidget::recordingUnavailableText());
    QVERIFY2(closer.text.isEmpty(), qPrintable(closer.text));
    QVERIFY(!m_window->recordWidget()->isRecording());
}

void TestInstanceControl::anotherJobRunning_data()
{
    QTest::addColumn<QString>("job");
    QTest::newRow("keys") << "keys";
    QTest::newRow("recorder") << "recorder";
    QTest::newRow("replay") << "replay:" + RecordingName;
    QTest::newRow("flow") << "flow:Alpha";
}

void TestInstanceControl::anotherJobRunning()
{
    QFETCH(QString, job);
    m_window->keyBoardWidget()->table()->addRow(QStringLiteral("A"), QStringLiteral("10"),
                                                QStringLiteral("10"));
    checkRecordOptions(true);
    QCOMPARE(handle(toggle(QStringLiteral("clicker"))).status, ExitStatus::Done);

    // Its key is silenced while another job runs: nothing changes.
    const Answer answer = handle(toggle(job));
    QCOMPARE(answer.status, ExitStatus::Refused);
    QCOMPARE(answer.text, QStringLiteral("another job runs: the clicker"));
    QVERIFY(m_window->mouseWidget()->isRunning());
    QVERIFY(!m_window->keyBoardWidget()->isRunning());
    QVERIFY(!m_window->recordWidget()->isRunning() && !m_window->recordWidget()->isRecording());
    QVERIFY(!m_window->customWidget()->isRunning());
}

void TestInstanceControl::unknownNameListsTheNamesThere_data()
{
    QTest::addColumn<QString>("job");
    QTest::addColumn<QString>("text");
    QTest::newRow("recording") << "replay:nope"
                               << "no recording is named \"nope\"; the recordings are:\n  " +
                                      RecordingName;
    QTest::newRow("flow") << "flow:alpha"
                          << "no flow is named \"alpha\"; the flows are:\n  Alpha\n  每日 报告";
}

void TestInstanceControl::unknownNameListsTheNamesThere()
{
    QFETCH(QString, job);
    QFETCH(QString, text);
    const Answer answer = handle(toggle(job));
    QCOMPARE(answer.status, ExitStatus::BadUsage);
    QCOMPARE(answer.text, text);
    QVERIFY(!anyRunning());
}

void TestInstanceControl::sameFlowNameTwiceIsRefused()
{
    QVERIFY(writeFlow(QStringLiteral("alpha_copy"), QStringLiteral("Alpha"), 0));
    m_window->customWidget()->loadFlows();
    const Answer answer = handle(toggle(QStringLiteral("flow:Alpha")));
    QVERIFY(
        QFile::remove(QDir(CustomWidget::flowFolder()).filePath(QStringLiteral("alpha_copy.flw"))));
    QCOMPARE(answer.status, ExitStatus::BadUsage);
    QCOMPARE(answer.text, QStringLiteral("several flows are named \"Alpha\"; rename all but one "
                                         "of them on the custom flows page"));
    QVERIFY(!anyRunning());
}

void TestInstanceControl::stopEndsWhateverRuns()
{
    QCOMPARE(handle({Verb::Stop, {}}).text, QStringLiteral("no job runs"));
    QCOMPARE(handle(toggle(QStringLiteral("flow:Alpha"))).status, ExitStatus::Done);
    const Answer answer = handle({Verb::Stop, {}});
    QCOMPARE(answer.status, ExitStatus::Done);
    QCOMPARE(answer.text, QStringLiteral("stopped the flow \"Alpha\""));
    QVERIFY(!anyRunning());
    QVERIFY(m_window->isVisible());

    // A recording is kept when it is stopped.
    checkRecordOptions(true);
    const int recordings = m_window->recordWidget()->tasks().size();
    QCOMPARE(handle(toggle(QStringLiteral("recorder"))).status, ExitStatus::Done);
    QCOMPARE(handle({Verb::Stop, {}}).text, QStringLiteral("stopped a recording"));
    QCOMPARE(m_window->recordWidget()->tasks().size(), recordings + 1);
}

void TestInstanceControl::showAndQuit()
{
    m_window->hide();
    QCOMPARE(handle({Verb::Show, {}}).status, ExitStatus::Done);
    QVERIFY(m_window->isVisible());

    QCOMPARE(handle(toggle(QStringLiteral("clicker"))).status, ExitStatus::Done);
    QCOMPARE(handle({Verb::Quit, {}}).status, ExitStatus::Done);
    // The answer leaves first: the quit comes from the event loop, and stops the job.
    QVERIFY(m_window->mouseWidget()->isRunning());
    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    guard.start(5000);
    QCOMPARE(QCoreApplication::exec(), 0);
    QVERIFY(!m_window->mouseWidget()->isRunning());
    QVERIFY(!AppConfig::runFlag.load());
}

KLIQORA_TEST_MAIN(TestInstanceControl)
#include "tst_instancecontrol.moc"
