// kliqora-bench: runs the jobs of Kliqora and the same work with xdotool on one X
// server, measures both as the server delivers them (kliqora-bench-observer) and
// prints one table.
//
//   kliqora-bench --kliqora <program> --observer <program> --limit <program>
//                 [--quick] [--only 1,2,...]
//
// The jobs run through their real code: the clicker task, text input and replay
// in this process on a worker thread through the X11 backend; stop latency and idle
// cost on the real Kliqora program, driven with its hotkey.
#include "observerclient.h"
#include "stats.h"

#include "appconfig.h"
#include "autorecordtask.h"
#include "mousetask.h"
#include "platform/backend.h"
#include "platform/virtualkeys.h"
#include "taskfile.h"
#include "textinputoperation.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>
#include <sys/resource.h>
#include <thread>

namespace {

constexpr int ClickX = 1700; // on the observer's window, away from Kliqora's own window
constexpr int ClickY = 900;
constexpr double IntervalMs = 10.0;
constexpr int StartUpSettleMs = 1500;
constexpr int StopBoundMs = 60;

struct Sizes
{
    int intervalClicks = 1000;
    int throughputClicks = 5000;
    int textChars = 2000;
    int stops = 50;
    int replayMs = 60000;
    int idleMs = 10000;
};

struct Row
{
    QString scenario;
    QString kliqora;
    QString xdotool;
    QString ratio;
    QString target;
    QString limit = QString();   // the bare XTest client's figure, where one is measured
    QString ofLimit = QString(); // Kliqora / limit
};

int64_t steadyNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

QString num(double v, int decimals = 2)
{
    return QString::number(v, 'f', decimals);
}

QString ratio(double kliqora, double peer)
{
    if (peer <= 0.0)
        return QStringLiteral("-");
    return num(kliqora / peer, 2);
}

QString verdict(bool met)
{
    return met ? QStringLiteral("met") : QStringLiteral("MISSED");
}

// CPU time (ns) of the calling thread.
int64_t threadCpuNs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return int64_t(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

// CPU time (ns) of the child processes waited for so far.
int64_t childrenCpuNs()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    auto ns = [](const timeval& t) { return int64_t(t.tv_sec) * 1000000000 + t.tv_usec * 1000; };
    return ns(usage.ru_utime) + ns(usage.ru_stime);
}

// Share of one core a piece of work took, in percent.
struct CpuShare
{
    int64_t cpuNs = 0;
    int64_t wallNs = 0;
    double percent() const { return wallNs > 0 ? double(cpuNs) / double(wallNs) * 100.0 : 0.0; }
};

// Runs a program to its end; its CPU share goes to `cpu` when given.
bool runProgram(const QString& program, const QStringList& args, CpuShare* cpu = nullptr,
                int timeoutMs = 600000)
{
    const int64_t cpu0 = childrenCpuNs(), wall0 = steadyNs();
    QProcess tool;
    tool.start(program, args);
    const bool ok =
        tool.waitForStarted() && tool.waitForFinished(timeoutMs) && tool.exitCode() == 0;
    if (cpu)
        *cpu = {childrenCpuNs() - cpu0, steadyNs() - wall0};
    return ok;
}

// Runs a job body the way the pages do: run flag set, on its own thread, joined.
// The job thread's CPU share goes to `cpu` when given.
void runAsJob(const std::function<void()>& body, CpuShare* cpu = nullptr)
{
    AppConfig::runFlag.store(true);
    std::thread worker([&] {
        const int64_t cpu0 = threadCpuNs(), wall0 = steadyNs();
        body();
        if (cpu)
            *cpu = {threadCpuNs() - cpu0, steadyNs() - wall0};
    });
    worker.join();
    AppConfig::runFlag.store(false);
}

bool runXdotool(const QStringList& args, CpuShare* cpu = nullptr)
{
    return runProgram(QStringLiteral("xdotool"), args, cpu);
}

// Our own connection for the pointer warp and the hotkey presses a user would make.
class FakeInput
{
public:
    FakeInput() : m_dpy(XOpenDisplay(nullptr)) {}
    ~FakeInput()
    {
        if (m_dpy)
            XCloseDisplay(m_dpy);
    }
    FakeInput(const FakeInput&) = delete;
    FakeInput& operator=(const FakeInput&) = delete;
    bool ok() const { return m_dpy != nullptr; }
    void moveTo(int x, int y)
    {
        XTestFakeMotionEvent(m_dpy, -1, x, y, CurrentTime);
        XSync(m_dpy, False);
    }
    void tapKey(KeySym sym)
    {
        const KeyCode code = XKeysymToKeycode(m_dpy, sym);
        XTestFakeKeyEvent(m_dpy, code, True, CurrentTime);
        XTestFakeKeyEvent(m_dpy, code, False, CurrentTime);
        XSync(m_dpy, False);
    }

private:
    Display* m_dpy;
};

// CPU time (ns) of all threads of a process, from the scheduler's own accounting.
int64_t processCpuNs(qint64 pid)
{
    int64_t total = 0;
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString& tid : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat(tasks.filePath(tid + QStringLiteral("/schedstat")));
        if (stat.open(QIODevice::ReadOnly))
            total += stat.readAll().split(' ').value(0).toLongLong();
    }
    return total;
}

