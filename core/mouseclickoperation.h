#pragma once
// Clicks a mouse button once or twice at `position`: the pointer is moved there
// first, in the same batch as the button records.

#include "mouseoperation.h"

class MouseClickOperation : public MouseOperation
{
    Q_OBJECT
    Q_PROPERTY(int clickType READ clickType WRITE setClickType)
    Q_PROPERTY(int clickButton READ clickButton WRITE setClickButton)
    Q_CLASSINFO("prop_clickType", QT_TR_NOOP("点击类型"))
    Q_CLASSINFO("editor_clickType", "COMBO")
    Q_CLASSINFO("choices_clickType", QT_TR_NOOP("单击|双击"))
    Q_CLASSINFO("prop_clickButton", QT_TR_NOOP("点击按键"))
    Q_CLASSINFO("editor_clickButton", "COMBO")
    Q_CLASSINFO("choices_clickButton", QT_TR_NOOP("左键|右键|中键"))

public:
    enum ClickType
    {
        SingleClick = 0,
        DoubleClick = 1
    };
    enum ClickButton
    {
        LeftButton = 0,
        RightButton = 1,
        MiddleButton = 2
    };

    explicit MouseClickOperation(QObject* parent = nullptr);

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

    int clickType() const { return m_clickType; }
    void setClickType(int type) { m_clickType = type; }
    int clickButton() const { return m_clickButton; }
    void setClickButton(int button) { m_clickButton = button; }

private:
    QString clickWord() const;
    QString buttonWord() const;

    int m_clickType = SingleClick;
    int m_clickButton = LeftButton;
};
