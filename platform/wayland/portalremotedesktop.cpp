#include "portalremotedesktop.h"

#include "../platformlog.h"
#include "portalrequest.h"

#include <QDBusArgument>
#include <QDBusMessage>

#include <atomic>

namespace platform::wayland {
namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kRemoteDesktop = QStringLiteral("org.freedesktop.portal.RemoteDesktop");
const QString kScreenCast = QStringLiteral("org.freedesktop.portal.ScreenCast");
const QString kSession = QStringLiteral("org.freedesktop.portal.Session");

constexpr uint kKeyboard = 1;
constexpr uint kPointer = 2;
constexpr uint kMonitors = 1;
constexpr uint kPersistUntilRevoked = 2;
// The first version with restore tokens.
constexpr uint kRestoreTokenVersion = 2;
constexpr int kRequestTimeoutMs = 10000;

QString newSessionToken()
{
    static std::atomic<int> counter{0};
    return QStringLiteral("kliqora_session%1").arg(++counter);
}

// A pair of integers (D-Bus "(ii)") from a stream's properties.
bool readPair(const QVariant& value, int& first, int& second)
{
    if (!value.canConvert<QDBusArgument>())
        return false;
    const QDBusArgument argument = value.value<QDBusArgument>();
    argument.beginStructure();
    argument >> first >> second;
    argument.endStructure();
    return true;
}

// The streams of Start's results (D-Bus "a(ua{sv})"): node ids and where each
// monitor sits in the layout.
void readStreams(const QVariant& value, std::vector<uint>& nodes, std::vector<LayoutRect>& rects)
{
    if (!value.canConvert<QDBusArgument>())
        return;
    const QDBusArgument argument = value.value<QDBusArgument>();
    argument.beginArray();
    while (!argument.atEnd()) {
        uint node = 0;
        QVariantMap properties;
        argument.beginStructure();
        argument >> node >> properties;
        argument.endStructure();
        LayoutRect rect;
        if (!readPair(properties.value(QStringLiteral("size")), rect.width, rect.height))
            continue; // a stream without a size cannot place the pointer
        readPair(properties.value(QStringLiteral("position")), rect.x, rect.y);
        nodes.push_back(node);
        rects.push_back(rect);
    }
    argument.endArray();
}

} // namespace

std::unique_ptr<PortalRemoteDesktop>
PortalRemoteDesktop::start(const RemoteDesktopPermission& permission, std::string& why)
{
    std::unique_ptr<PortalRemoteDesktop> session(new PortalRemoteDesktop());
    if (!session->create(permission, why))
        return nullptr;
    return session;
}

bool PortalRemoteDesktop::create(const RemoteDesktopPermission& permission, std::string& why)
{
    why = "the desktop portal offers no remote desktop";
    if (!m_bus.isConnected())
        return false;
    // Asking for the version starts the portal where the bus can.
    const QVariant version =
        m_bus.property(kService, kPath, kRemoteDesktop, QStringLiteral("version"), true);
    if (!version.isValid())
        return false;
    m_version = version.toUInt();
    why = "the desktop portal refused a remote-desktop session";
    QDBusMessage create = QDBusMessage::createMethodCall(kService, kPath, kRemoteDesktop,
                                                         QStringLiteral("CreateSession"));
    const PortalRequest::Answer created = PortalRequest::make(
        m_bus, create, {{QStringLiteral("session_handle_token"), newSessionToken()}},
        kRequestTimeoutMs);
    const QString handle = created.results.value(QStringLiteral("session_handle")).toString();
    if (created.outcome != PortalRequest::Outcome::Granted || handle.isEmpty())
        return false;
    m_session = QDBusObjectPath(handle);
    return selectDevicesAndSources(permission) && startSession(permission, why);
}

