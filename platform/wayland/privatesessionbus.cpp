#include "privatesessionbus.h"

#include "../platformlog.h"

#include <QDBusConnectionInterface>
#include <QDBusVariant>

#include <atomic>

namespace platform::wayland {
namespace {

QString uniqueConnectionName()
{
    static std::atomic<int> counter{0};
    return QStringLiteral("kliqora-remote-desktop-%1").arg(++counter);
}

} // namespace

PrivateSessionBus::PrivateSessionBus()
    : m_name(uniqueConnectionName()),
      m_connection(QDBusConnection::connectToBus(QDBusConnection::SessionBus, m_name))
{
}

PrivateSessionBus::~PrivateSessionBus()
{
    QDBusConnection::disconnectFromBus(m_name);
}

bool PrivateSessionBus::hasService(const QString& service)
{
    QDBusConnectionInterface* bus = m_connection.interface();
    return bus && bus->isServiceRegistered(service).value();
}

void PrivateSessionBus::send(const QDBusMessage& call)
{
    QDBusMessage noReply = call;
    noReply.setAutoStartService(false);
    m_connection.send(noReply);
}

bool PrivateSessionBus::call(const QDBusMessage& call, QList<QVariant>* answer, bool quiet)
{
    const QDBusMessage reply = m_connection.call(call, QDBus::Block, kCallTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        if (!quiet)
            qCWarning(platformLog(), "D-Bus call %s.%s failed: %s", qPrintable(call.interface()),
                      qPrintable(call.member()), qPrintable(reply.errorMessage()));
        return false;
    }
    if (answer)
        *answer = reply.arguments();
    return true;
}

QVariant PrivateSessionBus::property(const QString& service, const QString& path,
                                     const QString& interface, const QString& name, bool quiet)
{
    QDBusMessage get = QDBusMessage::createMethodCall(
        service, path, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << interface << name;
    QList<QVariant> answer;
    if (!call(get, &answer, quiet) || answer.isEmpty())
        return QVariant();
    return answer.first().value<QDBusVariant>().variant();
}

} // namespace platform::wayland
