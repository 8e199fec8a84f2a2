#pragma once
// Presses, releases or taps one named key, with modifier keys around it.

#include "operation.h"

#include <Qt>

class KeyboardOperation : public Operation
{
    Q_OBJECT
    Q_PROPERTY(int eventType READ eventType WRITE setEventType)
    Q_PROPERTY(QString key READ key WRITE setKey)
    Q_PROPERTY(Qt::KeyboardModifiers modifiers READ modifiers WRITE setModifiers)
    Q_CLASSINFO("prop_eventType", QT_TR_NOOP("按键动作"))
    Q_CLASSINFO("editor_eventType", "COMBO")
    Q_CLASSINFO("choices_eventType", QT_TR_NOOP("按下|抬起|敲击（按下+抬起）"))
    Q_CLASSINFO("prop_key", QT_TR_NOOP("按键"))
    Q_CLASSINFO("prop_modifiers", QT_TR_NOOP("修饰键"))
    Q_CLASSINFO("editor_modifiers", "FLAG")
    Q_CLASSINFO("flagnames_modifiers", "Shift|Ctrl|Alt|Win")

public:
    enum EventType
    {
        Press = 0,
        Release = 1,
        Tap = 2
    };

    explicit KeyboardOperation(QObject* parent = nullptr);

    QString category() const override;
    QString typeId() const override;
    QString displayName() const override;
    QString iconPath() const override;
    void execute() override;
    void serialize(QDataStream& out) const override;
    void deserialize(QDataStream& in) override;
    QString toString() const override;
    QString description() const override;
    Operation* clone(QObject* parent = nullptr) const override;

    int eventType() const { return m_eventType; }
    void setEventType(int type) { m_eventType = type; }
    QString key() const { return m_key; }
    void setKey(const QString& key) { m_key = key; }
    Qt::KeyboardModifiers modifiers() const { return m_modifiers; }
    void setModifiers(Qt::KeyboardModifiers modifiers) { m_modifiers = modifiers; }

private:
    void sendKey(uint32_t flags) const;

    int m_eventType = Press;
    QString m_key = QLatin1String("");
    Qt::KeyboardModifiers m_modifiers;
};
