#include "fakeshortcutsportal.h"

#include "portalrequestanswer.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>

namespace {

const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");

} // namespace

Q_DECLARE_METATYPE(FakeShortcutsPortal::Shortcut)

QDBusArgument& operator<<(QDBusArgument& argument, const FakeShortcutsPortal::Shortcut& shortcut)
{
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument,
                                FakeShortcutsPortal::Shortcut& shortcut)
{
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}

FakeShortcutsPortal::~FakeShortcutsPortal()
{
    m_thread.quit();
    m_thread.wait();
}

bool FakeShortcutsPortal::start()
{
    qDBusRegisterMetaType<Shortcut>();
    qDBusRegisterMetaType<QList<Shortcut>>();
    m_connection = QDBusConnection::connectToBus(QDBusConnection::SessionBus,
                                                 QStringLiteral("fake-shortcuts-portal"));
    if (!m_connection.registerService(QStringLiteral("org.freedesktop.portal.Desktop")) ||
        !m_connection.registerVirtualObject(kPath, this,
                                            QDBusConnection::VirtualObjectRegisterOption::SubPath))
        return false;
    // Calls are handled on the thread the object lives in.
    m_thread.start();
    moveToThread(&m_thread);
    return true;
}

void FakeShortcutsPortal::answerBinds(uint response, const QMap<QString, QString>& chosenTriggers,
                                      const QSet<QString>& leftOut)
{
    QMutexLocker lock(&m_mutex);
    m_bindResponse = response;
    m_chosenTriggers = chosenTriggers;
    m_leftOut = leftOut;
}

QStringList FakeShortcutsPortal::members() const
{
    QMutexLocker lock(&m_mutex);
    return m_members;
}

QList<QList<FakeShortcutsPortal::Shortcut>> FakeShortcutsPortal::binds() const
{
    QMutexLocker lock(&m_mutex);
    return m_binds;
}

QString FakeShortcutsPortal::lastSession() const
{
    QMutexLocker lock(&m_mutex);
    return m_bindSessions.value(m_bindSessions.size() - 1);
}

QStringList FakeShortcutsPortal::closedSessions() const
{
    QMutexLocker lock(&m_mutex);
    return m_closedSessions;
}

void FakeShortcutsPortal::activate(const QString& session, const QString& id)
{
    emitSignal(QStringLiteral("Activated"),
               {QVariant::fromValue(QDBusObjectPath(session)), id, qulonglong(1), QVariantMap()});
}

void FakeShortcutsPortal::deactivate(const QString& session, const QString& id)
{
    emitSignal(QStringLiteral("Deactivated"),
               {QVariant::fromValue(QDBusObjectPath(session)), id, qulonglong(2), QVariantMap()});
}

void FakeShortcutsPortal::changeTrigger(const QString& session, const QString& id,
                                        const QString& trigger)
{
    const QList<Shortcut> shortcuts{{id, {{QStringLiteral("trigger_description"), trigger}}}};
    emitSignal(QStringLiteral("ShortcutsChanged"),
               {QVariant::fromValue(QDBusObjectPath(session)), QVariant::fromValue(shortcuts)});
}

void FakeShortcutsPortal::emitSignal(const QString& name, const QList<QVariant>& arguments)
{
    QDBusMessage signal = QDBusMessage::createSignal(kPath, kInterface, name);
    signal.setArguments(arguments);
    m_connection.send(signal);
}

QString FakeShortcutsPortal::introspect(const QString&) const
{
    return QString();
}

bool FakeShortcutsPortal::handleMessage(const QDBusMessage& message,
                                        const QDBusConnection& connection)
{
    const QString member = message.member();
    QMutexLocker lock(&m_mutex);
    m_members << member;
    if (member == QLatin1String("Get")) {
        connection.send(message.createReply(QVariant::fromValue(QDBusVariant(1u))));
    } else if (member == QLatin1String("CreateSession")) {
        const QVariantMap options = qdbus_cast<QVariantMap>(message.arguments().value(0));
        QString sender = message.service().mid(1);
        sender.replace(QLatin1Char('.'), QLatin1Char('_'));
        const QString session = kPath + QStringLiteral("/session/") + sender + QLatin1Char('/') +
                                options.value(QStringLiteral("session_handle_token")).toString();
        answerPortalRequest(
            message, connection, 0,
            {{QStringLiteral("session_handle"), QVariant::fromValue(QDBusObjectPath(session))}});
    } else if (member == QLatin1String("BindShortcuts")) {
        bind(message, connection);
    } else {
        if (member == QLatin1String("Close"))
            m_closedSessions << message.path();
        connection.send(message.createReply());
    }
    return true;
}

void FakeShortcutsPortal::bind(const QDBusMessage& message, const QDBusConnection& connection)
{
    const QList<QVariant> arguments = message.arguments();
    m_bindSessions << arguments.value(0).value<QDBusObjectPath>().path();
    QList<Shortcut> asked;
    arguments.value(1).value<QDBusArgument>() >> asked;
    m_binds << asked;
    QList<Shortcut> bound;
    for (const Shortcut& shortcut : qAsConst(asked)) {
        if (m_leftOut.contains(shortcut.id))
            continue;
        const QString trigger = m_chosenTriggers.value(
            shortcut.id, shortcut.properties.value(QStringLiteral("preferred_trigger")).toString());
        bound.append({shortcut.id,
                      {{QStringLiteral("description"),
                        shortcut.properties.value(QStringLiteral("description"))},
                       {QStringLiteral("trigger_description"), trigger}}});
    }
    answerPortalRequest(message, connection, m_bindResponse,
                        m_bindResponse == 0
                            ? QVariantMap{{QStringLiteral("shortcuts"), QVariant::fromValue(bound)}}
                            : QVariantMap());
}
