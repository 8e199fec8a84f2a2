#pragma once
// One request to the desktop portal. The call returns at once with the path of a
// request object; the result comes later as that object's Response signal (for
// Start, once the user has answered the portal's dialog). The caller's thread waits
// for it in an event loop of its own, so any thread may make a request.

#include <QObject>
#include <QVariantMap>

class QDBusMessage;

namespace platform::wayland {

class PrivateSessionBus;

class PortalRequest : public QObject
{
    Q_OBJECT

public:
    enum class Outcome
    {
        Granted,   // response 0
        Cancelled, // response 1: the user said no
        Failed,    // another response, a refused call, or no answer in time
    };

    struct Answer
    {
        Outcome outcome = Outcome::Failed;
        QVariantMap results;
    };

    // Makes `call` with `options` (plus a handle token) as its last argument and waits
    // up to `timeoutMs` for the response.
    static Answer make(PrivateSessionBus& bus, QDBusMessage call, QVariantMap options,
                       int timeoutMs);

signals:
    void answered();

private slots:
    void onResponse(uint response, const QVariantMap& results);

private:
    PortalRequest() = default;

    Answer m_answer;
    bool m_answered = false;
};

} // namespace platform::wayland
