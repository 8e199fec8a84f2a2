// The update check against real HTTPS servers on loopback: cpp-httplib's SSL
// server with certificates made at test time, a plain TCP server that accepts
// and never answers, and a port nobody listens on.

#include "appconfig.h"
#include "manualwaitclock.h"
#include "testcertificate.h"
#include "testenvironment.h"
#include "updatecheck.h"
#include "versionserver.h"

#include <QElapsedTimer>
#include <QFutureWatcher>
#include <QMutex>
#include <QProcess>
#include <QSettings>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

#include <memory>
#include <mutex>

namespace {

const char kServerEnvironment[] = "KLIQORA_UPDATE_SERVER";
const QString kServerSetting = QStringLiteral("UpdateServer");
constexpr std::chrono::milliseconds kFastRetry{20};
constexpr int kAttempts = 3;
constexpr int kRealRetryMs = 3000;
constexpr int kQuitBudgetMs = 1000;
constexpr int kProbeExitStatus = 3;
constexpr int kConnectWaitMs = 5000;
constexpr int kProcessWaitMs = 30000;

struct LogLine
{
    QtMsgType type;
    QString text;
    qint64 atMs; // on the wait clock
};

// Collects the "kliqora" messages of every thread while it exists.
class LogCapture
{
public:
    LogCapture()
    {
        QMutexLocker lock(&s_mutex);
        s_lines.clear();
        m_previous = qInstallMessageHandler(&LogCapture::handle);
    }
    ~LogCapture() { qInstallMessageHandler(m_previous); }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    QVector<LogLine> lines(QtMsgType type) const
    {
        QMutexLocker lock(&s_mutex);
        QVector<LogLine> matching;
        for (const LogLine& line : qAsConst(s_lines))
            if (line.type == type)
                matching.append(line);
        return matching;
    }

    QStringList texts(QtMsgType type) const
    {
        QStringList result;
        for (const LogLine& line : lines(type))
            result.append(line.text);
        return result;
    }

private:
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& text)
    {
        if (qstrcmp(context.category, "kliqora") != 0)
            return;
        const auto at = std::chrono::duration_cast<std::chrono::milliseconds>(
            waitClock().now().time_since_epoch());
        QMutexLocker lock(&s_mutex);
        s_lines.append({type, text, at.count()});
    }

    static inline QMutex s_mutex;
    static inline QVector<LogLine> s_lines;
    QtMessageHandler m_previous = nullptr;
};

class UpdateReceiver : public QObject
{
    Q_OBJECT

public:
    QVector<qint32> versions;

public slots:
    void onSetUpdateInfo(qint32 version) { versions.append(version); }
};

// Waits for the check started on `receiver` to hand over its result, then lets
// the queued call (if any) arrive.
bool waitForCheck(QObject& receiver)
{
    auto* watcher = receiver.findChild<QFutureWatcherBase*>();
    if (!watcher)
        return false;
    if (!watcher->isFinished()) {
        QSignalSpy finished(watcher, &QFutureWatcherBase::finished);
        if (!finished.wait(kProcessWaitMs))
            return false;
    }
    QCoreApplication::processEvents();
    return true;
}

} // namespace

class TestUpdateCheck : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void answerDecidesTheTip_data();
    void answerDecidesTheTip();
    void failedAttemptsAreLoggedAndDropped_data();
    void failedAttemptsAreLoggedAndDropped();
    void unreachableServerIsRetriedThreeSecondsApart();
    void quittingWhileACheckIsPending_data();
    void quittingWhileACheckIsPending();
    void serverComesFromSettingsAndEnvironment_data();
    void serverComesFromSettingsAndEnvironment();
    void onlyHttpsServersAreAsked_data();
    void onlyHttpsServersAreAsked();

private:
    std::unique_ptr<TestCertificate> m_trusted;
    std::unique_ptr<TestCertificate> m_untrusted;
    std::unique_ptr<TestCertificate> m_otherHost;
};

