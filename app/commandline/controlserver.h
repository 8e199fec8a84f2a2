#pragma once
// The running instance's end of the control socket (see controlprotocol.h). Each
// connection carries one request: its answer is written and the connection is
// closed, except after "quit", whose sender learns that the instance has ended when
// the connection goes with the process.
//
// Nothing a client sends may crash or hold up the instance: a line that is too
// long, malformed or not finished in time gets an error answer (status 2) and is
// logged, and the connection is dropped; beyond MaxConnections at once a new
// connection is refused the same way. A request that arrives while another one is
// carried out (a page left the event loop running) is refused as busy.

#include "controlprotocol.h"

#include <QHash>
#include <QObject>

#include <functional>

class QLocalServer;
class QLocalSocket;
class QTimer;

class ControlServer : public QObject
{
    Q_OBJECT

public:
    using Handler = std::function<ControlProtocol::Answer(const ControlProtocol::Request&)>;

    static constexpr int MaxConnections = 32;
    // From the connection to its newline; and for the answer to leave once written.
    static constexpr int DefaultTimeoutMs = 2000;

    explicit ControlServer(Handler handler, QObject* parent = nullptr);
    ~ControlServer() override;

    // Listens on `name`. A socket file left there by an instance that died is
    // removed first: only the holder of the single-instance lock listens.
    bool listen(const QString& name);
    bool isListening() const;
    QString fullServerName() const;

    // Open connections, answered or not.
    int connectionCount() const { return int(m_connections.size()); }
    void setTimeoutMs(int ms) { m_timeoutMs = ms; }

private:
    struct Connection
    {
        QByteArray buffer;
        QTimer* deadline = nullptr;
        bool answered = false;
    };

    void onNewConnection();
    void accept(QLocalSocket* socket);
    void onReadyRead(QLocalSocket* socket);
    void onDeadline(QLocalSocket* socket);
    void forget(QLocalSocket* socket);
    void handleLine(QLocalSocket* socket, const QByteArray& line);
    // Writes the answer; closes the connection unless `keepOpen`.
    void answer(QLocalSocket* socket, const ControlProtocol::Answer& answer, bool keepOpen);
    // An answer with `status` and `reason`, a log line, and the connection closed.
    void refuse(QLocalSocket* socket, int status, const QString& reason,
                const QByteArray& excerpt = {});

    // One line and its newline, plus a byte that shows a line longer than allowed.
    static constexpr int MaxRequestBufferBytes = ControlProtocol::MaxRequestBytes + 1;

    Handler m_handler;
    QLocalServer* m_server;
    QHash<QLocalSocket*, Connection> m_connections;
    int m_timeoutMs = DefaultTimeoutMs;
    bool m_handling = false;
};
