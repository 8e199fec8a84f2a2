#pragma once
// Turns the mouse wheel at `position`: the pointer is moved there first, in the same
// batch as the wheel record. `delta` counts in 120ths of a notch, negative downwards
// (or leftwards when `horizontal` is 1).

#include "mouseoperation.h"

class MouseWheelOperation : public MouseOperation
{
    Q_OBJECT
    Q_PROPERTY(int delta READ delta WRITE setDelta)
    Q_PROPERTY(int horizontal READ horizontal WRITE setHorizontal)
    Q_CLASSINFO("prop_delta", QT_TR_NOOP("滚动量"))
    Q_CLASSINFO("prop_horizontal", QT_TR_NOOP("滚动方向"))
    Q_CLASSINFO("editor_horizontal", "COMBO")
    Q_CLASSINFO("choices_horizontal", QT_TR_NOOP("垂直|水平"))

public:
    explicit MouseWheelOperation(QObject* parent = nullptr);

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

    int delta() const { return m_delta; }
    void setDelta(int delta) { m_delta = delta; }
    int horizontal() const { return m_horizontal; }
    void setHorizontal(int horizontal) { m_horizontal = horizontal; }

private:
    int m_delta = -120; // one notch down
    int m_horizontal = 0;
};
