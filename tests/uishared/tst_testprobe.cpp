// The test probe's socket: off without its environment variable; with it, a socket
// named after the program in the given folder, for this user only, that answers
// each question line with one JSON line, starts after the start-up work queued
// before it, takes over a dead program's socket but never a live one's.

#include "testenvironment.h"
#include "testprobe.h"
#include "widgetprobe.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalSocket>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QString thisProgram()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

// The probe's answers to `questions` (sent at once), one JSON object each. The probe
// lives in this process: wait with the event loop running.
QList<QJsonObject> ask(const QString& socketPath, const QByteArray& questions, int answers)
{
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    QList<QJsonObject> received;
    if (!socket.waitForConnected(1000))
        return received;
    socket.write(questions);
    QDeadlineTimer deadline(2000);
    while (received.size() < answers && !deadline.hasExpired()) {
        QTest::qWait(10);
        while (socket.canReadLine())
            received << QJsonDocument::fromJson(socket.readLine()).object();
    }
    return received;
}

} // namespace

class TestTestProbe : public QObject
{
    Q_OBJECT

private slots:
    void offWithoutTheVariable();
    void answersEachLineAfterTheQueuedStartUp();
    void listensForThisUserOnly();
    void takesOverADeadSocketNotALiveOne();
    void dropsAnEndlessQuestion();
};

void TestTestProbe::offWithoutTheVariable()
{
    QTemporaryDir folder;
    qunsetenv(TestProbe::EnvironmentVariable);
    const int children = QCoreApplication::instance()->children().size();
    TestProbe::startFromEnvironment();
    QCOMPARE(QCoreApplication::instance()->children().size(), children);
    QTest::qWait(50);
    QVERIFY(QDir(folder.path()).isEmpty());
}

void TestTestProbe::answersEachLineAfterTheQueuedStartUp()
{
    QTemporaryDir folder;
    qputenv(TestProbe::EnvironmentVariable, QFile::encodeName(folder.path()));
    // Start-up work queued before the probe, as a page loads its files.
    QPushButton button;
    QTimer::singleShot(0, &button, [&button] {
        button.setObjectName(QStringLiteral("btnLoaded"));
        button.setText(QStringLiteral("loaded"));
        button.show();
    });
    TestProbe::startFromEnvironment();
    qunsetenv(TestProbe::EnvironmentVariable);
    const QString path = TestProbe::socketPath(folder.path(), thisProgram());
    QVERIFY(!QFileInfo::exists(path)); // not before the event loop ran the queue

    QTRY_VERIFY(QFileInfo::exists(path));
    // Asked at once: the work queued before it is done.
    const QList<QJsonObject> answers = ask(path, "btnLoaded\nbtnMissing\n", 2);
    QCOMPARE(answers.size(), 2);
    QCOMPARE(answers.at(0), WidgetProbe::describe(QStringLiteral("btnLoaded")));
    QCOMPARE(answers.at(0).value(QLatin1String(WidgetProbe::TextKey)).toString(),
             QStringLiteral("loaded"));
    QCOMPARE(answers.at(1), WidgetProbe::describe(QStringLiteral("btnMissing")));
    qDeleteAll(QCoreApplication::instance()->findChildren<TestProbe*>());
}

void TestTestProbe::listensForThisUserOnly()
{
    QTemporaryDir folder;
    const QString path = TestProbe::socketPath(folder.path(), QStringLiteral("p"));
    TestProbe probe;
    QVERIFY(probe.listen(path));
    const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                      QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    QCOMPARE(QFileInfo(path).permissions() & others, QFile::Permissions());
}

void TestTestProbe::takesOverADeadSocketNotALiveOne()
{
    QTemporaryDir folder;
    const QString path = TestProbe::socketPath(folder.path(), QStringLiteral("p"));
    // What a killed program leaves behind: the socket's file, nobody listening.
    QFile dead(path);
    QVERIFY(dead.open(QIODevice::WriteOnly));
    dead.close();
    TestProbe first;
    QVERIFY(first.listen(path));
    QCOMPARE(ask(path, "x\n", 1).size(), 1);

    TestProbe second;
    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression(QStringLiteral("^Test probe cannot listen")));
    QVERIFY(!second.listen(path));
    QCOMPARE(ask(path, "x\n", 1).size(), 1); // the first one still answers
}

void TestTestProbe::dropsAnEndlessQuestion()
{
    QTemporaryDir folder;
    const QString path = TestProbe::socketPath(folder.path(), QStringLiteral("p"));
    TestProbe probe;
    QVERIFY(probe.listen(path));
    QLocalSocket socket;
    socket.connectToServer(path);
    QVERIFY(socket.waitForConnected(1000));
    socket.write(QByteArray(TestProbe::MaxQuestionBytes + 1, 'x'));
    QVERIFY(socket.waitForBytesWritten(1000));
    QTRY_COMPARE(socket.state(), QLocalSocket::UnconnectedState);
    QCOMPARE(ask(path, "x\n", 1).size(), 1); // and goes on answering others
}

KLIQORA_TEST_MAIN(TestTestProbe)
#include "tst_testprobe.moc"
