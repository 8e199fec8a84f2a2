#pragma once
// A stand-in for the desktop portal on the test's own session bus: it answers the
// remote-desktop requests as xdg-desktop-portal does (a request object, then its
// Response signal), shares two monitors and records every call it gets.

#include <QDBusConnection>
#include <QDBusVirtualObject>
#include <QStringList>
#include <QVariantMap>

class FakePortal : public QDBusVirtualObject
{
public:
    struct Call
    {
        QString member;
        QList<QVariant> arguments;
    };

    // Registers the portal's name and object on the session bus.
    bool registerOn(QDBusConnection connection);

    uint version = 1;
    uint startResponse = 0; // 0 allowed, 1 declined by the user
    QString restoreToken;   // handed out by Start when not empty
    bool sessionClosed = false;
    QList<Call> calls;

    QStringList members() const;
    // The options argument of the first call of `member`.
    QVariantMap optionsOf(const QString& member) const;
    // The calls of `member` after the session handle and the options.
    QList<QList<QVariant>> notifications(const QString& member) const;

    QString introspect(const QString& path) const override;
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;

private:
    void respond(const QDBusMessage& message, const QDBusConnection& connection, uint response,
                 const QVariantMap& results);
    QVariantMap startResults() const;

    QString m_session;
};
