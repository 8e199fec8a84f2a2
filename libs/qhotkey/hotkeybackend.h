#pragma once
// What one operating system offers for global hotkeys. A backend turns a Qt key
// into its native form and grabs or releases it; key events come back through
// HotkeyRegistry on the GUI thread.

#include <QString>
#include <Qt>
#include <QtGlobal>

#include <memory>

struct NativeHotkey
{
    quint32 key = 0;       // X11 keycode / Windows virtual key
    quint32 modifiers = 0; // X11 modifier mask / Windows MOD_* flags

    bool operator==(const NativeHotkey& other) const
    {
        return key == other.key && modifiers == other.modifiers;
    }
    bool operator!=(const NativeHotkey& other) const { return !(*this == other); }
    bool operator<(const NativeHotkey& other) const
    {
        return key != other.key ? key < other.key : modifiers < other.modifiers;
    }
};

class HotkeyBackend
{
public:
    HotkeyBackend() = default;
    virtual ~HotkeyBackend() = default;
    HotkeyBackend(const HotkeyBackend&) = delete;
    HotkeyBackend& operator=(const HotkeyBackend&) = delete;

    // False when the key has no native form on this system.
    virtual bool toNative(Qt::Key key, Qt::KeyboardModifiers modifiers, NativeHotkey* out) = 0;
    // False when the system refuses the key (e.g. another program holds it).
    virtual bool grab(const NativeHotkey& hotkey) = 0;
    virtual void ungrab(const NativeHotkey& hotkey) = 0;
    // What a grabbed key does, for a system that shows its programs' keys to the user.
    virtual void describe(const NativeHotkey& /*hotkey*/, const QString& /*description*/) {}
};

// Defined by the backend folder the build picks (session/ or win/); null when this
// session offers no global hotkeys (offscreen, no GUI, a Wayland desktop that keeps
// global keys to itself).
std::unique_ptr<HotkeyBackend> createPlatformHotkeyBackend();
