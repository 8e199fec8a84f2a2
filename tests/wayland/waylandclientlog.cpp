#include "waylandclientlog.h"

#include <QElapsedTimer>
#include <QSet>
#include <QtTest>

namespace {

constexpr int StartTimeoutMs = 10000;

// Presses minus releases per key, from lines "<kind> <id> pressed|released".
QStringList stillDown(const QStringList& lines, const QString& kind, int idField, int stateField)
{
    QMap<QString, int> balance;
    for (const QString& line : lines) {
        const QStringList fields = line.split(QLatin1Char(' '));
        if (fields.value(0) != kind || fields.size() <= std::max(idField, stateField))
            continue;
        balance[fields.at(idField)] += fields.at(stateField) == QLatin1String("pressed") ? 1 : -1;
    }
    QStringList down;
    for (auto it = balance.cbegin(); it != balance.cend(); ++it) {
        if (it.value() > 0)
            down << it.key();
    }
    return down;
}

} // namespace

QRegularExpression wholeLine(const QString& pattern)
{
    return QRegularExpression(QLatin1Char('^') + pattern + QLatin1Char('$'));
}

WaylandClientLog::WaylandClientLog()
{
    connect(&m_process, &QProcess::readyReadStandardOutput, this, &WaylandClientLog::readLines);
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.setReadChannel(QProcess::StandardOutput);
}

WaylandClientLog::~WaylandClientLog()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

bool WaylandClientLog::start()
{
    m_process.start(qEnvironmentVariable("KLIQORA_WAYLAND_TEST_CLIENT"), QStringList());
    if (!m_process.waitForStarted(StartTimeoutMs))
        return false;
    return waitFor(QRegularExpression(QStringLiteral("^ready ")), 1, StartTimeoutMs) &&
           waitFor(QRegularExpression(QStringLiteral("^focus$")), 1, StartTimeoutMs);
}

bool WaylandClientLog::waitUntilPlaced(const std::function<void(int x, int y)>& moveTo)
{
    QElapsedTimer clock;
    clock.start();
    // Two points in turn, as a move to where the pointer is already reports nothing.
    for (int attempt = 0; clock.elapsed() < StartTimeoutMs; ++attempt) {
        const int x = 10 + attempt % 2;
        moveTo(x, 10);
        if (waitFor(wholeLine(QStringLiteral("motion %1 10").arg(x)), 1, 100)) {
            clear();
            return true;
        }
    }
    return false;
}

void WaylandClientLog::readLines()
{
    m_partial += m_process.readAllStandardOutput();
    int end = 0;
    while ((end = m_partial.indexOf('\n')) >= 0) {
        m_lines << QString::fromUtf8(m_partial.left(end));
        m_partial.remove(0, end + 1);
    }
}

QStringList WaylandClientLog::matching(const QRegularExpression& pattern) const
{
    return m_lines.filter(pattern);
}

bool WaylandClientLog::waitFor(const QRegularExpression& pattern, int count, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (matching(pattern).size() < count) {
        if (clock.elapsed() > timeoutMs || m_process.state() == QProcess::NotRunning)
            return false;
        QTest::qWait(1);
    }
    return true;
}

QString WaylandClientLog::typedText() const
{
    QString text;
    for (const QString& line : m_lines) {
        // "key pressed <code> <keysym> <text>": the text is everything after the fourth space.
        if (!line.startsWith(QLatin1String("key pressed ")))
            continue;
        text += line.section(QLatin1Char(' '), 4);
    }
    return text;
}

QStringList WaylandClientLog::keysDown() const
{
    return stillDown(m_lines, QStringLiteral("key"), 2, 1);
}

QStringList WaylandClientLog::buttonsDown() const
{
    return stillDown(m_lines, QStringLiteral("button"), 1, 2);
}
