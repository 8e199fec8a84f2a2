#include "keyboardoperation.h"

#include "keynames.h"

#include "platform/backend.h"

#include <QDataStream>

KeyboardOperation::KeyboardOperation(QObject* parent) : Operation(parent) {}

QString KeyboardOperation::category() const
{
    return tr("键盘");
}

QString KeyboardOperation::typeId() const
{
    return QStringLiteral("key_input");
}

QString KeyboardOperation::displayName() const
{
    return tr("输入按键");
}

QString KeyboardOperation::iconPath() const
{
    return QStringLiteral(":/optree/res/images/optree/key-input.svg");
}

void KeyboardOperation::sendKey(uint32_t flags) const
{
    // A name outside the vocabulary is sent as virtual key 0.
    const platform::Input input = platform::Input::keyInput(keyNameToVk(m_key), flags);
    platform::sendInput(&input, 1);
}

void KeyboardOperation::execute()
{
    const bool hasKey = !m_key.isEmpty();
    switch (m_eventType) {
    case Press:
        pressModifiers(m_modifiers);
        if (hasKey)
            sendKey(0);
        break;
    case Release:
        if (hasKey)
            sendKey(platform::KeyFlag::KeyUp);
        releaseModifiers(m_modifiers);
        break;
    case Tap:
        pressModifiers(m_modifiers);
        if (hasKey) {
            sendKey(0);
            sendKey(platform::KeyFlag::KeyUp);
        }
        releaseModifiers(m_modifiers);
        break;
    default:
        break;
    }
}

void KeyboardOperation::serialize(QDataStream& out) const
{
    serializeOperation(out);
    out << qint32(m_eventType) << m_key << qint32(m_modifiers);
}

void KeyboardOperation::deserialize(QDataStream& in)
{
    deserializeOperation(in);
    qint32 type = 0;
    qint32 modifiers = 0;
    in >> type >> m_key >> modifiers;
    m_eventType = type;
    m_modifiers = Qt::KeyboardModifiers(modifiers);
}

QString KeyboardOperation::toString() const
{
    return QStringLiteral("%1: eventType=%2, key=%3, modifiers=%4")
        .arg(displayName(), QString::number(m_eventType), m_key, modifiersToString(m_modifiers));
}

QString KeyboardOperation::description() const
{
    QString word;
    switch (m_eventType) {
    case Press:
        word = tr("按下");
        break;
    case Release:
        word = tr("抬起");
        break;
    default:
        word = tr("敲击");
        break;
    }
    const QString modifierText = modifiersToString(m_modifiers);
    if (m_key.isEmpty())
        return tr("%1: %2 %3").arg(displayName(), word, modifierText);
    if (m_modifiers != Qt::NoModifier)
        return tr("%1: %2 %3+%4").arg(displayName(), word, modifierText, m_key);
    return tr("%1: %2 %3").arg(displayName(), word, m_key);
}

Operation* KeyboardOperation::clone(QObject* parent) const
{
    auto* copy = new KeyboardOperation(parent);
    copyOperationFieldsTo(copy);
    copy->m_eventType = m_eventType;
    copy->m_key = m_key;
    copy->m_modifiers = m_modifiers;
    return copy;
}
