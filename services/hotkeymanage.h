#pragma once
// The one list of every live global hotkey of the program, so that all of them
// but one can be silenced at once (while a job runs or a new key is typed in).

#include <QObject>
#include <QPointer>
#include <QVector>

#include <functional>

class QHotkey;
class QKeySequence;

class HotkeyManage : public QObject
{
    Q_OBJECT

public:
    // Created on first use; never null.
    static HotkeyManage* instance();

    // The name of the job a hotkey starts, as the user knows it (a page's title, a
    // flow's or a recording's name); asked when needed, so a rename shows.
    using JobName = std::function<QString()>;

    // Null hotkeys are ignored; an already listed one only takes the name, if given.
    void addHotkey(QHotkey* hotkey, JobName jobName = {});
    // Unregisters the hotkey, forgets it and deletes it later: callers drop their pointer.
    void removeHotkey(QHotkey* hotkey);
    // Silences (or restores) the activated signal of every listed hotkey but
    // `except` (all of them when null); the keys stay registered with the system.
    void blockOthers(QHotkey* except, bool block);

    // The name of the job whose registered hotkey is `key`; empty when no listed
    // hotkey holds it (or its job has no name).
    QString jobHolding(const QKeySequence& key) const;

    // Number of entries in the list. A hotkey deleted by its owner leaves an entry
    // behind until the next addHotkey() or blockOthers() drops it.
    int count() const;

signals:
    // The system took back a listed key it had accepted (a desktop that binds keys
    // later, once its user has answered): `keyText` as the pages show it.
    void hotkeyRefused(const QString& keyText);

private:
    HotkeyManage();
    ~HotkeyManage() override;
    void releaseAll();
    void purgeDead();

    struct Entry
    {
        QPointer<QHotkey> hotkey;
        JobName jobName;
    };
    QVector<Entry> m_hotkeys;
};
