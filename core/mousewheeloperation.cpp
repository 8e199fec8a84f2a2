#include "mousewheeloperation.h"

#include "platform/backend.h"

#include <QDataStream>

MouseWheelOperation::MouseWheelOperation(QObject* parent) : MouseOperation(parent) {}

QString MouseWheelOperation::category() const
{
    return tr("鼠标");
}

QString MouseWheelOperation::typeId() const
{
    return QStringLiteral("mouse_wheel");
}

QString MouseWheelOperation::displayName() const
{
    return tr("滚动滚轮");
}

QString MouseWheelOperation::iconPath() const
{
    return QStringLiteral(":/optree/res/images/optree/mouse-wheel.svg");
}

void MouseWheelOperation::execute()
{
    // Any value other than 1 scrolls vertically, as the drop-down's first entry says.
    const uint32_t wheelFlag =
        m_horizontal == 1 ? platform::MouseFlag::HWheel : platform::MouseFlag::Wheel;
    const platform::Input batch[2] = {
        absoluteMoveInput(),
        platform::Input::mouseInput(wheelFlag, 0, 0, m_delta),
    };
    platform::sendInput(batch, 2);
}

void MouseWheelOperation::serialize(QDataStream& out) const
{
    serializeMouse(out);
    out << qint32(m_delta) << qint32(m_horizontal);
}

void MouseWheelOperation::deserialize(QDataStream& in)
{
    deserializeMouse(in);
    qint32 delta = 0;
    qint32 horizontal = 0;
    in >> delta >> horizontal;
    m_delta = delta;
    m_horizontal = horizontal;
}

QString MouseWheelOperation::toString() const
{
    return QStringLiteral("%1: delta=%2, horizontal=%3, x=%4, y=%5")
        .arg(displayName(), QString::number(m_delta), QString::number(m_horizontal),
             QString::number(position().x()), QString::number(position().y()));
}

QString MouseWheelOperation::description() const
{
    const QString direction = m_horizontal == 1 ? (m_delta < 0 ? tr("向左") : tr("向右"))
                                                : (m_delta < 0 ? tr("向下") : tr("向上"));
    return tr("在屏幕坐标(X=%1, Y=%2)处，%3滚动滚轮 %4")
        .arg(QString::number(position().x()), QString::number(position().y()), direction,
             QString::number(qAbs(qint64(m_delta))));
}

Operation* MouseWheelOperation::clone(QObject* parent) const
{
    auto* copy = new MouseWheelOperation(parent);
    copyMouseFieldsTo(copy);
    copy->m_delta = m_delta;
    copy->m_horizontal = m_horizontal;
    return copy;
}
