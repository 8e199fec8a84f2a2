#include "appconfig.h"
#include "testenvironment.h"

#include "platform/backend.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

class TestAppConfig : public QObject
{
    Q_OBJECT

private:
    static bool writeFile(const QString& fileName, const QByteArray& bytes)
    {
        QFile file(fileName);
        return QDir().mkpath(QFileInfo(fileName).path()) && file.open(QIODevice::WriteOnly) &&
               file.write(bytes) == bytes.size();
    }

    static QByteArray readFile(const QString& fileName)
    {
        QFile file(fileName);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static void clearStore()
    {
        auto settings = AppConfig::openSettings();
        settings->clear();
        settings->sync();
    }

private slots:
    void init()
    {
        clearStore();
        AppConfig* config = AppConfig::instance();
        config->logLevel = 0;
        config->saveFilePath.clear();
        config->btnCloseAction = 0;
        config->language = AppConfig::DefaultLanguage;
    }

    void instanceIsOneObjectWithInitialValues()
    {
        AppConfig* config = AppConfig::instance();
        QVERIFY(config);
        QCOMPARE(AppConfig::instance(), config);
        QCOMPARE(config->registryPath, QStringLiteral("HKEY_CURRENT_USER\\Software\\Kliqora"));
        QCOMPARE(AppConfig::runFlag.load(), false);
    }

    void storeIsAnIniFileNamedAfterTheProgram()
    {
#ifdef Q_OS_WIN
        QSKIP("the registry is the store on Windows");
#else
        AppConfig::instance()->load();
        auto settings = AppConfig::openSettings();
        const QString expected =
            QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
            QStringLiteral("/Kliqora/Kliqora.conf");
        QCOMPARE(settings->fileName(), expected);
        QVERIFY(QFileInfo::exists(expected));
#endif
    }

    void firstStartCreatesOnlyLogLevel()
    {
        AppConfig* config = AppConfig::instance();
        config->load();
        QCOMPARE(config->logLevel, 1);
        QCOMPARE(config->saveFilePath, QString());
        QCOMPARE(config->btnCloseAction, 0);
        QCOMPARE(config->language, QStringLiteral("System"));

        auto settings = AppConfig::openSettings();
        QCOMPARE(settings->allKeys(), QStringList{QStringLiteral("LogLevel")});
        QCOMPARE(settings->value(QStringLiteral("LogLevel")).toInt(), 1);
    }

    void handSetLogLevelIsReadAndNeverOverwritten()
    {
        AppConfig::openSettings()->setValue(QStringLiteral("LogLevel"), 3);
        AppConfig* config = AppConfig::instance();
        config->load();
        QCOMPARE(config->logLevel, 3);

        config->logLevel = 0;
        config->save();
        config->load();
        QCOMPARE(AppConfig::openSettings()->value(QStringLiteral("LogLevel")).toInt(), 3);
        QCOMPARE(config->logLevel, 3);
    }

    void nonNumericCloseActionReadsAsHideToTray()
    {
        AppConfig::openSettings()->setValue(QStringLiteral("BtnCloseAction"),
                                            QStringLiteral("quit please"));
        AppConfig* config = AppConfig::instance();
        config->btnCloseAction = 1;
        config->load();
        QCOMPARE(config->btnCloseAction, 0);
    }

    void saveWritesPathCloseActionAndLanguageAndLoadReadsThemBack()
    {
        AppConfig* config = AppConfig::instance();
        config->load();
        config->saveFilePath = QStringLiteral("/some where/with ünïcode");
        config->btnCloseAction = 1;
        config->language = QStringLiteral("en");
        config->save();

        config->saveFilePath.clear();
        config->btnCloseAction = 0;
        config->language.clear();
        config->load();
        QCOMPARE(config->saveFilePath, QStringLiteral("/some where/with ünïcode"));
        QCOMPARE(config->btnCloseAction, 1);
        QCOMPARE(config->language, QStringLiteral("en"));
        QCOMPARE(config->logLevel, 1);
    }

    // Builds on Qt 5 and Qt 6 write the same UTF-8 file and read each other's; files of
    // older builds, which escaped every non-ASCII character, still load.
    void settingsFileIsUtf8_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("UTF-8") << QByteArray("[General]\nSaveFilePath=/home/\xe7\x94\xa8\xe6\x88"
                                             "\xb7/\xc3\xa9\n");
        QTest::newRow("escaped by older builds")
            << QByteArray("[General]\nSaveFilePath=/home/\\x7528\\x6237/\\xe9\n");
    }

    void settingsFileIsUtf8()
    {
#ifdef Q_OS_WIN
        QSKIP("the registry is the store on Windows");
#else
        QFETCH(QByteArray, stored);
        const QString path = QString::fromUtf8("/home/\u7528\u6237/\u00e9");
        const QString fileName = AppConfig::openSettings()->fileName();
        QVERIFY(writeFile(fileName, stored));
        AppConfig* config = AppConfig::instance();
        config->load();
        QCOMPARE(config->saveFilePath, path);

        config->btnCloseAction = 1;
        config->save();
        QCOMPARE(readFile(fileName),
                 QByteArray("[General]\nBtnCloseAction=1\nLanguage=System\nLogLevel=1\n"
                            "SaveFilePath=/home/\xe7\x94\xa8\xe6\x88\xb7/"
                            "\xc3\xa9\n"));
#endif
    }

    void subKeyGroupKeepsItsValuesApart()
    {
        AppConfig::openSettings(AppConfig::RecordSettingsGroup)
            ->setValue(QStringLiteral("RecordClick"), false);
        auto root = AppConfig::openSettings();
        QCOMPARE(root->value(QStringLiteral("RecordSettings/RecordClick")).toBool(), false);
        QVERIFY(!root->contains(QStringLiteral("RecordClick")));
        QCOMPARE(AppConfig::openSettings(AppConfig::RecordSettingsGroup)
                     ->value(QStringLiteral("RecordClick"), true)
                     .toBool(),
                 false);
    }

    void taskFolderUsesDocumentsUntilAPathIsSet()
    {
        const QString documents =
            QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        const QString mouse = AppConfig::taskFolder(QStringLiteral("Kliqora/Mouse"));
        QCOMPARE(mouse, QDir::toNativeSeparators(documents + QStringLiteral("/Kliqora/Mouse")));
        QVERIFY(QFileInfo(mouse).isDir());

        const QString base = QDir::tempPath() + QStringLiteral("/kliqora-base-") +
                             QString::number(QCoreApplication::applicationPid());
        AppConfig::instance()->saveFilePath = base + QStringLiteral("/not/yet/there");
        const QString custom = AppConfig::taskFolder(QStringLiteral("Kliqora/Custom"));
        QCOMPARE(custom,
                 QDir::toNativeSeparators(base + QStringLiteral("/not/yet/there/Kliqora/Custom")));
        QVERIFY(QFileInfo(custom).isDir());
        QDir(base).removeRecursively();
    }

    void remoteDesktopPermissionLivesInTheSettings()
    {
        AppConfig::keepRemoteDesktopPermission();
        const platform::RemoteDesktopPermission& permission = platform::remoteDesktopPermission();
        QCOMPARE(permission.load(), std::string());
        permission.save("token-1");
        QCOMPARE(AppConfig::openSettings()->value(QStringLiteral("RemoteDesktopRestoreToken")),
                 QVariant(QStringLiteral("token-1")));
        QCOMPARE(permission.load(), std::string("token-1"));
    }
};

KLIQORA_TEST_GUILESS_MAIN(TestAppConfig)
#include "tst_appconfig.moc"
