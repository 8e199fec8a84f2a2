#include "waylandbackend.h"

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
    // Further paths (remote-desktop sessions of GNOME and KDE) go after this one.
    if (std::unique_ptr<WlrInjector> wlr = WlrInjector::create(std::move(connection))) {
        why = wlr->description();
        return std::make_unique<WaylandBackend>(std::move(wlr));
    }
    why = "the compositor offers no virtual pointer and keyboard";
    return nullptr;
}

} // namespace platform::wayland