// A MouseTask that clicks the left button `count` times at the bench point.
MouseTask* makeClicker(int count, int intervalMs, QObject* parent)
{
    auto* task = new MouseTask(parent);
    task->setTaskType(TaskType::LeftClick);
    task->setPositionMode(MouseTask::FixedPoint);
    task->setPosition(QPoint(ClickX, ClickY));
    task->setIntervalFlag(MouseTask::FixedInterval);
    task->setStopFlag(MouseTask::StopByCount);
    task->setExecuteTimes(count);
    task->setExecuteInterval(intervalMs);
    return task;
}

QVector<double> pressTimesMs(const QVector<SeenEvent>& seen)
{
    QVector<double> t;
    for (const SeenEvent& e : ObserverClient::select(seen, 'W', QStringLiteral("BP")))
        t.append(double(e.steadyNs) / 1e6);
    return t;
}

class Bench
{
public:
    Bench(const QString& kliqora, const QString& limit, ObserverClient& observer,
          const Sizes& sizes)
        : m_kliqora(kliqora), m_limit(limit), m_observer(observer), m_sizes(sizes)
    {
    }

    void intervalAccuracy();
    void throughput();
    void text();
    void stopLatency();
    void replay();
    void idleCost();

    const QVector<Row>& rows() const { return m_rows; }
    bool allMeasured() const { return m_failures.isEmpty(); }
    QStringList failures() const { return m_failures; }

private:
    struct IntervalFigures
    {
        double mean = 0, p50 = 0, p99 = 0, driftPct = 0;
        int clicks = 0;
    };
    IntervalFigures intervalFigures(const QVector<SeenEvent>& seen) const;
    struct TextFigures
    {
        double rate = 0; // characters per second
        QString exactness;
    };
    TextFigures typeText(const QString& text, bool withKliqora);
    void textRows(const QString& name, const QString& text, double minRatio);
    bool startKliqora(QProcess& process, int intervalMs);
    void stopKliqora(QProcess& process);
    QVector<double> kliqoraStops(QProcess& process);
    QVector<double> xdotoolStops();
    // What the observer saw of `act`, started with the pointer on the click point.
    QVector<SeenEvent> observeAtClickPoint(const std::function<void()>& act, int settleMs = 300);
    void fail(const QString& what) { m_failures.append(what); }

    QString m_kliqora;
    QString m_limit; // the bare XTest clicker
    ObserverClient& m_observer;
    Sizes m_sizes;
    FakeInput m_input;
    QVector<Row> m_rows;
    QStringList m_failures;
};

Bench::IntervalFigures Bench::intervalFigures(const QVector<SeenEvent>& seen) const
{
    IntervalFigures f;
    const QVector<double> t = pressTimesMs(seen);
    f.clicks = t.size();
    if (t.size() < 2)
        return f;
    QVector<double> errors;
    for (int i = 1; i < t.size(); ++i)
        errors.append(std::abs(t[i] - t[i - 1] - IntervalMs));
    f.mean = stats::mean(errors);
    f.p50 = stats::percentile(errors, 50);
    f.p99 = stats::percentile(errors, 99);
    const double expected = (t.size() - 1) * IntervalMs;
    f.driftPct = (t.last() - t.first() - expected) / expected * 100.0;
    return f;
}

QVector<SeenEvent> Bench::observeAtClickPoint(const std::function<void()>& act, int settleMs)
{
    m_input.moveTo(ClickX, ClickY);
    m_observer.mark();
    act();
    return m_observer.collect(settleMs);
}

