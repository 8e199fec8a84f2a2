#include "keyboardtask.h"

#include "keynames.h"
#include "platform/backend.h"

#include <QDataStream>

namespace {

struct ModifierName
{
    const char* name;
    int bit;
};

// clang-format off
constexpr ModifierName ModifierNames[] = {
    {"SHIFT", ModifierMask::Shift},
    {"CTRL",  ModifierMask::Ctrl},
    {"ALT",   ModifierMask::Alt},
    {"WIN",   ModifierMask::Win},
};
// clang-format on

const QChar KeySeparator = QLatin1Char('+');

void sendKey(quint16 vk, uint32_t flags)
{
    const platform::Input input = platform::Input::keyInput(vk, flags);
    platform::sendInput(&input, 1);
}

} // namespace

KeyBoardTask::KeyBoardTask(QObject* parent) : Task(parent)
{
    setTaskType(TaskType::KeyPress);
    setExecuteTimes(1);
}

int KeyBoardTask::modifiersOfKeyText(const QString& keyText)
{
    int mask = 0;
    const QStringList parts = keyText.split(KeySeparator, Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        const QString name = part.trimmed().toUpper();
        for (const ModifierName& modifier : ModifierNames)
            if (name == QLatin1String(modifier.name))
                mask |= modifier.bit;
    }
    return mask;
}

quint16 KeyBoardTask::vkOfKeyText(const QString& keyText)
{
    const QString last = keyText.trimmed().section(KeySeparator, -1);
    return keyNameToVk(last.toUpper()); // trims the part itself: "ctrl + c" gives "C"
}

KeyBoardTask* KeyBoardTask::fromRowTexts(const QString& keyText, const QString& hold,
                                         const QString& pause, QObject* parent)
{
    auto* task = new KeyBoardTask(parent);
    task->setKey(keyText);
    task->setVkCode(vkOfKeyText(keyText));
    task->setModifierKeys(modifiersOfKeyText(keyText));
    task->setPressDuration(hold.toInt(nullptr, 10));
    task->setIntervalTime(pause.toInt(nullptr, 10));
    return task;
}

void KeyBoardTask::run()
{
    pressModifierKeys(m_modifierKeys);
    sendKey(m_vkCode, 0);
    waitMs(m_pressDuration);
    // The releases follow whether or not a stop cut the hold short: no key stays down.
    sendKey(m_vkCode, platform::KeyFlag::KeyUp);
    releaseModifierKeys(m_modifierKeys);
    waitMs(intervalTime());
}

void KeyBoardTask::serialize(QDataStream& out) const
{
    serializeBase(out);
    out << qint32(m_pressDuration) << qint32(m_modifierKeys) << qint16(m_vkCode) << m_key;
}

void KeyBoardTask::deserialize(QDataStream& in)
{
    deserializeBase(in);
    qint32 pressDuration = 0, modifiers = 0;
    qint16 vk = 0;
    QString key;
    in >> pressDuration >> modifiers >> vk >> key;
    m_pressDuration = pressDuration;
    m_modifierKeys = modifiers;
    m_vkCode = quint16(vk);
    m_key = key;
}

QString KeyBoardTask::toString() const
{
    return QStringLiteral("KeyBoardTask:pressDuration=%1ms,modifierKeys=%2,vkCode=%3,key=%4")
        .arg(m_pressDuration)
        .arg(static_cast<uint>(m_modifierKeys))
        .arg(m_vkCode)
        .arg(m_key);
}
