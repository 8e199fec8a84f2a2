#include "mouseclickoperation.h"

#include "platform/backend.h"

#include <QDataStream>

#include <array>

namespace {

// Down and up flags per button, indexed by clickButton.
struct ButtonFlags
{
    uint32_t down;
    uint32_t up;
};

// clang-format off
constexpr std::array<ButtonFlags, 3> kButtonFlags{{
    {platform::MouseFlag::LeftDown,   platform::MouseFlag::LeftUp},
    {platform::MouseFlag::RightDown,  platform::MouseFlag::RightUp},
    {platform::MouseFlag::MiddleDown, platform::MouseFlag::MiddleUp},
}};
// clang-format on

// Button records of one call: a double click is two clicks in one batch with no
// pause, so the system sees a double click. Unused records stay zeroed (empty moves).
constexpr int kClickRecords = 4;

} // namespace

MouseClickOperation::MouseClickOperation(QObject* parent) : MouseOperation(parent) {}

QString MouseClickOperation::category() const
{
    return tr("鼠标");
}

QString MouseClickOperation::typeId() const
{
    return QStringLiteral("mouse_click");
}

QString MouseClickOperation::displayName() const
{
    return tr("点击鼠标");
}

QString MouseClickOperation::iconPath() const
{
    return QStringLiteral(":/optree/res/images/optree/mouse-click.svg");
}

void MouseClickOperation::execute()
{
    std::array<platform::Input, kClickRecords> clicks{};
    const bool validType = m_clickType == SingleClick || m_clickType == DoubleClick;
    const bool validButton = m_clickButton >= 0 && m_clickButton < int(kButtonFlags.size());
    if (!validType || !validButton) {
        // Nothing to click: four empty records, and the pointer stays where it is.
        platform::sendInput(clicks.data(), kClickRecords);
        return;
    }

    const ButtonFlags flags = kButtonFlags[size_t(m_clickButton)];
    const int clickCount = m_clickType == DoubleClick ? 2 : 1;
    for (int i = 0; i < clickCount; ++i) {
        clicks[size_t(2 * i)] = platform::Input::mouseInput(flags.down);
        clicks[size_t(2 * i + 1)] = platform::Input::mouseInput(flags.up);
    }

    // The click happens at `position`, as its description promises.
    std::array<platform::Input, 1 + kClickRecords> batch{};
    batch[0] = absoluteMoveInput();
    std::copy(clicks.begin(), clicks.end(), batch.begin() + 1);
    platform::sendInput(batch.data(), unsigned(batch.size()));
}

void MouseClickOperation::serialize(QDataStream& out) const
{
    serializeMouse(out);
    out << qint32(m_clickType) << qint32(m_clickButton);
}

void MouseClickOperation::deserialize(QDataStream& in)
{
    deserializeMouse(in);
    qint32 type = 0;
    qint32 button = 0;
    in >> type >> button;
    m_clickType = type;
    m_clickButton = button;
}

QString MouseClickOperation::toString() const
{
    return QStringLiteral("%1: clickType=%2, x=%3, y=%4")
        .arg(displayName(), QString::number(m_clickType), QString::number(position().x()),
             QString::number(position().y()));
}

QString MouseClickOperation::clickWord() const
{
    switch (m_clickType) {
    case SingleClick:
        return tr("单击");
    case DoubleClick:
        return tr("双击");
    default:
        return QString();
    }
}

QString MouseClickOperation::buttonWord() const
{
    switch (m_clickButton) {
    case LeftButton:
        return tr("左键");
    case RightButton:
        return tr("右键");
    case MiddleButton:
        return tr("中键");
    default:
        return QString();
    }
}

QString MouseClickOperation::description() const
{
    return tr("在屏幕坐标(X=%1, Y=%2)处，%3鼠标%4")
        .arg(QString::number(position().x()), QString::number(position().y()), clickWord(),
             buttonWord());
}

Operation* MouseClickOperation::clone(QObject* parent) const
{
    auto* copy = new MouseClickOperation(parent);
    copyMouseFieldsTo(copy);
    copy->m_clickType = m_clickType;
    copy->m_clickButton = m_clickButton;
    return copy;
}
