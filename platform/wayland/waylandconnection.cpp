#include "waylandconnection.h"

#include "virtual-keyboard-unstable-v1-client-protocol.h"
#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"
#include "xdg-output-unstable-v1-client-protocol.h"

#include <wayland-client.h>

#include <poll.h>

#include <cerrno>
#include <cstring>

namespace platform::wayland {
namespace {

constexpr uint32_t kSeatVersion = 1;
constexpr uint32_t kPointerManagerVersion = 1;
constexpr uint32_t kKeyboardManagerVersion = 1;
constexpr uint32_t kXdgOutputManagerVersion = 1;
// A compositor that reads nothing for this long is taken as hung.
constexpr int kFlushTimeoutMs = 5000;

void onGlobal(void* data, wl_registry*, uint32_t name, const char* interface, uint32_t version)
{
    static_cast<WaylandConnection*>(data)->globalAdded(name, interface, version);
}

void onGlobalRemove(void* data, wl_registry*, uint32_t name)
{
    static_cast<WaylandConnection*>(data)->globalRemoved(name);
}

const wl_registry_listener kRegistryListener = {onGlobal, onGlobalRemove};

template <typename T>
T* bind(wl_registry* registry, uint32_t name, const wl_interface& interface, uint32_t version)
{
    return static_cast<T*>(wl_registry_bind(registry, name, &interface, version));
}

} // namespace

std::unique_ptr<WaylandConnection> WaylandConnection::open()
{
    wl_display* display = wl_display_connect(nullptr);
    if (!display)
        return nullptr;
    std::unique_ptr<WaylandConnection> connection(new WaylandConnection(display));
    // The first round trip announces the globals, the second the outputs' places.
    if (!connection->roundtrip() || !connection->roundtrip())
        return nullptr;
    return connection;
}

WaylandConnection::WaylandConnection(wl_display* display) : m_display(display)
{
    m_registry = wl_display_get_registry(m_display);
    wl_registry_add_listener(m_registry, &kRegistryListener, this);
}

WaylandConnection::~WaylandConnection()
{
    m_outputs.reset(); // its proxies go before the connection
    if (m_xdgOutputManager)
        zxdg_output_manager_v1_destroy(m_xdgOutputManager);
    if (m_pointerManager)
        zwlr_virtual_pointer_manager_v1_destroy(m_pointerManager);
    if (m_keyboardManager)
        zwp_virtual_keyboard_manager_v1_destroy(m_keyboardManager);
    if (m_seat)
        wl_seat_destroy(m_seat);
    wl_registry_destroy(m_registry);
    wl_display_disconnect(m_display);
}

void WaylandConnection::globalAdded(uint32_t name, const char* interface, uint32_t version)
{
    if (!m_seat && std::strcmp(interface, wl_seat_interface.name) == 0) {
        // The first seat: the one a single-user desktop has.
        m_seat = bind<wl_seat>(m_registry, name, wl_seat_interface, kSeatVersion);
    } else if (std::strcmp(interface, wl_output_interface.name) == 0) {
        m_outputs->add(m_registry, name, version);
    } else if (std::strcmp(interface, zxdg_output_manager_v1_interface.name) == 0) {
        m_xdgOutputManager = bind<zxdg_output_manager_v1>(
            m_registry, name, zxdg_output_manager_v1_interface, kXdgOutputManagerVersion);
        m_outputs->setXdgOutputManager(m_xdgOutputManager);
    } else if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0) {
        m_pointerManager = bind<zwlr_virtual_pointer_manager_v1>(
            m_registry, name, zwlr_virtual_pointer_manager_v1_interface, kPointerManagerVersion);
    } else if (std::strcmp(interface, zwp_virtual_keyboard_manager_v1_interface.name) == 0) {
        m_keyboardManager = bind<zwp_virtual_keyboard_manager_v1>(
            m_registry, name, zwp_virtual_keyboard_manager_v1_interface, kKeyboardManagerVersion);
    }
}

void WaylandConnection::globalRemoved(uint32_t name)
{
    m_outputs->remove(name);
}

bool WaylandConnection::roundtrip()
{
    return wl_display_roundtrip(m_display) >= 0;
}

bool WaylandConnection::dispatchPending()
{
    // Read whatever the socket holds without blocking, then handle it.
    while (wl_display_prepare_read(m_display) != 0) {
        if (wl_display_dispatch_pending(m_display) < 0)
            return false;
    }
    if (!flush()) {
        wl_display_cancel_read(m_display);
        return false;
    }
    pollfd socket{wl_display_get_fd(m_display), POLLIN, 0};
    if (poll(&socket, 1, 0) > 0) {
        if (wl_display_read_events(m_display) < 0)
            return false;
    } else {
        wl_display_cancel_read(m_display);
    }
    return wl_display_dispatch_pending(m_display) >= 0;
}

bool WaylandConnection::flush()
{
    // A busy compositor (compiling a keymap, say) lets the socket fill up. Wait for
    // room: libwayland takes a request that finds its buffer still full as fatal.
    while (wl_display_flush(m_display) < 0) {
        pollfd socket{wl_display_get_fd(m_display), POLLOUT, 0};
        if (errno != EAGAIN || poll(&socket, 1, kFlushTimeoutMs) <= 0)
            return false;
    }
    return true;
}

bool WaylandConnection::isBroken() const
{
    return wl_display_get_error(m_display) != 0;
}

bool WaylandConnection::refreshLayout()
{
    m_outputs->refresh();
    return roundtrip();
}

ScreenSize WaylandConnection::layoutExtent() const
{
    return wayland::layoutExtent(m_outputs->rects());
}

LayoutRect WaylandConnection::layoutBounds() const
{
    return wayland::layoutBounds(m_outputs->rects());
}

} // namespace platform::wayland
