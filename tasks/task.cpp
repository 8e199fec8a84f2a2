#include "task.h"

#include "absolutepoint.h"
#include "interruptiblewait.h"
#include "platform/backend.h"
#include "platform/virtualkeys.h"

#include <QDataStream>

namespace {

struct ModifierKey
{
    int bit;
    uint16_t vk;
};

// clang-format off
// Press and release both walk this order.
constexpr ModifierKey ModifierKeys[] = {
    {ModifierMask::Shift, platform::Vk::Shift},
    {ModifierMask::Ctrl,  platform::Vk::Control},
    {ModifierMask::Alt,   platform::Vk::Menu},
    {ModifierMask::Win,   platform::Vk::LWin},
};
// clang-format on

void sendModifierKeys(int mask, uint32_t flags)
{
    for (const ModifierKey& key : ModifierKeys) {
        if (mask & key.bit) {
            const platform::Input input = platform::Input::keyInput(key.vk, flags);
            platform::sendInput(&input, 1);
        }
    }
}

} // namespace

Task::Task(QObject* parent) : QObject(parent) {}

Task::~Task() = default;

QPoint Task::toAbsolutePoint(const QPoint& px)
{
    // Jobs and flow operations convert the same way; one implementation serves both.
    return ::toAbsolutePoint(px);
}

void Task::pressModifierKeys(int mask)
{
    sendModifierKeys(mask, 0);
}

void Task::releaseModifierKeys(int mask)
{
    sendModifierKeys(mask, platform::KeyFlag::KeyUp);
}

void Task::waitMs(int ms)
{
    // Jobs and flow operations pause the same way; one implementation serves both.
    interruptibleWait(ms);
}

void Task::serializeBase(QDataStream& out) const
{
    out << qint32(m_taskType) << qint32(m_position.x()) << qint32(m_position.y())
        << qint32(m_intervalTime) << qint32(m_executeInterval) << qint32(m_executeTimes);
}

void Task::deserializeBase(QDataStream& in)
{
    qint32 x = 0, y = 0, intervalTime = 0, executeInterval = 0, executeTimes = 0;
    in >> x >> y >> intervalTime >> executeInterval >> executeTimes;
    m_position = QPoint(x, y);
    m_intervalTime = intervalTime;
    m_executeInterval = executeInterval;
    m_executeTimes = executeTimes;
}

void Task::assignBase(const Task& other)
{
    m_taskType = other.m_taskType;
    m_position = other.m_position;
    m_intervalTime = other.m_intervalTime;
    m_executeInterval = other.m_executeInterval;
    m_executeTimes = other.m_executeTimes;
}