bool PortalRemoteDesktop::selectDevicesAndSources(const RemoteDesktopPermission& permission)
{
    QVariantMap devices{{QStringLiteral("types"), kKeyboard | kPointer}};
    if (m_version >= kRestoreTokenVersion) {
        devices.insert(QStringLiteral("persist_mode"), kPersistUntilRevoked);
        const std::string token = permission.load ? permission.load() : std::string();
        if (!token.empty())
            devices.insert(QStringLiteral("restore_token"), QString::fromStdString(token));
    }
    if (request(kRemoteDesktop, "SelectDevices", {}, devices, kRequestTimeoutMs).outcome !=
        PortalRequest::Outcome::Granted)
        return false;
    // Absolute positions are given on a shared monitor.
    return request(kScreenCast, "SelectSources", {},
                   {{QStringLiteral("types"), kMonitors}, {QStringLiteral("multiple"), true}},
                   kRequestTimeoutMs)
               .outcome == PortalRequest::Outcome::Granted;
}

bool PortalRemoteDesktop::startSession(const RemoteDesktopPermission& permission, std::string& why)
{
    qCInfo(platformLog(), "Asking the desktop for permission to send input");
    const PortalRequest::Answer answer =
        request(kRemoteDesktop, "Start", {QString()}, {}, kConsentTimeoutMs);
    if (answer.outcome == PortalRequest::Outcome::Cancelled)
        why = "the user did not allow the remote-desktop session";
    if (answer.outcome != PortalRequest::Outcome::Granted)
        return false;
    const QVariantMap& started = answer.results;
    const uint devices = started.value(QStringLiteral("devices")).toUInt();
    if ((devices & (kKeyboard | kPointer)) != (kKeyboard | kPointer)) {
        why = "the desktop did not share the keyboard and the pointer";
        return false;
    }
    readStreams(started.value(QStringLiteral("streams")), m_streamNodes, m_streamRects);
    const QString token = started.value(QStringLiteral("restore_token")).toString();
    if (!token.isEmpty() && permission.save)
        permission.save(token.toStdString());
    return true;
}

PortalRequest::Answer PortalRemoteDesktop::request(const QString& interface, const char* method,
                                                   QList<QVariant> arguments,
                                                   const QVariantMap& options, int timeoutMs)
{
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, interface, QLatin1String(method));
    arguments.prepend(QVariant::fromValue(m_session));
    call.setArguments(arguments);
    return PortalRequest::make(m_bus, call, options, timeoutMs);
}

PortalRemoteDesktop::~PortalRemoteDesktop()
{
    if (m_session.path().isEmpty())
        return; // the portal made none
    m_bus.call(QDBusMessage::createMethodCall(kService, m_session.path(), kSession,
                                              QStringLiteral("Close")),
               nullptr, true);
}

const char* PortalRemoteDesktop::description() const
{
    return "desktop portal remote desktop";
}

void PortalRemoteDesktop::notify(const char* method, const QList<QVariant>& arguments)
{
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kRemoteDesktop, QLatin1String(method));
    call.setArguments(QList<QVariant>{QVariant::fromValue(m_session), QVariantMap()} + arguments);
    // Each answer is awaited: the portal handles its calls on several threads, so calls
    // merely queued reach the desktop out of order (GNOME's took a click before the
    // motion sent ahead of it, and a key's next press before its release).
    m_bus.call(call, nullptr, true);
}

void PortalRemoteDesktop::moveTo(size_t stream, double x, double y)
{
    notify("NotifyPointerMotionAbsolute", {m_streamNodes.at(stream), x, y});
}

void PortalRemoteDesktop::moveBy(double dx, double dy)
{
    notify("NotifyPointerMotion", {dx, dy});
}

void PortalRemoteDesktop::button(int evdevButton, bool down)
{
    notify("NotifyPointerButton", {evdevButton, uint(down)});
}

void PortalRemoteDesktop::scroll(Axis axis, int steps)
{
    notify("NotifyPointerAxisDiscrete", {uint(axis), steps});
}

void PortalRemoteDesktop::keysym(uint32_t keysym, bool down)
{
    notify("NotifyKeyboardKeysym", {int(keysym), uint(down)});
}

bool PortalRemoteDesktop::flush()
{
    // Answered after every call queued before it; fails once the session is closed.
    return m_bus.property(kService, m_session.path(), kSession, QStringLiteral("version"), true)
        .isValid();
}

} // namespace platform::wayland
