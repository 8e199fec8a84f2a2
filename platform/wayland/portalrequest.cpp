#include "portalrequest.h"

#include "../platformlog.h"
#include "portalrequestpath.h"
#include "privatesessionbus.h"

#include <QDBusMessage>
#include <QEventLoop>
#include <QTimer>

namespace platform::wayland {
namespace {

// The portal answers 0 for success and 1 when the user cancelled.
constexpr uint kResponseSuccess = 0;
constexpr uint kResponseCancelled = 1;

} // namespace

PortalRequest::Answer PortalRequest::make(PrivateSessionBus& bus, QDBusMessage call,
                                          QVariantMap options, int timeoutMs)
{
    const QString token = portalrequest::newHandleToken(QStringLiteral("kliqora"));
    options.insert(QStringLiteral("handle_token"), token);
    call << options;
    const QString path = portalrequest::requestPath(bus.connection().baseService(), token);
    PortalRequest request;
    // Listening before the call: the answer may come before the call returns.
    const bool listening = bus.connection().connect(
        call.service(), path, QStringLiteral("org.freedesktop.portal.Request"),
        QStringLiteral("Response"), &request, SLOT(onResponse(uint, QVariantMap)));
    if (!listening || !bus.call(call))
        return {};
    if (!request.m_answered) {
        QEventLoop loop;
        QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
        QObject::connect(&request, &PortalRequest::answered, &loop, &QEventLoop::quit);
        loop.exec();
    }
    bus.connection().disconnect(
        call.service(), path, QStringLiteral("org.freedesktop.portal.Request"),
        QStringLiteral("Response"), &request, SLOT(onResponse(uint, QVariantMap)));
    if (!request.m_answered)
        qCWarning(platformLog(), "The desktop portal did not answer %s in time",
                  qPrintable(call.member()));
    return request.m_answer;
}

void PortalRequest::onResponse(uint response, const QVariantMap& results)
{
    m_answer.outcome = response == kResponseSuccess     ? Outcome::Granted
                       : response == kResponseCancelled ? Outcome::Cancelled
                                                        : Outcome::Failed;
    m_answer.results = results;
    m_answered = true;
    emit answered();
}

} // namespace platform::wayland
