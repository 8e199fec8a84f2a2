#include "x11keysyms.h"

#include "platform/virtualkeys.h"

#include <X11/XF86keysym.h>
#include <X11/keysym.h>

#include <iterator>

namespace platform::x11 {
namespace {

struct VkKeysym
{
    uint16_t vk;
    unsigned long keysym;
};

// The first row of a virtual key gives the keysym it is typed with; later rows
// with the same key only add keysyms that capture maps back to it.
// clang-format off
constexpr VkKeysym kTable[] = {
    {Vk::Back, XK_BackSpace}, {Vk::Tab, XK_Tab}, {Vk::Tab, XK_ISO_Left_Tab},
    {Vk::Return, XK_Return}, {Vk::Return, XK_KP_Enter},
    {Vk::Shift, XK_Shift_L}, {Vk::Control, XK_Control_L}, {Vk::Menu, XK_Alt_L},
    {Vk::Pause, XK_Pause}, {Vk::Capital, XK_Caps_Lock}, {Vk::Escape, XK_Escape},
    {Vk::Space, XK_space}, {Vk::Prior, XK_Prior}, {Vk::Next, XK_Next},
    {Vk::End, XK_End}, {Vk::Home, XK_Home},
    {Vk::Left, XK_Left}, {Vk::Up, XK_Up}, {Vk::Right, XK_Right}, {Vk::Down, XK_Down},
    {Vk::Snapshot, XK_Print}, {Vk::Insert, XK_Insert}, {Vk::Delete, XK_Delete},
    {Vk::LWin, XK_Super_L}, {Vk::RWin, XK_Super_R}, {Vk::Apps, XK_Menu},
    {Vk::Multiply, XK_KP_Multiply}, {Vk::Add, XK_KP_Add}, {Vk::Separator, XK_KP_Separator},
    {Vk::Subtract, XK_KP_Subtract}, {Vk::Decimal, XK_KP_Decimal}, {Vk::Divide, XK_KP_Divide},
    {Vk::NumLock, XK_Num_Lock}, {Vk::Scroll, XK_Scroll_Lock},
    {Vk::LShift, XK_Shift_L}, {Vk::RShift, XK_Shift_R},
    {Vk::LControl, XK_Control_L}, {Vk::RControl, XK_Control_R},
    {Vk::LMenu, XK_Alt_L}, {Vk::RMenu, XK_Alt_R}, {Vk::RMenu, XK_ISO_Level3_Shift},
    {Vk::Menu, XK_Meta_L}, {Vk::LWin, XK_Meta_L},
    {Vk::BrowserBack, XF86XK_Back}, {Vk::BrowserForward, XF86XK_Forward},
    {Vk::BrowserRefresh, XF86XK_Refresh}, {Vk::BrowserStop, XF86XK_Stop},
    {Vk::BrowserSearch, XF86XK_Search}, {Vk::BrowserFavorites, XF86XK_Favorites},
    {Vk::BrowserHome, XF86XK_HomePage},
    {Vk::VolumeMute, XF86XK_AudioMute}, {Vk::VolumeDown, XF86XK_AudioLowerVolume},
    {Vk::VolumeUp, XF86XK_AudioRaiseVolume},
    {Vk::MediaNextTrack, XF86XK_AudioNext}, {Vk::MediaPrevTrack, XF86XK_AudioPrev},
    {Vk::MediaStop, XF86XK_AudioStop}, {Vk::MediaPlayPause, XF86XK_AudioPlay},
    {Vk::Oem1, XK_semicolon}, {Vk::Oem1, XK_colon},
    {Vk::OemPlus, XK_equal}, {Vk::OemPlus, XK_plus},
    {Vk::OemComma, XK_comma}, {Vk::OemComma, XK_less},
    {Vk::OemMinus, XK_minus}, {Vk::OemMinus, XK_underscore},
    {Vk::OemPeriod, XK_period}, {Vk::OemPeriod, XK_greater},
    {Vk::Oem2, XK_slash}, {Vk::Oem2, XK_question},
    {Vk::Oem3, XK_grave}, {Vk::Oem3, XK_asciitilde},
    {Vk::Oem4, XK_bracketleft}, {Vk::Oem4, XK_braceleft},
    {Vk::Oem5, XK_backslash}, {Vk::Oem5, XK_bar},
    {Vk::Oem6, XK_bracketright}, {Vk::Oem6, XK_braceright},
    {Vk::Oem7, XK_apostrophe}, {Vk::Oem7, XK_quotedbl},
    // Shifted digits and keypad keys with NumLock off, for capture.
    {Vk::Key0 + 1, XK_exclam}, {Vk::Key0 + 2, XK_at}, {Vk::Key0 + 3, XK_numbersign},
    {Vk::Key0 + 4, XK_dollar}, {Vk::Key0 + 5, XK_percent}, {Vk::Key0 + 6, XK_asciicircum},
    {Vk::Key0 + 7, XK_ampersand}, {Vk::Key0 + 8, XK_asterisk}, {Vk::Key0 + 9, XK_parenleft},
    {Vk::Key0, XK_parenright},
    {Vk::Numpad0, XK_KP_Insert}, {Vk::Numpad0 + 1, XK_KP_End}, {Vk::Numpad0 + 2, XK_KP_Down},
    {Vk::Numpad0 + 3, XK_KP_Next}, {Vk::Numpad0 + 4, XK_KP_Left}, {Vk::Numpad0 + 5, XK_KP_Begin},
    {Vk::Numpad0 + 6, XK_KP_Right}, {Vk::Numpad0 + 7, XK_KP_Home}, {Vk::Numpad0 + 8, XK_KP_Up},
    {Vk::Numpad0 + 9, XK_KP_Prior}, {Vk::Decimal, XK_KP_Delete},
};
// clang-format on

} // namespace

unsigned long vkToKeysym(uint16_t vk)
{
    if (vk >= Vk::KeyA && vk <= Vk::KeyA + 25)
        return XK_a + (vk - Vk::KeyA);
    if (vk >= Vk::Key0 && vk <= Vk::Key0 + 9)
        return XK_0 + (vk - Vk::Key0);
    if (vk >= Vk::Numpad0 && vk <= Vk::Numpad0 + 9)
        return XK_KP_0 + (vk - Vk::Numpad0);
    if (vk >= Vk::F1 && vk <= Vk::F24)
        return XK_F1 + (vk - Vk::F1);
    for (const VkKeysym& row : kTable) {
        if (row.vk == vk)
            return row.keysym;
    }
    return 0;
}

uint16_t keysymToVk(unsigned long keysym)
{
    if (keysym >= XK_a && keysym <= XK_z)
        return static_cast<uint16_t>(Vk::KeyA + (keysym - XK_a));
    if (keysym >= XK_A && keysym <= XK_Z)
        return static_cast<uint16_t>(Vk::KeyA + (keysym - XK_A));
    if (keysym >= XK_0 && keysym <= XK_9)
        return static_cast<uint16_t>(Vk::Key0 + (keysym - XK_0));
    if (keysym >= XK_KP_0 && keysym <= XK_KP_9)
        return static_cast<uint16_t>(Vk::Numpad0 + (keysym - XK_KP_0));
    if (keysym >= XK_F1 && keysym <= XK_F24)
        return static_cast<uint16_t>(Vk::F1 + (keysym - XK_F1));
    // Generic keys first: a captured Shift_L should replay as the plain Shift key the
    // jobs send, not as LSHIFT, so the first row with the keysym wins.
    for (const VkKeysym& row : kTable) {
        if (row.keysym == keysym)
            return row.vk;
    }
    return 0;
}

} // namespace platform::x11
