#include "closenotice.h"

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