void Bench::intervalAccuracy()
{
    const int n = m_sizes.intervalClicks;
    CpuShare kCpu, xCpu, lCpu;
    std::unique_ptr<MouseTask> task(makeClicker(n, int(IntervalMs), nullptr));
    const IntervalFigures k =
        intervalFigures(observeAtClickPoint([&] { runAsJob([&] { task->run(); }, &kCpu); }));
    const IntervalFigures x = intervalFigures(observeAtClickPoint([&] {
        runXdotool({QStringLiteral("click"), QStringLiteral("--repeat"), QString::number(n),
                    QStringLiteral("--delay"), QString::number(int(IntervalMs)),
                    QStringLiteral("1")},
                   &xCpu);
    }));
    // The floor: a bare loop sleeping to each click's absolute time.
    const IntervalFigures l = intervalFigures(observeAtClickPoint([&] {
        runProgram(m_limit,
                   {QString::number(n), QStringLiteral("1"), QString::number(int(IntervalMs))},
                   &lCpu);
    }));
    if (k.clicks != n || x.clicks != n || l.clicks != n)
        fail(QStringLiteral("interval: clicks seen %1 / %2 / %3 (limit) of %4")
                 .arg(k.clicks)
                 .arg(x.clicks)
                 .arg(l.clicks)
                 .arg(n));

    auto row = [&](const QString& scenario, double kv, double xv, double lv, int decimals,
                   const QString& target) {
        m_rows.append({scenario, num(kv, decimals), num(xv, decimals), ratio(kv, xv), target,
                       num(lv, decimals), ratio(kv, lv)});
    };
    const QString head = QStringLiteral("1 interval 10 ms, |error| ");
    row(head + QStringLiteral("mean (ms)"), k.mean, x.mean, l.mean, 3, QString());
    row(head + QStringLiteral("p50 (ms)"), k.p50, x.p50, l.p50, 3, QString());
    row(head + QStringLiteral("p99 (ms)"), k.p99, x.p99, l.p99, 3, verdict(k.p99 <= 1.0));
    row(QStringLiteral("1 drift over %1 clicks (%)").arg(n), k.driftPct, x.driftPct, l.driftPct, 3,
        verdict(std::abs(k.driftPct) < 0.5));
    row(QStringLiteral("1 CPU while clicking every 10 ms (% of a core)"), kCpu.percent(),
        xCpu.percent(), lCpu.percent(), 2, verdict(kCpu.percent() < 10.0));
}

void Bench::throughput()
{
    const int n = m_sizes.throughputClicks;
    struct Figures
    {
        double rate = 0;
        int presses = 0, releases = 0;
    };
    auto measure = [&](const std::function<void()>& act) {
        const QVector<SeenEvent> seen = observeAtClickPoint(act, 500);
        const QVector<double> t = pressTimesMs(seen);
        Figures f;
        f.presses = t.size();
        f.releases = ObserverClient::select(seen, 'W', QStringLiteral("BR")).size();
        f.rate = t.size() < 2 ? 0.0 : (t.size() - 1) / (t.last() - t.first()) * 1000.0;
        return f;
    };
    // A round lasts a fraction of a second, so one stalled moment of the machine
    // moves a single figure by several percent: Kliqora and the limit take turns for
    // a few rounds and the medians are compared.
    constexpr int RoundCount = 3;
    std::unique_ptr<MouseTask> task(makeClicker(n, 0, nullptr));
    QVector<Figures> kliqoraRounds, limitRounds;
    for (int round = 0; round < RoundCount; ++round) {
        kliqoraRounds << measure([&] { runAsJob([&] { task->run(); }); });
        limitRounds << measure([&] { runProgram(m_limit, {QString::number(n)}); });
    }
    // The median rate, and the arrivals of the first round that lost a click if any.
    auto summary = [n](const QVector<Figures>& rounds) {
        const auto lost = std::find_if(rounds.begin(), rounds.end(), [n](const Figures& f) {
            return f.presses != n || f.releases != n;
        });
        Figures shown = lost != rounds.end() ? *lost : rounds.last();
        QVector<double> rates;
        for (const Figures& f : rounds)
            rates << f.rate;
        shown.rate = stats::percentile(rates, 50);
        return shown;
    };
    const Figures k = summary(kliqoraRounds);
    const Figures l = summary(limitRounds);
    const Figures x = measure([&] {
        runXdotool({QStringLiteral("click"), QStringLiteral("--repeat"), QString::number(n),
                    QStringLiteral("--delay"), QStringLiteral("0"), QStringLiteral("1")});
    });
    const QString rate = ratio(k.rate, l.rate);
    m_rows.append(
        {QStringLiteral("2 throughput, interval 0 (clicks/s, median of %1)").arg(RoundCount),
         num(k.rate, 0), num(x.rate, 0), ratio(k.rate, x.rate),
         verdict(l.rate > 0 && k.rate >= 0.9 * l.rate), num(l.rate, 0), rate});
    auto arrived = [](const Figures& f) {
        return QStringLiteral("%1/%2").arg(f.presses).arg(f.releases);
    };
    m_rows.append({QStringLiteral("2 presses/releases arrived of %1 (each round)").arg(n),
                   arrived(k), arrived(x), QStringLiteral("-"),
                   verdict(k.presses == n && k.releases == n), arrived(l), QStringLiteral("-")});
    if (l.presses != n || l.releases != n)
        fail(QStringLiteral("throughput: the limit client's clicks arrived %1").arg(arrived(l)));
}

