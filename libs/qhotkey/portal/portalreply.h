#pragma once
// One request to the desktop portal, answered asynchronously: the call returns the
// path of a request object at once, and the result comes later as that object's
// Response signal (once the user has answered, where the desktop asks). The handler
// runs once on the object's thread; never when the object goes first.

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QVariantMap>

#include <functional>

class PortalReply : public QObject
{
    Q_OBJECT

public:
    // The portal answers 0 for success and 1 when the user cancelled.
    static constexpr uint Success = 0;
    static constexpr uint Failed = 2;

    using Handler = std::function<void(uint response, const QVariantMap& results)>;

    // Makes `call` with `options` plus a handle token as its last argument; `handler`
    // gets the response, or Failed when the call itself failed. The request is a
    // child of `context` and ends with it.
    static void make(QDBusConnection bus, QDBusMessage call, QVariantMap options, QObject* context,
                     Handler handler);

private slots:
    void onResponse(uint response, const QVariantMap& results);

private:
    PortalReply(QDBusConnection bus, QString service, QString path, Handler handler,
                QObject* context);
    ~PortalReply() override;
    void finish(uint response, const QVariantMap& results);

    QDBusConnection m_bus;
    QString m_service;
    QString m_path;
    Handler m_handler;
};
