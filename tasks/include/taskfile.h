#pragma once
// The frame shared by every task file (.kqt): a big-endian QDataStream of version 19
// that starts with a 32-bit magic, then the records of the file's kind. Also where
// each kind of task file lives.

#include <QDataStream>
#include <QFile>
#include <QSaveFile>
#include <QString>

namespace TaskFile {
// 0x8E62D878, stored as a signed 32-bit integer.
constexpr qint32 Magic = static_cast<qint32>(0x8E62D878u);
// Qt 5.13's stream format; files stay readable by every build of either program.
constexpr int StreamVersion = QDataStream::Qt_5_13;

constexpr char MouseFolder[] = "Kliqora/Mouse";
constexpr char KeyboardFolder[] = "Kliqora/Keyboard";
constexpr char RecordFolder[] = "Kliqora/Record";
constexpr char MouseFileName[] = "mouse.kqt";
constexpr char KeyboardFileName[] = "keyboard.kqt";

// Full paths below the configured base folder; the folder is created when missing.
QString mouseFilePath();
QString keyboardFilePath();
QString recordFolderPath();

// The text logged when a file's first record has a type that does not fit its kind:
// the kind's own message followed by "file name: <path>.".
QString wrongKindText(const QString& kindMessage, const QString& path);
} // namespace TaskFile

// Opens a task file for reading and checks its magic. Failures are logged as warnings.
class TaskFileReader
{
public:
    explicit TaskFileReader(const QString& path);
    TaskFileReader(const TaskFileReader&) = delete;
    TaskFileReader& operator=(const TaskFileReader&) = delete;

    // False (and logged) when the file cannot be opened or is not a task file.
    bool open();
    QDataStream& stream() { return m_stream; }
    QString path() const { return m_file.fileName(); }
    // Text of the last failure, as logged; empty when none.
    QString errorText() const { return m_error; }

private:
    QFile m_file;
    QDataStream m_stream;
    QString m_error;
};

// Writes a task file through a temporary file that replaces the old one only when
// everything was written, so a failed save never destroys the previous settings.
class TaskFileWriter
{
public:
    explicit TaskFileWriter(const QString& path);
    TaskFileWriter(const TaskFileWriter&) = delete;
    TaskFileWriter& operator=(const TaskFileWriter&) = delete;

    // Opens the file and writes the magic; false (and logged) when it cannot be opened.
    bool open();
    QDataStream& stream() { return m_stream; }
    // Replaces the target file; false (and logged) on any write error.
    bool commit();
    QString errorText() const { return m_error; }

private:
    void fail(const QString& reason);

    QSaveFile m_file;
    QDataStream m_stream;
    QString m_error;
};