// ASCII (letters, digits, punctuation, space) in a fixed pseudo-random order; with a
// `cjkOneIn` above 0 about one character in that many is CJK, and one character
// outside the Basic Multilingual Plane stands in the middle.
QString benchText(int length, int cjkOneIn)
{
    static const QString ascii = QStringLiteral(
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 .,;:!?-_=+()[]{}@#$%&*/");
    static const QString cjk =
        QStringLiteral("你好世界中文输入测试自动点击键盘鼠标录制回放速度准确");
    QRandomGenerator random(14);
    QString text;
    const int emojiAt = length / 2;
    while (text.size() < length) {
        if (cjkOneIn > 0 && text.size() == emojiAt && text.size() + 2 <= length) {
            text += QString::fromUcs4(U"\U0001F600");
            continue;
        }
        const bool wide = cjkOneIn > 0 && random.bounded(cjkOneIn) == 0;
        const QString& pool = wide ? cjk : ascii;
        text += pool.at(random.bounded(pool.size()));
    }
    return text;
}

QString typedText(const QVector<SeenEvent>& seen)
{
    QString typed;
    for (const SeenEvent& e : ObserverClient::select(seen, 'W', QStringLiteral("KP"))) {
        if (e.codepoint) {
            const char32_t cp = e.codepoint;
            typed += QString::fromUcs4(&cp, 1);
        }
    }
    return typed;
}

QString compareText(const QString& want, const QString& got)
{
    if (want == got)
        return QStringLiteral("exact");
    int i = 0;
    while (i < want.size() && i < got.size() && want[i] == got[i])
        ++i;
    return QStringLiteral("DIFFERS: %1 of %2 units, first at %3")
        .arg(got.size())
        .arg(want.size())
        .arg(i);
}

double charsPerSecond(const QVector<SeenEvent>& seen, int chars)
{
    const QVector<SeenEvent> keys = ObserverClient::select(seen, 'W', QStringLiteral("KP"));
    if (keys.size() < 2)
        return 0.0;
    const double ms = (keys.last().steadyNs - keys.first().steadyNs) / 1e6;
    return ms > 0 ? chars / ms * 1000.0 : 0.0;
}

Bench::TextFigures Bench::typeText(const QString& text, bool withKliqora)
{
    m_observer.mark();
    if (withKliqora) {
        TextInputOperation op;
        op.setText(text);
        runAsJob([&] { op.execute(); });
    } else {
        runXdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("0"), text});
    }
    const QVector<SeenEvent> seen = m_observer.collect(500);
    return {charsPerSecond(seen, text.toUcs4().size()), compareText(text, typedText(seen))};
}

void Bench::textRows(const QString& name, const QString& text, double minRatio)
{
    const TextFigures k = typeText(text, true);
    const TextFigures x = typeText(text, false);
    const int chars = text.toUcs4().size();
    m_rows.append({QStringLiteral("3 text, %1 %2 chars (chars/s)").arg(chars).arg(name),
                   num(k.rate, 0), num(x.rate, 0), ratio(k.rate, x.rate),
                   verdict(x.rate > 0 && k.rate >= minRatio * x.rate)});
    m_rows.append({QStringLiteral("3 %1 text arrived exactly").arg(name), k.exactness, x.exactness,
                   QStringLiteral("-"), verdict(k.exactness == QLatin1String("exact"))});
}

void Bench::text()
{
    textRows(QStringLiteral("mixed"), benchText(m_sizes.textChars, 4), 1.0);
    textRows(QStringLiteral("ASCII"), benchText(m_sizes.textChars, 0), 3.0);
}

