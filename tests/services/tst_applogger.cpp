#include "appconfig.h"
#include "applogger.h"
#include "testenvironment.h"

#include <QFile>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <cstdio>
#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

const QDateTime kMorning(QDate(2026, 12, 5), QTime(9, 5, 3, 7));

QString readAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

// Points file descriptor 1 at a temporary file for the lifetime of the object.
class StdoutCapture
{
public:
    StdoutCapture()
    {
        m_file.open();
        std::fflush(stdout);
        m_saved = ::dup(1);
        ::dup2(m_file.handle(), 1);
    }
    ~StdoutCapture() { restore(); }
    QString text()
    {
        restore();
        m_file.seek(0);
        return QString::fromUtf8(m_file.readAll());
    }

private:
    void restore()
    {
        if (m_saved < 0)
            return;
        std::fflush(stdout);
        ::dup2(m_saved, 1);
        ::close(m_saved);
        m_saved = -1;
    }
    QTemporaryFile m_file;
    int m_saved = -1;
};

} // namespace

class TestAppLogger : public QObject
{
    Q_OBJECT

private:
    static QString dataDir()
    {
        return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    }

    static void startLogger(int level)
    {
        AppConfig::instance()->logLevel = level;
        AppLogger::init();
        QFile::remove(AppLogger::logFilePath());
    }

private slots:
    void init()
    {
        AppLogger::setClock([] { return kMorning; });
    }

    void cleanup()
    {
        AppLogger::resetForTesting();
        AppLogger::setClock({});
        QFile::setPermissions(dataDir(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QFile::remove(dataDir()); // when a test put a file in its place
    }

    void logsIntoDailyFileUnderAppDataLogs()
    {
        startLogger(1);
        QCOMPARE(AppLogger::logDir().path(), dataDir() + QStringLiteral("/Logs"));
        QVERIFY(AppLogger::logDir().exists());
        QCOMPARE(AppLogger::logFilePath(),
                 dataDir() + QStringLiteral("/Logs/kliqora2026-12-05.log"));
    }

    void levelFilter_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<QString>("rules");
        QTest::addColumn<QStringList>("tags");

        const QString dbg = QStringLiteral("[DEBUG]   ");
        const QString inf = QStringLiteral("[INFO]    ");
        const QString wrn = QStringLiteral("[WARN]    ");
        const QString crt = QStringLiteral("[CRITICAL]");
        auto rules = [](const char* d, const char* i, const char* w) {
            return QStringLiteral("kliqora.debug=%1\nkliqora.info=%2\nkliqora.warning=%3\n")
                .arg(QLatin1String(d), QLatin1String(i), QLatin1String(w));
        };
        // clang-format off
        QTest::newRow("0 everything") << 0 << rules("true", "true", "true")
                                      << QStringList{dbg, inf, wrn, crt};
        QTest::newRow("1 warnings")   << 1 << rules("false", "false", "true") << QStringList{wrn, crt};
        QTest::newRow("2 silent")     << 2 << rules("false", "false", "false") << QStringList{crt};
        QTest::newRow("3 like 1")     << 3 << rules("false", "false", "true") << QStringList{wrn, crt};
        QTest::newRow("4 info")       << 4 << rules("false", "true", "true")
                                      << QStringList{inf, wrn, crt};
        QTest::newRow("-1 like 1")    << -1 << rules("false", "false", "true") << QStringList{wrn, crt};
        // clang-format on
    }

    void levelFilter()
    {
        QFETCH(int, level);
        QFETCH(QString, rules);
        QFETCH(QStringList, tags);

        QCOMPARE(AppLogger::filterRules(level), rules);
        startLogger(level);
        qCDebug(logCategory) << "d";
        qCInfo(logCategory) << "i";
        qCWarning(logCategory) << "w";
        qCCritical(logCategory) << "c";

        QStringList written;
        const QStringList lines =
            readAll(AppLogger::logFilePath()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        for (const QString& line : lines)
            written << line.mid(15, 10);
        QCOMPARE(written, tags);
    }

    void lineFormatKeepsPercentSignsAndWritesUtf8()
    {
        // Time, one blank, the ten-character tag, two blanks, the message.
        startLogger(1);
        const QString msg = QStringLiteral("unknown operation type: %1 %2 100% 输入文本");
        qCWarning(logCategory).noquote() << msg;
        QCOMPARE(readAll(AppLogger::logFilePath()),
                 QStringLiteral("[09:05:03:007] [WARN]      ") + msg + QLatin1Char('\n'));
    }

    void messagesOnEitherSideOfMidnightGoToTwoFiles()
    {
        QDateTime clock(QDate(2026, 12, 31), QTime(23, 59, 59, 999));
        AppLogger::setClock([&clock] { return clock; });
        startLogger(1);
        const QString before = AppLogger::logFilePath();
        qCWarning(logCategory) << "before";
        clock = QDateTime(QDate(2027, 1, 1), QTime(0, 0));
        qCWarning(logCategory) << "after";
        AppLogger::setClock({});

        const QString after = AppLogger::logFilePath();
        QVERIFY(after.endsWith(QStringLiteral("/kliqora2027-01-01.log")));
        QVERIFY(before.endsWith(QStringLiteral("/kliqora2026-12-31.log")));
        QCOMPARE(readAll(before), QStringLiteral("[23:59:59:999] [WARN]      before\n"));
        QCOMPARE(readAll(after), QStringLiteral("[00:00:00:000] [WARN]      after\n"));
        QFile::remove(after);
    }

    void uncreatableDirectoryFallsBackToTemp()
    {
        // A file where the data folder should be makes creating Logs below it fail,
        // even for a user whom permissions do not stop.
        QDir(dataDir()).removeRecursively();
        QDir().mkpath(QFileInfo(dataDir()).path());
        QFile blocker(dataDir());
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();

        startLogger(1);
        QCOMPARE(AppLogger::logDir().path(),
                 QDir(QStandardPaths::writableLocation(QStandardPaths::TempLocation)).path());
        qCWarning(logCategory) << "into temp";
        QVERIFY(readAll(AppLogger::logFilePath()).contains(QStringLiteral("into temp")));
        QFile::remove(AppLogger::logFilePath());
    }

    void unopenableFileFallsBackToStandardOutput()
    {
#ifndef Q_OS_UNIX
        QSKIP("captures file descriptor 1");
#else
        startLogger(1);
        // A directory in place of the day's file cannot be opened for writing.
        QVERIFY(QDir().mkpath(AppLogger::logFilePath()));
        StdoutCapture capture;
        qCWarning(logCategory) << "first";
        qCWarning(logCategory) << "second";
        const QString out = capture.text();
        QDir(AppLogger::logFilePath()).removeRecursively();
        QCOMPARE(out, QStringLiteral("[09:05:03:007] [WARN]      first\n"
                                     "[09:05:03:007] [WARN]      second\n"));
#endif
    }

    void secondInitChangesNothing()
    {
        startLogger(1);
        AppConfig::instance()->logLevel = 0;
        AppLogger::init();
        qCDebug(logCategory) << "hidden";
        qCWarning(logCategory) << "shown";
        QCOMPARE(readAll(AppLogger::logFilePath()),
                 QStringLiteral("[09:05:03:007] [WARN]      shown\n"));
    }
};

KLIQORA_TEST_GUILESS_MAIN(TestAppLogger)
#include "tst_applogger.moc"
