#include "hotkeyregistry.h"

#include "hotkeylog.h"
#include "qhotkey.h"
#include "qtcompat.h"

#include <QCoreApplication>
#include <QThread>

namespace {

bool onGuiThread()
{
    const QCoreApplication* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

bool isModifierKey(Qt::Key key)
{
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt ||
           key == Qt::Key_Meta || key == Qt::Key_AltGr;
}

} // namespace

HotkeyRegistry& HotkeyRegistry::instance()
{
    // Never destroyed: QHotkey objects held by other statics may outlive any
    // static of this library. The backend itself goes with the application.
    static HotkeyRegistry* registry = new HotkeyRegistry;
    return *registry;
}

HotkeyBackend* HotkeyRegistry::backend()
{
    if (!m_backendTried && onGuiThread()) {
        m_backendTried = true;
        m_backend = createPlatformHotkeyBackend();
        if (!m_backend)
            qCInfo(hotkeyLog()) << "Global hotkeys are not available on this platform";
        // The backend talks to the application's own display connection, which
        // goes away with the application: release everything before that.
        qAddPostRoutine([] { HotkeyRegistry::instance().shutdown(); });
    }
    return m_backend.get();
}

void HotkeyRegistry::shutdown()
{
    const QVector<Entry> entries = m_entries;
    for (const Entry& entry : entries) {
        if (m_backend)
            m_backend->ungrab(entry.native);
    }
    m_entries.clear();
    m_backend.reset();
    m_backendTried = false; // a later application object may try again
    for (const Entry& entry : entries) {
        if (entry.hotkey)
            entry.hotkey->registrationLost();
    }
}

bool HotkeyRegistry::isSupported()
{
    return backend() != nullptr;
}

bool HotkeyRegistry::add(QHotkey* hotkey, const QKeySequence& shortcut)
{
    if (!onGuiThread()) {
        qCWarning(hotkeyLog()) << "Hotkeys can only be registered on the GUI thread";
        return false;
    }
    HotkeyBackend* native = backend();
    if (!native)
        return false;
    // A global hotkey is one key with modifiers; a multi-key chord cannot be grabbed.
    if (shortcut.count() != 1) {
        qCWarning(hotkeyLog()) << "Cannot register hotkey" << shortcut.toString()
                               << ": exactly one key is needed";
        return false;
    }
    const int combined = QtCompat::keyCombination(shortcut, 0);
    Entry entry;
    entry.hotkey = hotkey;
    entry.owner = hotkey;
    entry.key = Qt::Key(combined & ~int(Qt::KeyboardModifierMask));
    entry.modifiers = Qt::KeyboardModifiers(combined & int(Qt::KeyboardModifierMask));
    if (entry.key == Qt::Key_unknown || entry.key == 0 || isModifierKey(entry.key) ||
        !native->toNative(entry.key, entry.modifiers, &entry.native)) {
        qCWarning(hotkeyLog()) << "Cannot register hotkey" << shortcut.toString()
                               << ": the key has no native form";
        return false;
    }
    if (indexOf(entry.native) >= 0) {
        qCWarning(hotkeyLog()) << "Cannot register hotkey" << shortcut.toString()
                               << ": already registered in this program";
        return false;
    }
    if (!native->grab(entry.native)) {
        qCWarning(hotkeyLog()) << "Cannot register hotkey" << shortcut.toString()
                               << ": the system refused it (taken by another program?)";
        return false;
    }
    m_entries.append(entry);
    if (!hotkey->description().isEmpty())
        native->describe(entry.native, hotkey->description());
    qCDebug(hotkeyLog()) << "Registered hotkey" << shortcut.toString();
    return true;
}

void HotkeyRegistry::remove(QHotkey* hotkey)
{
    const int index = indexOf(hotkey);
    if (index < 0)
        return;
    const Entry entry = m_entries.takeAt(index);
    if (m_backend)
        m_backend->ungrab(entry.native);
}

void HotkeyRegistry::describe(QHotkey* hotkey, const QString& description)
{
    const int index = indexOf(hotkey);
    if (index >= 0 && m_backend)
        m_backend->describe(m_entries.at(index).native, description);
}

void HotkeyRegistry::refused(const NativeHotkey& native)
{
    const int index = indexOf(native);
    if (index < 0)
        return;
    const Entry entry = m_entries.takeAt(index);
    qCWarning(hotkeyLog()) << "The system refused hotkey"
                           << QKeySequence(int(entry.key) | int(entry.modifiers)).toString();
    if (m_backend)
        m_backend->ungrab(entry.native);
    if (entry.hotkey)
        entry.hotkey->refuse();
}

void HotkeyRegistry::pressed(const NativeHotkey& native)
{
    const int index = indexOf(native);
    if (index < 0)
        return;
    // The slot may unregister or delete hotkeys: keep no reference into the list.
    const QPointer<QHotkey> hotkey = m_entries.at(index).hotkey;
    if (hotkey)
        hotkey->deliverActivated();
}

void HotkeyRegistry::released(const NativeHotkey& native)
{
    const int index = indexOf(native);
    if (index < 0)
        return;
    const QPointer<QHotkey> hotkey = m_entries.at(index).hotkey;
    if (hotkey)
        hotkey->deliverReleased();
}

void HotkeyRegistry::keymapChanged(bool regrabAll)
{
    if (!m_backend)
        return;
    QVector<QPointer<QHotkey>> lost;
    for (int i = 0; i < m_entries.size();) {
        Entry& entry = m_entries[i];
        NativeHotkey moved;
        const bool translatable = m_backend->toNative(entry.key, entry.modifiers, &moved);
        if (translatable && moved == entry.native && !regrabAll) {
            ++i;
            continue;
        }
        m_backend->ungrab(entry.native);
        const int holder = translatable ? indexOf(moved) : -1;
        const bool taken = holder >= 0 && holder != i;
        if (translatable && !taken && m_backend->grab(moved)) {
            entry.native = moved;
            ++i;
            continue;
        }
        qCWarning(hotkeyLog()) << "Hotkey"
                               << QKeySequence(int(entry.key) | int(entry.modifiers)).toString()
                               << "lost after a keyboard layout change";
        lost.append(entry.hotkey);
        m_entries.removeAt(i);
    }
    for (const QPointer<QHotkey>& hotkey : qAsConst(lost)) {
        if (hotkey)
            hotkey->registrationLost();
    }
}

int HotkeyRegistry::indexOf(const NativeHotkey& native) const
{
    for (int i = 0; i < m_entries.size(); ++i) {
        if (m_entries.at(i).native == native)
            return i;
    }
    return -1;
}

int HotkeyRegistry::indexOf(const QHotkey* hotkey) const
{
    for (int i = 0; i < m_entries.size(); ++i) {
        if (m_entries.at(i).owner == hotkey)
            return i;
    }
    return -1;
}
