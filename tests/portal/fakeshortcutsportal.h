#pragma once
// A stand-in for the desktop portal's GlobalShortcuts on the test's own session bus:
// it answers CreateSession and BindShortcuts as xdg-desktop-portal does, binds each
// shortcut to its preferred trigger unless told otherwise, records what it was asked
// and emits the signals a desktop sends when a bound key is pressed. It answers on a
// thread of its own, as a portal in another process would: the client may block on a
// call. Everything public may be used from the test's thread.

#include <QDBusConnection>
#include <QDBusVirtualObject>
#include <QMap>
#include <QMutex>
#include <QSet>
#include <QStringList>
#include <QThread>
#include <QVariantMap>

class FakeShortcutsPortal : public QDBusVirtualObject
{
public:
    struct Shortcut
    {
        QString id;
        QVariantMap properties;
    };

    ~FakeShortcutsPortal() override;

    // Registers the portal's name and object on a connection of its own to the session
    // bus, and starts answering.
    bool start();

    // How the next binds are answered: the response (0 bound, 1 cancelled by the
    // user), triggers the desktop chose instead of the preferred ones (by id; an empty
    // one binds no key) and ids it leaves out of its answer.
    void answerBinds(uint response, const QMap<QString, QString>& chosenTriggers = {},
                     const QSet<QString>& leftOut = {});

    QStringList members() const;          // every call, in order
    QList<QList<Shortcut>> binds() const; // the shortcuts of each BindShortcuts
    QString lastSession() const;          // the session of the last BindShortcuts
    QStringList closedSessions() const;

    // The desktop's signals about a shortcut of `session`.
    void activate(const QString& session, const QString& id);
    void deactivate(const QString& session, const QString& id);
    // ShortcutsChanged: the shortcut `id` of `session` now has `trigger`.
    void changeTrigger(const QString& session, const QString& id, const QString& trigger);

    QString introspect(const QString& path) const override;
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;

private:
    void emitSignal(const QString& name, const QList<QVariant>& arguments);
    void bind(const QDBusMessage& message, const QDBusConnection& connection);

    QThread m_thread;
    QDBusConnection m_connection{QString()};
    mutable QMutex m_mutex; // guards everything below
    uint m_bindResponse = 0;
    QMap<QString, QString> m_chosenTriggers;
    QSet<QString> m_leftOut;
    QStringList m_members;
    QList<QList<Shortcut>> m_binds;
    QStringList m_bindSessions;
    QStringList m_closedSessions;
};
