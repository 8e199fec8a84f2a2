#include "mutterremotedesktop.h"

#include <QDBusObjectPath>
#include <QVariantMap>

namespace platform::wayland {
namespace {

const QString kRemoteDesktopService = QStringLiteral("org.gnome.Mutter.RemoteDesktop");
const QString kRemoteDesktopPath = QStringLiteral("/org/gnome/Mutter/RemoteDesktop");
const QString kRemoteDesktopSession = QStringLiteral("org.gnome.Mutter.RemoteDesktop.Session");
const QString kScreenCastService = QStringLiteral("org.gnome.Mutter.ScreenCast");
const QString kScreenCastPath = QStringLiteral("/org/gnome/Mutter/ScreenCast");
const QString kScreenCastSession = QStringLiteral("org.gnome.Mutter.ScreenCast.Session");

QString objectPath(const QList<QVariant>& answer)
{
    return answer.isEmpty() ? QString() : answer.first().value<QDBusObjectPath>().path();
}

} // namespace

std::unique_ptr<MutterRemoteDesktop> MutterRemoteDesktop::start(const LayoutRect& layout,
                                                                std::string& why)
{
    std::unique_ptr<MutterRemoteDesktop> session(new MutterRemoteDesktop());
    if (!session->create(layout, why))
        return nullptr;
    return session;
}

bool MutterRemoteDesktop::create(const LayoutRect& layout, std::string& why)
{
    if (!m_bus.isConnected() || !m_bus.hasService(kRemoteDesktopService)) {
        why = "mutter's remote desktop is not on the session bus";
        return false;
    }
    if (layout.width <= 0 || layout.height <= 0) {
        why = "the compositor shows no output";
        return false;
    }
    why = "mutter refused a remote-desktop session";
    QList<QVariant> answer;
    if (!m_bus.call(QDBusMessage::createMethodCall(kRemoteDesktopService, kRemoteDesktopPath,
                                                   kRemoteDesktopService,
                                                   QStringLiteral("CreateSession")),
                    &answer))
        return false;
    m_sessionPath = objectPath(answer);
    const QString sessionId = m_bus
                                  .property(kRemoteDesktopService, m_sessionPath,
                                            kRemoteDesktopSession, QStringLiteral("SessionId"))
                                  .toString();
    // Absolute positions are given on a screen stream of a screen-cast session tied
    // to this one; an area stream over the whole layout keeps layout coordinates.
    QDBusMessage screenCast = QDBusMessage::createMethodCall(
        kScreenCastService, kScreenCastPath, kScreenCastService, QStringLiteral("CreateSession"));
    screenCast << QVariantMap{{QStringLiteral("remote-desktop-session-id"), sessionId}};
    if (sessionId.isEmpty() || !m_bus.call(screenCast, &answer))
        return false;
    QDBusMessage area = QDBusMessage::createMethodCall(
        kScreenCastService, objectPath(answer), kScreenCastSession, QStringLiteral("RecordArea"));
    area << layout.x << layout.y << layout.width << layout.height << QVariantMap();
    if (!m_bus.call(area, &answer))
        return false;
    m_streamPath = objectPath(answer);
    m_area = layout;
    // Starting needs PipeWire, through which the stream would be shown.
    m_started = m_bus.call(sessionCall("Start"));
    if (!m_started)
        why = "mutter could not start a remote-desktop session (is PipeWire running?)";
    return m_started;
}

MutterRemoteDesktop::~MutterRemoteDesktop()
{
    if (m_started)
        m_bus.call(sessionCall("Stop"), nullptr, true);
}

const char* MutterRemoteDesktop::description() const
{
    return "mutter remote desktop";
}

QDBusMessage MutterRemoteDesktop::sessionCall(const char* method) const
{
    return QDBusMessage::createMethodCall(kRemoteDesktopService, m_sessionPath,
                                          kRemoteDesktopSession, QLatin1String(method));
}

void MutterRemoteDesktop::moveTo(size_t, double x, double y)
{
    // Positions are the stream's own pixels: the area's corner is its (0, 0).
    m_bus.send(sessionCall("NotifyPointerMotionAbsolute") << m_streamPath << x << y);
}

void MutterRemoteDesktop::moveBy(double dx, double dy)
{
    m_bus.send(sessionCall("NotifyPointerMotionRelative") << dx << dy);
}

void MutterRemoteDesktop::button(int evdevButton, bool down)
{
    m_bus.send(sessionCall("NotifyPointerButton") << evdevButton << down);
}

void MutterRemoteDesktop::scroll(Axis axis, int steps)
{
    m_bus.send(sessionCall("NotifyPointerAxisDiscrete") << uint(axis) << steps);
}

void MutterRemoteDesktop::keysym(uint32_t keysym, bool down)
{
    m_bus.send(sessionCall("NotifyKeyboardKeysym") << uint(keysym) << down);
}

bool MutterRemoteDesktop::flush()
{
    // Answered in order after every call queued before it; fails once the session is gone.
    return m_bus
        .property(kRemoteDesktopService, m_sessionPath, kRemoteDesktopSession,
                  QStringLiteral("SessionId"), true)
        .isValid();
}

} // namespace platform::wayland
