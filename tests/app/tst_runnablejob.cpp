// What --run accepts: a flow or a recording recognised by its content whatever its
// name, and a one-line reason for everything else, before anything is sent.

#include "appconfig.h"
#include "autorecordtask.h"
#include "commandline/runnablejob.h"
#include "flow.h"
#include "mousetask.h"
#include "operationfactory.h"
#include "recordingbackend.h"
#include "testenvironment.h"
#include "textinputoperation.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestRunnableJob : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void recognisedByContent_data();
    void recognisedByContent();
    void refusedWithAReason_data();
    void refusedWithAReason();
    void notAFile_data();
    void notAFile();

private:
    QString write(const QString& name, const QByteArray& bytes);

    QTemporaryDir m_dir;
    QByteArray m_flow;
    QByteArray m_emptyFlow;
    QByteArray m_recording;
    QByteArray m_clicker;
};

void TestRunnableJob::initTestCase()
{
    OperationFactory::instance()->registerBuiltinOperations();
    const QString scratch = m_dir.filePath(QStringLiteral("scratch"));

    Flow flow;
    flow.setName(QStringLiteral("Typist"));
    auto* op = new TextInputOperation(&flow);
    op->setText(QStringLiteral("hello"));
    flow.operations().append(op);
    QVERIFY(flow.save(scratch));
    m_flow = readAll(scratch);
    QVERIFY(Flow().save(scratch));
    m_emptyFlow = readAll(scratch);

    AutoRecordTask recording;
    for (const int type : {EventType::KeyDown, EventType::KeyUp}) {
        auto event = std::make_unique<KeyboardEvent>(type, 5000000);
        event->vkCode = 'A';
        recording.appendEvent(std::move(event));
    }
    QVERIFY(recording.save(scratch));
    m_recording = readAll(scratch);

    MouseTask clicker;
    clicker.setTaskType(TaskType::LeftClick);
    QVERIFY(clicker.save(scratch));
    m_clicker = readAll(scratch);
}

QString TestRunnableJob::write(const QString& name, const QByteArray& bytes)
{
    const QString path = m_dir.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

void TestRunnableJob::recognisedByContent_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("empty");
    QTest::newRow("flow") << "a.flw"
                          << "flow" << false;
    QTest::newRow("flow named like a recording") << "a.kqt"
                                                 << "flow" << false;
    QTest::newRow("flow without operations") << "empty.flw"
                                             << "empty flow" << true;
    QTest::newRow("recording") << "record.kqt"
                               << "recording" << false;
    QTest::newRow("recording without extension") << "record"
                                                 << "recording" << false;
}

void TestRunnableJob::recognisedByContent()
{
    QFETCH(QString, name);
    QFETCH(QString, kind);
    QFETCH(bool, empty);
    const QByteArray bytes = kind == QLatin1String("flow")         ? m_flow
                             : kind == QLatin1String("empty flow") ? m_emptyFlow
                                                                   : m_recording;
    QString problem;
    const std::unique_ptr<RunnableJob> job = loadRunnableJob(write(name, bytes), 1.0, &problem);
    QVERIFY2(job, qPrintable(problem));
    QCOMPARE(job->isEmpty(), empty);

    // What it sends is what the file holds.
    ScopedRecordingBackend backend;
    AppConfig::runFlag = true;
    job->runOnce();
    AppConfig::runFlag = false;
    QCOMPARE(backend->callCount() > 0, !empty);
}

void TestRunnableJob::refusedWithAReason_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("problem");
    QTest::newRow("empty file") << "empty.flw" << QByteArray() << "the file is empty";
    QTest::newRow("shorter than the magic")
        << "short.flw" << QByteArray("\x8e\x62") << "the file is cut off";
    QTest::newRow("text") << "notes.flw" << QByteArray("hello world\n")
                          << "it is neither a flow nor a recording of Kliqora";
    QTest::newRow("flow cut in its name")
        << "cut.flw" << m_flow.left(10) << "the flow file is cut off";
    QTest::newRow("flow cut before its count")
        << "cut.flw" << m_emptyFlow.left(m_emptyFlow.size() - 2) << "the flow file is cut off";
    QTest::newRow("flow cut in an operation")
        << "cut.flw" << m_flow.left(m_flow.size() - 3)
        << "the flow file is damaged: an operation in it is cut off or of an unknown kind";
    QByteArray unknownOperation = m_flow;
    // "text_input" becomes "next_input" (UTF-16 in the file).
    unknownOperation.replace(QByteArray("\0t\0e\0x\0t", 8), QByteArray("\0n\0e\0x\0t", 8));
    QTest::newRow("flow with an unknown operation")
        << "unknown.flw" << unknownOperation
        << "the flow file is damaged: an operation in it is cut off or of an unknown kind";
    QTest::newRow("recording cut in its events")
        << "cut.kqt" << m_recording.left(m_recording.size() - 8) << "the recording file is cut off";
    QTest::newRow("recording cut before its kind")
        << "cut.kqt" << m_recording.left(6) << "the file is cut off";
    QTest::newRow("clicker settings")
        << "mouse.kqt" << m_clicker << "it holds the settings of another job, not a recording";
}

void TestRunnableJob::refusedWithAReason()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, problem);
    QString reported;
    QVERIFY(!loadRunnableJob(write(name, bytes), 1.0, &reported));
    QCOMPARE(reported, problem);
}

void TestRunnableJob::notAFile_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("problem");
    QTest::newRow("missing") << m_dir.filePath(QStringLiteral("missing.flw")) << "no such file";
    QTest::newRow("folder") << m_dir.path() << "it is a folder";
#ifdef Q_OS_UNIX
    QTest::newRow("device") << "/dev/null"
                            << "it is not a regular file";
#endif
}

void TestRunnableJob::notAFile()
{
    QFETCH(QString, path);
    QFETCH(QString, problem);
    QString reported;
    QVERIFY(!loadRunnableJob(path, 1.0, &reported));
    QCOMPARE(reported, problem);
}

KLIQORA_TEST_GUILESS_MAIN(TestRunnableJob)
#include "tst_runnablejob.moc"
