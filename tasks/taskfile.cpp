#include "taskfile.h"

#include "appconfig.h"
#include "applogger.h"

#include <QCoreApplication>
#include <QDir>

namespace {

QString filePath(const char* folder, const char* fileName)
{
    const QString dir = AppConfig::taskFolder(QString::fromLatin1(folder));
    return QDir::toNativeSeparators(
        QDir(QDir::fromNativeSeparators(dir)).filePath(QString::fromLatin1(fileName)));
}

QString openFailure(const QString& what, const QString& path, const QString& reason)
{
    return what + QStringLiteral(" %1:\n%2.").arg(path, reason);
}

void prepareStream(QDataStream& stream)
{
    stream.setVersion(TaskFile::StreamVersion);
    stream.setByteOrder(QDataStream::BigEndian);
}

} // namespace

QString TaskFile::mouseFilePath()
{
    return filePath(MouseFolder, MouseFileName);
}

QString TaskFile::keyboardFilePath()
{
    return filePath(KeyboardFolder, KeyboardFileName);
}

QString TaskFile::recordFolderPath()
{
    return AppConfig::taskFolder(QString::fromLatin1(RecordFolder));
}

QString TaskFile::wrongKindText(const QString& kindMessage, const QString& path)
{
    return kindMessage + QStringLiteral("file name: %1.").arg(path);
}

TaskFileReader::TaskFileReader(const QString& path) : m_file(path) {}

bool TaskFileReader::open()
{
    if (!m_file.open(QIODevice::ReadOnly)) {
        m_error = openFailure(QCoreApplication::translate("TaskFile", "无法读取文件"),
                              m_file.fileName(), m_file.errorString());
        qCWarning(logCategory()).noquote() << m_error;
        return false;
    }
    m_stream.setDevice(&m_file);
    prepareStream(m_stream);
    qint32 magic = 0;
    m_stream >> magic;
    if (m_stream.status() != QDataStream::Ok || magic != TaskFile::Magic) {
        m_error = QCoreApplication::translate("TaskFile", "要载入的文件不是本应用的文件.") +
                  QStringLiteral("file name: %1.").arg(m_file.fileName());
        qCWarning(logCategory()).noquote() << m_error;
        return false;
    }
    return true;
}

TaskFileWriter::TaskFileWriter(const QString& path) : m_file(path) {}

bool TaskFileWriter::open()
{
    if (!m_file.open(QIODevice::WriteOnly)) {
        fail(m_file.errorString());
        return false;
    }
    m_stream.setDevice(&m_file);
    prepareStream(m_stream);
    m_stream << TaskFile::Magic;
    return true;
}

bool TaskFileWriter::commit()
{
    if (!m_file.isOpen())
        return false;
    if (m_stream.status() != QDataStream::Ok) {
        fail(m_file.errorString());
        m_file.cancelWriting();
        return false;
    }
    if (!m_file.commit()) {
        fail(m_file.errorString());
        return false;
    }
    return true;
}

void TaskFileWriter::fail(const QString& reason)
{
    m_error = openFailure(QCoreApplication::translate("TaskFile", "无法写入文件"),
                          m_file.fileName(), reason);
    qCWarning(logCategory()).noquote() << m_error;
}