void TestUpdateCheck::initTestCase()
{
    const QStringList loopback{QStringLiteral("DNS:localhost"), QStringLiteral("IP:127.0.0.1")};
    m_trusted = std::make_unique<TestCertificate>(loopback);
    m_untrusted = std::make_unique<TestCertificate>(loopback);
    m_otherHost =
        std::make_unique<TestCertificate>(QStringList{QStringLiteral("DNS:other.invalid")});
    QVERIFY(m_trusted->isValid() && m_untrusted->isValid() && m_otherHost->isValid());
}

void TestUpdateCheck::init()
{
    qunsetenv(kServerEnvironment); // the test environment turns the check off
}

void TestUpdateCheck::cleanup()
{
    qunsetenv(kServerEnvironment);
    AppConfig::openSettings()->remove(kServerSetting);
}

void TestUpdateCheck::answerDecidesTheTip_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("latest");
    QTest::addColumn<bool>("tipShown");

    QTest::newRow("newer") << QByteArray("201") << 201 << true;
    QTest::newRow("newer, line feed after it") << QByteArray("213\n") << 213 << true;
    QTest::newRow("same") << QByteArray("200") << 200 << false;
    QTest::newRow("older") << QByteArray("150") << 150 << false;
    QTest::newRow("dotted text") << QByteArray("2.0.1") << 0 << false;
    QTest::newRow("json") << QByteArray("{\"version\":201}") << 0 << false;
    QTest::newRow("empty") << QByteArray() << 0 << false;
    QTest::newRow("beyond 32 bits") << QByteArray("99999999999") << 0 << false;
}

void TestUpdateCheck::answerDecidesTheTip()
{
    QFETCH(QByteArray, body);
    QFETCH(int, latest);
    QFETCH(bool, tipShown);

    VersionServer server(*m_trusted, 200, body.toStdString());
    QVERIFY(server.isListening());
    UpdateCheckOptions options;
    options.server = server.address();
    options.caCertFile = m_trusted->certificateFile();

    LogCapture log;
    QCOMPARE(fetchLatestVersion(options), latest);
    QCOMPARE(log.texts(QtInfoMsg),
             QStringList{QStringLiteral("getLatestVersion: ") + QString::fromUtf8(body)});
    QVERIFY(log.lines(QtWarningMsg).isEmpty());

    UpdateReceiver receiver;
    startUpdateCheck(&receiver, options);
    QVERIFY(waitForCheck(receiver));
    QCOMPARE(receiver.versions, tipShown ? QVector<qint32>{latest} : QVector<qint32>());
    QCOMPARE(server.requests(), 2);
}

void TestUpdateCheck::failedAttemptsAreLoggedAndDropped_data()
{
    QTest::addColumn<int>("certificate"); // 0 trusted, 1 untrusted, 2 for another host
    QTest::addColumn<bool>("systemTrustOnly");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("error");
    QTest::addColumn<int>("requestsServed");

    QTest::newRow("404") << 0 << false << 404 << "Success" << kAttempts;
    QTest::newRow("500") << 0 << false << 500 << "Success" << kAttempts;
    QTest::newRow("certificate nobody trusts") << 1 << true << 200 << "SSLServerVerification" << 0;
    QTest::newRow("trusted certificate for another host")
        << 2 << false << 200 << "SSLServerVerification" << 0;
}

