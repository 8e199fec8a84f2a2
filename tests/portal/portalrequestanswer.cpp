#include "portalrequestanswer.h"

#include <QDBusArgument>
#include <QDBusObjectPath>

void answerPortalRequest(const QDBusMessage& call, const QDBusConnection& connection, uint response,
                         const QVariantMap& results)
{
    const QVariantMap options = qdbus_cast<QVariantMap>(call.arguments().last());
    QString sender = call.service().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    const QString request = QStringLiteral("/org/freedesktop/portal/desktop/request/") + sender +
                            QLatin1Char('/') +
                            options.value(QStringLiteral("handle_token")).toString();
    connection.send(call.createReply(QVariant::fromValue(QDBusObjectPath(request))));
    QDBusMessage signal = QDBusMessage::createSignal(
        request, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"));
    signal << response << results;
    connection.send(signal);
}
