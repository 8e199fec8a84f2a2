#include "mouseoperation.h"

#include "absolutepoint.h"

#include <QDataStream>

MouseOperation::MouseOperation(QObject* parent) : Operation(parent) {}

void MouseOperation::serializeMouse(QDataStream& out) const
{
    serializeOperation(out);
    out << qint32(m_position.x()) << qint32(m_position.y());
}

void MouseOperation::deserializeMouse(QDataStream& in)
{
    deserializeOperation(in);
    qint32 x = 0;
    qint32 y = 0;
    in >> x >> y;
    m_position = QPoint(x, y);
}

void MouseOperation::copyMouseFieldsTo(MouseOperation* other) const
{
    copyOperationFieldsTo(other);
    other->m_position = m_position;
}

platform::Input MouseOperation::absoluteMoveInput() const
{
    const QPoint abs = toAbsolutePoint(m_position);
    return platform::Input::mouseInput(platform::MouseFlag::Move | platform::MouseFlag::Absolute,
                                       abs.x(), abs.y());
}
