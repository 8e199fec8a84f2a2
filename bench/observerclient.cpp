#include "observerclient.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

namespace {
constexpr int StartTimeoutMs = 10000;
constexpr int AnswerTimeoutMs = 10000;
} // namespace

ObserverClient::ObserverClient(const QString& program) : m_program(program)
{
    m_dumpPath = QDir::temp().filePath(
        QStringLiteral("kliqora-bench-%1.events").arg(QCoreApplication::applicationPid()));
}

ObserverClient::~ObserverClient()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.write("quit\n");
        if (!m_process.waitForFinished(3000))
            m_process.kill();
        m_process.waitForFinished(3000);
    }
    QFile::remove(m_dumpPath);
}

bool ObserverClient::start()
{
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.setReadChannel(QProcess::StandardOutput);
    m_process.start(m_program, QStringList());
    if (!m_process.waitForStarted(StartTimeoutMs))
        return false;
    while (!m_process.canReadLine()) {
        if (!m_process.waitForReadyRead(StartTimeoutMs))
            return false;
    }
    return m_process.readLine().trimmed() == "ready";
}

void ObserverClient::mark()
{
    m_process.write("mark\n");
    m_process.waitForBytesWritten(AnswerTimeoutMs);
    // Input sent before the observer has cleared its list would be dropped with it.
    readAnswer();
}

bool ObserverClient::readAnswer()
{
    while (!m_process.canReadLine()) {
        if (!m_process.waitForReadyRead(AnswerTimeoutMs))
            return false;
    }
    return m_process.readLine().trimmed() == "ok";
}

QVector<SeenEvent> ObserverClient::collect(int settleMs)
{
    QThread::msleep(unsigned(settleMs));
    QVector<SeenEvent> events;
    m_process.write(QByteArray("dump ") + m_dumpPath.toLocal8Bit() + '\n');
    m_process.waitForBytesWritten(AnswerTimeoutMs);
    if (!readAnswer())
        return events;
    QFile file(m_dumpPath);
    if (!file.open(QIODevice::ReadOnly))
        return events;
    while (!file.atEnd()) {
        const QList<QByteArray> f = file.readLine().trimmed().split(' ');
        if (f.size() != 6)
            continue;
        SeenEvent e;
        e.source = f[0].isEmpty() ? '?' : f[0][0];
        e.kind = QString::fromLatin1(f[1]);
        e.detail = f[2].toUInt();
        e.serverMs = uint32_t(f[3].toULongLong());
        e.steadyNs = f[4].toLongLong();
        e.codepoint = f[5].toUInt();
        events.append(e);
    }
    return events;
}

QVector<SeenEvent> ObserverClient::select(const QVector<SeenEvent>& all, char source,
                                          const QString& kind)
{
    QVector<SeenEvent> out;
    for (const SeenEvent& e : all) {
        if (e.source == source && e.kind == kind)
            out.append(e);
    }
    return out;
}
