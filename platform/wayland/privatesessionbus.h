#pragma once
// A connection of our own to the session bus, for the remote-desktop sessions. Job
// threads call through it and wait for the answers on it directly: QtDBus reads
// the socket on a thread of its own, so no call needs the GUI thread's event loop.
// The desktop ends a session when the connection that made it goes away, so the
// connection lives exactly as long as its owner.

#include <QDBusConnection>
#include <QDBusMessage>
#include <QVariant>

namespace platform::wayland {

class PrivateSessionBus
{
public:
    // How long a call may take before the desktop is taken as hung.
    static constexpr int kCallTimeoutMs = 5000;

    PrivateSessionBus();
    ~PrivateSessionBus();
    PrivateSessionBus(const PrivateSessionBus&) = delete;
    PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

    bool isConnected() const { return m_connection.isConnected(); }
    QDBusConnection& connection() { return m_connection; }
    // Whether a program owns `service` right now (no D-Bus activation is attempted).
    bool hasService(const QString& service);

    // Queues a call; nobody waits for its answer.
    void send(const QDBusMessage& call);
    // Makes a call and waits for its answer, whose arguments go to `answer`; false
    // on an error or a timeout, which is logged unless `quiet`.
    bool call(const QDBusMessage& call, QList<QVariant>* answer = nullptr, bool quiet = false);
    // Reads a property; an invalid QVariant on failure.
    QVariant property(const QString& service, const QString& path, const QString& interface,
                      const QString& name, bool quiet = false);

private:
    QString m_name;
    QDBusConnection m_connection;
};

} // namespace platform::wayland
