#include "updatecheck.h"

#include "appconfig.h"
#include "logcategory.h"
#include "waitclock.h"

#include <QCoreApplication>
#include <QFile>
#include <QFutureWatcher>
#include <QSettings>
#include <QThreadPool>
#include <QUrl>
#include <QtConcurrent/QtConcurrentRun>

#include <httplib.h>
#include <openssl/crypto.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <mutex>

namespace {

const QString kDefaultServer = QStringLiteral("https://update.kliqora.org:8443");
const QString kServerSetting = QStringLiteral("UpdateServer");
const char kServerEnvironment[] = "KLIQORA_UPDATE_SERVER";
const char kLatestVersionPath[] = "/api/kliqora/v1/latestVersion";
const QString kHttpsScheme = QStringLiteral("https");

constexpr int kAttempts = 3;
constexpr int kHttpOk = 200;
// The library waits up to 300 s for a connection by default; a server that never
// answers must not keep a check (or anything waiting for it) alive that long.
constexpr std::chrono::seconds kConnectTimeout{5};
constexpr std::chrono::seconds kReadTimeout{5};
constexpr std::chrono::seconds kWriteTimeout{5};
// The answer is a short number; a server streaming more is cut off.
constexpr uint64_t kMaxBodyBytes = 4096;
// Checks that were cancelled may still sit in a connect or a name lookup until
// their time-out; a few threads keep a later check from queueing behind them.
constexpr int kPoolThreads = 4;

// How long the pause between attempts sleeps before it looks for a cancel again.
constexpr std::chrono::milliseconds kCancelCheckSlice{50};

// Shared by the GUI thread and the check's thread. Cancelling ends the pause between
// attempts and aborts a body being received; an attempt blocked in a connect, a
// handshake or a name lookup runs into its time-out and then ends without logging.
// (Client::stop() is no help here: it waits on the mutex the client holds for the
// whole connect and handshake, so it would block the caller.) Once cancelled, the
// check logs nothing more: at quit the logger is about to go.
class CheckControl
{
public:
    void cancel()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_cancelled = true;
    }

    bool cancelled() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_cancelled;
    }

    // Runs `log` unless the check was cancelled; a cancel waits for it to finish.
    void logUnlessCancelled(const std::function<void()>& log) const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_cancelled)
            log();
    }

    // Waits for `delay` on the wait clock; returns true when cancelled before or during it.
    bool pause(std::chrono::milliseconds delay) const
    {
        WaitClock& clock = waitClock();
        const WaitClock::TimePoint end = clock.now() + delay;
        while (!cancelled()) {
            const WaitClock::TimePoint now = clock.now();
            if (now >= end)
                return false;
            clock.sleepUntil(std::min(end, now + kCancelCheckSlice));
        }
        return true;
    }

private:
    mutable std::mutex m_mutex;
    bool m_cancelled = false;
};

// The application object waits for the global pool when it is destroyed, so a
// check there would hold up quitting until its attempt times out. This pool is
// never destroyed and nobody waits for it: a check still blocked at quit keeps its
// thread, and everything it holds, until the process has ended.
QThreadPool* checkPool()
{
    static QThreadPool* const pool = [] {
        auto* created = new QThreadPool;
        created->setMaxThreadCount(kPoolThreads);
        return created;
    }();
    return pool;
}

// "https://host:port" for the client, or empty when `server` is not such a text.
std::string schemeHostPort(const QString& server)
{
    const QUrl url(server.trimmed(), QUrl::StrictMode);
    const bool bare = url.path().isEmpty() || url.path() == QLatin1String("/");
    if (!url.isValid() || url.scheme() != kHttpsScheme || url.host().isEmpty() ||
        !url.userInfo().isEmpty() || url.hasQuery() || url.hasFragment() || !bare)
        return std::string();
    // authority() keeps the brackets of an IPv6 address, as the client expects.
    const QString address = kHttpsScheme + QLatin1String("://") + url.authority(QUrl::FullyEncoded);
    return address.toStdString();
}

// The body is the version as plain decimal text; anything else counts as 0.
int parseVersion(const QString& body)
{
    bool ok = false;
    const int version = body.trimmed().toInt(&ok, 10);
    return ok ? version : 0;
}

