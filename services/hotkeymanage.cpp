#include "hotkeymanage.h"

#include "logcategory.h"
#include "qhotkey.h"

#include <QCoreApplication>
#include <QKeySequence>

#include <algorithm>

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

void HotkeyManage::addHotkey(QHotkey* hotkey, JobName jobName)
{
    if (!hotkey)
        return;
    // Keys deleted by their owners leave null entries; dropping them here keeps the
    // list as long as the live keys however many recordings and flows come and go.
    purgeDead();
    const auto listed =
        std::find_if(m_hotkeys.begin(), m_hotkeys.end(),
                     [hotkey](const Entry& entry) { return entry.hotkey == hotkey; });
    if (listed == m_hotkeys.end()) {
        m_hotkeys.append({hotkey, std::move(jobName)});
        connect(hotkey, &QHotkey::refused, this, [this, hotkey] {
            emit hotkeyRefused(hotkey->shortcut().toString(QKeySequence::PortableText));
        });
    } else if (jobName) {
        listed->jobName = std::move(jobName); // listed where it was made, named by its page
    }
}

QString HotkeyManage::jobHolding(const QKeySequence& key) const
{
    if (key.isEmpty())
        return QString();
    for (const Entry& entry : m_hotkeys) {
        if (entry.hotkey && entry.hotkey->isRegistered() && entry.hotkey->shortcut() == key)
            return entry.jobName ? entry.jobName() : QString();
    }
    return QString();
}

void HotkeyManage::removeHotkey(QHotkey* hotkey)
{
    if (!hotkey)
        return;
    hotkey->setRegistered(false);
    m_hotkeys.erase(std::remove_if(m_hotkeys.begin(), m_hotkeys.end(),
                                   [hotkey](const Entry& entry) { return entry.hotkey == hotkey; }),
                    m_hotkeys.end());
    hotkey->deleteLater();
}

void HotkeyManage::blockOthers(QHotkey* except, bool block)
{
    purgeDead();
    for (const Entry& entry : qAsConst(m_hotkeys)) {
        if (entry.hotkey && entry.hotkey != except)
            entry.hotkey->blockSignals(block);
    }
}

int HotkeyManage::count() const
{
    return m_hotkeys.size();
}

void HotkeyManage::purgeDead()
{
    for (int i = m_hotkeys.size() - 1; i >= 0; --i) {
        if (m_hotkeys.at(i).hotkey.isNull())
            m_hotkeys.removeAt(i);
    }
}

void HotkeyManage::releaseAll()
{
    const bool appAlive = QCoreApplication::instance() != nullptr;
    int released = 0;
    for (const Entry& entry : qAsConst(m_hotkeys)) {
        QHotkey* hotkey = entry.hotkey;
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
