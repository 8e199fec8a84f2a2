#pragma once
// Injection on wlroots compositors (sway, Hyprland, labwc, river, ...): a virtual
// pointer and a virtual keyboard on a Wayland connection of our own.

#include "waylandinjector.h"

#include <memory>

namespace platform::wayland {

class WaylandConnection;
class WlrKeyboard;
class WlrPointer;

class WlrInjector : public WaylandInjector
{
public:
    // Null when the compositor lacks either virtual device.
    static std::unique_ptr<WlrInjector> create(std::unique_ptr<WaylandConnection> connection);
    // Releases every key and button it still holds.
    ~WlrInjector() override;

    const char* description() const override;
    unsigned sendInput(const Input* inputs, unsigned count) override;
    void waitForDelivery() override;
    ScreenSize layoutSize() override;
    uint32_t heldModifiers() override;

private:
    WlrInjector(std::unique_ptr<WaylandConnection> connection, std::unique_ptr<WlrPointer> pointer,
                std::unique_ptr<WlrKeyboard> keyboard);
    // The layout's size when the batch holds an absolute move, else {0, 0}.
    ScreenSize layoutForBatch(const Input* inputs, unsigned count);

    std::unique_ptr<WaylandConnection> m_connection;
    std::unique_ptr<WlrPointer> m_pointer;
    std::unique_ptr<WlrKeyboard> m_keyboard;
    bool m_brokenReported = false;
};

} // namespace platform::wayland
