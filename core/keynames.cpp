#include "keynames.h"

#include "platform/backend.h"
#include "platform/virtualkeys.h"

#include <QStringList>

#include <array>

namespace Vk = platform::Vk;

namespace {

struct KeyName
{
    const char* name;
    quint16 vk;
};

// clang-format off
constexpr KeyName kNamedKeys[] = {
    {"CTRL", Vk::Control}, {"CONTROL", Vk::Control},
    {"LCTRL", Vk::LControl}, {"RCTRL", Vk::RControl},
    {"SHIFT", Vk::Shift},
    {"LSHIFT", Vk::LShift}, {"RSHIFT", Vk::RShift},
    {"ALT", Vk::Menu}, {"MENU", Vk::Menu},
    {"LALT", Vk::LMenu}, {"RALT", Vk::RMenu},
    {"WIN", Vk::LWin}, {"WINDOWS", Vk::LWin}, {"LWIN", Vk::LWin},
    {"RWIN", Vk::RWin},
    {"APPS", Vk::Apps},
    {"ENTER", Vk::Return}, {"RETURN", Vk::Return},
    {"SPACE", Vk::Space},
    {"TAB", Vk::Tab},
    {"BACKSPACE", Vk::Back},
    {"ESC", Vk::Escape},
    {"PAUSE", Vk::Pause},
    {"CAPSLOCK", Vk::Capital}, {"CAPS", Vk::Capital},
    {"INSERT", Vk::Insert}, {"INS", Vk::Insert},
    {"DELETE", Vk::Delete}, {"DEL", Vk::Delete},
    {"HOME", Vk::Home}, {"END", Vk::End},
    {"PAGEUP", Vk::Prior}, {"PGUP", Vk::Prior},
    {"PAGEDOWN", Vk::Next}, {"PGDOWN", Vk::Next}, {"PGDN", Vk::Next},
    {"UP", Vk::Up}, {"DOWN", Vk::Down}, {"LEFT", Vk::Left}, {"RIGHT", Vk::Right},
    {"NUMLOCK", Vk::NumLock}, {"NUM", Vk::NumLock},
    {"NUMPADSTAR", Vk::Multiply}, {"NUMPADPLUS", Vk::Add}, {"NUMPADMINUS", Vk::Subtract},
    {"NUMPADDOT", Vk::Decimal}, {"NUMPADSLASH", Vk::Divide},
    {"NUMPADENTER", Vk::Return}, // no extended-key flag: the same key as ENTER
    // A shifted punctuation character names its unshifted key; no Shift is added.
    {"`", Vk::Oem3}, {"~", Vk::Oem3},
    {"-", Vk::OemMinus}, {"_", Vk::OemMinus},
    {"=", Vk::OemPlus}, {"+", Vk::OemPlus},
    {"[", Vk::Oem4}, {"{", Vk::Oem4},
    {"]", Vk::Oem6}, {"}", Vk::Oem6},
    {";", Vk::Oem1}, {":", Vk::Oem1},
    {"'", Vk::Oem7}, {"\"", Vk::Oem7},
    {",", Vk::OemComma}, {"<", Vk::OemComma},
    {".", Vk::OemPeriod}, {">", Vk::OemPeriod},
    {"/", Vk::Oem2}, {"?", Vk::Oem2},
    {"\\", Vk::Oem5}, {"|", Vk::Oem5},
    {"VOLUMEUP", Vk::VolumeUp}, {"VOLUMEDOWN", Vk::VolumeDown}, {"MUTE", Vk::VolumeMute},
    {"MEDIANEXT", Vk::MediaNextTrack}, {"MEDIAPREV", Vk::MediaPrevTrack},
    {"MEDIASTOP", Vk::MediaStop}, {"MEDIAPLAY", Vk::MediaPlayPause},
    {"BROWSERBACK", Vk::BrowserBack}, {"BROWSERFWD", Vk::BrowserForward},
    {"BROWSERREFRESH", Vk::BrowserRefresh}, {"BROWSERHOME", Vk::BrowserHome},
};
// clang-format on

constexpr int kLetters = 26;
constexpr int kDigits = 10;
constexpr int kFunctionKeys = 24;

QMap<QString, quint16> buildTable()
{
    QMap<QString, quint16> table;
    for (const KeyName& key : kNamedKeys)
        table.insert(QString::fromLatin1(key.name), key.vk);
    for (int i = 0; i < kLetters; ++i)
        table.insert(QString(QLatin1Char(char('A' + i))), quint16(Vk::KeyA + i));
    for (int i = 0; i < kDigits; ++i)
        table.insert(QString(QLatin1Char(char('0' + i))), quint16(Vk::Key0 + i));
    for (int n = 1; n <= kFunctionKeys; ++n)
        table.insert(QStringLiteral("F") + QString::number(n), quint16(Vk::F1 + n - 1));
    for (int i = 0; i < kDigits; ++i)
        table.insert(QStringLiteral("NUM") + QString::number(i), quint16(Vk::Numpad0 + i));
    return table;
}

struct Modifier
{
    Qt::KeyboardModifier flag;
    const char* name;
    quint16 vk;
};

// clang-format off
constexpr std::array<Modifier, 4> kModifiers{{
    {Qt::ShiftModifier,   "Shift", Vk::Shift},
    {Qt::ControlModifier, "Ctrl",  Vk::Control},
    {Qt::AltModifier,     "Alt",   Vk::Menu},
    {Qt::MetaModifier,    "Win",   Vk::LWin},
}};
// clang-format on

void sendModifierKeys(Qt::KeyboardModifiers modifiers, uint32_t flags)
{
    for (const Modifier& m : kModifiers) {
        if (!modifiers.testFlag(m.flag))
            continue;
        const platform::Input input = platform::Input::keyInput(m.vk, flags);
        platform::sendInput(&input, 1);
    }
}

} // namespace

const QMap<QString, quint16>& keyNameTable()
{
    static const QMap<QString, quint16> table = buildTable();
    return table;
}

quint16 keyNameToVk(const QString& name)
{
    return keyNameTable().value(name.trimmed().toUpper(), 0);
}

QString modifiersToString(Qt::KeyboardModifiers modifiers)
{
    QStringList names;
    for (const Modifier& m : kModifiers) {
        if (modifiers.testFlag(m.flag))
            names << QString::fromLatin1(m.name);
    }
    return names.join(QLatin1Char('+'));
}

void pressModifiers(Qt::KeyboardModifiers modifiers)
{
    sendModifierKeys(modifiers, 0);
}

void releaseModifiers(Qt::KeyboardModifiers modifiers)
{
    sendModifierKeys(modifiers, platform::KeyFlag::KeyUp);
}