bool Bench::startKliqora(QProcess& process, int intervalMs)
{
    MouseTask settings;
    settings.setTaskType(TaskType::LeftClick);
    settings.setPositionMode(MouseTask::FixedPoint);
    settings.setPosition(QPoint(ClickX, ClickY));
    settings.setExecuteInterval(intervalMs);
    settings.setStopFlag(MouseTask::StopByHand);
    settings.setDurationTime(1000);
    if (!settings.save(TaskFile::mouseFilePath()))
        return false;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("KLIQORA_UPDATE_SERVER"), QString()); // no network
    process.setProcessEnvironment(environment);
    process.start(m_kliqora, QStringList());
    if (!process.waitForStarted(10000))
        return false;
    for (int waited = 0; waited < 20000; waited += 200) {
        QProcess search;
        search.start(QStringLiteral("xdotool"),
                     {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                      QStringLiteral("--pid"), QString::number(process.processId())});
        search.waitForFinished(10000);
        if (!search.readAllStandardOutput().trimmed().isEmpty()) {
            // The page loads its file and registers its hotkey just after the window shows.
            QThread::msleep(StartUpSettleMs);
            return true;
        }
        if (process.state() != QProcess::Running)
            return false;
        QThread::msleep(200);
    }
    return false;
}

void Bench::stopKliqora(QProcess& process)
{
    ::kill(pid_t(process.processId()), SIGTERM);
    if (!process.waitForFinished(10000))
        process.kill();
    process.waitForFinished(5000);
}

// Latency of each stop: from the moment the stop request went out to the last
// button event that arrived after it (0 when none did). Cycles without any click
// before the stop did not measure anything and are reported as failures.
QVector<double> latencies(const QVector<SeenEvent>& seen, const QVector<int64_t>& stopsNs,
                          const QVector<int64_t>& nextStartsNs, int* emptyCycles)
{
    QVector<double> out;
    for (int i = 0; i < stopsNs.size(); ++i) {
        int64_t last = -1;
        bool clicked = false;
        for (const SeenEvent& e : seen) {
            if (e.source != 'W' || !e.kind.startsWith(QLatin1Char('B')))
                continue;
            if (e.steadyNs < stopsNs[i] && (i == 0 || e.steadyNs > nextStartsNs[i - 1]))
                clicked = true;
            if (e.steadyNs >= stopsNs[i] && e.steadyNs < nextStartsNs[i])
                last = e.steadyNs;
        }
        if (!clicked)
            ++*emptyCycles;
        out.append(last < 0 ? 0.0 : (last - stopsNs[i]) / 1e6);
    }
    return out;
}

QVector<double> Bench::kliqoraStops(QProcess& process)
{
    QRandomGenerator random(4);
    QVector<int64_t> stops, nextStarts;
    m_observer.mark();
    for (int i = 0; i < m_sizes.stops; ++i) {
        m_input.tapKey(XK_F2);
        // The page hides its window and waits for it to go before the first click.
        QThread::msleep(250 + random.bounded(400));
        stops.append(steadyNs());
        m_input.tapKey(XK_F2);
        QThread::msleep(400);
        nextStarts.append(steadyNs());
    }
    int empty = 0;
    const QVector<double> out = latencies(m_observer.collect(), stops, nextStarts, &empty);
    if (empty)
        fail(QStringLiteral("stop: %1 Kliqora cycles without clicks").arg(empty));
    if (process.state() != QProcess::Running)
        fail(QStringLiteral("stop: Kliqora ended during the run"));
    return out;
}

QVector<double> Bench::xdotoolStops()
{
    QRandomGenerator random(4);
    QVector<int64_t> stops, nextStarts;
    m_input.moveTo(ClickX, ClickY);
    m_observer.mark();
    for (int i = 0; i < m_sizes.stops; ++i) {
        QProcess tool;
        tool.start(QStringLiteral("xdotool"),
                   {QStringLiteral("click"), QStringLiteral("--repeat"), QStringLiteral("1000000"),
                    QStringLiteral("--delay"), QString::number(int(IntervalMs)),
                    QStringLiteral("1")});
        tool.waitForStarted();
        QThread::msleep(150 + random.bounded(400));
        stops.append(steadyNs());
        ::kill(pid_t(tool.processId()), SIGTERM);
        tool.waitForFinished(5000);
        QThread::msleep(150);
        nextStarts.append(steadyNs());
    }
    int empty = 0;
    const QVector<double> out = latencies(m_observer.collect(), stops, nextStarts, &empty);
    if (empty)
        fail(QStringLiteral("stop: %1 xdotool cycles without clicks").arg(empty));
    return out;
}

