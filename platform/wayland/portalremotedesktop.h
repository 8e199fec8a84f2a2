#pragma once
// The desktop portal's remote desktop (org.freedesktop.portal.RemoteDesktop, GNOME
// and KDE): the user allows it in the desktop's dialog, once per session; the
// session shares the monitors through the portal's ScreenCast, whose streams give
// absolute positions. Portals from version 2 on hand out a restore token that
// skips the dialog next time; it is kept in `permission`.

#include "portalrequest.h"
#include "privatesessionbus.h"
#include "remotedesktopsession.h"

#include "platform/backend.h"

#include <QDBusObjectPath>
#include <QVariantMap>

#include <memory>

namespace platform::wayland {

class PortalRemoteDesktop : public RemoteDesktopSession
{
public:
    // How long the user may take to answer the dialog.
    static constexpr int kConsentTimeoutMs = 120000;

    // A session the user allowed; null (with the reason in `why`) when the portal
    // offers no remote desktop, the user declines or does not answer in time.
    static std::unique_ptr<PortalRemoteDesktop> start(const RemoteDesktopPermission& permission,
                                                      std::string& why);
    // Closes the session.
    ~PortalRemoteDesktop() override;

    const char* description() const override;
    std::vector<LayoutRect> streams() const override { return m_streamRects; }
    void moveTo(size_t stream, double x, double y) override;
    void moveBy(double dx, double dy) override;
    void button(int evdevButton, bool down) override;
    void scroll(Axis axis, int steps) override;
    void keysym(uint32_t keysym, bool down) override;
    bool flush() override;

private:
    PortalRemoteDesktop() = default;
    bool create(const RemoteDesktopPermission& permission, std::string& why);
    bool selectDevicesAndSources(const RemoteDesktopPermission& permission);
    bool startSession(const RemoteDesktopPermission& permission, std::string& why);
    // A request on the portal's `interface` with the session as its first argument.
    PortalRequest::Answer request(const QString& interface, const char* method,
                                  QList<QVariant> arguments, const QVariantMap& options,
                                  int timeoutMs);
    void notify(const char* method, const QList<QVariant>& arguments);

    PrivateSessionBus m_bus;
    uint m_version = 0;
    QDBusObjectPath m_session;
    std::vector<uint> m_streamNodes;
    std::vector<LayoutRect> m_streamRects;
};

} // namespace platform::wayland
