#include "loopstartoperation.h"

#include <QDataStream>

LoopStartOperation::LoopStartOperation(QObject* parent) : Operation(parent) {}

QString LoopStartOperation::category() const
{
    return tr("流程控制");
}

QString LoopStartOperation::typeId() const
{
    return QStringLiteral("loop_start");
}

QString LoopStartOperation::displayName() const
{
    return tr("重复开始");
}

QString LoopStartOperation::iconPath() const
{
    return QStringLiteral(":/optree/res/images/optree/loop-start.svg");
}

void LoopStartOperation::serialize(QDataStream& out) const
{
    serializeOperation(out);
    out << qint32(m_count);
}

void LoopStartOperation::deserialize(QDataStream& in)
{
    deserializeOperation(in);
    qint32 count = 0;
    in >> count;
    m_count = count;
}

QString LoopStartOperation::toString() const
{
    return QStringLiteral("%1: count=%2").arg(displayName(), QString::number(m_count));
}

QString LoopStartOperation::description() const
{
    if (m_count == UntilStopped)
        return tr("重复以下操作，直到停止");
    return tr("重复以下操作 %1 次").arg(QString::number(m_count));
}

Operation* LoopStartOperation::clone(QObject* parent) const
{
    auto* copy = new LoopStartOperation(parent);
    copyOperationFieldsTo(copy);
    copy->m_count = m_count;
    return copy;
}