void Bench::stopLatency()
{
    QProcess kliqora;
    QVector<double> k;
    if (startKliqora(kliqora, int(IntervalMs))) {
        k = kliqoraStops(kliqora);
        stopKliqora(kliqora);
    } else {
        fail(QStringLiteral("stop: Kliqora did not start"));
        stopKliqora(kliqora);
    }
    const QVector<double> x = xdotoolStops();
    const double kp50 = stats::percentile(k, 50), kp99 = stats::percentile(k, 99);
    const double xp50 = stats::percentile(x, 50), xp99 = stats::percentile(x, 99);
    const QString head = QStringLiteral("4 stop latency, %1 stops, ").arg(m_sizes.stops);
    m_rows.append({head + QStringLiteral("p50 (ms)"), num(kp50, 1), num(xp50, 1), ratio(kp50, xp50),
                   QString()});
    m_rows.append({head + QStringLiteral("p99 (ms)"), num(kp99, 1), num(xp99, 1), ratio(kp99, xp99),
                   verdict(!k.isEmpty() && kp99 <= StopBoundMs)});
    m_rows.append({head + QStringLiteral("max (ms)"), num(stats::maximum(k), 1),
                   num(stats::maximum(x), 1), ratio(stats::maximum(k), stats::maximum(x)),
                   QString()});
}

// A recording of left clicks and presses of the A key with known gaps (2 to 600 ms,
// fixed pseudo-random order) filling `totalMs`.
struct Script
{
    QVector<int32_t> types;
    QVector<int64_t> timesMs;
};

Script replayScript(int totalMs)
{
    QRandomGenerator random(5);
    Script s;
    int64_t t = 0;
    bool key = false;
    while (t < totalMs) {
        key = random.bounded(3) == 0;
        s.types.append(key ? EventType::KeyDown : EventType::LeftDown);
        s.timesMs.append(t);
        t += 2 + random.bounded(120);
        s.types.append(key ? EventType::KeyUp : EventType::LeftUp);
        s.timesMs.append(t);
        t += 2 + random.bounded(600);
    }
    return s;
}

struct ReplayFigures
{
    double p99 = 0, driftMs = 0;
    int seen = 0;
    int recorded = 0; // what the server's record saw: tells a lost event from a missed one
};

ReplayFigures replayFigures(const QVector<SeenEvent>& all, const Script& script)
{
    QVector<double> t;
    ReplayFigures f;
    for (const SeenEvent& e : all) {
        if (e.source == 'W')
            t.append(e.steadyNs / 1e6);
        else if (e.source == 'R')
            ++f.recorded;
    }
    f.seen = t.size();
    if (t.size() != script.timesMs.size() || t.size() < 2)
        return f;
    QVector<double> errors;
    for (int i = 1; i < t.size(); ++i)
        errors.append(
            std::abs((t[i] - t[i - 1]) - double(script.timesMs[i] - script.timesMs[i - 1])));
    f.p99 = stats::percentile(errors, 99);
    f.driftMs = (t.last() - t.first()) - double(script.timesMs.last() - script.timesMs.first());
    return f;
}

