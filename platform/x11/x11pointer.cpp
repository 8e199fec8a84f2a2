#include "x11pointer.h"

namespace {
// Taken before the X headers: XInput's headers define a macro named Absolute.
constexpr uint32_t kAbsoluteFlag = platform::MouseFlag::Absolute;
} // namespace

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <algorithm>
#include <cstdlib>

namespace platform::x11 {
namespace {

// X button numbers.
constexpr unsigned kLeftButton = 1;
constexpr unsigned kMiddleButton = 2;
constexpr unsigned kRightButton = 3;
constexpr unsigned kWheelUpButton = 4;
constexpr unsigned kWheelDownButton = 5;
// A corrupt record (a delta of millions) must not keep the worker busy for minutes.
constexpr int64_t kMaxNotchesPerRecord = 1000;

} // namespace

int absoluteToPixel(int32_t absolute, int size)
{
    if (size <= 0)
        return 0;
    const int64_t value = std::clamp<int64_t>(absolute, 0, AbsoluteRange);
    // The smallest pixel p with p * range / size >= value: the one that was sent.
    const int64_t pixel = (value * size + AbsoluteRange - 1) / AbsoluteRange;
    return static_cast<int>(std::min<int64_t>(pixel, size - 1));
}

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
        wheel(record.mouseData);
}

void X11Pointer::button(unsigned button, bool down)
{
    XTestFakeButtonEvent(m_display, button, down ? True : False, CurrentTime);
    if (down)
        m_buttonsDown.insert(button);
    else
        m_buttonsDown.erase(button);
}

// One notch (120 units) is one click of button 4 (away from the user) or 5.
// Fine-grained deltas add up until they make a notch; a turn the other way
// forgets the leftover.
void X11Pointer::wheel(int32_t delta)
{
    if ((delta > 0 && m_wheelRemainder < 0) || (delta < 0 && m_wheelRemainder > 0))
        m_wheelRemainder = 0;
    const int64_t total = int64_t(m_wheelRemainder) + delta;
    const int64_t notches = total / WheelDelta;
    m_wheelRemainder = static_cast<int32_t>(total - notches * WheelDelta);
    const unsigned wheelButton = notches > 0 ? kWheelUpButton : kWheelDownButton;
    const int64_t clicks = std::min(std::abs(notches), kMaxNotchesPerRecord);
    for (int64_t i = 0; i < clicks; ++i) {
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
