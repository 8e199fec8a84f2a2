#pragma once
// GNOME's own remote-desktop service (org.gnome.Mutter.RemoteDesktop) with a screen
// stream of org.gnome.Mutter.ScreenCast in the same session: mutter takes these
// calls from any program of the session without a dialog. The stream records the
// box around the outputs, so a point of the layout is the same point of the stream.

#include "privatesessionbus.h"
#include "remotedesktopsession.h"

#include <memory>

namespace platform::wayland {

class MutterRemoteDesktop : public RemoteDesktopSession
{
public:
    // A started session whose stream covers `layout`; null (with the reason in `why`)
    // when mutter's service is not on the session bus or refuses.
    static std::unique_ptr<MutterRemoteDesktop> start(const LayoutRect& layout, std::string& why);
    // Stops the session.
    ~MutterRemoteDesktop() override;

    const char* description() const override;
    std::vector<LayoutRect> streams() const override { return {m_area}; }
    void moveTo(size_t stream, double x, double y) override;
    void moveBy(double dx, double dy) override;
    void button(int evdevButton, bool down) override;
    void scroll(Axis axis, int steps) override;
    void keysym(uint32_t keysym, bool down) override;
    bool flush() override;

private:
    MutterRemoteDesktop() = default;
    bool create(const LayoutRect& layout, std::string& why);
    QDBusMessage sessionCall(const char* method) const;

    PrivateSessionBus m_bus;
    QString m_sessionPath;
    QString m_streamPath;
    LayoutRect m_area;
    bool m_started = false;
};

} // namespace platform::wayland
