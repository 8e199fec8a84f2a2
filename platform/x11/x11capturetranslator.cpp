#include "x11capturetranslator.h"

#include "platform/virtualkeys.h"
#include "x11keysyms.h"

#include <X11/X.h>
#include <X11/XF86keysym.h>
#include <X11/keysym.h>

#include <algorithm>
#include <iterator>

namespace platform::x11 {
namespace {

constexpr int16_t kWheelDelta = 120;  // one notch, as Windows counts it
constexpr unsigned kFirstKeycode = 8; // X keycodes start at 8; evdev codes are keycode - 8

// clang-format off
enum XButton : unsigned {
    LeftButton = 1, MiddleButton = 2, RightButton = 3,
    WheelUp = 4, WheelDown = 5, WheelLeft = 6, WheelRight = 7,
    BackButton = 8, ForwardButton = 9,
};

// Keys for which Windows sets LLKHF_EXTENDED: the navigation block apart from the
// keypad, the right-hand Ctrl and Alt, keypad Enter and Divide, NumLock, PrintScreen,
// the Windows and menu keys and the media keys.
constexpr unsigned long kExtendedKeysyms[] = {
    XK_Insert, XK_Delete, XK_Home, XK_End, XK_Prior, XK_Next,
    XK_Left, XK_Up, XK_Right, XK_Down,
    XK_Control_R, XK_Alt_R, XK_ISO_Level3_Shift, XK_KP_Enter, XK_KP_Divide,
    XK_Num_Lock, XK_Print, XK_Super_L, XK_Super_R, XK_Menu,
    XF86XK_Back, XF86XK_Forward, XF86XK_Refresh, XF86XK_Stop, XF86XK_Search,
    XF86XK_Favorites, XF86XK_HomePage, XF86XK_AudioMute, XF86XK_AudioLowerVolume,
    XF86XK_AudioRaiseVolume, XF86XK_AudioNext, XF86XK_AudioPrev, XF86XK_AudioStop,
    XF86XK_AudioPlay,
};
// clang-format on

constexpr uint32_t wheelData(int16_t delta)
{
    return static_cast<uint32_t>(static_cast<uint16_t>(delta)) << 16;
}

// XBUTTON1 / XBUTTON2 in the high word, as Windows reports the side buttons.
constexpr uint32_t kXButton1Data = 1u << 16;
constexpr uint32_t kXButton2Data = 2u << 16;

bool isAltKeysym(unsigned long keysym)
{
    return keysym == XK_Alt_L || keysym == XK_Alt_R || keysym == XK_Meta_L || keysym == XK_Meta_R;
}

bool isExtendedKeysym(unsigned long keysym)
{
    return std::find(std::begin(kExtendedKeysyms), std::end(kExtendedKeysyms), keysym) !=
           std::end(kExtendedKeysyms);
}

X11CapturedEvent mouse(uint32_t message, const X11DeviceEvent& event, uint32_t mouseData = 0)
{
    X11CapturedEvent out;
    out.kind = X11CapturedEvent::Kind::Mouse;
    out.mouse.message = message;
    out.mouse.x = event.rootX;
    out.mouse.y = event.rootY;
    out.mouse.mouseData = mouseData;
    return out;
}

X11CapturedEvent buttonPress(const X11DeviceEvent& event)
{
    switch (event.detail) {
    case LeftButton:
        return mouse(Message::LButtonDown, event);
    case MiddleButton:
        return mouse(Message::MButtonDown, event);
    case RightButton:
        return mouse(Message::RButtonDown, event);
    case WheelUp:
        return mouse(Message::MouseWheel, event, wheelData(kWheelDelta));
    case WheelDown:
        return mouse(Message::MouseWheel, event, wheelData(-kWheelDelta));
    case WheelLeft:
        return mouse(Message::MouseHWheel, event, wheelData(-kWheelDelta));
    case WheelRight:
        return mouse(Message::MouseHWheel, event, wheelData(kWheelDelta));
    case BackButton:
        return mouse(Message::XButtonDown, event, kXButton1Data);
    case ForwardButton:
        return mouse(Message::XButtonDown, event, kXButton2Data);
    default:
        return {};
    }
}

X11CapturedEvent buttonRelease(const X11DeviceEvent& event)
{
    // Wheel "buttons" are released at once; Windows reports one message per notch.
    switch (event.detail) {
    case LeftButton:
        return mouse(Message::LButtonUp, event);
    case MiddleButton:
        return mouse(Message::MButtonUp, event);
    case RightButton:
        return mouse(Message::RButtonUp, event);
    case BackButton:
        return mouse(Message::XButtonUp, event, kXButton1Data);
    case ForwardButton:
        return mouse(Message::XButtonUp, event, kXButton2Data);
    default:
        return {};
    }
}

X11CapturedEvent key(const X11DeviceEvent& event, const X11KeyboardState& keyboard)
{
    const bool down = event.type == KeyPress;
    const unsigned long keysym = keyboard.level0Keysym;
    const uint16_t vk = keysymToVk(keysym);
    const bool ctrlHeld = (event.state & ControlMask) != 0;
    // The state is the one before the event: an Alt key is down after its own press.
    const bool altDown = isAltKeysym(keysym) ? down : (event.state & keyboard.altMask) != 0;
    // Windows makes a key a "system" key while Alt is down without Ctrl, and F10 always.
    const bool system = !ctrlHeld && (altDown || vk == Vk::F1 + 9);

    X11CapturedEvent out;
    out.kind = X11CapturedEvent::Kind::Key;
    if (down)
        out.key.message = system ? Message::SysKeyDown : Message::KeyDown;
    else
        out.key.message = system ? Message::SysKeyUp : Message::KeyUp;
    out.key.vkCode = vk;
    out.key.scanCode = event.detail >= kFirstKeycode ? event.detail - kFirstKeycode : 0;
    out.key.flags = (down ? 0u : CapturedKeyFlag::Up) | (altDown ? CapturedKeyFlag::AltDown : 0u) |
                    (isExtendedKeysym(keysym) ? CapturedKeyFlag::Extended : 0u);
    return out;
}

} // namespace

X11CapturedEvent translateDeviceEvent(const X11DeviceEvent& event, const X11KeyboardState& keyboard)
{
    switch (event.type) {
    case KeyPress:
    case KeyRelease:
        return key(event, keyboard);
    case ButtonPress:
        return buttonPress(event);
    case ButtonRelease:
        return buttonRelease(event);
    case MotionNotify:
        return mouse(Message::MouseMove, event);
    default:
        return {};
    }
}

} // namespace platform::x11
