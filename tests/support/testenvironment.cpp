#include "testenvironment.h"

#include <QDir>

TestHome::TestHome() : m_dir(QDir::tempPath() + QStringLiteral("/kliqora-test-XXXXXX"))
{
    const QByteArray home = QFile::encodeName(m_dir.path());
    qputenv("HOME", home);
    qputenv("XDG_CONFIG_HOME", home + "/.config");
    qputenv("XDG_DATA_HOME", home + "/.local/share");
    qputenv("XDG_CACHE_HOME", home + "/.cache");
    qputenv("XDG_STATE_HOME", home + "/.local/state");
    QDir(m_dir.path()).mkpath(QStringLiteral("Documents"));
}
