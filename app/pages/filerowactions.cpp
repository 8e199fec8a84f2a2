#include "filerowactions.h"

#include "dialogs/taskrename.h"
#include "logcategory.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>

#include <algorithm>

namespace {

bool leavesTheFolder(const QString& name)
{
    return name == QLatin1String(".") || name == QLatin1String("..") ||
           name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\'));
}

} // namespace

QString FileRowActions::baseName(const QString& path)
{
    return QFileInfo(QDir::fromNativeSeparators(path)).completeBaseName();
}

QString FileRowActions::withBaseName(const QString& path, const QString& name)
{
    const QFileInfo info(QDir::fromNativeSeparators(path));
    const QString suffix = info.suffix();
    return QDir::toNativeSeparators(
        info.dir().filePath(suffix.isEmpty() ? name : name + QLatin1Char('.') + suffix));
}

FileRowActions::NameCheck FileRowActions::checkNewName(const QString& path, const QString& newName,
                                                       const QStringList& listedPaths)
{
    if (newName.isEmpty() || newName == baseName(path))
        return NameCheck::Unchanged;
    const QString newPath = withBaseName(path, newName);
    if (leavesTheFolder(newName) || newName.contains(QChar(0)) ||
        QFile::encodeName(QFileInfo(newPath).fileName()).size() > MaxFileNameBytes)
        return NameCheck::Invalid;
    const bool listed =
        std::any_of(listedPaths.cbegin(), listedPaths.cend(),
                    [&](const QString& listedPath) { return baseName(listedPath) == newName; });
    // A file outside the list (one that did not load) is never overwritten either;
    // where names ignore letter case the file itself may answer to the new name.
    const QFileInfo target(newPath);
    if (listed || (target.exists() && target != QFileInfo(path)))
        return NameCheck::Taken;
    return NameCheck::Free;
}

FileRowActions::FileRowActions(QWidget* page) : m_page(page) {}

QString FileRowActions::askNewName(const QString& path) const
{
    TaskRename dialog(m_page);
    dialog.setName(baseName(path));
    return dialog.exec() == QDialog::Accepted ? dialog.name() : QString();
}

QString FileRowActions::rename(const QString& path, const QString& newName,
                               const QStringList& listedPaths) const
{
    switch (checkNewName(path, newName, listedPaths)) {
    case NameCheck::Unchanged:
        return QString();
    case NameCheck::Invalid:
        qCWarning(logCategory()).noquote() << "Refused file name: " + newName;
        warn(tr("重命名失败"), tr("任务名称 \"%1\" 无效。").arg(newName));
        return QString();
    case NameCheck::Taken:
        warn(tr("重命名失败"), tr("任务名称 \"%1\" 已存在。").arg(newName));
        return QString();
    case NameCheck::Free:
        break;
    }
    const QString newPath = withBaseName(path, newName);
    if (!QFile::rename(path, newPath)) {
        qCWarning(logCategory()).noquote() << "Failed to rename file: " + path;
        warn(tr("重命名失败"), tr("无法将 \"%1\" 重命名为 \"%2\"。").arg(baseName(path), newName));
        return QString();
    }
    qCInfo(logCategory()).noquote() << "Renamed file: " + path + " to " + newPath;
    return newPath;
}

bool FileRowActions::remove(const QString& path) const
{
    if (QFile::remove(path) || !QFileInfo::exists(path))
        return true;
    warn(tr("删除失败"), tr("无法删除文件 %1。").arg(path));
    return false;
}

void FileRowActions::reportCopyFailure(CopyFailure failure, const QString& target) const
{
    if (failure == CopyFailure::NotWritten)
        qCWarning(logCategory()).noquote() << "Failed to copy file to: " + target;
    else
        qCWarning(logCategory()).noquote() << "Failed to load copied task from file: " + target;
    warn(tr("创建副本失败"), tr("无法创建副本 %1。").arg(target));
}

void FileRowActions::warn(const QString& title, const QString& text) const
{
    QMessageBox::warning(m_page, title, text);
}
