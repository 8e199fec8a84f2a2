#pragma once
// Global hotkeys on X11: passive key grabs on the root window through the
// application's own X connection, seen by a native event filter on the GUI thread.

#include "../hotkeybackend.h"

#include <QAbstractNativeEventFilter>
#include <QObject>

// After Qt: Xlib's macros (None, CursorShape, KeyPress) clash with Qt headers.
#include "x11keymap.h"

#include <X11/Xlib.h>

#include <map>
#include <memory>
#include <vector>

class X11HotkeyBackend : public HotkeyBackend, public QAbstractNativeEventFilter
{
public:
    explicit X11HotkeyBackend(Display* display);
    ~X11HotkeyBackend() override;

    bool toNative(Qt::Key key, Qt::KeyboardModifiers modifiers, NativeHotkey* out) override;
    bool grab(const NativeHotkey& hotkey) override;
    void ungrab(const NativeHotkey& hotkey) override;

    bool nativeEventFilter(const QByteArray& eventType, void* message, long* result) override;

private:
    struct KeyState
    {
        bool down = false;
        bool released = false;       // releaseTime is valid
        bool releasePending = false; // released() not yet emitted
        unsigned long releaseTime = 0;
    };

    std::vector<unsigned> lockCombinations() const;
    void ungrabCombinations(const NativeHotkey& hotkey, const std::vector<unsigned>& combos);
    bool onKeyPress(unsigned keycode, unsigned state, unsigned long time);
    bool onKeyRelease(unsigned keycode, unsigned state, unsigned long time);
    bool isGrabbed(const NativeHotkey& hotkey) const;
    unsigned relevantModifiers(unsigned state) const;
    void scheduleKeymapReload();

    Display* m_display;
    Window m_root;
    X11Keymap m_keymap;
    int m_xkbEventBase = -1;
    bool m_reloadPending = false;
    QObject m_timerContext; // cancels a pending reload when the backend goes
    // Every grabbed key with the lock combinations it was grabbed under.
    std::map<NativeHotkey, std::vector<unsigned>> m_grabs;
    std::map<unsigned, KeyState> m_keyStates; // by keycode
};

// The backend on Qt's own X connection; null when Qt does not run on X11.
std::unique_ptr<HotkeyBackend> createX11HotkeyBackend();
