#include "controlclient.h"

#include <QDeadlineTimer>
#include <QLocalSocket>
#include <QThread>

namespace {

constexpr int ConnectWaitMs = 1000;
constexpr int RetryPauseMs = 100;

bool connectOrWait(QLocalSocket& socket, const QString& serverName,
                   const std::function<bool()>& instanceRunning, ControlClient::Outcome* failure)
{
    const QDeadlineTimer deadline(ControlClient::StartWaitMs);
    for (;;) {
        socket.connectToServer(serverName);
        if (socket.waitForConnected(ConnectWaitMs))
            return true;
        socket.abort();
        if (!instanceRunning()) {
            *failure = ControlClient::Outcome::NoInstance;
            return false;
        }
        if (deadline.hasExpired()) {
            *failure = ControlClient::Outcome::NoAnswer;
            return false;
        }
        QThread::msleep(RetryPauseMs);
    }
}

// The first line the server writes, without its newline; empty when none came.
QByteArray readLine(QLocalSocket& socket, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    QByteArray received;
    for (;;) {
        received += socket.readAll();
        const int newline = received.indexOf('\n');
        if (newline >= 0)
            return received.left(newline);
        if (received.size() > ControlProtocol::MaxAnswerBytes ||
            socket.state() != QLocalSocket::ConnectedState || deadline.hasExpired())
            return QByteArray();
        socket.waitForReadyRead(int(deadline.remainingTime()));
    }
}

} // namespace

namespace ControlClient {

Result send(const QString& serverName, const ControlProtocol::Request& request,
            const std::function<bool()>& instanceRunning)
{
    QLocalSocket socket;
    Result result;
    if (!connectOrWait(socket, serverName, instanceRunning, &result.outcome))
        return result;
    socket.write(ControlProtocol::encodeRequest(request));
    socket.flush();
    const std::optional<ControlProtocol::Answer> answer =
        ControlProtocol::decodeAnswer(readLine(socket, AnswerWaitMs));
    if (!answer)
        return result; // NoAnswer
    result.outcome = Outcome::Answered;
    result.answer = *answer;
    // The instance keeps the connection until it has ended.
    if (request.verb == ControlProtocol::Verb::Quit &&
        socket.state() == QLocalSocket::ConnectedState)
        socket.waitForDisconnected(QuitWaitMs);
    return result;
}

} // namespace ControlClient
