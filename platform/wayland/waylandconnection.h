#pragma once
// A Wayland connection of our own: injection runs on worker threads and must not
// share Qt's connection (which may not even exist when Qt runs through Xwayland).
// Binds the globals the injectors need and keeps track of the outputs. Not
// thread-safe: its owner serialises every call.

#include "waylandoutputs.h"

#include <memory>

struct wl_display;
struct wl_registry;
struct wl_seat;
struct zwlr_virtual_pointer_manager_v1;
struct zwp_virtual_keyboard_manager_v1;
struct zxdg_output_manager_v1;

namespace platform::wayland {

class WaylandConnection
{
public:
    // Null when no compositor answers at WAYLAND_DISPLAY.
    static std::unique_ptr<WaylandConnection> open();
    ~WaylandConnection();
    WaylandConnection(const WaylandConnection&) = delete;
    WaylandConnection& operator=(const WaylandConnection&) = delete;

    wl_display* display() const { return m_display; }
    wl_seat* seat() const { return m_seat; }
    zwlr_virtual_pointer_manager_v1* pointerManager() const { return m_pointerManager; }
    zwp_virtual_keyboard_manager_v1* keyboardManager() const { return m_keyboardManager; }

    // Waits until the compositor has handled every request sent so far and reads
    // its answers; false once the connection is broken.
    bool roundtrip();
    // Reads the events that have arrived, without waiting; false once broken.
    bool dispatchPending();
    // Writes the requests queued so far, waiting while the socket is full; false once
    // broken.
    bool flush();
    bool isBroken() const;

    // The box around every output in the layout, up to the events read so far.
    ScreenSize layoutExtent() const;
    // That box in layout coordinates.
    LayoutRect layoutBounds() const;
    // Asks the outputs for their places again and waits for the answers; the
    // compositor announces no change of the layout itself.
    bool refreshLayout();

    // Registry announcements, from the listener.
    void globalAdded(uint32_t name, const char* interface, uint32_t version);
    void globalRemoved(uint32_t name);

private:
    explicit WaylandConnection(wl_display* display);

    wl_display* m_display = nullptr;
    wl_registry* m_registry = nullptr;
    wl_seat* m_seat = nullptr;
    zwlr_virtual_pointer_manager_v1* m_pointerManager = nullptr;
    zwp_virtual_keyboard_manager_v1* m_keyboardManager = nullptr;
    zxdg_output_manager_v1* m_xdgOutputManager = nullptr;
    std::unique_ptr<WaylandOutputs> m_outputs = std::make_unique<WaylandOutputs>();
};

} // namespace platform::wayland
