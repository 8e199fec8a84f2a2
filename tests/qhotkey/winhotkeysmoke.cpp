// A Windows program over the Win32 half of the hotkey library. Linking it proves
// the calls resolve; run under Wine or on Windows it checks the key translation
// and that the system refuses a key registered twice. Exit code 0 on success.

#include "win/win32hotkeys.h"

#include <cstdio>

namespace {

struct Case
{
    const char* name;
    int qtKey;
    uint32_t qtModifiers;
    uint32_t vk;
    uint32_t modifiers; // MOD_ALT 1, MOD_CONTROL 2, MOD_SHIFT 4, MOD_WIN 8
};

// clang-format off
const Case cases[] = {
    {"F2",           0x01000031, 0,                                   0x71, 0},
    {"Ctrl+F5",      0x01000034, win32hotkeys::QtControlModifier,     0x74, 2},
    {"Ctrl+Shift+S", 0x53,       win32hotkeys::QtControlModifier |
                                 win32hotkeys::QtShiftModifier,       0x53, 6},
    {"Alt+1",        0x31,       win32hotkeys::QtAltModifier,         0x31, 1},
    {"Meta+Esc",     0x01000000, win32hotkeys::QtMetaModifier,        0x1B, 8},
    {"Num+5",        0x35,       win32hotkeys::QtKeypadModifier,      0x65, 0},
    {"PgDown",       0x01000017, 0,                                   0x22, 0},
};
// clang-format on

} // namespace

int main()
{
    int failures = 0;
    for (const Case& c : cases) {
        win32hotkeys::VirtualHotkey hotkey;
        if (!win32hotkeys::translate(c.qtKey, c.qtModifiers, &hotkey) || hotkey.vk != c.vk ||
            hotkey.modifiers != c.modifiers) {
            std::printf("FAIL translate %s: vk 0x%x mods %u\n", c.name, unsigned(hotkey.vk),
                        unsigned(hotkey.modifiers));
            ++failures;
        }
    }
    win32hotkeys::VirtualHotkey none;
    if (win32hotkeys::translate(0x01000020 /* Shift alone */, 0, &none)) {
        std::printf("FAIL a modifier alone translated\n");
        ++failures;
    }

    win32hotkeys::VirtualHotkey f12;
    win32hotkeys::translate(0x0100003b, win32hotkeys::QtControlModifier, &f12);
    const bool first = win32hotkeys::registerHotkey(1, f12);
    const bool second = win32hotkeys::registerHotkey(2, f12);
    win32hotkeys::unregisterHotkey(1);
    win32hotkeys::unregisterHotkey(2);
    std::printf("register Ctrl+F12: first %s, second %s\n", first ? "ok" : "refused",
                second ? "ok" : "refused");
    if (first && second) {
        std::printf("FAIL the same key was registered twice\n");
        ++failures;
    }
    std::printf("%d failures\n", failures);
    return failures == 0 ? 0 : 1;
}
