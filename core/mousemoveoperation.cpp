#include "mousemoveoperation.h"

#include "platform/backend.h"

MouseMoveOperation::MouseMoveOperation(QObject* parent) : MouseOperation(parent) {}

QString MouseMoveOperation::category() const
{
    return tr("鼠标");
}

QString MouseMoveOperation::typeId() const
{
    return QStringLiteral("mouse_move");
}

QString MouseMoveOperation::displayName() const
{
    return tr("移动鼠标");
}

QString MouseMoveOperation::iconPath() const
{
    return QStringLiteral(":/optree/res/images/optree/mouse-move.svg");
}

void MouseMoveOperation::execute()
{
    const platform::Input move = absoluteMoveInput();
    platform::sendInput(&move, 1);
}

void MouseMoveOperation::serialize(QDataStream& out) const
{
    serializeMouse(out);
}

void MouseMoveOperation::deserialize(QDataStream& in)
{
    deserializeMouse(in);
}

QString MouseMoveOperation::toString() const
{
    return QStringLiteral("%1: x=%2, y=%3")
        .arg(displayName(), QString::number(position().x()), QString::number(position().y()));
}

QString MouseMoveOperation::description() const
{
    return tr("将鼠标移动到屏幕坐标 (X=%1, Y=%2)")
        .arg(QString::number(position().x()), QString::number(position().y()));
}

Operation* MouseMoveOperation::clone(QObject* parent) const
{
    auto* copy = new MouseMoveOperation(parent);
    copyMouseFieldsTo(copy);
    return copy;
}
