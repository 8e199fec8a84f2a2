#pragma once
// The Win32 side of global hotkeys, free of Qt types so the Windows cross
// compiler checks it on its own. Qt key codes and modifier flags come in as the
// plain integers Qt defines for them (stable values of its public API).

#include <cstdint>

namespace win32hotkeys {

// Qt::KeyboardModifier values; the Qt glue asserts they match.
constexpr uint32_t QtShiftModifier = 0x02000000;
constexpr uint32_t QtControlModifier = 0x04000000;
constexpr uint32_t QtAltModifier = 0x08000000;
constexpr uint32_t QtMetaModifier = 0x10000000;
constexpr uint32_t QtKeypadModifier = 0x20000000;

struct VirtualHotkey
{
    uint32_t vk = 0;
    uint32_t modifiers = 0; // MOD_SHIFT, MOD_CONTROL, MOD_ALT, MOD_WIN
};

// False when the key has no virtual-key code.
bool translate(int qtKey, uint32_t qtModifiers, VirtualHotkey* out);

// RegisterHotKey for this thread's message queue; one press fires once (no repeat).
bool registerHotkey(int id, const VirtualHotkey& hotkey);
void unregisterHotkey(int id);

// The id of a WM_HOTKEY message (a MSG*), or -1 for any other message.
int hotkeyId(const void* message);

} // namespace win32hotkeys
