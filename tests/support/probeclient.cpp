#include "probeclient.h"

#include "waituntil.h"
#include "widgetprobe.h"
#include "xdotool.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

namespace {
constexpr int ConnectTimeoutMs = 500;
constexpr int AnswerTimeoutMs = 5000;

QString key(const char* name)
{
    return QLatin1String(name);
}

ProbedWidget fromAnswer(const QJsonObject& answer)
{
    ProbedWidget widget;
    widget.answered = true;
    widget.found = answer.value(key(WidgetProbe::FoundKey)).toBool();
    widget.error = answer.value(key(WidgetProbe::ErrorKey)).toString();
    widget.visible = answer.value(key(WidgetProbe::VisibleKey)).toBool();
    widget.enabled = answer.value(key(WidgetProbe::EnabledKey)).toBool();
    widget.rect = QRect(answer.value(key(WidgetProbe::XKey)).toInt(),
                        answer.value(key(WidgetProbe::YKey)).toInt(),
                        answer.value(key(WidgetProbe::WidthKey)).toInt(),
                        answer.value(key(WidgetProbe::HeightKey)).toInt());
    widget.text = answer.value(key(WidgetProbe::TextKey)).toString();
    widget.rows = answer.value(key(WidgetProbe::RowsKey)).toInt(-1);
    return widget;
}

ProbedWidget noAnswer(const QString& why)
{
    ProbedWidget widget;
    widget.error = why;
    return widget;
}

} // namespace

QString ProbedWidget::describe() const
{
    if (!found)
        return QStringLiteral("not found (%1)").arg(error);
    return QStringLiteral("%1, %2, at %3,%4 %5x%6, text \"%7\", rows %8")
        .arg(visible ? QStringLiteral("visible") : QStringLiteral("hidden"),
             enabled ? QStringLiteral("enabled") : QStringLiteral("disabled"))
        .arg(rect.x())
        .arg(rect.y())
        .arg(rect.width())
        .arg(rect.height())
        .arg(text)
        .arg(rows);
}

ProbeClient::ProbeClient(const QString& socketPath) : m_socketPath(socketPath) {}

bool ProbeClient::ensureConnected()
{
    if (m_socket && m_socket->state() == QLocalSocket::ConnectedState)
        return true;
    // A program started anew listens on a new socket of the same name.
    m_socket = std::make_unique<QLocalSocket>();
    m_socket->connectToServer(m_socketPath);
    return m_socket->waitForConnected(ConnectTimeoutMs);
}

ProbedWidget ProbeClient::query(const QString& path)
{
    if (!ensureConnected())
        return noAnswer(QStringLiteral("no probe answers at ") + m_socketPath);
    m_socket->write(path.toUtf8() + '\n');
    QElapsedTimer clock;
    clock.start();
    while (!m_socket->canReadLine()) {
        const int left = AnswerTimeoutMs - int(clock.elapsed());
        if (left <= 0 || !m_socket->waitForReadyRead(left)) {
            m_socket.reset();
            return noAnswer(QStringLiteral("the program did not answer"));
        }
    }
    const QJsonDocument answer = QJsonDocument::fromJson(m_socket->readLine());
    return answer.isObject() ? fromAnswer(answer.object())
                             : noAnswer(QStringLiteral("the answer is no JSON object"));
}

bool ProbeClient::answers()
{
    // Any question will do: an answer, even "not found", means the probe is up.
    return query(QString()).answered;
}

bool ProbeClient::waitUntilAnswering(int timeoutMs)
{
    if (waitUntil([this] { return answers(); }, timeoutMs))
        return true;
    qWarning("no test probe answers at %s", qPrintable(m_socketPath));
    return false;
}

bool ProbeClient::waitFor(const QString& path,
                          const std::function<bool(const ProbedWidget&)>& condition, int timeoutMs)
{
    ProbedWidget probed;
    if (waitUntil([&] { return condition(probed = query(path)); }, timeoutMs))
        return true;
    qWarning("%s: still %s after %d ms", qPrintable(path), qPrintable(probed.describe()),
             timeoutMs);
    return false;
}

bool ProbeClient::waitUntilClickable(const QString& path, ProbedWidget* state, int timeoutMs)
{
    return waitFor(
        path,
        [state](const ProbedWidget& probed) {
            if (state)
                *state = probed;
            return probed.clickable();
        },
        timeoutMs);
}

bool ProbeClient::click(const QString& path, int timeoutMs)
{
    ProbedWidget target;
    if (!waitUntilClickable(path, &target, timeoutMs))
        return false;
    const QPoint centre = target.rect.center();
    return xdotool({QStringLiteral("mousemove"), QString::number(centre.x()),
                    QString::number(centre.y()), QStringLiteral("click"), QStringLiteral("1")});
}