void TestUpdateCheck::failedAttemptsAreLoggedAndDropped()
{
    QFETCH(int, certificate);
    QFETCH(bool, systemTrustOnly);
    QFETCH(int, status);
    QFETCH(QString, error);
    QFETCH(int, requestsServed);

    const TestCertificate* certificates[] = {m_trusted.get(), m_untrusted.get(), m_otherHost.get()};
    VersionServer server(*certificates[certificate], status, "201");
    QVERIFY(server.isListening());
    UpdateCheckOptions options;
    options.server = server.address();
    if (!systemTrustOnly)
        options.caCertFile = certificates[certificate]->certificateFile();
    options.retryDelay = kFastRetry;

    LogCapture log;
    UpdateReceiver receiver;
    startUpdateCheck(&receiver, options);
    QVERIFY(waitForCheck(receiver));

    QStringList expected;
    for (int i = 0; i < kAttempts; ++i)
        expected.append(QStringLiteral("getLatestVersion error: ") + error);
    QCOMPARE(log.texts(QtWarningMsg), expected);
    QVERIFY(log.lines(QtInfoMsg).isEmpty());
    QVERIFY(receiver.versions.isEmpty());
    QCOMPARE(server.requests(), requestsServed);
}

void TestUpdateCheck::unreachableServerIsRetriedThreeSecondsApart()
{
    QTcpServer probe;
    QVERIFY(probe.listen(QHostAddress::LocalHost));
    const quint16 closedPort = probe.serverPort();
    probe.close();

    UpdateCheckOptions options = UpdateCheckOptions::fromConfiguration(); // its real pause
    options.server = QStringLiteral("https://127.0.0.1:%1").arg(closedPort);
    options.caCertFile = m_trusted->certificateFile();

    ManualWaitClock clock; // a refused connection takes no time on it
    LogCapture log;
    QCOMPARE(fetchLatestVersion(options), kCurrentVersion);

    const QVector<LogLine> warnings = log.lines(QtWarningMsg);
    QCOMPARE(warnings.size(), kAttempts);
    for (int i = 0; i < warnings.size(); ++i) {
        QCOMPARE(warnings[i].text, QStringLiteral("getLatestVersion error: Connection"));
        if (i > 0)
            QCOMPARE(warnings[i].atMs - warnings[i - 1].atMs, qint64(kRealRetryMs));
    }
    QCOMPARE(clock.elapsed(), std::chrono::milliseconds((kAttempts - 1) * kRealRetryMs));
}

void TestUpdateCheck::quittingWhileACheckIsPending_data()
{
    QTest::addColumn<bool>("waitForConnection");
    QTest::addColumn<bool>("leak");
    // The handshake waits for an answer that never comes.
    QTest::newRow("blocked in the handshake") << true << false;
    // The check is just setting up its connection (inside OpenSSL) as the program ends.
    QTest::newRow("quit at once") << false << false;
    // A leak is still reported at such an exit, and nothing of the pending check is.
    QTest::newRow("leak reported") << true << true;
}

void TestUpdateCheck::quittingWhileACheckIsPending()
{
    QFETCH(bool, waitForConnection);
    QFETCH(bool, leak);
#ifndef KLIQORA_LEAK_CHECKED
    if (leak)
        QSKIP("leaks are reported in the sanitized build only");
#endif
    // Accepts connections and never says a word: the handshake waits for an answer.
    QTcpServer silent;
    QVERIFY(silent.listen(QHostAddress::LocalHost));
    QSignalSpy connected(&silent, &QTcpServer::newConnection);

    QProcess program;
    QStringList arguments{QStringLiteral("https://127.0.0.1:%1").arg(silent.serverPort()),
                          m_trusted->certificateFile()};
    if (leak)
        arguments.append(QStringLiteral("--leak"));
    program.start(QStringLiteral(KLIQORA_QUITPROBE), arguments);
    QVERIFY(program.waitForStarted());
    if (waitForConnection)
        QVERIFY2(connected.wait(kConnectWaitMs), "the check never connected");

    QElapsedTimer quitting;
    quitting.start();
    program.write("quit\n");
    QVERIFY(program.waitForFinished(kProcessWaitMs));
    QVERIFY2(quitting.elapsed() < kQuitBudgetMs,
             qPrintable(QStringLiteral("quitting took %1 ms").arg(quitting.elapsed())));
    const QString errors = QString::fromLocal8Bit(program.readAllStandardError());
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    if (!leak) {
        QVERIFY2(program.exitCode() == kProbeExitStatus, qPrintable(errors));
        return;
    }
    // LeakSanitizer's report: the lost block and nothing else.
    QVERIFY2(program.exitCode() != kProbeExitStatus, qPrintable(errors));
    QCOMPARE(errors.count(QStringLiteral("Direct leak of")), 1);
    QVERIFY2(errors.contains(QStringLiteral("Direct leak of 4242 byte(s) in 1 object(s)")),
             qPrintable(errors));
    QVERIFY2(!errors.contains(QStringLiteral("Indirect leak")), qPrintable(errors));
}

