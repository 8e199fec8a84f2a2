#include "x11pointer.h"

#include "../absolutecoordinates.h"

namespace {
// Taken before the X headers: XInput's headers define a macro named Absolute.
constexpr uint32_t kAbsoluteFlag = platform::MouseFlag::Absolute;
} // namespace

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <cstdlib>

namespace platform::x11 {
namespace {

// X button numbers.
constexpr unsigned kLeftButton = 1;
constexpr unsigned kMiddleButton = 2;
constexpr unsigned kRightButton = 3;
constexpr unsigned kWheelUpButton = 4;
constexpr unsigned kWheelDownButton = 5;
constexpr unsigned kWheelLeftButton = 6;
constexpr unsigned kWheelRightButton = 7;

} // namespace

bool X11Pointer::isAbsoluteMove(const MouseInput& record)
{
    return (record.flags & MouseFlag::Move) && (record.flags & kAbsoluteFlag);
}

void X11Pointer::send(const MouseInput& record, ScreenSize screen)
{
    if (record.flags & MouseFlag::Move) {
        if (record.flags & kAbsoluteFlag) {
            XTestFakeMotionEvent(m_display, DefaultScreen(m_display),
                                 absoluteToPixel(record.dx, screen.width),
                                 absoluteToPixel(record.dy, screen.height), CurrentTime);
        } else {
            XTestFakeRelativeMotionEvent(m_display, record.dx, record.dy, CurrentTime);
        }
    }
    // clang-format off
    struct ButtonFlag { uint32_t flag; unsigned button; bool down; };
    static constexpr ButtonFlag kButtons[] = {
        {MouseFlag::LeftDown, kLeftButton, true},     {MouseFlag::LeftUp, kLeftButton, false},
        {MouseFlag::RightDown, kRightButton, true},   {MouseFlag::RightUp, kRightButton, false},
        {MouseFlag::MiddleDown, kMiddleButton, true}, {MouseFlag::MiddleUp, kMiddleButton, false},
    };
    // clang-format on
    for (const ButtonFlag& entry : kButtons) {
        if (record.flags & entry.flag)
            button(entry.button, entry.down);
    }
    if (record.flags & MouseFlag::Wheel)
        scroll(m_wheel.take(record.mouseData), kWheelUpButton, kWheelDownButton);
    if (record.flags & MouseFlag::HWheel)
        scroll(m_hWheel.take(record.mouseData), kWheelRightButton, kWheelLeftButton);
}

void X11Pointer::button(unsigned button, bool down)
{
    XTestFakeButtonEvent(m_display, button, down ? True : False, CurrentTime);
    if (down)
        m_buttonsDown.insert(button);
    else
        m_buttonsDown.erase(button);
}

// One notch is one click of the wheel's button: 4 (away from the user) or 5, 7
// (to the right) or 6.
void X11Pointer::scroll(int64_t notches, unsigned forwardButton, unsigned backwardButton)
{
    const unsigned wheelButton = notches > 0 ? forwardButton : backwardButton;
    for (int64_t i = 0; i < std::abs(notches); ++i) {
        XTestFakeButtonEvent(m_display, wheelButton, True, CurrentTime);
        XTestFakeButtonEvent(m_display, wheelButton, False, CurrentTime);
    }
}

void X11Pointer::releaseAll()
{
    for (unsigned held : m_buttonsDown)
        XTestFakeButtonEvent(m_display, held, False, CurrentTime);
    m_buttonsDown.clear();
}

} // namespace platform::x11
