// The designer's close notice, both ends: the bytes the designer sends, the main
// program's server reading each connection to its end and reporting its path once,
// dropping what cannot be a path, listening per user and taking over a stale socket.

#include "closenotice.h"
#include "testenvironment.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

// A sender that writes `parts` one after the other, each read on its own by the
// server, and disconnects.
bool sendInParts(const QString& serverName, const QList<QByteArray>& parts)
{
    QLocalSocket socket;
    socket.connectToServer(serverName);
    if (!socket.waitForConnected(1000))
        return false;
    for (const QByteArray& part : parts) {
        socket.write(part);
        if (!socket.waitForBytesWritten(1000))
            return false;
        QTest::qWait(50);
    }
    socket.disconnectFromServer();
    return true;
}

} // namespace

class TestCloseNotice : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void clientWritesThePathAsUtf8();
    void clientWithoutListenerGivesUpQuickly();
    void serverNameIsPerUser();
    void serverReportsEachNoticeOnceWhole_data();
    void serverReportsEachNoticeOnceWhole();
    void serverReportsConnectionsApart();
    void serverDropsWhatCannotBeAPath();
    void serverListensForThisUserOnly();
    void serverTakesOverAStaleSocket();
    void clientAndServerAgree();

private:
    QString serverName() const { return m_dir.filePath(QStringLiteral("notice")); }

    QTemporaryDir m_dir;
};

void TestCloseNotice::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

void TestCloseNotice::clientWritesThePathAsUtf8()
{
    QLocalServer server;
    QVERIFY(server.listen(serverName()));
    const QString path = QStringLiteral("/home/u/我的 流程/a b.flw");
    QByteArray received;
    connect(&server, &QLocalServer::newConnection, this, [&] {
        QLocalSocket* socket = server.nextPendingConnection();
        connect(socket, &QLocalSocket::readyRead, this,
                [&received, socket] { received += socket->readAll(); });
    });
    bool sent = false;
    // The client blocks; run it from the loop so the server can accept.
    QTimer::singleShot(0, this, [&] { sent = sendCloseNotice(path, serverName()); });
    QTRY_VERIFY(sent);
    QTRY_COMPARE(received, path.toUtf8());
}

void TestCloseNotice::clientWithoutListenerGivesUpQuickly()
{
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!sendCloseNotice(QStringLiteral("/x.flw"), m_dir.filePath(QStringLiteral("none"))));
    QVERIFY(clock.elapsed() < 1500);
}

void TestCloseNotice::serverNameIsPerUser()
{
#ifdef Q_OS_WIN
    QCOMPARE(designerNotifyServerName(), QStringLiteral("DesignerOkNotifyServer217490"));
#else
    QTemporaryDir runtime;
    const QByteArray old = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    const QString name = designerNotifyServerName();
    qputenv("XDG_RUNTIME_DIR", old);
    QCOMPARE(name, runtime.path() + QStringLiteral("/DesignerOkNotifyServer217490"));
#endif
}

void TestCloseNotice::serverReportsEachNoticeOnceWhole_data()
{
    QTest::addColumn<QList<QByteArray>>("parts");
    QTest::addColumn<QString>("path");
    QTest::newRow("one write") << QList<QByteArray>{"/a/b.flw"} << "/a/b.flw";
    // "/a/b.flw" is the beginning of the whole path: never taken for it.
    QTest::newRow("two writes") << QList<QByteArray>{"/a/b.flw", ".flw"} << "/a/b.flw.flw";
    QTest::newRow("a character split between writes")
        << QList<QByteArray>{QByteArray("/\xe6\xb5", 3), QByteArray("\x81.flw", 5)}
        << QStringLiteral("/流.flw");
    QTest::newRow("nothing") << QList<QByteArray>{} << "";
}

