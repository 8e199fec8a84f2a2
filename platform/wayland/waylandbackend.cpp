#include "waylandbackend.h"

#include "mutterremotedesktop.h"
#include "portalremotedesktop.h"
#include "remotedesktopinjector.h"
#include "waylandconnection.h"
#include "wlrinjector.h"

namespace platform::wayland {

WaylandBackend::WaylandBackend(std::unique_ptr<WaylandInjector> injector)
    : m_injector(std::move(injector))
{
}

WaylandBackend::~WaylandBackend() = default;

unsigned WaylandBackend::sendInput(const Input* inputs, unsigned count)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_injector->sendInput(inputs, count);
}

void WaylandBackend::waitForDelivery()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_injector->waitForDelivery();
}

ScreenSize WaylandBackend::primaryScreenSize()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_injector->layoutSize();
}

// Only the modifiers our own injection holds: no Wayland compositor tells a program
// without the keyboard focus which keys the user holds, so a job started by a hotkey
// does not wait for the user's modifiers here (that wait is skipped, not guessed).
uint32_t WaylandBackend::heldModifiers()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_injector->heldModifiers();
}

std::unique_ptr<Backend> createWaylandBackend(std::string& why)
{
    std::unique_ptr<WaylandConnection> connection = WaylandConnection::open();
    if (!connection) {
        why = "no Wayland compositor answers";
        return nullptr;
    }
    const LayoutRect layout = connection->layoutBounds();
    if (std::unique_ptr<WlrInjector> wlr = WlrInjector::create(std::move(connection))) {
        why = wlr->description();
        return std::make_unique<WaylandBackend>(std::move(wlr));
    }
    // mutter's own service needs no dialog; the portal asks the user.
    std::string mutterFailure;
    std::string portalFailure;
    std::unique_ptr<RemoteDesktopSession> session =
        MutterRemoteDesktop::start(layout, mutterFailure);
    if (!session)
        session = PortalRemoteDesktop::start(remoteDesktopPermission(), portalFailure);
    if (session) {
        if (std::unique_ptr<RemoteDesktopInjector> injector =
                RemoteDesktopInjector::create(std::move(session))) {
            why = injector->description();
            return std::make_unique<WaylandBackend>(std::move(injector));
        }
    }
    why = "the compositor offers no virtual pointer and keyboard, " + mutterFailure + ", and " +
          portalFailure;
    return nullptr;
}

} // namespace platform::wayland
