#include "namelisting.h"

#include "commandoptions.h"
#include "flow.h"
#include "pages/customwidget.h"
#include "task.h"
#include "taskfile.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The files a page lists, oldest first.
QFileInfoList filesIn(const QString& folder, const QString& pattern)
{
    const QDir dir(QDir::fromNativeSeparators(folder));
    return dir.entryInfoList({pattern}, QDir::Files | QDir::NoSymLinks,
                             QDir::Time | QDir::Reversed);
}

QStringList flowNames()
{
    QStringList names;
    for (const QFileInfo& file : filesIn(CustomWidget::flowFolder(), QStringLiteral("*.flw"))) {
        Flow flow;
        if (flow.load(file.absoluteFilePath()))
            names << flow.name();
    }
    return names;
}

bool isRecording(const QString& path)
{
    TaskFileReader reader(path);
    if (!reader.open())
        return false;
    qint32 type = TaskType::None;
    reader.stream() >> type;
    return reader.stream().status() == QDataStream::Ok && type == TaskType::Recording;
}

QStringList recordingNames()
{
    // The record page shows a recording under its file's base name.
    QStringList names;
    for (const QFileInfo& file : filesIn(TaskFile::recordFolderPath(), QStringLiteral("*.kqt"))) {
        if (isRecording(file.absoluteFilePath()))
            names << file.completeBaseName();
    }
    return names;
}

} // namespace

QStringList listedNames(const QString& what)
{
    if (what == QLatin1String(CommandOptions::ListFlows))
        return flowNames();
    return recordingNames();
}
