#include "waylandkeymap.h"

#include "waylandkeys.h"

#include <xkbcommon/xkbcommon.h>

#include <algorithm>
#include <sstream>

namespace platform::wayland {
namespace {

constexpr uint32_t kLastXkbKeycode = 255;

// clang-format off
const char kTypes[] = R"(xkb_types "kliqora" {
    type "ONE_LEVEL" { modifiers = none; level_name[Level1] = "Any"; };
    type "TWO_LEVEL" {
        modifiers = Shift; map[Shift] = Level2;
        level_name[Level1] = "Base"; level_name[Level2] = "Shift";
    };
    type "ALPHABETIC" {
        modifiers = Shift+Lock; map[Shift] = Level2; map[Lock] = Level2;
        level_name[Level1] = "Base"; level_name[Level2] = "Caps";
    };
};
)";

// What the modifier keys do in the compositor's own key state; programs take the
// modifiers from the state we send explicitly.
const char kCompat[] = R"(xkb_compat "kliqora" {
    virtual_modifiers Alt,Super,NumLock;
    interpret Shift_L { action = SetMods(modifiers=Shift); };
    interpret Shift_R { action = SetMods(modifiers=Shift); };
    interpret Control_L { action = SetMods(modifiers=Control); };
    interpret Control_R { action = SetMods(modifiers=Control); };
    interpret Alt_L { virtualModifier = Alt; action = SetMods(modifiers=modMapMods); };
    interpret Alt_R { virtualModifier = Alt; action = SetMods(modifiers=modMapMods); };
    interpret Super_L { virtualModifier = Super; action = SetMods(modifiers=modMapMods); };
    interpret Super_R { virtualModifier = Super; action = SetMods(modifiers=modMapMods); };
    interpret Caps_Lock { action = LockMods(modifiers=Lock); };
    interpret Num_Lock { virtualModifier = NumLock; action = LockMods(modifiers=modMapMods); };
};
)";

struct ModifierKeys { const char* modifier; uint32_t keysyms[2]; };
const ModifierKeys kModifierMap[] = {
    {"Shift", {XKB_KEY_Shift_L, XKB_KEY_Shift_R}},
    {"Lock", {XKB_KEY_Caps_Lock, 0}},
    {"Control", {XKB_KEY_Control_L, XKB_KEY_Control_R}},
    {"Mod1", {XKB_KEY_Alt_L, XKB_KEY_Alt_R}},
    {"Mod2", {XKB_KEY_Num_Lock, 0}},
    {"Mod4", {XKB_KEY_Super_L, XKB_KEY_Super_R}},
};
// clang-format on

std::string keysymName(uint32_t keysym)
{
    char name[64];
    xkb_keysym_get_name(keysym, name, sizeof name);
    return name;
}

std::string keyName(uint32_t evdevCode)
{
    return "<K" + std::to_string(evdevCode + WaylandKeymap::kXkbOffset) + ">";
}

const char* typeOf(const KeyDefinition& key)
{
    if (!key.shiftedKeysym)
        return "ONE_LEVEL";
    const bool letter =
        xkb_keysym_to_upper(key.keysym) == key.shiftedKeysym && key.keysym != key.shiftedKeysym;
    return letter ? "ALPHABETIC" : "TWO_LEVEL";
}

void writeKeycodes(std::ostringstream& out)
{
    out << "xkb_keycodes \"kliqora\" {\n    minimum = " << WaylandKeymap::kXkbOffset
        << ";\n    maximum = " << kLastXkbKeycode << ";\n";
    for (uint32_t code = WaylandKeymap::kXkbOffset; code <= kLastXkbKeycode; ++code)
        out << "    <K" << code << "> = " << code << ";\n";
    out << "};\n";
}

void writeFixedKey(std::ostringstream& out, const KeyDefinition& key)
{
    out << "    key " << keyName(key.evdevCode) << " { type = \"" << typeOf(key) << "\", [ "
        << keysymName(key.keysym);
    if (key.shiftedKeysym)
        out << ", " << keysymName(key.shiftedKeysym);
    out << " ] };\n";
}

void writeModifierMap(std::ostringstream& out)
{
    for (const ModifierKeys& entry : kModifierMap) {
        std::string keys;
        for (const KeyDefinition& key : fixedKeys()) {
            if (key.keysym == entry.keysyms[0] ||
                (entry.keysyms[1] && key.keysym == entry.keysyms[1]))
                keys += (keys.empty() ? "" : ", ") + keyName(key.evdevCode);
        }
        out << "    modifier_map " << entry.modifier << " { " << keys << " };\n";
    }
}

} // namespace

WaylandKeymap::WaylandKeymap()
{
    std::set<uint32_t> fixed;
    for (const KeyDefinition& key : fixedKeys())
        fixed.insert(key.evdevCode);
    // Evdev code 0 is no key.
    for (uint32_t code = 1; code + kXkbOffset <= kLastXkbKeycode; ++code) {
        if (!fixed.count(code))
            m_slots.push_back({code, 0, 0});
    }
}

uint32_t WaylandKeymap::slotFor(uint32_t keysym) const
{
    if (!keysym)
        return 0;
    for (const Slot& slot : m_slots) {
        if (slot.keysym == keysym)
            return slot.evdevCode;
    }
    return 0;
}

size_t WaylandKeymap::bind(const std::vector<uint32_t>& keysyms, const std::set<uint32_t>& busy)
{
    const std::set<uint32_t> wanted(keysyms.begin(), keysyms.end());
    size_t bound = 0;
    for (uint32_t keysym : keysyms) {
        if (!keysym || slotFor(keysym))
            continue;
        Slot* oldest = nullptr;
        for (Slot& slot : m_slots) {
            if (busy.count(slot.evdevCode) || (slot.keysym && wanted.count(slot.keysym)))
                continue;
            if (!oldest || slot.boundAt < oldest->boundAt)
                oldest = &slot;
        }
        if (!oldest)
            break;
        oldest->keysym = keysym;
        oldest->boundAt = ++m_bindings;
        ++bound;
    }
    return bound;
}

std::string WaylandKeymap::text() const
{
    std::ostringstream out;
    out << "xkb_keymap {\n";
    writeKeycodes(out);
    out << kTypes << kCompat << "xkb_symbols \"kliqora\" {\n";
    for (const KeyDefinition& key : fixedKeys())
        writeFixedKey(out, key);
    for (const Slot& slot : m_slots) {
        if (slot.keysym) {
            out << "    key " << keyName(slot.evdevCode) << " { type = \"ONE_LEVEL\", [ "
                << keysymName(slot.keysym) << " ] };\n";
        }
    }
    writeModifierMap(out);
    out << "};\n};\n";
    return out.str();
}

} // namespace platform::wayland
