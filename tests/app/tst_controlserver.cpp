// The running instance's control socket, through real local sockets: one request per
// connection, and nothing a client sends or fails to send holds up or breaks the
// server (malformed and endless lines, silent clients, floods, too many clients).

#include "commandline/controlserver.h"
#include "commandline/exitstatus.h"
#include "testenvironment.h"

#include <QDir>
#include <QEventLoop>
#include <QLocalSocket>
#include <QTimer>
#include <QtTest>

#include <memory>
#include <vector>

using ControlProtocol::Answer;
using ControlProtocol::Request;
using ControlProtocol::Verb;

namespace {

constexpr int ShortTimeoutMs = 300;
constexpr int WaitMs = 5000;

// One client: what it received, and whether the server has closed the connection.
class Client
{
public:
    explicit Client(const QString& serverName)
    {
        QObject::connect(&m_socket, &QLocalSocket::readyRead,
                         [this] { m_received += m_socket.readAll(); });
        QObject::connect(&m_socket, &QLocalSocket::connected, [this] { flush(); });
        m_socket.connectToServer(serverName);
    }

    // Sent once connected: with many clients at once the server's backlog is full and
    // a connection takes a moment.
    void send(const QByteArray& bytes)
    {
        m_pending += bytes;
        if (m_socket.state() == QLocalSocket::ConnectedState)
            flush();
    }
    bool waitForClose(int ms = WaitMs)
    {
        return QTest::qWaitFor(
            [this] { return m_socket.state() == QLocalSocket::UnconnectedState; }, ms);
    }
    bool waitForAnswer(int ms = WaitMs)
    {
        return QTest::qWaitFor([this] { return m_received.contains('\n'); }, ms);
    }
    QByteArray received() const { return m_received; }
    bool isOpen() const { return m_socket.state() == QLocalSocket::ConnectedState; }

private:
    void flush()
    {
        m_socket.write(m_pending);
        m_socket.flush();
        m_pending.clear();
    }

    QLocalSocket m_socket;
    QByteArray m_pending;
    QByteArray m_received;
};

} // namespace

class TestControlServer : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void oneRequestPerConnection_data();
    void oneRequestPerConnection();
    void unfinishedOrSilentClientIsDropped_data();
    void unfinishedOrSilentClientIsDropped();
    void quitAnswerStaysOpenUntilTheServerGoes();
    void tooManyConnectionsAreRefused();
    void floodLeavesTheServerResponsive();
    void requestWhileAnotherIsCarriedOutIsBusy();

private:
    std::unique_ptr<ControlServer> m_server;
    std::vector<Request> m_handled;
    std::function<void()> m_whileHandling;
    QString m_name;
};

void TestControlServer::init()
{
    m_handled.clear();
    m_whileHandling = nullptr;
    m_server = std::make_unique<ControlServer>([this](const Request& request) {
        m_handled.push_back(request);
        if (m_whileHandling)
            m_whileHandling();
        return Answer{ExitStatus::Done,
                      QStringLiteral("done ") + QString::number(int(request.verb))};
    });
    m_name = QDir::temp().filePath(QStringLiteral("kliqora-control-test"));
    QVERIFY(m_server->listen(m_name));
}

void TestControlServer::cleanup()
{
    m_server.reset();
}

void TestControlServer::oneRequestPerConnection_data()
{
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<int>("handled");
    QTest::newRow("show") << QByteArray("show\n") << QByteArray("0 done 2\n") << 1;
    QTest::newRow("CR LF") << QByteArray("stop\r\n") << QByteArray("0 done 1\n") << 1;
    QTest::newRow("a second line is ignored")
        << QByteArray("show\nquit\n") << QByteArray("0 done 2\n") << 1;
    QTest::newRow("unknown") << QByteArray("reboot\n") << QByteArray("2 unknown request\n") << 0;
    QTest::newRow("not UTF-8") << QByteArray("toggle flow:\xff\n") << QByteArray("2 not UTF-8\n")
                               << 0;
    QTest::newRow("NUL") << QByteArray("stop\0\n", 6)
                         << QByteArray("2 control character in the request\n") << 0;
    QTest::newRow("endless line") << QByteArray(1024 * 1024, 'x')
                                  << QByteArray("2 request line too long\n") << 0;
    QTest::newRow("line just too long") << QByteArray(ControlProtocol::MaxRequestBytes, 'x') + '\n'
                                        << QByteArray("2 request line too long\n") << 0;
}

