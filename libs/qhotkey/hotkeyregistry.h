#pragma once
// The process-wide list of registered hotkeys. It owns the platform backend,
// refuses a key that another QHotkey of this process already holds (as the
// system does between programs) and hands native key events to their QHotkey.

#include "hotkeybackend.h"

#include <QKeySequence>
#include <QPointer>
#include <QVector>

class QHotkey;

class HotkeyRegistry
{
public:
    static HotkeyRegistry& instance();

    bool isSupported();
    bool add(QHotkey* hotkey, const QKeySequence& shortcut);
    void remove(QHotkey* hotkey);
    void describe(QHotkey* hotkey, const QString& description);

    // Called by the backend on the GUI thread.
    void pressed(const NativeHotkey& native);
    void released(const NativeHotkey& native);
    // The system took back a key it had accepted (a desktop that binds keys later).
    void refused(const NativeHotkey& native);
    // The keyboard layout changed: translate every key again and move its grab;
    // with regrabAll every key is grabbed again even where its native form stayed.
    void keymapChanged(bool regrabAll);

private:
    struct Entry
    {
        QPointer<QHotkey> hotkey;
        QHotkey* owner = nullptr; // identity even while the object is being destroyed
        Qt::Key key = Qt::Key_unknown;
        Qt::KeyboardModifiers modifiers;
        NativeHotkey native;
    };

    HotkeyRegistry() = default;
    HotkeyBackend* backend();
    void shutdown();
    int indexOf(const NativeHotkey& native) const;
    int indexOf(const QHotkey* hotkey) const;

    std::unique_ptr<HotkeyBackend> m_backend;
    bool m_backendTried = false;
    QVector<Entry> m_entries;
};