void TestUpdateCheck::serverComesFromSettingsAndEnvironment_data()
{
    QTest::addColumn<QVariant>("setting");       // invalid: no such value
    QTest::addColumn<QByteArray>("environment"); // null: not set
    QTest::addColumn<QString>("server");         // null: the built-in one

    const QString fromSettings = QStringLiteral("https://settings.example:9443");
    QTest::newRow("built-in") << QVariant() << QByteArray() << QString();
    QTest::newRow("setting") << QVariant(fromSettings) << QByteArray() << fromSettings;
    QTest::newRow("environment wins")
        << QVariant(fromSettings) << QByteArray("https://env.example:1") << "https://env.example:1";
    QTest::newRow("empty environment turns it off")
        << QVariant(fromSettings) << QByteArray("") << "";
    QTest::newRow("empty setting turns it off") << QVariant(QString()) << QByteArray() << "";
}

void TestUpdateCheck::serverComesFromSettingsAndEnvironment()
{
    QFETCH(QVariant, setting);
    QFETCH(QByteArray, environment);
    QFETCH(QString, server);

    if (setting.isValid())
        AppConfig::openSettings()->setValue(kServerSetting, setting);
    if (!environment.isNull())
        qputenv(kServerEnvironment, environment);

    const UpdateCheckOptions options = UpdateCheckOptions::fromConfiguration();
    QVERIFY(options.caCertFile.isEmpty());
    QCOMPARE(options.retryDelay, std::chrono::milliseconds(kRealRetryMs));
    if (server.isNull()) {
        QVERIFY2(options.server.startsWith(QLatin1String("https://")) &&
                     options.server.endsWith(QLatin1String(":8443")),
                 qPrintable(options.server));
    } else {
        QCOMPARE(options.server, server);
    }

    // A check that is off starts nothing at all.
    if (server.isEmpty() && !server.isNull()) {
        UpdateReceiver receiver;
        startUpdateCheck(&receiver, options);
        QVERIFY(!receiver.findChild<QFutureWatcherBase*>());
    }
}

void TestUpdateCheck::onlyHttpsServersAreAsked_data()
{
    QTest::addColumn<QString>("scheme"); // completed with a live server's host and port
    QTest::addColumn<QString>("suffix");

    QTest::newRow("plain http") << "http://"
                                << "";
    QTest::newRow("other scheme") << "ftp://"
                                  << "";
    QTest::newRow("no scheme") << ""
                               << "";
    QTest::newRow("with a path") << "https://"
                                 << "/elsewhere";
    QTest::newRow("with a query") << "https://"
                                  << "?x=1";
}

void TestUpdateCheck::onlyHttpsServersAreAsked()
{
    QFETCH(QString, scheme);
    QFETCH(QString, suffix);

    VersionServer server(*m_trusted, 200, "201");
    QVERIFY(server.isListening());
    UpdateCheckOptions options;
    options.server = scheme + server.address().mid(int(qstrlen("https://"))) + suffix;
    options.caCertFile = m_trusted->certificateFile();
    options.retryDelay = kFastRetry;

    LogCapture log;
    QCOMPARE(fetchLatestVersion(options), kCurrentVersion);
    QCOMPARE(log.lines(QtWarningMsg).size(), 1);
    QCOMPARE(server.requests(), 0);
}

KLIQORA_TEST_GUILESS_MAIN(TestUpdateCheck)

#include "tst_updatecheck.moc"
