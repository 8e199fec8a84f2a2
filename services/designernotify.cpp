#include "designernotify.h"

#include <QDir>
#include <QStandardPaths>

const QString DesignerNotifyServerBaseName = QStringLiteral("DesignerOkNotifyServer217490");

QString perUserSocketName(const QString& baseName)
{
#ifdef Q_OS_WIN
    return baseName;
#else
    // XDG_RUNTIME_DIR: owned by the user, mode 0700 (Qt makes a private fallback
    // folder when the variable is missing).
    const QString runtimeDir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtimeDir.isEmpty())
        return baseName;
    return QDir(runtimeDir).filePath(baseName);
#endif
}

QString designerNotifyServerName()
{
    return perUserSocketName(DesignerNotifyServerBaseName);
}
