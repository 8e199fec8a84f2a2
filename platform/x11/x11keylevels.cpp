#include "x11keylevels.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace platform::x11 {
namespace {

struct Cases
{
    KeySym lower = NoSymbol;
    KeySym upper = NoSymbol;
};

bool isUnicodeKeysym(KeySym keysym)
{
    constexpr KeySym kUnicodeFlag = 0x01000000;
    return (keysym & 0xff000000) == kUnicodeFlag;
}

// The cases as clients know them.
Cases casesOf(KeySym keysym)
{
    Cases cases;
    XConvertCase(keysym, &cases.lower, &cases.upper);
    return cases;
}

// The cases as the server knows them when it derives a key type: to it a Unicode
// keysym has none (measured: a Unicode lower-case letter with its Unicode upper
// case makes a TWO_LEVEL key, the letter twice an ALPHABETIC one).
Cases serverCasesOf(KeySym keysym)
{
    return isUnicodeKeysym(keysym) ? Cases{keysym, keysym} : casesOf(keysym);
}

// Characters: Latin-1, the legacy scripts below the dead and function keys, and
// Unicode keysyms. Function, keypad and vendor keys are none.
bool isCharacter(KeySym keysym)
{
    constexpr KeySym kFirstNonCharacter = 0xfe00;
    return (keysym != NoSymbol && keysym < kFirstNonCharacter) || isUnicodeKeysym(keysym);
}

} // namespace

KeySym keysymRead(KeySym plain, KeySym shifted, bool shift, bool capsLock)
{
    const Cases plainCases = serverCasesOf(plain);
    const bool alphabetic = plain == plainCases.lower && shifted == plainCases.upper;
    if (alphabetic)
        return shift != capsLock ? shifted : plain;
    if (plain != shifted && (IsKeypadKey(plain) || IsKeypadKey(shifted)))
        return NoSymbol; // NumLock would pick the level
    const KeySym level = shift ? shifted : plain;
    return capsLock ? casesOf(level).upper : level;
}

bool canShareKeycode(KeySym plain, KeySym shifted)
{
    return plain != shifted && isCharacter(plain) && isCharacter(shifted) &&
           casesOf(plain).lower != casesOf(shifted).lower;
}

KeySym alphabeticPartner(KeySym keysym)
{
    const Cases cases = serverCasesOf(keysym);
    return keysym == cases.lower && cases.upper != cases.lower ? cases.upper : NoSymbol;
}

} // namespace platform::x11
