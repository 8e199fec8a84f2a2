#include "win32hotkeys.h"

#include <windows.h>

#include <iterator>

namespace win32hotkeys {
namespace {

// Not in older SDK headers: suppresses WM_HOTKEY for auto-repeat (Windows 7 and later).
constexpr UINT modNoRepeat = 0x4000;

struct KeyPair
{
    int qtKey;
    uint32_t vk;
};

// Qt::Key values of the keys that need a table (see qnamespace.h).
// clang-format off
constexpr int QtKeyEscape = 0x01000000, QtKeyTab = 0x01000001, QtKeyBacktab = 0x01000002;
constexpr int QtKeyBackspace = 0x01000003, QtKeyReturn = 0x01000004, QtKeyEnter = 0x01000005;
constexpr int QtKeyInsert = 0x01000006, QtKeyDelete = 0x01000007, QtKeyPause = 0x01000008;
constexpr int QtKeyPrint = 0x01000009, QtKeySysReq = 0x0100000a, QtKeyClear = 0x0100000b;
constexpr int QtKeyHome = 0x01000010, QtKeyEnd = 0x01000011, QtKeyLeft = 0x01000012;
constexpr int QtKeyUp = 0x01000013, QtKeyRight = 0x01000014, QtKeyDown = 0x01000015;
constexpr int QtKeyPageUp = 0x01000016, QtKeyPageDown = 0x01000017;
constexpr int QtKeyCapsLock = 0x01000024, QtKeyNumLock = 0x01000025, QtKeyScrollLock = 0x01000026;
constexpr int QtKeyF1 = 0x01000030, QtKeyF24 = 0x01000047;
constexpr int QtKeyMenu = 0x01000055, QtKeyHelp = 0x01000058;
constexpr int QtKeySpace = 0x20, QtKey0 = 0x30, QtKey9 = 0x39, QtKeyA = 0x41, QtKeyZ = 0x5a;
constexpr int QtKeyAsterisk = 0x2a, QtKeyPlus = 0x2b, QtKeyMinus = 0x2d, QtKeyPeriod = 0x2e;
constexpr int QtKeySlash = 0x2f;
constexpr int QtKeyVolumeDown = 0x01000070, QtKeyVolumeMute = 0x01000071;
constexpr int QtKeyVolumeUp = 0x01000072, QtKeyMediaPlay = 0x01000080;
constexpr int QtKeyMediaStop = 0x01000081, QtKeyMediaPrevious = 0x01000082;
constexpr int QtKeyMediaNext = 0x01000083, QtKeyMediaTogglePlayPause = 0x1000086;
constexpr int QtUnicodeLast = 0xffff;

const KeyPair specialKeys[] = {
    {QtKeyEscape, VK_ESCAPE},       {QtKeyTab, VK_TAB},          {QtKeyBacktab, VK_TAB},
    {QtKeyBackspace, VK_BACK},      {QtKeyReturn, VK_RETURN},    {QtKeyEnter, VK_RETURN},
    {QtKeyInsert, VK_INSERT},       {QtKeyDelete, VK_DELETE},    {QtKeyPause, VK_PAUSE},
    {QtKeyPrint, VK_SNAPSHOT},      {QtKeySysReq, VK_SNAPSHOT},  {QtKeyClear, VK_CLEAR},
    {QtKeyHome, VK_HOME},           {QtKeyEnd, VK_END},          {QtKeyLeft, VK_LEFT},
    {QtKeyUp, VK_UP},               {QtKeyRight, VK_RIGHT},      {QtKeyDown, VK_DOWN},
    {QtKeyPageUp, VK_PRIOR},        {QtKeyPageDown, VK_NEXT},    {QtKeyCapsLock, VK_CAPITAL},
    {QtKeyNumLock, VK_NUMLOCK},     {QtKeyScrollLock, VK_SCROLL},
    {QtKeyMenu, VK_APPS},           {QtKeyHelp, VK_HELP},        {QtKeySpace, VK_SPACE},
    {QtKeyVolumeDown, VK_VOLUME_DOWN}, {QtKeyVolumeMute, VK_VOLUME_MUTE},
    {QtKeyVolumeUp, VK_VOLUME_UP},  {QtKeyMediaPlay, VK_MEDIA_PLAY_PAUSE},
    {QtKeyMediaTogglePlayPause, VK_MEDIA_PLAY_PAUSE},
    {QtKeyMediaStop, VK_MEDIA_STOP}, {QtKeyMediaPrevious, VK_MEDIA_PREV_TRACK},
    {QtKeyMediaNext, VK_MEDIA_NEXT_TRACK},
};

const KeyPair keypadKeys[] = {
    {QtKeyAsterisk, VK_MULTIPLY}, {QtKeyPlus, VK_ADD},     {QtKeyMinus, VK_SUBTRACT},
    {QtKeyPeriod, VK_DECIMAL},    {QtKeySlash, VK_DIVIDE}, {QtKeyEnter, VK_RETURN},
};
// clang-format on

template <size_t N> uint32_t lookup(const KeyPair (&table)[N], int qtKey)
{
    for (const KeyPair& pair : table) {
        if (pair.qtKey == qtKey)
            return pair.vk;
    }
    return 0;
}

uint32_t keyToVk(int qtKey, bool keypad)
{
    if (keypad) {
        if (qtKey >= QtKey0 && qtKey <= QtKey9)
            return VK_NUMPAD0 + uint32_t(qtKey - QtKey0);
        if (const uint32_t vk = lookup(keypadKeys, qtKey))
            return vk;
    }
    if (qtKey >= QtKeyF1 && qtKey <= QtKeyF24)
        return VK_F1 + uint32_t(qtKey - QtKeyF1);
    if (const uint32_t vk = lookup(specialKeys, qtKey))
        return vk;
    // Digits and letters share their codes with the virtual keys.
    if ((qtKey >= QtKey0 && qtKey <= QtKey9) || (qtKey >= QtKeyA && qtKey <= QtKeyZ))
        return uint32_t(qtKey);
    if (qtKey > 0 && qtKey <= QtUnicodeLast) {
        // Punctuation depends on the layout; the shift state it needs is the
        // user's business (it is part of the hotkey's own modifiers).
        const SHORT scan = VkKeyScanW(WCHAR(qtKey));
        if (scan != -1 && LOBYTE(scan) != 0xff)
            return LOBYTE(scan);
    }
    return 0;
}

} // namespace

bool translate(int qtKey, uint32_t qtModifiers, VirtualHotkey* out)
{
    const uint32_t vk = keyToVk(qtKey, (qtModifiers & QtKeypadModifier) != 0);
    if (!vk)
        return false;
    uint32_t modifiers = 0;
    if (qtModifiers & QtShiftModifier)
        modifiers |= MOD_SHIFT;
    if (qtModifiers & QtControlModifier)
        modifiers |= MOD_CONTROL;
    if (qtModifiers & QtAltModifier)
        modifiers |= MOD_ALT;
    if (qtModifiers & QtMetaModifier)
        modifiers |= MOD_WIN;
    out->vk = vk;
    out->modifiers = modifiers;
    return true;
}

bool registerHotkey(int id, const VirtualHotkey& hotkey)
{
    return RegisterHotKey(nullptr, id, hotkey.modifiers | modNoRepeat, hotkey.vk) != FALSE;
}

void unregisterHotkey(int id)
{
    UnregisterHotKey(nullptr, id);
}

int hotkeyId(const void* message)
{
    const MSG* msg = static_cast<const MSG*>(message);
    if (!msg || msg->message != WM_HOTKEY)
        return -1;
    return int(msg->wParam);
}

} // namespace win32hotkeys