void Bench::replay()
{
    const Script script = replayScript(m_sizes.replayMs);
    AutoRecordTask task;
    const int64_t base = steadyNs();
    for (int i = 0; i < script.types.size(); ++i) {
        const int32_t type = script.types[i];
        const int64_t time = base + script.timesMs[i] * 1000000;
        if (EventType::isKey(type)) {
            auto e = std::make_unique<KeyboardEvent>(type, time);
            e->vkCode = platform::Vk::KeyA;
            e->scanCode = 30;
            e->flags = type == EventType::KeyUp ? 0x80 : 0;
            task.appendEvent(std::move(e));
        } else {
            auto e = std::make_unique<MouseEvent>(type, time);
            e->x = ClickX;
            e->y = ClickY;
            task.appendEvent(std::move(e));
        }
    }
    const ReplayFigures k =
        replayFigures(observeAtClickPoint([&] { runAsJob([&] { task.run(); }); }, 500), script);

    // The same script as one xdotool command chain with its own sleeps.
    QStringList args;
    for (int i = 0; i < script.types.size(); ++i) {
        if (i > 0) {
            args << QStringLiteral("sleep")
                 << QString::number((script.timesMs[i] - script.timesMs[i - 1]) / 1000.0, 'f', 3);
        }
        switch (script.types[i]) {
        case EventType::KeyDown:
            args << QStringLiteral("keydown") << QStringLiteral("a");
            break;
        case EventType::KeyUp:
            args << QStringLiteral("keyup") << QStringLiteral("a");
            break;
        case EventType::LeftDown:
            args << QStringLiteral("mousedown") << QStringLiteral("1");
            break;
        default:
            args << QStringLiteral("mouseup") << QStringLiteral("1");
            break;
        }
    }
    const ReplayFigures x =
        replayFigures(observeAtClickPoint([&] { runXdotool(args); }, 500), script);

    // The floor: a bare loop pressing and releasing at the same times, each slept to.
    QStringList offsets{QStringLiteral("--at")};
    for (int64_t ms : script.timesMs)
        offsets << QString::number(ms);
    const ReplayFigures l =
        replayFigures(observeAtClickPoint([&] { runProgram(m_limit, offsets); }, 500), script);

    const int all = script.types.size();
    const std::pair<const char*, const ReplayFigures*> players[] = {
        {"Kliqora", &k}, {"xdotool", &x}, {"the limit client", &l}};
    for (const auto& [name, figures] : players) {
        if (figures->seen != all)
            fail(QStringLiteral("replay: %1 %2 of %3 events seen (the server recorded %4)")
                     .arg(QLatin1String(name))
                     .arg(figures->seen)
                     .arg(all)
                     .arg(figures->recorded));
    }
    // Gaps cannot be paired up when events were lost: no figure rather than a wrong one.
    auto shown = [all](const ReplayFigures& f, double v, int decimals) {
        return f.seen == all ? num(v, decimals) : QStringLiteral("lost %1").arg(all - f.seen);
    };
    auto compared = [all](const ReplayFigures& a, double av, const ReplayFigures& b, double bv) {
        return a.seen == all && b.seen == all ? ratio(av, bv) : QStringLiteral("-");
    };
    const QString head =
        QStringLiteral("5 replay %1 s, %2 events, ").arg(m_sizes.replayMs / 1000.0).arg(all);
    m_rows.append({head + QStringLiteral("gap error p99 (ms)"), shown(k, k.p99, 3),
                   shown(x, x.p99, 3), compared(k, k.p99, x, x.p99),
                   verdict(k.seen == all && k.p99 <= 2.0), shown(l, l.p99, 3),
                   compared(k, k.p99, l, l.p99)});
    m_rows.append({head + QStringLiteral("total drift (ms)"), shown(k, k.driftMs, 2),
                   shown(x, x.driftMs, 2), compared(k, k.driftMs, x, x.driftMs), QString(),
                   shown(l, l.driftMs, 2), compared(k, k.driftMs, l, l.driftMs)});
}

void Bench::idleCost()
{
    const int waitMs = m_sizes.idleMs;
    // The clicker waits 10 s after each click: the program sits in that wait.
    QProcess kliqora;
    double k = -1;
    if (startKliqora(kliqora, waitMs * 3)) {
        m_input.tapKey(XK_F2);
        QThread::msleep(500); // past the first click
        const int64_t cpu0 = processCpuNs(kliqora.processId()), wall0 = steadyNs();
        QThread::msleep(unsigned(waitMs));
        const int64_t cpu1 = processCpuNs(kliqora.processId()), wall1 = steadyNs();
        k = double(cpu1 - cpu0) / double(wall1 - wall0) * 100.0;
        m_input.tapKey(XK_F2);
        QThread::msleep(300);
    } else {
        fail(QStringLiteral("idle: Kliqora did not start"));
    }
    stopKliqora(kliqora);

    QProcess tool;
    tool.start(QStringLiteral("xdotool"),
               {QStringLiteral("sleep"), QString::number(waitMs * 3 / 1000)});
    tool.waitForStarted();
    QThread::msleep(500);
    const int64_t cpu0 = processCpuNs(tool.processId()), wall0 = steadyNs();
    QThread::msleep(unsigned(waitMs));
    const int64_t cpu1 = processCpuNs(tool.processId()), wall1 = steadyNs();
    const double x = double(cpu1 - cpu0) / double(wall1 - wall0) * 100.0;
    tool.kill();
    tool.waitForFinished();
    m_rows.append({QStringLiteral("6 idle CPU during a %1 s wait (%)").arg(waitMs / 1000),
                   num(k, 3), num(x, 3), ratio(k, x), verdict(k >= 0 && k < 1.0)});
}