void TestCloseNotice::serverReportsEachNoticeOnceWhole()
{
    QFETCH(QList<QByteArray>, parts);
    QFETCH(QString, path);
    CloseNoticeServer server;
    QVERIFY(server.listen(serverName()));
    QSignalSpy notices(&server, &CloseNoticeServer::noticeReceived);
    QVERIFY(sendInParts(serverName(), parts));
    QTRY_COMPARE(notices.count(), 1);
    QCOMPARE(notices.first().first().toString(), path);
    QTest::qWait(100);
    QCOMPARE(notices.count(), 1);
}

void TestCloseNotice::serverReportsConnectionsApart()
{
    CloseNoticeServer server;
    QVERIFY(server.listen(serverName()));
    QSignalSpy notices(&server, &CloseNoticeServer::noticeReceived);
    // Two senders at once, their writes interleaved.
    QLocalSocket first, second;
    for (QLocalSocket* socket : {&first, &second}) {
        socket->connectToServer(serverName());
        QVERIFY(socket->waitForConnected(1000));
    }
    first.write("/one/");
    second.write("/two/");
    QVERIFY(first.waitForBytesWritten(1000) && second.waitForBytesWritten(1000));
    QTest::qWait(50);
    first.write("1.flw");
    second.write("2.flw");
    QVERIFY(first.waitForBytesWritten(1000) && second.waitForBytesWritten(1000));
    second.disconnectFromServer();
    first.disconnectFromServer();
    QTRY_COMPARE(notices.count(), 2);
    QStringList paths{notices.at(0).first().toString(), notices.at(1).first().toString()};
    paths.sort();
    QCOMPARE(paths, (QStringList{"/one/1.flw", "/two/2.flw"}));
}

void TestCloseNotice::serverDropsWhatCannotBeAPath()
{
    CloseNoticeServer server;
    QVERIFY(server.listen(serverName()));
    QSignalSpy notices(&server, &CloseNoticeServer::noticeReceived);
    QTest::ignoreMessage(QtWarningMsg, "Designer notice too long, connection dropped");
    const QByteArray flood(CloseNoticeServer::MaxNoticeBytes + 1, 'x');
    sendInParts(serverName(), {flood}); // the server may cut the sender off
    QTest::qWait(300);
    QCOMPARE(notices.count(), 0);
    // The server goes on serving the next sender.
    QVERIFY(sendInParts(serverName(), {"/a.flw"}));
    QTRY_COMPARE(notices.count(), 1);
    QCOMPARE(notices.first().first().toString(), QStringLiteral("/a.flw"));
}

void TestCloseNotice::serverListensForThisUserOnly()
{
    CloseNoticeServer server;
    QVERIFY(server.listen(serverName()));
    QVERIFY(server.isListening());
    QVERIFY(server.listen(serverName())); // already listening: still fine
    QCOMPARE(server.fullServerName(), serverName());
    const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                      QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    QCOMPARE(QFileInfo(server.fullServerName()).permissions() & others, QFile::Permissions());
}

void TestCloseNotice::serverTakesOverAStaleSocket()
{
    // What a crashed program leaves behind: the socket's file, nobody listening.
    QFile stale(serverName());
    QVERIFY(stale.open(QIODevice::WriteOnly));
    stale.close();
    CloseNoticeServer server;
    QVERIFY(server.listen(serverName()));
    QSignalSpy notices(&server, &CloseNoticeServer::noticeReceived);
    QVERIFY(sendInParts(serverName(), {"/a.flw"}));
    QTRY_COMPARE(notices.count(), 1);
}

void TestCloseNotice::clientAndServerAgree()
{
    CloseNoticeServer server;
    QVERIFY(server.listen(serverName()));
    QSignalSpy notices(&server, &CloseNoticeServer::noticeReceived);
    const QString path = QStringLiteral("/home/u/我的 流程/a b.flw");
    bool sent = false;
    QTimer::singleShot(0, this, [&] { sent = sendCloseNotice(path, serverName()); });
    QTRY_VERIFY(sent);
    QTRY_COMPARE(notices.count(), 1);
    QCOMPARE(notices.first().first().toString(), path);
}

KLIQORA_TEST_GUILESS_MAIN(TestCloseNotice)
#include "tst_closenotice.moc"
