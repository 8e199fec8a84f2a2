#include "qhotkey.h"

#include "hotkeyregistry.h"

QHotkey::QHotkey(QObject* parent) : QObject(parent) {}

QHotkey::QHotkey(const QKeySequence& shortcut, bool autoRegister, QObject* parent) : QObject(parent)
{
    setShortcut(shortcut, autoRegister);
}

QHotkey::~QHotkey()
{
    if (m_registered)
        HotkeyRegistry::instance().remove(this);
}

bool QHotkey::isRegistered() const
{
    return m_registered;
}

QKeySequence QHotkey::shortcut() const
{
    return m_shortcut;
}

bool QHotkey::isPlatformSupported()
{
    return HotkeyRegistry::instance().isSupported();
}

QString QHotkey::description() const
{
    return m_description;
}

void QHotkey::setDescription(const QString& description)
{
    if (description == m_description)
        return;
    m_description = description;
    if (m_registered)
        HotkeyRegistry::instance().describe(this, description);
}

bool QHotkey::setShortcut(const QKeySequence& shortcut, bool autoRegister)
{
    // The old key is released first, so it never stays grabbed under a new name.
    if (m_registered)
        setRegistered(false);
    m_shortcut = shortcut;
    if (autoRegister)
        return setRegistered(true);
    return true;
}

bool QHotkey::resetShortcut()
{
    return setShortcut(QKeySequence(), false);
}

bool QHotkey::setRegistered(bool registered)
{
    if (registered == m_registered)
        return true;
    if (registered) {
        if (m_shortcut.isEmpty() || !HotkeyRegistry::instance().add(this, m_shortcut))
            return false;
    } else {
        HotkeyRegistry::instance().remove(this);
    }
    m_registered = registered;
    emit registeredChanged(m_registered);
    return true;
}

void QHotkey::deliverActivated()
{
    emit activated(QPrivateSignal());
}

void QHotkey::deliverReleased()
{
    emit released(QPrivateSignal());
}

void QHotkey::registrationLost()
{
    if (!m_registered)
        return;
    m_registered = false;
    emit registeredChanged(false);
}

void QHotkey::refuse()
{
    if (!m_registered)
        return;
    registrationLost();
    emit refused(QPrivateSignal());
}