void printTable(const QVector<Row>& rows)
{
    using Field = QString Row::*;
    struct Column
    {
        const char* title;
        Field field;
        bool right;
    };
    const Column columns[] = {
        {"scenario", &Row::scenario, false}, {"Kliqora", &Row::kliqora, true},
        {"xdotool", &Row::xdotool, true},    {"ratio", &Row::ratio, true},
        {"limit", &Row::limit, true},        {"of limit", &Row::ofLimit, true},
        {"target", &Row::target, false},
    };
    QVector<int> width;
    for (const Column& c : columns) {
        int w = int(qstrlen(c.title));
        for (const Row& r : rows)
            w = std::max(w, int((r.*c.field).size()));
        width.append(w);
    }
    auto cell = [](const QString& text, int w, bool right) {
        return right ? text.rightJustified(w) : text.leftJustified(w);
    };
    QString head = QStringLiteral("|"), rule = QStringLiteral("|");
    for (int i = 0; i < width.size(); ++i) {
        head += QLatin1Char(' ') +
                cell(QLatin1String(columns[i].title), width[i], columns[i].right) +
                QStringLiteral(" |");
        rule += QString(width[i] + (columns[i].right ? 1 : 2), QLatin1Char('-')) +
                (columns[i].right ? QStringLiteral(":|") : QStringLiteral("|"));
    }
    std::printf("%s\n%s\n", qPrintable(head), qPrintable(rule));
    for (const Row& r : rows) {
        QString line = QStringLiteral("|");
        for (int i = 0; i < width.size(); ++i)
            line += QLatin1Char(' ') + cell(r.*columns[i].field, width[i], columns[i].right) +
                    QStringLiteral(" |");
        std::printf("%s\n", qPrintable(line));
    }
    std::fflush(stdout);
}

// Points HOME and the XDG folders at a private folder so that the program under test
// and its settings, task files and instance lock never touch the user's own.
bool usePrivateHome(const QString& dir)
{
    const QByteArray home = dir.toLocal8Bit();
    const QByteArray runtime = home + "/runtime";
    if (!QDir().mkpath(QString::fromLocal8Bit(runtime)))
        return false;
    QFile::setPermissions(QString::fromLocal8Bit(runtime),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("HOME", home);
    qputenv("XDG_CONFIG_HOME", home + "/config");
    qputenv("XDG_DATA_HOME", home + "/data");
    qputenv("XDG_CACHE_HOME", home + "/cache");
    qputenv("XDG_RUNTIME_DIR", runtime);
    qputenv("XDG_DOCUMENTS_DIR", home + "/Documents");
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir home;
    if (!home.isValid() || !usePrivateHome(home.path())) {
        std::fprintf(stderr, "kliqora-bench: cannot make a private home folder\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication app(argc, argv);

    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption kliqoraOption(
        QStringLiteral("kliqora"), QStringLiteral("Kliqora program"), QStringLiteral("path"));
    const QCommandLineOption observerOption(QStringLiteral("observer"),
                                            QStringLiteral("kliqora-bench-observer program"),
                                            QStringLiteral("path"));
    const QCommandLineOption limitOption(QStringLiteral("limit"),
                                         QStringLiteral("kliqora-bench-limit program"),
                                         QStringLiteral("path"));
    const QCommandLineOption quickOption(QStringLiteral("quick"),
                                         QStringLiteral("a few events per scenario (smoke run)"));
    const QCommandLineOption onlyOption(QStringLiteral("only"),
                                        QStringLiteral("comma-separated scenario numbers"),
                                        QStringLiteral("list"));
    parser.addOptions({kliqoraOption, observerOption, limitOption, quickOption, onlyOption});
    parser.process(app);

    Sizes sizes;
    if (parser.isSet(quickOption))
        sizes = Sizes{20, 50, 30, 2, 1500, 1000};
    const QStringList only = parser.value(onlyOption).split(QLatin1Char(','), Qt::SkipEmptyParts);
    auto wanted = [&](int n) { return only.isEmpty() || only.contains(QString::number(n)); };

    if (platform::primaryScreenSize().width <= 0) {
        std::fprintf(stderr, "kliqora-bench: no X11 backend (is DISPLAY set?)\n");
        return 2;
    }
    ObserverClient observer(parser.value(observerOption));
    if (!observer.start()) {
        std::fprintf(stderr, "kliqora-bench: the observer did not start\n");
        return 2;
    }
    Bench bench(parser.value(kliqoraOption), parser.value(limitOption), observer, sizes);
    const std::pair<int, void (Bench::*)()> scenarios[] = {
        {1, &Bench::intervalAccuracy}, {2, &Bench::throughput}, {3, &Bench::text},
        {4, &Bench::stopLatency},      {5, &Bench::replay},     {6, &Bench::idleCost},
    };
    for (const auto& [number, run] : scenarios) {
        if (!wanted(number))
            continue;
        std::fprintf(stderr, "kliqora-bench: scenario %d\n", number);
        (bench.*run)();
    }
    printTable(bench.rows());
    for (const QString& f : bench.failures())
        std::printf("NOT MEASURED: %s\n", qPrintable(f));
    return bench.allMeasured() ? 0 : 1;
}
