#include "closenotice.h"

#include "logcategory.h"

#include <QLocalServer>
#include <QLocalSocket>

namespace {
constexpr int ConnectTimeoutMs = 1000;
constexpr int WriteTimeoutMs = 30000;
} // namespace

bool sendCloseNotice(const QString& filePath, const QString& serverName)
{
    QLocalSocket socket;
    socket.connectToServer(serverName, QIODevice::ReadWrite);
    if (!socket.waitForConnected(ConnectTimeoutMs))
        return false;
    const QByteArray bytes = filePath.toUtf8();
    bool written = socket.write(bytes) == bytes.size();
    while (written && socket.bytesToWrite() > 0)
        written = socket.waitForBytesWritten(WriteTimeoutMs);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(ConnectTimeoutMs);
    return written;
}

CloseNoticeServer::CloseNoticeServer(QObject* parent)
    : QObject(parent), m_server(new QLocalServer(this))
{
    // Only this user's programs may report a closed file.
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &CloseNoticeServer::onNewConnection);
}

CloseNoticeServer::~CloseNoticeServer() = default;

bool CloseNoticeServer::listen(const QString& name)
{
    if (m_server->isListening())
        return true;
    QLocalServer::removeServer(name);
    if (!m_server->listen(name)) {
        qCWarning(logCategory()).noquote()
            << "Designer notice server cannot listen on " + name + ": " + m_server->errorString();
        return false;
    }
    return true;
}

bool CloseNoticeServer::isListening() const
{
    return m_server->isListening();
}

QString CloseNoticeServer::fullServerName() const
{
    return m_server->fullServerName();
}

void CloseNoticeServer::onNewConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        m_buffers.insert(socket, QByteArray());
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QLocalSocket::disconnected, this,
                [this, socket] { onDisconnected(socket); });
        // A quick sender may have written and gone before these connections existed.
        if (socket->bytesAvailable() > 0)
            onReadyRead(socket);
        if (socket->state() == QLocalSocket::UnconnectedState)
            onDisconnected(socket);
    }
}

void CloseNoticeServer::onReadyRead(QLocalSocket* socket)
{
    auto buffer = m_buffers.find(socket);
    if (buffer == m_buffers.end())
        return;
    // The path has no terminator: it is whole only when the sender disconnects.
    buffer->append(socket->readAll());
    if (buffer->size() > MaxNoticeBytes) {
        qCWarning(logCategory()) << "Designer notice too long, connection dropped";
        m_buffers.erase(buffer);
        socket->abort();
    }
}

void CloseNoticeServer::onDisconnected(QLocalSocket* socket)
{
    auto buffer = m_buffers.find(socket);
    if (buffer != m_buffers.end()) {
        const QByteArray bytes = *buffer + socket->readAll();
        m_buffers.erase(buffer);
        emit noticeReceived(QString::fromUtf8(bytes));
    }
    socket->deleteLater();
}
