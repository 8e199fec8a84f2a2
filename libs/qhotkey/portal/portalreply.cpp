#include "portalreply.h"

#include "../hotkeylog.h"
#include "portalrequestpath.h"

#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace {

const QString RequestInterface = QStringLiteral("org.freedesktop.portal.Request");
const QString ResponseSignal = QStringLiteral("Response");

} // namespace

void PortalReply::make(QDBusConnection bus, QDBusMessage call, QVariantMap options,
                       QObject* context, Handler handler)
{
    const QString token = portalrequest::newHandleToken(QStringLiteral("kliqora_hotkeys"));
    options.insert(QStringLiteral("handle_token"), token);
    call << options;
    auto* reply =
        new PortalReply(bus, call.service(), portalrequest::requestPath(bus.baseService(), token),
                        std::move(handler), context);
    // Listening before the call: the answer may come before the call returns.
    if (!bus.connect(reply->m_service, reply->m_path, RequestInterface, ResponseSignal, reply,
                     SLOT(onResponse(uint, QVariantMap)))) {
        reply->finish(Failed, {});
        return;
    }
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), reply);
    connect(watcher, &QDBusPendingCallWatcher::finished, reply,
            [reply, member = call.member()](QDBusPendingCallWatcher* done) {
                done->deleteLater();
                if (!done->isError())
                    return;
                qCWarning(hotkeyLog())
                    << "The desktop portal refused" << member << done->error().message();
                reply->finish(Failed, {});
            });
}

PortalReply::PortalReply(QDBusConnection bus, QString service, QString path, Handler handler,
                         QObject* context)
    : QObject(context), m_bus(std::move(bus)), m_service(std::move(service)),
      m_path(std::move(path)), m_handler(std::move(handler))
{
}

PortalReply::~PortalReply()
{
    m_bus.disconnect(m_service, m_path, RequestInterface, ResponseSignal, this,
                     SLOT(onResponse(uint, QVariantMap)));
}

void PortalReply::onResponse(uint response, const QVariantMap& results)
{
    finish(response, results);
}

void PortalReply::finish(uint response, const QVariantMap& results)
{
    if (!m_handler)
        return; // answered already
    const Handler handler = std::move(m_handler);
    m_handler = nullptr;
    deleteLater();
    handler(response, results);
}
