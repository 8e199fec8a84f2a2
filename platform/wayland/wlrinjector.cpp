#include "wlrinjector.h"

#include "../platformlog.h"
#include "waylandconnection.h"
#include "wlrkeyboard.h"
#include "wlrpointer.h"

#include <chrono>
#include <thread>

namespace platform::wayland {
namespace {

// The compositor adds a new device to the seat while it handles its first event;
// events sent before that has settled can still be lost.
constexpr std::chrono::milliseconds kNewDeviceSettle{20};

} // namespace

std::unique_ptr<WlrInjector> WlrInjector::create(std::unique_ptr<WaylandConnection> connection)
{
    std::unique_ptr<WlrPointer> pointer = WlrPointer::create(*connection);
    std::unique_ptr<WlrKeyboard> keyboard = pointer ? WlrKeyboard::create(*connection) : nullptr;
    if (!pointer || !keyboard)
        return nullptr;
    if (!connection->roundtrip())
        return nullptr;
    std::this_thread::sleep_for(kNewDeviceSettle);
    return std::unique_ptr<WlrInjector>(
        new WlrInjector(std::move(connection), std::move(pointer), std::move(keyboard)));
}

WlrInjector::WlrInjector(std::unique_ptr<WaylandConnection> connection,
                         std::unique_ptr<WlrPointer> pointer, std::unique_ptr<WlrKeyboard> keyboard)
    : m_connection(std::move(connection)), m_pointer(std::move(pointer)),
      m_keyboard(std::move(keyboard))
{
}

WlrInjector::~WlrInjector()
{
    m_pointer.reset();
    m_keyboard.reset();
    m_connection->roundtrip();
}

const char* WlrInjector::description() const
{
    return "wlroots virtual pointer and keyboard";
}

unsigned WlrInjector::sendInput(const Input* inputs, unsigned count)
{
    if (!inputs || count == 0)
        return 0;
    if (!m_connection->dispatchPending() || m_connection->isBroken()) {
        if (!m_brokenReported)
            qCWarning(platformLog(), "The Wayland connection is broken: no input can be injected");
        m_brokenReported = true;
        return 0;
    }
    const ScreenSize layout = layoutForBatch(inputs, count);
    unsigned sent = 0;
    for (unsigned i = 0; i < count; ++i) {
        if (inputs[i].type == Input::Type::Mouse) {
            m_pointer->send(inputs[i].mouse, layout);
            ++sent;
        } else if (m_keyboard->send(inputs, count, i)) {
            ++sent;
        } else {
            qCWarning(platformLog(), "Cannot type key record %u (vk %u, unit %u)", i,
                      inputs[i].keyboard.vk, inputs[i].keyboard.scan);
        }
        // Written record by record: libwayland's buffer holds only so many requests
        // and keymap files, and a long batch must not overflow it.
        if (!m_connection->flush())
            return 0;
    }
    return sent;
}

ScreenSize WlrInjector::layoutForBatch(const Input* inputs, unsigned count)
{
    for (unsigned i = 0; i < count; ++i) {
        if (inputs[i].type == Input::Type::Mouse && WlrPointer::isAbsoluteMove(inputs[i].mouse))
            return m_connection->layoutExtent();
    }
    return {};
}

void WlrInjector::waitForDelivery()
{
    m_connection->roundtrip();
}

ScreenSize WlrInjector::layoutSize()
{
    // Outputs added, moved or disabled since the last call are counted.
    m_connection->refreshLayout();
    return m_connection->layoutExtent();
}

uint32_t WlrInjector::heldModifiers()
{
    return m_keyboard->heldModifiers();
}

} // namespace platform::wayland
