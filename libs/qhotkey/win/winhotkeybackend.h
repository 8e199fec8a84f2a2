#pragma once
// Global hotkeys on Windows: RegisterHotKey per key, WM_HOTKEY seen by a native
// event filter on the GUI thread's message queue.

#include "../hotkeybackend.h"
#include "qtcompat.h"

#include <QAbstractNativeEventFilter>

#include <map>

class WinHotkeyBackend : public HotkeyBackend, public QAbstractNativeEventFilter
{
public:
    WinHotkeyBackend();
    ~WinHotkeyBackend() override;

    bool toNative(Qt::Key key, Qt::KeyboardModifiers modifiers, NativeHotkey* out) override;
    bool grab(const NativeHotkey& hotkey) override;
    void ungrab(const NativeHotkey& hotkey) override;

    bool nativeEventFilter(const QByteArray& eventType, void* message,
                           QtCompat::NativeEventResult* result) override;

private:
    std::map<NativeHotkey, int> m_ids;
    int m_nextId = 1;
};
