#include "hotkeymanage.h"

#include "logcategory.h"
#include "qhotkey.h"

#include <QCoreApplication>

HotkeyManage* HotkeyManage::instance()
{
    static HotkeyManage manager;
    return &manager;
}

HotkeyManage::HotkeyManage()
{
    // The keys must be released while the application (and its display
    // connection) still exists; the static itself is destroyed only after main().
    if (QCoreApplication* app = QCoreApplication::instance())
        connect(app, &QCoreApplication::aboutToQuit, this, &HotkeyManage::releaseAll);
}

HotkeyManage::~HotkeyManage()
{
    releaseAll();
}

void HotkeyManage::addHotkey(QHotkey* hotkey)
{
    if (!hotkey)
        return;
    // Keys deleted by their owners leave null entries; dropping them here keeps the
    // list as long as the live keys however many recordings and flows come and go.
    purgeDead();
    if (!m_hotkeys.contains(hotkey))
        m_hotkeys.append(hotkey);
}

void HotkeyManage::removeHotkey(QHotkey* hotkey)
{
    if (!hotkey)
        return;
    hotkey->setRegistered(false);
    m_hotkeys.removeAll(hotkey);
    hotkey->deleteLater();
}

void HotkeyManage::blockOthers(QHotkey* except, bool block)
{
    purgeDead();
    for (const QPointer<QHotkey>& hotkey : qAsConst(m_hotkeys)) {
        if (hotkey && hotkey != except)
            hotkey->blockSignals(block);
    }
}

int HotkeyManage::count() const
{
    return m_hotkeys.size();
}

void HotkeyManage::purgeDead()
{
    for (int i = m_hotkeys.size() - 1; i >= 0; --i) {
        if (m_hotkeys.at(i).isNull())
            m_hotkeys.removeAt(i);
    }
}

void HotkeyManage::releaseAll()
{
    const bool appAlive = QCoreApplication::instance() != nullptr;
    int released = 0;
    for (const QPointer<QHotkey>& hotkey : qAsConst(m_hotkeys)) {
        if (!hotkey)
            continue;
        hotkey->setRegistered(false);
        // Without an application no event loop would ever run the deletion.
        if (appAlive)
            hotkey->deleteLater();
        ++released;
    }
    m_hotkeys.clear();
    if (released > 0 && appAlive)
        qCDebug(logCategory()) << "Released" << released << "global hotkeys at exit";
}
