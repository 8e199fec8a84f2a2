#include "appconfig.h"

#include "platform/backend.h"
#include "qtcompat.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace {

const QString kRegistryPath = QStringLiteral("HKEY_CURRENT_USER\\Software\\Kliqora");
const QString kLogLevel = QStringLiteral("LogLevel");
const QString kSaveFilePath = QStringLiteral("SaveFilePath");
const QString kBtnCloseAction = QStringLiteral("BtnCloseAction");
const QString kLanguage = QStringLiteral("Language");
const QString kRemoteDesktopRestoreToken = QStringLiteral("RemoteDesktopRestoreToken");
constexpr int kFirstStartLogLevel = 1; // warnings only

#ifndef Q_OS_WIN
// Without a registry the same value names live in an INI file,
// ~/.config/Kliqora/Kliqora.conf (XDG_CONFIG_HOME honoured).
const QString kSettingsFile = QStringLiteral("Kliqora/Kliqora.conf");
#endif

} // namespace

const QString AppConfig::RecordSettingsGroup = QStringLiteral("RecordSettings");
const QString AppConfig::DefaultLanguage = QStringLiteral("System");

AppConfig::AppConfig() : registryPath(kRegistryPath) {}

AppConfig* AppConfig::instance()
{
    static AppConfig config;
    return &config;
}

std::unique_ptr<QSettings> AppConfig::openSettings(const QString& subKey)
{
#ifdef Q_OS_WIN
    auto settings = std::make_unique<QSettings>(instance()->registryPath, QSettings::NativeFormat);
#else
    const QString configDir =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    auto settings =
        std::make_unique<QSettings>(QDir(configDir).filePath(kSettingsFile), QSettings::IniFormat);
    QtCompat::useUtf8IniFile(*settings);
#endif
    if (!subKey.isEmpty())
        settings->beginGroup(subKey);
    return settings;
}

void AppConfig::keepRemoteDesktopPermission()
{
    platform::setRemoteDesktopPermission(
        {[] { return openSettings()->value(kRemoteDesktopRestoreToken).toString().toStdString(); },
         [](const std::string& token) {
             openSettings()->setValue(kRemoteDesktopRestoreToken, QString::fromStdString(token));
         }});
}

void AppConfig::load()
{
    read();
    auto settings = openSettings();
    if (!settings->contains(kLogLevel))
        settings->setValue(kLogLevel, kFirstStartLogLevel);
}

void AppConfig::read()
{
    auto settings = openSettings();
    logLevel = settings->value(kLogLevel, kFirstStartLogLevel).toInt();
    saveFilePath = settings->value(kSaveFilePath).toString();
    btnCloseAction = settings->value(kBtnCloseAction).toInt();
    language = settings->value(kLanguage, DefaultLanguage).toString();
}

void AppConfig::save()
{
    auto settings = openSettings();
    settings->setValue(kSaveFilePath, saveFilePath);
    settings->setValue(kBtnCloseAction, btnCloseAction);
    settings->setValue(kLanguage, language);
}

QString AppConfig::taskFolder(const QString& sub)
{
    QString base = instance()->saveFilePath;
    if (base.isEmpty())
        base = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString folder = QDir::cleanPath(QDir(base).filePath(sub));
    QDir().mkpath(folder);
    return QDir::toNativeSeparators(folder);
}
