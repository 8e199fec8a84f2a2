#include "wlrpointer.h"

#include "../absolutecoordinates.h"
#include "waylandconnection.h"

#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

#include <linux/input-event-codes.h>
#include <wayland-client.h>

#include <chrono>

namespace platform::wayland {
namespace {

// The scroll distance of one wheel notch, as libinput reports a real wheel.
constexpr double kNotchDistance = 15.0;

} // namespace

uint32_t eventTime()
{
    using namespace std::chrono;
    return static_cast<uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

std::unique_ptr<WlrPointer> WlrPointer::create(WaylandConnection& connection)
{
    if (!connection.pointerManager())
        return nullptr;
    zwlr_virtual_pointer_v1* pointer = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(
        connection.pointerManager(), connection.seat());
    std::unique_ptr<WlrPointer> result(new WlrPointer(pointer));
    // A new device loses its first event (the seat gains the pointer capability on
    // it): a motion by nothing is that event.
    zwlr_virtual_pointer_v1_motion(pointer, eventTime(), 0, 0);
    zwlr_virtual_pointer_v1_frame(pointer);
    return result;
}

WlrPointer::~WlrPointer()
{
    releaseAll();
    zwlr_virtual_pointer_v1_destroy(m_pointer);
}

bool WlrPointer::isAbsoluteMove(const MouseInput& record)
{
    return (record.flags & MouseFlag::Move) && (record.flags & MouseFlag::Absolute);
}

void WlrPointer::send(const MouseInput& record, ScreenSize layout)
{
    if (record.flags & MouseFlag::Move)
        move(record, layout);
    // clang-format off
    struct ButtonFlag { uint32_t flag; uint32_t code; bool down; };
    static constexpr ButtonFlag kButtons[] = {
        {MouseFlag::LeftDown, BTN_LEFT, true},     {MouseFlag::LeftUp, BTN_LEFT, false},
        {MouseFlag::RightDown, BTN_RIGHT, true},   {MouseFlag::RightUp, BTN_RIGHT, false},
        {MouseFlag::MiddleDown, BTN_MIDDLE, true}, {MouseFlag::MiddleUp, BTN_MIDDLE, false},
    };
    // clang-format on
    for (const ButtonFlag& entry : kButtons) {
        if (record.flags & entry.flag)
            button(entry.code, entry.down);
    }
    // Windows turns the wheel away from the user with positive deltas; Wayland
    // scrolls down with positive values. Right is positive on both.
    if (record.flags & MouseFlag::Wheel)
        scroll(WL_POINTER_AXIS_VERTICAL_SCROLL, -m_wheel.take(record.mouseData));
    if (record.flags & MouseFlag::HWheel)
        scroll(WL_POINTER_AXIS_HORIZONTAL_SCROLL, m_hWheel.take(record.mouseData));
}

void WlrPointer::move(const MouseInput& record, ScreenSize layout)
{
    if (!(record.flags & MouseFlag::Absolute)) {
        zwlr_virtual_pointer_v1_motion(m_pointer, eventTime(), wl_fixed_from_int(record.dx),
                                       wl_fixed_from_int(record.dy));
    } else if (layout.width > 0 && layout.height > 0) {
        // Pixel p of an extent of w lands on layout coordinate exactly p.
        zwlr_virtual_pointer_v1_motion_absolute(m_pointer, eventTime(),
                                                uint32_t(absoluteToPixel(record.dx, layout.width)),
                                                uint32_t(absoluteToPixel(record.dy, layout.height)),
                                                uint32_t(layout.width), uint32_t(layout.height));
    } else {
        return; // no output to move on
    }
    zwlr_virtual_pointer_v1_frame(m_pointer);
}

void WlrPointer::button(uint32_t code, bool down)
{
    zwlr_virtual_pointer_v1_button(m_pointer, eventTime(), code,
                                   down ? WL_POINTER_BUTTON_STATE_PRESSED
                                        : WL_POINTER_BUTTON_STATE_RELEASED);
    zwlr_virtual_pointer_v1_frame(m_pointer);
    if (down)
        m_buttonsDown.insert(code);
    else
        m_buttonsDown.erase(code);
}

void WlrPointer::scroll(uint32_t axis, int64_t notches)
{
    if (notches == 0)
        return;
    zwlr_virtual_pointer_v1_axis_source(m_pointer, WL_POINTER_AXIS_SOURCE_WHEEL);
    zwlr_virtual_pointer_v1_axis_discrete(m_pointer, eventTime(), axis,
                                          wl_fixed_from_double(double(notches) * kNotchDistance),
                                          int32_t(notches));
    zwlr_virtual_pointer_v1_frame(m_pointer);
}

void WlrPointer::releaseAll()
{
    const std::set<uint32_t> held = m_buttonsDown;
    for (uint32_t code : held)
        button(code, false);
}

} // namespace platform::wayland
