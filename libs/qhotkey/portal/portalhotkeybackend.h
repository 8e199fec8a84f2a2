#pragma once
// Global hotkeys through the desktop portal's GlobalShortcuts (KDE Plasma, and any
// desktop whose portal offers it): every key becomes a shortcut of one portal
// session, bound with the key as its preferred trigger and the job's name as its
// description; the desktop may ask its user, who can also choose another key.
// Presses come back as Activated and Deactivated signals.
//
// A session binds its shortcuts once, so any change (a key added, removed or
// described anew) closes the session and binds the whole set in a new one, after
// the current round of the event loop so that the keys registered at start go in one
// session. grab() therefore answers before the desktop does: a key the desktop then
// refuses, or binds to another trigger than the one asked for, goes back to the
// registry as refused (also when the user changes it later in the desktop's settings).

#include "../hotkeybackend.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QTimer>

#include <map>
#include <memory>

class PortalHotkeyBackend : public QObject, public HotkeyBackend
{
    Q_OBJECT

public:
    // Null when the session bus has no portal with GlobalShortcuts.
    static std::unique_ptr<PortalHotkeyBackend> create();
    // Closes the session, which unbinds every key.
    ~PortalHotkeyBackend() override;

    bool toNative(Qt::Key key, Qt::KeyboardModifiers modifiers, NativeHotkey* out) override;
    bool grab(const NativeHotkey& hotkey) override;
    void ungrab(const NativeHotkey& hotkey) override;
    void describe(const NativeHotkey& hotkey, const QString& description) override;

private slots:
    void onActivated(const QDBusMessage& signal);
    void onDeactivated(const QDBusMessage& signal);
    void onShortcutsChanged(const QDBusMessage& signal);

private:
    explicit PortalHotkeyBackend(QDBusConnection bus);
    bool listen(const char* signal, const char* slot);
    void bindLater();
    void bindAll();
    void closeSession();
    void onSessionCreated(quint64 round, uint response, const QVariantMap& results);
    void onBound(quint64 round, uint response, const QVariantMap& results);
    // Takes back every key the desktop's list of shortcuts does not bind as asked; a
    // key missing from the list counts as unbound when the list is `complete` (the
    // answer to a bind), as unchanged when not (a list of changes).
    void refuseUnbound(const QVariant& shortcuts, bool complete);
    // Whether a signal's first argument is the open session.
    bool isOurSession(const QList<QVariant>& arguments) const;
    // The key of a signal's shortcut id; false when the signal is about another session
    // or a key no longer grabbed.
    bool keyOf(const QDBusMessage& signal, NativeHotkey* out) const;

    QDBusConnection m_bus;
    QTimer m_bindTimer;
    std::map<NativeHotkey, QString> m_keys; // every grabbed key and its description
    QString m_session;                      // empty while none is open
    quint64 m_round = 0;                    // answers of an older round are stale
};
