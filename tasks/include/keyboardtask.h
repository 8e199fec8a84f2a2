#pragma once
// One row of the key presser: presses one key (with held modifier keys) for a hold
// time, releases it, then pauses.

#include "task.h"

class KeyBoardTask : public Task
{
    Q_OBJECT

public:
    explicit KeyBoardTask(QObject* parent = nullptr);

    // A row's task from the texts of its cells: the key text as entered (e.g.
    // "CTRL+C", "ctrl + c"), the hold time and the pause (decimal; anything else is 0).
    static KeyBoardTask* fromRowTexts(const QString& keyText, const QString& hold,
                                      const QString& pause, QObject* parent = nullptr);
    // The modifier mask named by the '+'-separated parts of a key text.
    static int modifiersOfKeyText(const QString& keyText);
    // The virtual-key code of the last part of a key text; 0 when it names no key.
    static quint16 vkOfKeyText(const QString& keyText);

    void run() override;
    void serialize(QDataStream& out) const override;
    void deserialize(QDataStream& in) override;
    QString toString() const override;

    int pressDuration() const { return m_pressDuration; }
    void setPressDuration(int ms) { m_pressDuration = ms; }
    int modifierKeys() const { return m_modifierKeys; }
    void setModifierKeys(int mask) { m_modifierKeys = mask; }
    quint16 vkCode() const { return m_vkCode; }
    void setVkCode(quint16 vk) { m_vkCode = vk; }
    QString key() const { return m_key; }
    void setKey(const QString& key) { m_key = key; }

private:
    int m_pressDuration = 0;
    int m_modifierKeys = 0;
    quint16 m_vkCode = 0;
    QString m_key;
};
