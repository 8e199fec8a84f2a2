#include "designernotify.h"

#include <QDir>
#include <QStandardPaths>

const QString DesignerNotifyServerBaseName = QStringLiteral("DesignerOkNotifyServer217490");

QString designerNotifyServerName()
{
#ifdef Q_OS_WIN
    return DesignerNotifyServerBaseName;
#else
    // XDG_RUNTIME_DIR: owned by the user, mode 0700 (Qt makes a private fallback
    // folder when the variable is missing).
    const QString runtimeDir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtimeDir.isEmpty())
        return DesignerNotifyServerBaseName;
    return QDir(runtimeDir).filePath(DesignerNotifyServerBaseName);
#endif
}
