#include "unicodekeys.h"

// The keysym values of X11 and xkbcommon are the same.
#include <xkbcommon/xkbcommon-keysyms.h>

namespace platform {
namespace {

bool isHighSurrogate(uint16_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool isLowSurrogate(uint16_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

} // namespace

char32_t joinCodeUnit(uint16_t unit, UnicodeTypingState& state)
{
    const bool lineFeedEndsCarriageReturn = state.afterCarriageReturn && unit == u'\n';
    state.afterCarriageReturn = unit == u'\r';
    if (lineFeedEndsCarriageReturn)
        return 0;
    if (isHighSurrogate(unit)) {
        state.pendingHigh = unit; // an earlier unpaired half is dropped
        return 0;
    }
    if (isLowSurrogate(unit)) {
        const uint16_t high = state.pendingHigh;
        state.pendingHigh = 0;
        if (!high)
            return 0;
        return 0x10000 + ((char32_t(high) - 0xD800) << 10) + (char32_t(unit) - 0xDC00);
    }
    state.pendingHigh = 0;
    return unit;
}

unsigned long unicodeToKeysym(char32_t codepoint)
{
    constexpr char32_t kLastLatin1 = 0xFF;
    constexpr char32_t kLastUnicode = 0x10FFFF;
    constexpr char32_t kDelete = 0x7F;
    constexpr char32_t kFirstC1 = 0x80;
    constexpr char32_t kLastC1 = 0x9F;
    constexpr unsigned long kUnicodeKeysymBase = 0x01000000;
    switch (codepoint) {
    case U'\n':
    case U'\r':
        return XKB_KEY_Return;
    case U'\t':
        return XKB_KEY_Tab;
    case U'\b':
        return XKB_KEY_BackSpace;
    case 0x1B:
        return XKB_KEY_Escape;
    case kDelete:
        return XKB_KEY_Delete;
    default:
        break;
    }
    if (codepoint < U' ' || (codepoint >= kFirstC1 && codepoint <= kLastC1))
        return 0;
    if ((codepoint >= 0xD800 && codepoint <= 0xDFFF) || codepoint > kLastUnicode)
        return 0;
    // Latin-1 keysyms equal their code points; everything else has a Unicode keysym.
    if (codepoint <= kLastLatin1)
        return codepoint;
    return kUnicodeKeysymBase | codepoint;
}

} // namespace platform
