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

    // A private runtime folder keeps the single-instance lock and the designer's
    // notification socket of one test (and the programs it starts) apart from every other.
    const QString runtime = m_dir.path() + QStringLiteral("/runtime");
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));

    qputenv("KLIQORA_UPDATE_SERVER", QByteArray());

    // The tests compare the Chinese source texts: the programs they start speak
    // Chinese whatever the locale of the machine (the "Language" setting is
    // "System" in a fresh home). A test of the language sets its own.
    qputenv("LANGUAGE", "zh_CN");
}
