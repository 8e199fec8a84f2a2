#include "fakeportal.h"

#include "portalrequestanswer.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>

namespace {

const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");

// A stream of Start's results, D-Bus "(ua{sv})", and its "(ii)" pairs.
struct Stream
{
    uint node;
    QVariantMap properties;
};
struct Pair
{
    int first;
    int second;
};

} // namespace

Q_DECLARE_METATYPE(Stream)
Q_DECLARE_METATYPE(Pair)

namespace {

QDBusArgument& operator<<(QDBusArgument& argument, const Stream& stream)
{
    argument.beginStructure();
    argument << stream.node << stream.properties;
    argument.endStructure();
    return argument;
}
const QDBusArgument& operator>>(const QDBusArgument& argument, Stream& stream)
{
    argument.beginStructure();
    argument >> stream.node >> stream.properties;
    argument.endStructure();
    return argument;
}
QDBusArgument& operator<<(QDBusArgument& argument, const Pair& pair)
{
    argument.beginStructure();
    argument << pair.first << pair.second;
    argument.endStructure();
    return argument;
}
const QDBusArgument& operator>>(const QDBusArgument& argument, Pair& pair)
{
    argument.beginStructure();
    argument >> pair.first >> pair.second;
    argument.endStructure();
    return argument;
}

Stream monitor(uint node, Pair position, Pair size)
{
    return {node,
            {{QStringLiteral("position"), QVariant::fromValue(position)},
             {QStringLiteral("size"), QVariant::fromValue(size)}}};
}

} // namespace

bool FakePortal::registerOn(QDBusConnection connection)
{
    qDBusRegisterMetaType<Stream>();
    qDBusRegisterMetaType<Pair>();
    qDBusRegisterMetaType<QList<Stream>>();
    return connection.registerService(QStringLiteral("org.freedesktop.portal.Desktop")) &&
           connection.registerVirtualObject(kPath, this,
                                            QDBusConnection::VirtualObjectRegisterOption::SubPath);
}

QStringList FakePortal::members() const
{
    QStringList names;
    for (const Call& call : calls)
        names << call.member;
    return names;
}

QVariantMap FakePortal::optionsOf(const QString& member) const
{
    for (const Call& call : calls) {
        if (call.member == member)
            return qdbus_cast<QVariantMap>(call.arguments.last());
    }
    return {};
}

QList<QList<QVariant>> FakePortal::notifications(const QString& member) const
{
    QList<QList<QVariant>> found;
    for (const Call& call : calls) {
        if (call.member == member)
            found << call.arguments.mid(2);
    }
    return found;
}

QString FakePortal::introspect(const QString&) const
{
    return QString();
}

bool FakePortal::handleMessage(const QDBusMessage& message, const QDBusConnection& connection)
{
    const QString member = message.member();
    if (member == QLatin1String("Get")) {
        // The portal's version, or the session's while it is open.
        const bool onSession = message.path() != kPath;
        if (onSession && (sessionClosed || message.path() != m_session))
            connection.send(message.createErrorReply(QDBusError::UnknownObject, QString()));
        else
            connection.send(message.createReply(QVariant::fromValue(QDBusVariant(version))));
        return true;
    }
    calls << Call{member, message.arguments()};
    if (member == QLatin1String("CreateSession")) {
        const QVariantMap options = qdbus_cast<QVariantMap>(message.arguments().value(0));
        m_session = kPath + QStringLiteral("/session/x/") +
                    options.value(QStringLiteral("session_handle_token")).toString();
        sessionClosed = false;
        respond(message, connection, 0, {{QStringLiteral("session_handle"), m_session}});
    } else if (member == QLatin1String("SelectDevices") ||
               member == QLatin1String("SelectSources")) {
        respond(message, connection, 0, {});
    } else if (member == QLatin1String("Start")) {
        respond(message, connection, startResponse,
                startResponse == 0 ? startResults() : QVariantMap());
    } else {
        if (member == QLatin1String("Close"))
            sessionClosed = true;
        connection.send(message.createReply());
    }
    return true;
}

QVariantMap FakePortal::startResults() const
{
    // Two monitors side by side, the second shorter: the box around them is 2304x800.
    const QList<Stream> streams = {monitor(41, {0, 0}, {1280, 800}),
                                   monitor(42, {1280, 0}, {1024, 768})};
    QVariantMap results{{QStringLiteral("devices"), 3u},
                        {QStringLiteral("streams"), QVariant::fromValue(streams)}};
    if (!restoreToken.isEmpty())
        results.insert(QStringLiteral("restore_token"), restoreToken);
    return results;
}

void FakePortal::respond(const QDBusMessage& message, const QDBusConnection& connection,
                         uint response, const QVariantMap& results)
{
    answerPortalRequest(message, connection, response, results);
}
