#pragma once
// Base of the two mouse operations: a screen point in pixels of the primary screen.

#include "operation.h"

#include "platform/input.h"

#include <QPoint>

class MouseOperation : public Operation
{
    Q_OBJECT
    Q_PROPERTY(QPoint position READ position WRITE setPosition)
    Q_CLASSINFO("prop_position", QT_TR_NOOP("位置坐标"))

public:
    explicit MouseOperation(QObject* parent = nullptr);

    QPoint position() const { return m_position; }
    void setPosition(const QPoint& position) { m_position = position; }

protected:
    // interval, then x and y as qint32.
    void serializeMouse(QDataStream& out) const;
    void deserializeMouse(QDataStream& in);
    void copyMouseFieldsTo(MouseOperation* other) const;
    // The absolute pointer move to `position` (screen size read now).
    platform::Input absoluteMoveInput() const;

private:
    QPoint m_position;
};