void TestControlServer::oneRequestPerConnection()
{
    QFETCH(QByteArray, sent);
    QFETCH(QByteArray, answer);
    QFETCH(int, handled);
    Client client(m_name);
    client.send(sent);
    QVERIFY(client.waitForClose());
    QCOMPARE(client.received(), answer);
    QCOMPARE(int(m_handled.size()), handled);
    QTRY_COMPARE(m_server->connectionCount(), 0);
}

void TestControlServer::unfinishedOrSilentClientIsDropped_data()
{
    QTest::addColumn<QByteArray>("sent");
    QTest::newRow("silent") << QByteArray();
    QTest::newRow("no newline") << QByteArray("stop");
}

void TestControlServer::unfinishedOrSilentClientIsDropped()
{
    QFETCH(QByteArray, sent);
    m_server->setTimeoutMs(ShortTimeoutMs);
    Client client(m_name);
    client.send(sent);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(client.waitForClose());
    QVERIFY2(clock.elapsed() >= ShortTimeoutMs - 50, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(client.received(), QByteArray("2 request not completed in time\n"));
    QVERIFY(m_handled.empty());
    QTRY_COMPARE(m_server->connectionCount(), 0);
}

void TestControlServer::quitAnswerStaysOpenUntilTheServerGoes()
{
    m_server->setTimeoutMs(ShortTimeoutMs);
    Client client(m_name);
    client.send("quit\n");
    QVERIFY(client.waitForAnswer());
    QCOMPARE(client.received(), QByteArray("0 done 3\n"));
    // Its sender learns of the end of the instance when the connection goes with it.
    QTest::qWait(2 * ShortTimeoutMs);
    QVERIFY(client.isOpen());
    m_server.reset();
    QVERIFY(client.waitForClose());
}

void TestControlServer::tooManyConnectionsAreRefused()
{
    m_server->setTimeoutMs(ShortTimeoutMs);
    std::vector<std::unique_ptr<Client>> idle;
    for (int i = 0; i < ControlServer::MaxConnections; ++i)
        idle.push_back(std::make_unique<Client>(m_name));
    QTRY_COMPARE(m_server->connectionCount(), ControlServer::MaxConnections);

    Client refused(m_name);
    QVERIFY(refused.waitForClose());
    QCOMPARE(refused.received(), QByteArray("1 busy: too many open connections\n"));

    // The idle ones time out, and the server takes requests again.
    QTRY_COMPARE_WITH_TIMEOUT(m_server->connectionCount(), 0, WaitMs);
    Client next(m_name);
    next.send("show\n");
    QVERIFY(next.waitForClose());
    QCOMPARE(next.received(), QByteArray("0 done 2\n"));
}

void TestControlServer::floodLeavesTheServerResponsive()
{
    constexpr int Clients = 3 * ControlServer::MaxConnections;
    std::vector<std::unique_ptr<Client>> flood;
    for (int i = 0; i < Clients; ++i) {
        flood.push_back(std::make_unique<Client>(m_name));
        flood.back()->send(QByteArray(i % 7 + 1, char(i)) + "\n" + QByteArray(i % 50, '\n'));
    }
    for (const auto& client : flood)
        QVERIFY(client->waitForClose());
    QTRY_COMPARE(m_server->connectionCount(), 0);
    QVERIFY(m_handled.empty());

    Client next(m_name);
    next.send("stop\n");
    QVERIFY(next.waitForClose());
    QCOMPARE(next.received(), QByteArray("0 done 1\n"));
}

void TestControlServer::requestWhileAnotherIsCarriedOutIsBusy()
{
    // The first request's job runs the event loop (a page may), during which a second
    // request arrives.
    std::unique_ptr<Client> second;
    m_whileHandling = [&] {
        m_whileHandling = nullptr;
        second = std::make_unique<Client>(m_name);
        second->send("show\n");
        QVERIFY(second->waitForClose());
    };
    Client first(m_name);
    first.send("stop\n");
    QVERIFY(first.waitForClose());
    QCOMPARE(first.received(), QByteArray("0 done 1\n"));
    QVERIFY(second);
    QCOMPARE(second->received(), QByteArray("1 busy: another request is being carried out\n"));
    QCOMPARE(int(m_handled.size()), 1);
}

KLIQORA_TEST_GUILESS_MAIN(TestControlServer)
#include "tst_controlserver.moc"
