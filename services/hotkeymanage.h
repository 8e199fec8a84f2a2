#pragma once
// The one list of every live global hotkey of the program, so that all of them
// but one can be silenced at once (while a job runs or a new key is typed in).

#include <QObject>
#include <QPointer>
#include <QVector>

class QHotkey;

class HotkeyManage : public QObject
{
    Q_OBJECT

public:
    // Created on first use; never null.
    static HotkeyManage* instance();

    // Null and already listed hotkeys are ignored.
    void addHotkey(QHotkey* hotkey);
    // Unregisters the hotkey, forgets it and deletes it later: callers drop their pointer.
    void removeHotkey(QHotkey* hotkey);
    // Silences (or restores) the activated signal of every listed hotkey but
    // `except` (all of them when null); the keys stay registered with the system.
    void blockOthers(QHotkey* except, bool block);

    // Number of entries in the list. A hotkey deleted by its owner leaves an entry
    // behind until the next addHotkey() or blockOthers() drops it.
    int count() const;

private:
    HotkeyManage();
    ~HotkeyManage() override;
    void releaseAll();
    void purgeDead();

    QVector<QPointer<QHotkey>> m_hotkeys;
};
