#include "x11qtkeys.h"

#include <X11/XF86keysym.h>
#include <X11/keysym.h>

#include <iterator>

namespace {

struct KeyPair
{
    int qtKey;
    KeySym keysym;
};

// clang-format off
const KeyPair specialKeys[] = {
    {Qt::Key_Escape, XK_Escape},       {Qt::Key_Tab, XK_Tab},
    {Qt::Key_Backtab, XK_Tab},         {Qt::Key_Backspace, XK_BackSpace},
    {Qt::Key_Return, XK_Return},       {Qt::Key_Enter, XK_KP_Enter},
    {Qt::Key_Insert, XK_Insert},       {Qt::Key_Delete, XK_Delete},
    {Qt::Key_Pause, XK_Pause},         {Qt::Key_Print, XK_Print},
    {Qt::Key_SysReq, XK_Sys_Req},      {Qt::Key_Clear, XK_Clear},
    {Qt::Key_Home, XK_Home},           {Qt::Key_End, XK_End},
    {Qt::Key_Left, XK_Left},           {Qt::Key_Up, XK_Up},
    {Qt::Key_Right, XK_Right},         {Qt::Key_Down, XK_Down},
    {Qt::Key_PageUp, XK_Prior},        {Qt::Key_PageDown, XK_Next},
    {Qt::Key_CapsLock, XK_Caps_Lock},  {Qt::Key_NumLock, XK_Num_Lock},
    {Qt::Key_ScrollLock, XK_Scroll_Lock},
    {Qt::Key_Menu, XK_Menu},           {Qt::Key_Help, XK_Help},
    {Qt::Key_Space, XK_space},
    {Qt::Key_VolumeDown, XF86XK_AudioLowerVolume},
    {Qt::Key_VolumeMute, XF86XK_AudioMute},
    {Qt::Key_VolumeUp, XF86XK_AudioRaiseVolume},
    {Qt::Key_MediaPlay, XF86XK_AudioPlay},
    {Qt::Key_MediaTogglePlayPause, XF86XK_AudioPlay},
    {Qt::Key_MediaStop, XF86XK_AudioStop},
    {Qt::Key_MediaPrevious, XF86XK_AudioPrev},
    {Qt::Key_MediaNext, XF86XK_AudioNext},
};

// Keys that Qt reports with the keypad modifier.
const KeyPair keypadKeys[] = {
    {Qt::Key_0, XK_KP_0}, {Qt::Key_1, XK_KP_1}, {Qt::Key_2, XK_KP_2}, {Qt::Key_3, XK_KP_3},
    {Qt::Key_4, XK_KP_4}, {Qt::Key_5, XK_KP_5}, {Qt::Key_6, XK_KP_6}, {Qt::Key_7, XK_KP_7},
    {Qt::Key_8, XK_KP_8}, {Qt::Key_9, XK_KP_9},
    {Qt::Key_Asterisk, XK_KP_Multiply}, {Qt::Key_Plus, XK_KP_Add},
    {Qt::Key_Minus, XK_KP_Subtract},    {Qt::Key_Period, XK_KP_Decimal},
    {Qt::Key_Slash, XK_KP_Divide},      {Qt::Key_Enter, XK_KP_Enter},
};
// clang-format on

constexpr int latin1First = 0x20;
constexpr int latin1Last = 0xff;
constexpr int unicodeLast = 0x10ffff;
// Keysyms for Unicode characters outside Latin-1 are the code point plus this.
constexpr KeySym unicodeKeysymBase = 0x01000000;

template <size_t N> KeySym lookup(const KeyPair (&table)[N], int qtKey)
{
    for (const KeyPair& pair : table) {
        if (pair.qtKey == qtKey)
            return pair.keysym;
    }
    return NoSymbol;
}

} // namespace

KeySym qtKeyToKeysym(Qt::Key key, bool keypad)
{
    const int code = int(key);
    if (keypad) {
        const KeySym sym = lookup(keypadKeys, code);
        if (sym != NoSymbol)
            return sym;
    }
    if (code >= Qt::Key_F1 && code <= Qt::Key_F35)
        return XK_F1 + KeySym(code - Qt::Key_F1);
    const KeySym special = lookup(specialKeys, code);
    if (special != NoSymbol)
        return special;
    if (code >= Qt::Key_A && code <= Qt::Key_Z)
        return XK_a + KeySym(code - Qt::Key_A); // the unshifted symbol of the letter key
    if (code >= latin1First && code <= latin1Last)
        return KeySym(code);
    if (code > latin1Last && code <= unicodeLast)
        return unicodeKeysymBase | KeySym(code);
    return NoSymbol;
}
