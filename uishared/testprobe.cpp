#include "testprobe.h"

#include "logcategory.h"
#include "widgetprobe.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

namespace {

constexpr int LiveCheckTimeoutMs = 200;

bool someoneAnswers(const QString& path)
{
    QLocalSocket socket;
    socket.connectToServer(path);
    return socket.waitForConnected(LiveCheckTimeoutMs);
}

} // namespace

QString TestProbe::socketPath(const QString& folder, const QString& programName)
{
    return QDir(folder).filePath(programName);
}

void TestProbe::startFromEnvironment()
{
    const QString folder = qEnvironmentVariable(EnvironmentVariable);
    if (folder.isEmpty())
        return;
    const QString program = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    auto* probe = new TestProbe(QCoreApplication::instance());
    // Queued behind the start-up work queued so far (posted events run in order).
    QTimer::singleShot(0, probe, [probe, path = socketPath(folder, program)] {
        if (probe->listen(path))
            qCInfo(logCategory()).noquote() << "Test probe listening on " + path;
    });
}

TestProbe::TestProbe(QObject* parent) : QObject(parent), m_server(new QLocalServer(this))
{
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &TestProbe::onNewConnection);
}

TestProbe::~TestProbe() = default;

bool TestProbe::listen(const QString& path)
{
    // Two programs of one name under one test: the first keeps the socket.
    if (someoneAnswers(path)) {
        qCWarning(logCategory()).noquote()
            << "Test probe cannot listen on " + path + ": another program answers there";
        return false;
    }
    QLocalServer::removeServer(path); // what a killed program left behind
    if (m_server->listen(path))
        return true;
    qCWarning(logCategory()).noquote()
        << "Test probe cannot listen on " + path + ": " + m_server->errorString();
    return false;
}

void TestProbe::onNewConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (socket->bytesAvailable() > 0)
            onReadyRead(socket);
    }
}

void TestProbe::onReadyRead(QLocalSocket* socket)
{
    while (socket->canReadLine()) {
        const QString path = QString::fromUtf8(socket->readLine()).trimmed();
        const QJsonDocument answer(WidgetProbe::describe(path));
        socket->write(answer.toJson(QJsonDocument::Compact) + '\n');
    }
    if (socket->bytesAvailable() > MaxQuestionBytes)
        socket->abort();
}
