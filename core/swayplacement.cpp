#include "swayplacement.h"

#include "logcategory.h"
#include "swayipc.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>
#include <QWidget>

namespace SwayPlacement {

namespace {

constexpr int RetryIntervalMs = 20;
constexpr int GiveUpAfterMs = 3000;

enum class Outcome
{
    NotShownYet,
    Placed,
    Refused
};

// The container id of this process's window titled `title`; -1 when none.
qint64 containerOf(const QJsonObject& node, const QString& title)
{
    if (node.value(QLatin1String("pid")).toVariant().toLongLong() ==
            QCoreApplication::applicationPid() &&
        node.value(QLatin1String("name")).toString() == title)
        return node.value(QLatin1String("id")).toVariant().toLongLong();
    for (const char* children : {"nodes", "floating_nodes"}) {
        for (const QJsonValue& child : node.value(QLatin1String(children)).toArray()) {
            const qint64 id = containerOf(child.toObject(), title);
            if (id >= 0)
                return id;
        }
    }
    return -1;
}

bool allSucceeded(const QByteArray& reply)
{
    const QJsonArray results = QJsonDocument::fromJson(reply).array();
    for (const QJsonValue& result : results) {
        if (!result.toObject().value(QLatin1String("success")).toBool())
            return false;
    }
    return !results.isEmpty();
}

Outcome floatOver(const QString& title, const QRect& area)
{
    SwayIpc ipc(qEnvironmentVariable("SWAYSOCK"));
    const qint64 container = containerOf(
        QJsonDocument::fromJson(ipc.request(SwayIpc::GetTree, QByteArray())).object(), title);
    if (container < 0)
        return Outcome::NotShownYet;
    // Borderless first: the size and place are then those of the window itself.
    const QString command = QStringLiteral("[con_id=%1] floating enable, border none, "
                                           "resize set %2 px %3 px, "
                                           "move absolute position %4 px %5 px, focus")
                                .arg(container)
                                .arg(area.width())
                                .arg(area.height())
                                .arg(area.x())
                                .arg(area.y());
    const QByteArray reply = ipc.request(SwayIpc::RunCommand, command.toUtf8());
    if (!allSucceeded(reply)) {
        qCWarning(logCategory).noquote()
            << "sway did not place the window" << title << "-" << QString::fromUtf8(reply);
        return Outcome::Refused;
    }
    return Outcome::Placed;
}

} // namespace

bool available()
{
    return qEnvironmentVariableIsSet("SWAYSOCK");
}

void floatWhenShown(QWidget* window, const QRect& area)
{
    auto* retry = new QTimer(window); // goes with the window
    retry->setInterval(RetryIntervalMs);
    QElapsedTimer clock;
    clock.start();
    const QString title = window->windowTitle();
    QObject::connect(retry, &QTimer::timeout, retry, [retry, clock, title, area] {
        const Outcome outcome = floatOver(title, area);
        if (outcome == Outcome::NotShownYet && clock.elapsed() < GiveUpAfterMs)
            return;
        if (outcome == Outcome::NotShownYet)
            qCWarning(logCategory).noquote() << "sway never showed the window" << title;
        retry->deleteLater();
    });
    retry->start();
}

} // namespace SwayPlacement
