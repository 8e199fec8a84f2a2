#include "loopendoperation.h"

#include <QDataStream>

LoopEndOperation::LoopEndOperation(QObject* parent) : Operation(parent) {}

QString LoopEndOperation::category() const
{
    return tr("流程控制");
}

QString LoopEndOperation::typeId() const
{
    return QStringLiteral("loop_end");
}

QString LoopEndOperation::displayName() const
{
    return tr("重复结束");
}

QString LoopEndOperation::iconPath() const
{
    return QStringLiteral(":/optree/res/images/optree/loop-end.svg");
}

void LoopEndOperation::serialize(QDataStream& out) const
{
    serializeOperation(out);
}

void LoopEndOperation::deserialize(QDataStream& in)
{
    deserializeOperation(in);
}

QString LoopEndOperation::toString() const
{
    return QStringLiteral("%1: end of the repeated part").arg(displayName());
}

QString LoopEndOperation::description() const
{
    return tr("重复的操作到此结束");
}

Operation* LoopEndOperation::clone(QObject* parent) const
{
    auto* copy = new LoopEndOperation(parent);
    copyOperationFieldsTo(copy);
    return copy;
}
