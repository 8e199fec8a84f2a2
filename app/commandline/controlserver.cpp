#include "controlserver.h"

#include "exitstatus.h"
#include "logcategory.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QTimer>

namespace {

// How much of a refused request the log shows.
constexpr int ExcerptBytes = 64;

// What a client sent, printable and short, for the log.
QString excerptOf(const QByteArray& bytes)
{
    QString out;
    for (const char byte : bytes.left(ExcerptBytes)) {
        const auto unit = static_cast<unsigned char>(byte);
        if (unit >= 0x20 && unit < 0x7f && unit != '\\')
            out += QLatin1Char(byte);
        else
            out += QStringLiteral("\\x%1").arg(unit, 2, 16, QLatin1Char('0'));
    }
    if (bytes.size() > ExcerptBytes)
        out += QLatin1String("...");
    return out;
}

} // namespace

ControlServer::ControlServer(Handler handler, QObject* parent)
    : QObject(parent), m_handler(std::move(handler)), m_server(new QLocalServer(this))
{
    // Only this user's programs may command the instance.
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &ControlServer::onNewConnection);
}

ControlServer::~ControlServer()
{
    // The sockets go with the server, and a socket that goes reports its disconnect:
    // nothing may reach this half-destroyed object then.
    for (auto it = m_connections.cbegin(); it != m_connections.cend(); ++it)
        it.key()->disconnect(this);
    m_connections.clear();
    delete m_server;
}

bool ControlServer::listen(const QString& name)
{
    if (m_server->isListening())
        return true;
    QLocalServer::removeServer(name);
    if (!m_server->listen(name)) {
        qCWarning(logCategory()).noquote()
            << "Control server cannot listen on " + name + ": " + m_server->errorString();
        return false;
    }
    qCInfo(logCategory()).noquote() << "Control server listening on " + m_server->fullServerName();
    return true;
}

bool ControlServer::isListening() const
{
    return m_server->isListening();
}

QString ControlServer::fullServerName() const
{
    return m_server->fullServerName();
}

void ControlServer::onNewConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection())
        accept(socket);
}

void ControlServer::accept(QLocalSocket* socket)
{
    const bool full = m_connections.size() >= MaxConnections;
    Connection& connection = m_connections[socket];
    connection.deadline = new QTimer(this);
    connection.deadline->setSingleShot(true);
    connect(connection.deadline, &QTimer::timeout, this, [this, socket] { onDeadline(socket); });
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
    connect(socket, &QLocalSocket::disconnected, this, [this, socket] { forget(socket); });
    if (full) {
        refuse(socket, ExitStatus::Refused, QStringLiteral("busy: too many open connections"));
        return;
    }
    connection.deadline->start(m_timeoutMs);
    // A quick client may have written, or even gone, before the signals were connected.
    if (socket->bytesAvailable() > 0)
        onReadyRead(socket);
    if (socket->state() == QLocalSocket::UnconnectedState)
        forget(socket);
}

void ControlServer::onReadyRead(QLocalSocket* socket)
{
    const auto found = m_connections.find(socket);
    if (found == m_connections.end())
        return;
    if (found->answered) {
        socket->readAll(); // one request per connection: the rest is ignored
        return;
    }
    // Never more than one line's worth is held; the rest waits in the socket.
    QByteArray& buffer = found->buffer;
    buffer += socket->read(MaxRequestBufferBytes - buffer.size());
    const int newline = buffer.indexOf('\n');
    if (newline < 0 && buffer.size() < ControlProtocol::MaxRequestBytes)
        return; // more to come
    if (newline < 0 || newline >= ControlProtocol::MaxRequestBytes) {
        refuse(socket, ExitStatus::BadUsage, QStringLiteral("request line too long"), buffer);
        return;
    }
    handleLine(socket, buffer.left(newline));
}

void ControlServer::handleLine(QLocalSocket* socket, const QByteArray& line)
{
    QString problem;
    const std::optional<ControlProtocol::Request> request =
        ControlProtocol::decodeRequest(line, &problem);
    if (!request) {
        refuse(socket, ExitStatus::BadUsage, problem, line);
        return;
    }
    if (m_handling) {
        refuse(socket, ExitStatus::Refused,
               QStringLiteral("busy: another request is being carried out"));
        return;
    }
    qCInfo(logCategory()).noquote() << "Control request: " + QString::fromUtf8(line);
    // A page may run the event loop while it acts; this connection may end meanwhile.
    const QPointer<QLocalSocket> guard(socket);
    m_handling = true;
    const ControlProtocol::Answer result = m_handler(*request);
    m_handling = false;
    if (!guard || !m_connections.contains(socket))
        return;
    answer(socket, result, request->verb == ControlProtocol::Verb::Quit);
}

void ControlServer::answer(QLocalSocket* socket, const ControlProtocol::Answer& answer,
                           bool keepOpen)
{
    const auto found = m_connections.find(socket);
    if (found == m_connections.end())
        return;
    found->answered = true;
    found->buffer.clear();
    if (keepOpen)
        found->deadline->stop(); // closed by the end of the process
    else
        found->deadline->start(m_timeoutMs); // a client that does not read cannot hold it
    // Either call may report the disconnect at once, which forgets the connection.
    socket->write(ControlProtocol::encodeAnswer(answer));
    socket->flush();
    if (!keepOpen)
        socket->disconnectFromServer();
}

void ControlServer::refuse(QLocalSocket* socket, int status, const QString& reason,
                           const QByteArray& excerpt)
{
    QString line = QStringLiteral("Control request refused: ") + reason;
    if (!excerpt.isEmpty())
        line += QStringLiteral(" [") + excerptOf(excerpt) + QLatin1Char(']');
    qCWarning(logCategory()).noquote() << line;
    answer(socket, {status, reason}, false);
}

void ControlServer::onDeadline(QLocalSocket* socket)
{
    const auto found = m_connections.find(socket);
    if (found == m_connections.end())
        return;
    if (found->answered) {
        socket->abort(); // the answer could not leave in time
        return;
    }
    refuse(socket, ExitStatus::BadUsage, QStringLiteral("request not completed in time"),
           found->buffer);
}

void ControlServer::forget(QLocalSocket* socket)
{
    const auto found = m_connections.find(socket);
    if (found == m_connections.end())
        return;
    found->deadline->deleteLater(); // this may be its own time-out
    m_connections.erase(found);
    socket->disconnect(this);
    socket->deleteLater();
}
