#include "applogger.h"

#include "appconfig.h"

#include <QFile>
#include <QMutex>
#include <QMutexLocker>
#include <QRecursiveMutex>
#include <QStandardPaths>

#include <cstdio>
#include <cstdlib>

Q_LOGGING_CATEGORY(logCategory, "kliqora")

namespace {

const QString kLogsFolder = QStringLiteral("Logs");
const QString kHomeFallback = QStringLiteral("AppData/Local/Kliqora");
const QString kFileNamePattern = QStringLiteral("kliqora%1.log");
const QString kFileDateFormat = QStringLiteral("yyyy-MM-dd");
const QString kLineTimeFormat = QStringLiteral("[hh:mm:ss:zzz]");

struct LoggerState
{
    QMutex initMutex;
    bool initialised = false;
    // Recursive so that a message raised while writing (e.g. by QFile) cannot deadlock.
    QRecursiveMutex writerMutex;
    QDir logDir;
    QString logFilePath;
    QDate logFileDate;
    AppLogger::Clock clock;
    QtMessageHandler previousHandler = nullptr;
};

LoggerState& state()
{
    static LoggerState s;
    return s;
}

struct LevelRule
{
    bool debug;
    bool info;
    bool warning;
};

LevelRule ruleFor(int logLevel)
{
    // clang-format off
    switch (logLevel) {
    case 0:  return {true,  true,  true};
    case 1:  return {false, false, true};
    case 2:  return {false, false, false};
    case 4:  return {false, true,  true};
    default: return {false, false, true};
    }
    // clang-format on
}

QString boolWord(bool on)
{
    return on ? QStringLiteral("true") : QStringLiteral("false");
}

void writeToStdout(const QByteArray& line)
{
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stdout);
    std::fflush(stdout);
}

} // namespace

QString AppLogger::filterRules(int logLevel)
{
    const LevelRule rule = ruleFor(logLevel);
    return QStringLiteral("kliqora.debug=") + boolWord(rule.debug) + QLatin1Char('\n') +
           QStringLiteral("kliqora.info=") + boolWord(rule.info) + QLatin1Char('\n') +
           QStringLiteral("kliqora.warning=") + boolWord(rule.warning) + QLatin1Char('\n');
}

QString AppLogger::levelTag(QtMsgType type)
{
    switch (type) {
    case QtDebugMsg:
        return QStringLiteral("[DEBUG]   ");
    case QtWarningMsg:
        return QStringLiteral("[WARN]    ");
    case QtCriticalMsg:
        return QStringLiteral("[CRITICAL]");
    case QtFatalMsg:
        return QStringLiteral("[FATAL]   ");
    case QtInfoMsg:
        return QStringLiteral("[INFO]    ");
    }
    return QStringLiteral("[UNKNOWN] ");
}

QDateTime AppLogger::now()
{
    const Clock& clock = state().clock;
    return clock ? clock() : QDateTime::currentDateTime();
}

void AppLogger::setClock(Clock clock)
{
    LoggerState& s = state();
    QMutexLocker lock(&s.writerMutex);
    s.clock = std::move(clock);
}

QDir AppLogger::logDir()
{
    LoggerState& s = state();
    QMutexLocker lock(&s.writerMutex);
    return s.logDir;
}

QString AppLogger::logFilePath()
{
    LoggerState& s = state();
    QMutexLocker lock(&s.writerMutex);
    return s.logFilePath;
}

QDir AppLogger::chooseLogDir()
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    qCInfo(logCategory).noquote()
        << "Attempting to initialize log directory at AppLocalDataLocation:" << base;
    if (base.isEmpty()) {
        qCInfo(logCategory)
            << "Failed to get AppLocalDataLocation, falling back to user home directory.";
        base = QDir(QDir::homePath()).filePath(kHomeFallback);
    }

    QDir dir(QDir(base).filePath(kLogsFolder));
    qCInfo(logCategory).noquote() << "Initializing log directory at:" << dir.path();
    if (!dir.exists()) {
        qCInfo(logCategory) << "Log directory does not exist, attempting to create it.";
        if (!QDir().mkpath(dir.path())) {
            qCInfo(logCategory)
                << "Failed to create log directory, falling back to temporary directory.";
            dir = QDir(QStandardPaths::writableLocation(QStandardPaths::TempLocation));
        }
    }
    return dir;
}

void AppLogger::updateLogFilePath()
{
    LoggerState& s = state();
    const QDate today = now().date();
    if (today == s.logFileDate && !s.logFilePath.isEmpty())
        return;
    s.logFileDate = today;
    s.logFilePath = s.logDir.filePath(kFileNamePattern.arg(today.toString(kFileDateFormat)));
}

void AppLogger::init()
{
    LoggerState& s = state();
    QMutexLocker initLock(&s.initMutex);
    if (s.initialised)
        return;
    s.initialised = true;

    const QDir dir = chooseLogDir();
    {
        QMutexLocker writerLock(&s.writerMutex);
        s.logDir = dir;
        updateLogFilePath();
    }

    const int level = AppConfig::instance()->logLevel;
    qCInfo(logCategory) << "Initializing log with log level:" << level;
    QLoggingCategory::setFilterRules(filterRules(level));

    s.previousHandler = qInstallMessageHandler(&AppLogger::messageHandler);
}

void AppLogger::resetForTesting()
{
    LoggerState& s = state();
    QMutexLocker initLock(&s.initMutex);
    if (s.initialised)
        qInstallMessageHandler(s.previousHandler);
    s.initialised = false;
    s.previousHandler = nullptr;
    QMutexLocker writerLock(&s.writerMutex);
    s.logDir = QDir();
    s.logFilePath.clear();
    s.logFileDate = QDate();
}

void AppLogger::messageHandler(QtMsgType type, const QMessageLogContext& context,
                               const QString& msg)
{
    Q_UNUSED(context)
    LoggerState& s = state();
    {
        QMutexLocker lock(&s.writerMutex);
        const QString time = now().toString(kLineTimeFormat);
        // One multi-argument arg() so that a "%1" inside msg stays as it is.
        const QString line =
            QStringLiteral("%1 %2 %3 %4\n").arg(time, levelTag(type), QString(), msg);
        const QByteArray bytes = line.toUtf8();

        updateLogFilePath();
        QFile file(s.logFilePath);
        if (file.open(QIODevice::WriteOnly | QIODevice::Append)) {
            file.write(bytes);
            file.flush();
            file.close();
        } else {
            writeToStdout(bytes);
        }
    }
    if (type == QtFatalMsg)
        std::abort();
}