int fetch(const UpdateCheckOptions& options, CheckControl& control)
{
    if (options.server.trimmed().isEmpty())
        return kCurrentVersion;
    const std::string address = schemeHostPort(options.server);
    if (address.empty()) {
        qCWarning(logCategory()).noquote()
            << "getLatestVersion: not an https scheme-host-port text:" << options.server;
        return kCurrentVersion;
    }

    httplib::Client client(address);
    client.enable_server_certificate_verification(true);
    if (!options.caCertFile.isEmpty())
        client.set_ca_cert_path(QFile::encodeName(options.caCertFile).toStdString());
    client.set_connection_timeout(kConnectTimeout);
    client.set_read_timeout(kReadTimeout);
    client.set_write_timeout(kWriteTimeout);
    const httplib::Progress progress = [&control](uint64_t received, uint64_t) {
        return received <= kMaxBodyBytes && !control.cancelled();
    };

    for (int attempt = 1; attempt <= kAttempts; ++attempt) {
        const httplib::Result result = client.Get(kLatestVersionPath, httplib::Headers(), progress);
        if (control.cancelled())
            return kCurrentVersion;
        if (result && result->status == kHttpOk) {
            const QString body = QString::fromUtf8(result->body.data(), int(result->body.size()));
            control.logUnlessCancelled(
                [&] { qCInfo(logCategory()).noquote() << "getLatestVersion:" << body; });
            return parseVersion(body);
        }
        // For an answer with another status the error is the library's success value.
        control.logUnlessCancelled([&] {
            qCWarning(logCategory()).noquote()
                << "getLatestVersion error:"
                << QString::fromStdString(httplib::to_string(result.error()));
        });
        // No pause after the last attempt: nothing follows it.
        if (attempt < kAttempts && control.pause(options.retryDelay))
            return kCurrentVersion;
    }
    return kCurrentVersion;
}

void deliverResult(QObject* receiver, int latest)
{
    if (latest <= kCurrentVersion)
        return;
    if (!QMetaObject::invokeMethod(receiver, "onSetUpdateInfo", Qt::QueuedConnection,
                                   Q_ARG(qint32, latest)))
        qCWarning(logCategory()) << "update check: the receiver has no onSetUpdateInfo(qint32)";
}

#if defined(__ELF__)
// OpenSSL frees its global state in an exit handler unless told otherwise before its
// first initialisation. A check cancelled at quit may still be inside OpenSSL (in a
// handshake with a server that does not answer, or just creating its context) while
// the process exits, and that clean-up would free what the check is using and crash
// the exit. The state is therefore kept until the process has ended. The request
// must come first: the HTTP library initialises OpenSSL as soon as it is loaded,
// before main(), and only a program's pre-initialisation functions run earlier than
// the libraries' own initialisation.
void keepOpenSslStateUntilExit(int, char**, char**)
{
    OPENSSL_init_crypto(OPENSSL_INIT_NO_ATEXIT, nullptr);
}

using PreInitFunction = void (*)(int, char**, char**);
__attribute__((section(".preinit_array"), used)) const PreInitFunction keepOpenSslAtStart =
    keepOpenSslStateUntilExit;
#endif

} // namespace

UpdateCheckOptions UpdateCheckOptions::fromConfiguration()
{
    UpdateCheckOptions options;
    options.server = kDefaultServer;
    const auto settings = AppConfig::openSettings();
    if (settings->contains(kServerSetting))
        options.server = settings->value(kServerSetting).toString();
    if (qEnvironmentVariableIsSet(kServerEnvironment))
        options.server = qEnvironmentVariable(kServerEnvironment);
    return options;
}

void startUpdateCheck(QObject* receiver)
{
    startUpdateCheck(receiver, UpdateCheckOptions::fromConfiguration());
}

void startUpdateCheck(QObject* receiver, const UpdateCheckOptions& options)
{
    if (options.server.trimmed().isEmpty()) {
        qCInfo(logCategory()) << "Update check is turned off.";
        return;
    }
    const auto control = std::make_shared<CheckControl>();
    // Owned by the receiver: it lives until the receiver is destroyed, and takes the
    // pending check with it.
    auto* watcher = new QFutureWatcher<int>(receiver);
    QObject::connect(
        watcher, &QFutureWatcher<int>::finished, watcher,
        [watcher, receiver] { deliverResult(receiver, watcher->result()); }, Qt::DirectConnection);
    QObject::connect(watcher, &QObject::destroyed, [control] { control->cancel(); });
    if (QCoreApplication::instance()) {
        QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, watcher,
                         [control] { control->cancel(); });
    }
    watcher->setFuture(
        QtConcurrent::run(checkPool(), [options, control] { return fetch(options, *control); }));
}

int fetchLatestVersion(const UpdateCheckOptions& options)
{
    CheckControl control;
    return fetch(options, control);
}
