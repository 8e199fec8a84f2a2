#pragma once
// Global hotkeys on sway: each key becomes a compositor binding (bindsym ... nop
// <our id>) made through sway's IPC, and its presses come back as binding events
// on a subscription. Sway then keeps the key from the focused program, as a grab
// does on X11. A key the configuration already binds is refused.

#include "../hotkeybackend.h"
#include "swaybindings.h"
#include "swayipc.h"

#include <map>
#include <memory>

class SwayHotkeyBackend : public HotkeyBackend
{
public:
    // Null when $SWAYSOCK is not set or sway does not answer there.
    static std::unique_ptr<SwayHotkeyBackend> create();
    // Removes every binding it made.
    ~SwayHotkeyBackend() override;

    bool toNative(Qt::Key key, Qt::KeyboardModifiers modifiers, NativeHotkey* out) override;
    bool grab(const NativeHotkey& hotkey) override;
    void ungrab(const NativeHotkey& hotkey) override;

private:
    SwayHotkeyBackend(std::unique_ptr<SwayIpc> commands, std::unique_ptr<SwayIpc> events,
                      std::set<SwayCombo> configured);
    bool run(const QString& command);
    void onEvent(quint32 type, const QByteArray& payload);

    std::unique_ptr<SwayIpc> m_commands;
    std::unique_ptr<SwayIpc> m_events;
    std::set<SwayCombo> m_configured;
    QString m_tag; // in every binding's command: tells ours (and this process's) apart
    std::map<NativeHotkey, QString> m_bound; // the key of each binding we made
};
