#pragma once
// A connection to sway's IPC socket ($SWAYSOCK): requests answered synchronously
// (the compositor answers within a millisecond), or a subscription whose events
// arrive on the thread that owns the object.

#include <QByteArray>
#include <QLocalSocket>
#include <QObject>

#include <functional>

class SwayIpc : public QObject
{
public:
    // Message types of the protocol.
    static constexpr quint32 RunCommand = 0;
    static constexpr quint32 Subscribe = 2;
    static constexpr quint32 GetTree = 4;
    static constexpr quint32 GetConfig = 9;
    static constexpr quint32 BindingEvent = 0x80000005;

    using EventHandler = std::function<void(quint32 type, const QByteArray& payload)>;

    // Connects to `socketPath`; isConnected() tells whether that worked.
    explicit SwayIpc(const QString& socketPath);
    bool isConnected() const;

    // Sends a request and waits for its answer; an empty array on failure.
    QByteArray request(quint32 type, const QByteArray& payload);

    // Turns this connection into a subscription to `events` (a JSON array of event
    // names); every event is handed to `handler`. False when sway refused.
    bool subscribe(const QByteArray& events, EventHandler handler);

private:
    // Takes one whole message off the front of the buffer; false until one is there.
    bool takeMessage(quint32& type, QByteArray& payload);
    void readEvents();

    QLocalSocket m_socket;
    QByteArray m_buffer;
    EventHandler m_handler;
};
