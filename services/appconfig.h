#pragma once
// The one settings object of a process: a few values of the per-user settings
// store, and the run flag through which the GUI thread tells a running job to stop.

#include <QString>

#include <atomic>
#include <memory>

class QSettings;

class AppConfig
{
public:
    // Created on first use (thread-safe), lives until the process ends; never null.
    static AppConfig* instance();

    // Reads "LogLevel" (written as 1 when missing), "SaveFilePath", "BtnCloseAction"
    // and "Language".
    void load();
    // The same values without writing anything (a missing "LogLevel" reads as 1): for
    // runs of the program that must leave the settings as they are.
    void read();
    // Writes "SaveFilePath", "BtnCloseAction" and "Language"; "LogLevel" is never
    // written here.
    void save();

    // A new QSettings on the same store that load() and save() use: the registry key
    // on Windows, an INI file elsewhere. With a sub-key, the settings are opened in
    // that group (e.g. RecordSettingsGroup), so keys are read and written below it.
    static std::unique_ptr<QSettings> openSettings(const QString& subKey = QString());

    // Lets the platform keep a desktop's permission to send input (the Wayland
    // portal's restore token) as "RemoteDesktopRestoreToken"; called at start,
    // before the input backend is chosen.
    static void keepRemoteDesktopPermission();

    // Sub-key of the record page's options.
    static const QString RecordSettingsGroup;

    // Base folder of the task and flow files: saveFilePath, or the user's documents
    // folder when it is empty, with `sub` (e.g. "Kliqora/Mouse") appended. The folder
    // is created with its parents; the result uses the platform's separators.
    static QString taskFolder(const QString& sub);

    QString registryPath;
    int logLevel = 0;
    QString saveFilePath;
    int btnCloseAction = 0; // 0 hide to the tray, 1 quit
    // The language of the texts: "System" (the locale's), "zh_CN" or "en"; read by
    // both programs as they start.
    QString language = DefaultLanguage;
    static const QString DefaultLanguage;

    // True while a job runs; cleared to ask it to stop. Shared with the worker thread.
    static inline std::atomic<bool> runFlag{false};

    AppConfig(const AppConfig&) = delete;
    AppConfig& operator=(const AppConfig&) = delete;

private:
    AppConfig();
    ~AppConfig() = default;
};
