#pragma once
// The designer's close notice: when the designer closes a flow file it tells the
// main program, which then reloads that flow. The designer connects to the main
// program's local server, writes the file path as UTF-8 with nothing around it and
// disconnects; the disconnect ends the path.

#include "designernotify.h"

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>

class QLocalServer;
class QLocalSocket;

// Connects to the main program's local server (waiting at most 1 s) and writes the
// path as UTF-8 with nothing around it. False when nobody listens or the write fails;
// that is not an error, the main program may simply not be running.
bool sendCloseNotice(const QString& filePath, const QString& serverName);

// The main program's end: reads each connection until its sender disconnects and
// reports the path once. Only this user's programs can connect.
class CloseNoticeServer : public QObject
{
    Q_OBJECT

public:
    // A notice is one file path; anything far longer is not from the designer and
    // its connection is dropped unreported.
    static constexpr int MaxNoticeBytes = 64 * 1024;

    explicit CloseNoticeServer(QObject* parent = nullptr);
    ~CloseNoticeServer() override;

    // Listens under `name`; the socket a crashed program left behind is taken over.
    // True when listening (also when it was already).
    bool listen(const QString& name = designerNotifyServerName());
    bool isListening() const;
    // Where it listens: on Unix the socket file's path.
    QString fullServerName() const;

signals:
    // The designer closed `filePath` (exactly as it was sent).
    void noticeReceived(const QString& filePath);

private:
    void onNewConnection();
    void onReadyRead(QLocalSocket* socket);
    void onDisconnected(QLocalSocket* socket);

    QLocalServer* m_server;
    // What each open connection has sent so far.
    QHash<QLocalSocket*, QByteArray> m_buffers;
};
