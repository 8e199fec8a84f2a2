#include "swayipc.h"

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstring>

namespace {

const char Magic[] = "i3-ipc";
constexpr int MagicSize = 6;
constexpr int HeaderSize = MagicSize + 8; // magic, payload length, type (native order)
constexpr int ConnectTimeoutMs = 2000;
constexpr int ReplyTimeoutMs = 2000;

QByteArray message(quint32 type, const QByteArray& payload)
{
    QByteArray bytes(Magic, MagicSize);
    const quint32 header[2] = {quint32(payload.size()), type};
    bytes.append(reinterpret_cast<const char*>(header), sizeof header);
    return bytes + payload;
}

} // namespace

SwayIpc::SwayIpc(const QString& socketPath)
{
    m_socket.connectToServer(socketPath);
    m_socket.waitForConnected(ConnectTimeoutMs);
}

bool SwayIpc::isConnected() const
{
    return m_socket.state() == QLocalSocket::ConnectedState;
}

bool SwayIpc::takeMessage(quint32& type, QByteArray& payload)
{
    if (m_buffer.size() < HeaderSize)
        return false;
    quint32 header[2];
    std::memcpy(header, m_buffer.constData() + MagicSize, sizeof header);
    if (m_buffer.size() < HeaderSize + int(header[0]))
        return false;
    type = header[1];
    payload = m_buffer.mid(HeaderSize, int(header[0]));
    m_buffer.remove(0, HeaderSize + int(header[0]));
    return true;
}

QByteArray SwayIpc::request(quint32 type, const QByteArray& payload)
{
    if (!isConnected())
        return QByteArray();
    m_socket.write(message(type, payload));
    QElapsedTimer clock;
    clock.start();
    quint32 replyType = 0;
    QByteArray reply;
    while (!takeMessage(replyType, reply)) {
        const int left = ReplyTimeoutMs - int(clock.elapsed());
        if (left <= 0 || !m_socket.waitForReadyRead(left))
            return QByteArray();
        m_buffer += m_socket.readAll();
    }
    return replyType == type ? reply : QByteArray();
}

bool SwayIpc::subscribe(const QByteArray& events, EventHandler handler)
{
    const QByteArray reply = request(Subscribe, events);
    if (!QJsonDocument::fromJson(reply).object().value(QLatin1String("success")).toBool())
        return false;
    m_handler = std::move(handler);
    connect(&m_socket, &QLocalSocket::readyRead, this, &SwayIpc::readEvents);
    readEvents(); // anything that came with the reply
    return true;
}

void SwayIpc::readEvents()
{
    m_buffer += m_socket.readAll();
    quint32 type = 0;
    QByteArray payload;
    while (takeMessage(type, payload)) {
        if (m_handler)
            m_handler(type, payload);
    }
}
