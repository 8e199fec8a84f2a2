#include "waylandkeys.h"

#include "platform/virtualkeys.h"

#include <linux/input-event-codes.h>
#include <xkbcommon/xkbcommon-keysyms.h>

#include <algorithm>
#include <set>

namespace platform::wayland {
namespace {

// clang-format off
// Letters, digits and function keys are generated below; a key reached by two
// virtual keys (Shift and LShift) has one row per virtual key.
const KeyDefinition kTable[] = {
    {Vk::Back, KEY_BACKSPACE, XKB_KEY_BackSpace, 0}, {Vk::Tab, KEY_TAB, XKB_KEY_Tab, XKB_KEY_ISO_Left_Tab},
    {Vk::Return, KEY_ENTER, XKB_KEY_Return, 0}, {Vk::Escape, KEY_ESC, XKB_KEY_Escape, 0},
    {Vk::Space, KEY_SPACE, XKB_KEY_space, 0},
    {Vk::Shift, KEY_LEFTSHIFT, XKB_KEY_Shift_L, 0}, {Vk::LShift, KEY_LEFTSHIFT, XKB_KEY_Shift_L, 0},
    {Vk::RShift, KEY_RIGHTSHIFT, XKB_KEY_Shift_R, 0},
    {Vk::Control, KEY_LEFTCTRL, XKB_KEY_Control_L, 0}, {Vk::LControl, KEY_LEFTCTRL, XKB_KEY_Control_L, 0},
    {Vk::RControl, KEY_RIGHTCTRL, XKB_KEY_Control_R, 0},
    {Vk::Menu, KEY_LEFTALT, XKB_KEY_Alt_L, 0}, {Vk::LMenu, KEY_LEFTALT, XKB_KEY_Alt_L, 0},
    {Vk::RMenu, KEY_RIGHTALT, XKB_KEY_Alt_R, 0},
    {Vk::LWin, KEY_LEFTMETA, XKB_KEY_Super_L, 0}, {Vk::RWin, KEY_RIGHTMETA, XKB_KEY_Super_R, 0},
    {Vk::Apps, KEY_COMPOSE, XKB_KEY_Menu, 0},
    {Vk::Pause, KEY_PAUSE, XKB_KEY_Pause, 0}, {Vk::Capital, KEY_CAPSLOCK, XKB_KEY_Caps_Lock, 0},
    {Vk::NumLock, KEY_NUMLOCK, XKB_KEY_Num_Lock, 0}, {Vk::Scroll, KEY_SCROLLLOCK, XKB_KEY_Scroll_Lock, 0},
    {Vk::Prior, KEY_PAGEUP, XKB_KEY_Prior, 0}, {Vk::Next, KEY_PAGEDOWN, XKB_KEY_Next, 0},
    {Vk::End, KEY_END, XKB_KEY_End, 0}, {Vk::Home, KEY_HOME, XKB_KEY_Home, 0},
    {Vk::Left, KEY_LEFT, XKB_KEY_Left, 0}, {Vk::Up, KEY_UP, XKB_KEY_Up, 0},
    {Vk::Right, KEY_RIGHT, XKB_KEY_Right, 0}, {Vk::Down, KEY_DOWN, XKB_KEY_Down, 0},
    {Vk::Snapshot, KEY_SYSRQ, XKB_KEY_Print, 0}, {Vk::Insert, KEY_INSERT, XKB_KEY_Insert, 0},
    {Vk::Delete, KEY_DELETE, XKB_KEY_Delete, 0},
    {Vk::Multiply, KEY_KPASTERISK, XKB_KEY_KP_Multiply, 0}, {Vk::Add, KEY_KPPLUS, XKB_KEY_KP_Add, 0},
    {Vk::Separator, KEY_KPCOMMA, XKB_KEY_KP_Separator, 0},
    {Vk::Subtract, KEY_KPMINUS, XKB_KEY_KP_Subtract, 0},
    {Vk::Decimal, KEY_KPDOT, XKB_KEY_KP_Decimal, 0}, {Vk::Divide, KEY_KPSLASH, XKB_KEY_KP_Divide, 0},
    {Vk::BrowserBack, KEY_BACK, XKB_KEY_XF86Back, 0},
    {Vk::BrowserForward, KEY_FORWARD, XKB_KEY_XF86Forward, 0},
    {Vk::BrowserRefresh, KEY_REFRESH, XKB_KEY_XF86Refresh, 0},
    {Vk::BrowserStop, KEY_STOP, XKB_KEY_XF86Stop, 0},
    {Vk::BrowserSearch, KEY_SEARCH, XKB_KEY_XF86Search, 0},
    {Vk::BrowserFavorites, KEY_BOOKMARKS, XKB_KEY_XF86Favorites, 0},
    {Vk::BrowserHome, KEY_HOMEPAGE, XKB_KEY_XF86HomePage, 0},
    {Vk::VolumeMute, KEY_MUTE, XKB_KEY_XF86AudioMute, 0},
    {Vk::VolumeDown, KEY_VOLUMEDOWN, XKB_KEY_XF86AudioLowerVolume, 0},
    {Vk::VolumeUp, KEY_VOLUMEUP, XKB_KEY_XF86AudioRaiseVolume, 0},
    {Vk::MediaNextTrack, KEY_NEXTSONG, XKB_KEY_XF86AudioNext, 0},
    {Vk::MediaPrevTrack, KEY_PREVIOUSSONG, XKB_KEY_XF86AudioPrev, 0},
    {Vk::MediaStop, KEY_STOPCD, XKB_KEY_XF86AudioStop, 0},
    {Vk::MediaPlayPause, KEY_PLAYPAUSE, XKB_KEY_XF86AudioPlay, 0},
    {Vk::Oem1, KEY_SEMICOLON, XKB_KEY_semicolon, XKB_KEY_colon},
    {Vk::OemPlus, KEY_EQUAL, XKB_KEY_equal, XKB_KEY_plus},
    {Vk::OemComma, KEY_COMMA, XKB_KEY_comma, XKB_KEY_less},
    {Vk::OemMinus, KEY_MINUS, XKB_KEY_minus, XKB_KEY_underscore},
    {Vk::OemPeriod, KEY_DOT, XKB_KEY_period, XKB_KEY_greater},
    {Vk::Oem2, KEY_SLASH, XKB_KEY_slash, XKB_KEY_question},
    {Vk::Oem3, KEY_GRAVE, XKB_KEY_grave, XKB_KEY_asciitilde},
    {Vk::Oem4, KEY_LEFTBRACE, XKB_KEY_bracketleft, XKB_KEY_braceleft},
    {Vk::Oem5, KEY_BACKSLASH, XKB_KEY_backslash, XKB_KEY_bar},
    {Vk::Oem6, KEY_RIGHTBRACE, XKB_KEY_bracketright, XKB_KEY_braceright},
    {Vk::Oem7, KEY_APOSTROPHE, XKB_KEY_apostrophe, XKB_KEY_quotedbl},
};

// The letter keys in alphabetical order, the digit keys from 0 with their shifted
// symbols, and the function keys (evdev numbers them in three runs).
constexpr uint32_t kLetterCodes[26] = {
    KEY_A, KEY_B, KEY_C, KEY_D, KEY_E, KEY_F, KEY_G, KEY_H, KEY_I, KEY_J, KEY_K, KEY_L, KEY_M,
    KEY_N, KEY_O, KEY_P, KEY_Q, KEY_R, KEY_S, KEY_T, KEY_U, KEY_V, KEY_W, KEY_X, KEY_Y, KEY_Z};
constexpr uint32_t kDigitCodes[10] = {
    KEY_0, KEY_1, KEY_2, KEY_3, KEY_4, KEY_5, KEY_6, KEY_7, KEY_8, KEY_9};
constexpr uint32_t kShiftedDigits[10] = {
    XKB_KEY_parenright, XKB_KEY_exclam, XKB_KEY_at, XKB_KEY_numbersign, XKB_KEY_dollar,
    XKB_KEY_percent, XKB_KEY_asciicircum, XKB_KEY_ampersand, XKB_KEY_asterisk, XKB_KEY_parenleft};
constexpr uint32_t kKeypadCodes[10] = {
    KEY_KP0, KEY_KP1, KEY_KP2, KEY_KP3, KEY_KP4, KEY_KP5, KEY_KP6, KEY_KP7, KEY_KP8, KEY_KP9};
constexpr uint32_t kFunctionCodes[24] = {
    KEY_F1, KEY_F2, KEY_F3, KEY_F4, KEY_F5, KEY_F6, KEY_F7, KEY_F8, KEY_F9, KEY_F10, KEY_F11,
    KEY_F12, KEY_F13, KEY_F14, KEY_F15, KEY_F16, KEY_F17, KEY_F18, KEY_F19, KEY_F20, KEY_F21,
    KEY_F22, KEY_F23, KEY_F24};
// clang-format on

std::vector<KeyDefinition> allRows()
{
    std::vector<KeyDefinition> rows(std::begin(kTable), std::end(kTable));
    for (uint16_t i = 0; i < 26; ++i)
        rows.push_back({uint16_t(Vk::KeyA + i), kLetterCodes[i], uint32_t(XKB_KEY_a + i),
                        uint32_t(XKB_KEY_A + i)});
    for (uint16_t i = 0; i < 10; ++i) {
        rows.push_back(
            {uint16_t(Vk::Key0 + i), kDigitCodes[i], uint32_t(XKB_KEY_0 + i), kShiftedDigits[i]});
        // Always the digits: this keyboard's NumLock level is not needed.
        rows.push_back({uint16_t(Vk::Numpad0 + i), kKeypadCodes[i], uint32_t(XKB_KEY_KP_0 + i), 0});
    }
    for (uint16_t i = 0; i < 24; ++i)
        rows.push_back({uint16_t(Vk::F1 + i), kFunctionCodes[i], uint32_t(XKB_KEY_F1 + i), 0});
    return rows;
}

const std::vector<KeyDefinition>& rows()
{
    static const std::vector<KeyDefinition> all = allRows();
    return all;
}

} // namespace

const KeyDefinition* keyForVk(uint16_t vk)
{
    const auto found = std::find_if(rows().begin(), rows().end(),
                                    [vk](const KeyDefinition& row) { return row.vk == vk; });
    return found == rows().end() ? nullptr : &*found;
}

const std::vector<KeyDefinition>& fixedKeys()
{
    static const std::vector<KeyDefinition> keys = [] {
        std::vector<KeyDefinition> unique;
        std::set<uint32_t> seen;
        for (const KeyDefinition& row : rows()) {
            if (seen.insert(row.evdevCode).second)
                unique.push_back(row);
        }
        return unique;
    }();
    return keys;
}

} // namespace platform::wayland
