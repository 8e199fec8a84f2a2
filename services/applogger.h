#pragma once
// Daily log files. init() picks the log directory (with fallbacks), installs the
// level filter of the "kliqora" category and a message handler that appends one
// line per message to kliqora<yyyy-MM-dd>.log, or to standard output when the
// file cannot be opened.

#include "logcategory.h"

#include <QDateTime>
#include <QDir>
#include <QObject>
#include <QString>

#include <functional>

class AppLogger : public QObject
{
    Q_OBJECT

public:
    // One-time set-up; later calls do nothing. Reads AppConfig::logLevel, so the
    // settings must be loaded first.
    static void init();

    static void messageHandler(QtMsgType type, const QMessageLogContext& context,
                               const QString& msg);

    // Filter rules of the "kliqora" category for a log level.
    static QString filterRules(int logLevel);
    // Ten-character tag of a message type, e.g. "[WARN]    ".
    static QString levelTag(QtMsgType type);

    static QDir logDir();
    static QString logFilePath();

    // Test seams: a replacement for the local clock (an empty function restores it),
    // and a reset that uninstalls the handler so init() runs again.
    using Clock = std::function<QDateTime()>;
    static void setClock(Clock clock);
    static void resetForTesting();

private:
    static QDir chooseLogDir();
    static void updateLogFilePath(); // caller holds the writer mutex or runs init
    static QDateTime now();
};
