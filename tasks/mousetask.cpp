#include "mousetask.h"

#include "appconfig.h"
#include "applogger.h"
#include "platform/backend.h"
#include "taskfile.h"
#include "waitclock.h"

#include <QCoreApplication>
#include <QDataStream>

#include <algorithm>
#include <limits>
#include <vector>

namespace {

constexpr int ClickInputsMax = 4;

// At interval 0 the clicks go out in bursts: one call, so one flush, and one move to
// a fixed point per burst rather than per click. Small enough that a stop still
// ends the clicking within a few milliseconds.
constexpr int BurstClicksMax = 50;

struct ButtonFlags
{
    uint32_t down;
    uint32_t up;
};

// clang-format off
// Indexed by task type / 2: left, right, middle.
constexpr ButtonFlags Buttons[] = {
    {platform::MouseFlag::LeftDown,   platform::MouseFlag::LeftUp},
    {platform::MouseFlag::RightDown,  platform::MouseFlag::RightUp},
    {platform::MouseFlag::MiddleDown, platform::MouseFlag::MiddleUp},
};
// clang-format on

constexpr int LastMouseTaskType = TaskType::MiddleDoubleClick;

bool isMouseTaskType(int type)
{
    return static_cast<unsigned>(type) <= static_cast<unsigned>(LastMouseTaskType);
}

bool isRunning()
{
    return AppConfig::runFlag.load();
}

} // namespace

MouseTask::MouseTask(QObject* parent) : Task(parent), m_random(QRandomGenerator::securelySeeded())
{
}

void MouseTask::run()
{
    m_pace = PacedWait();
    switch (m_stopFlag) {
    case StopByCount:
        runByCount();
        break;
    case StopByDuration:
        runByDuration();
        break;
    default:
        runByHand();
        break;
    }
}

void MouseTask::runByCount()
{
    const int times = executeTimes();
    for (int done = 0; done < times;) {
        if (!isRunning())
            return;
        const int clicks = std::min(times - done, clicksPerRound());
        clickRound(clicks);
        done += clicks;
    }
}

void MouseTask::runByDuration()
{
    WaitClock& clock = waitClock();
    const auto end = clock.now() + std::chrono::milliseconds(m_durationTime);
    // The limit is checked between rounds only: the round and wait in which it passes
    // are completed.
    while (clock.now() < end) {
        if (!isRunning())
            return;
        clickRound(clicksPerRound());
    }
}

void MouseTask::runByHand()
{
    while (isRunning())
        clickRound(clicksPerRound());
}

int MouseTask::clicksPerRound() const
{
    // Modifiers wrap each click, and jitter moves each one elsewhere.
    const bool samePlaceEachClick = m_hJitterRange <= 0 && m_vJitterRange <= 0;
    return executeInterval() <= 0 && samePlaceEachClick && m_modifierKeys == 0 ? BurstClicksMax : 1;
}

void MouseTask::clickRound(int clicks)
{
    std::vector<platform::Input> inputs;
    inputs.reserve(1 + static_cast<size_t>(clicks) * ClickInputsMax);
    QPoint px;
    if (clickPoint(px)) {
        const QPoint abs = toAbsolutePoint(px);
        inputs.push_back(platform::Input::mouseInput(
            platform::MouseFlag::Move | platform::MouseFlag::Absolute, abs.x(), abs.y()));
    } else {
        nudgeInPlace();
    }
    if (m_modifierKeys != 0 && !inputs.empty()) {
        // The pointer is in place before the modifiers go down.
        platform::sendInput(inputs.data(), static_cast<unsigned>(inputs.size()));
        inputs.clear();
    }

    // Modifier presses, the button records and the releases go out back to back with
    // no wait and no look at the run flag between them, so a stop can never leave a
    // button or a modifier key down.
    pressModifierKeys(m_modifierKeys);
    const ButtonFlags button = Buttons[std::clamp(taskType(), 0, LastMouseTaskType) / 2];
    const int pairsPerClick = taskType() % 2 == 1 ? 2 : 1;
    for (int i = 0; i < clicks * pairsPerClick; ++i) {
        inputs.push_back(platform::Input::mouseInput(button.down));
        inputs.push_back(platform::Input::mouseInput(button.up));
    }
    platform::sendInput(inputs.data(), static_cast<unsigned>(inputs.size()));
    releaseModifierKeys(m_modifierKeys);

    m_pace.wait(nextWait());
}

bool MouseTask::clickPoint(QPoint& px)
{
    const bool jitters = m_hJitterRange > 0 || m_vJitterRange > 0;
    if (m_positionMode == FixedPoint) {
        px = position();
    } else if (!jitters) {
        return false; // a click at the cursor needs no move, nor to ask where it is
    } else {
        platform::CursorPos cursor;
        if (!platform::backend().cursorPos(cursor))
            return false; // no move: the click lands wherever the pointer is
        px = QPoint(cursor.x, cursor.y);
    }
    if (!jitters)
        return true;

    // Added in 64 bits: a fixed point from a file may sit at the end of the int range.
    qint64 x = qint64(px.x()) + jitter(m_hJitterRange);
    qint64 y = qint64(px.y()) + jitter(m_vJitterRange);
    // Jitter must not push the click off the screen (a click on the far edge would
    // otherwise land on another monitor or be clipped to an unexpected spot).
    const platform::ScreenSize screen = platform::primaryScreenSize();
    if (screen.width > 0 && screen.height > 0) {
        x = std::clamp<qint64>(x, 0, screen.width - 1);
        y = std::clamp<qint64>(y, 0, screen.height - 1);
    }
    constexpr qint64 IntMin = std::numeric_limits<int>::min();
    constexpr qint64 IntMax = std::numeric_limits<int>::max();
    px = QPoint(int(std::clamp(x, IntMin, IntMax)), int(std::clamp(y, IntMin, IntMax)));
    return true;
}

void MouseTask::nudgeInPlace()
{
    // Where the pointer's position cannot be read (Wayland), the jitter is a move
    // relative to wherever the pointer is; the compositor keeps it on the screen.
    const int dx = jitter(m_hJitterRange);
    const int dy = jitter(m_vJitterRange);
    if (dx == 0 && dy == 0)
        return;
    const platform::Input nudge = platform::Input::mouseInput(platform::MouseFlag::Move, dx, dy);
    platform::sendInput(&nudge, 1);
}

int MouseTask::jitter(int range)
{
    if (range <= 0)
        return 0;
    // Offsets beyond the absolute range only get clipped to the screen edge anyway.
    const int r = std::min(range, platform::AbsoluteRange);
    return m_random.bounded(-r, r + 1);
}

int MouseTask::nextWait()
{
    const int interval = std::max(executeInterval(), 0);
    if (m_intervalFlag == FixedInterval)
        return interval;
    const quint32 low = static_cast<quint32>(interval / 2);
    const quint32 high = static_cast<quint32>(interval) + 1; // bounded() excludes the top
    return static_cast<int>(m_random.bounded(low, high));
}

void MouseTask::serialize(QDataStream& out) const
{
    serializeBase(out);
    out << qint32(m_positionMode) << qint32(m_intervalFlag) << qint32(m_stopFlag)
        << qint32(m_durationTime) << qint32(m_hJitterRange) << qint32(m_vJitterRange)
        << qint32(m_modifierKeys) << m_hotKey;
}

void MouseTask::deserialize(QDataStream& in)
{
    deserializeBase(in);
    qint32 positionMode = 0, intervalFlag = 0, stopFlag = 0, durationTime = 0;
    qint32 hJitter = 0, vJitter = 0, modifiers = 0;
    QString hotKey;
    in >> positionMode >> intervalFlag >> stopFlag >> durationTime >> hJitter >> vJitter >>
        modifiers >> hotKey;
    m_positionMode = positionMode;
    m_intervalFlag = intervalFlag;
    m_stopFlag = stopFlag;
    m_durationTime = durationTime;
    m_hJitterRange = hJitter;
    m_vJitterRange = vJitter;
    m_modifierKeys = modifiers;
    m_hotKey = hotKey;
}

QString MouseTask::toString() const
{
    return QStringLiteral("MouseTask:taskType=%1,taskPosition=(%2,%3),intervalFlag=%4,"
                          "stopFlag=%5,ExecuteInterval=%6,m_iExecuteTimes=%7,durationTime=%8,"
                          "hJitterRange=%9,vJitterRange=%10,modifierKeys=%11,hotKey=%12")
        .arg(taskType())
        .arg(position().x())
        .arg(position().y())
        .arg(m_intervalFlag)
        .arg(m_stopFlag)
        .arg(executeInterval())
        .arg(executeTimes())
        .arg(m_durationTime)
        .arg(m_hJitterRange)
        .arg(m_vJitterRange)
        .arg(static_cast<uint>(m_modifierKeys))
        .arg(m_hotKey);
}

bool MouseTask::save(const QString& path) const
{
    TaskFileWriter writer(path);
    if (!writer.open())
        return false;
    serialize(writer.stream());
    return writer.commit();
}

bool MouseTask::load(const QString& path)
{
    TaskFileReader reader(path);
    if (!reader.open())
        return false;
    QDataStream& in = reader.stream();
    qint32 type = 0;
    in >> type;
    if (in.status() != QDataStream::Ok || !isMouseTaskType(type)) {
        qCWarning(logCategory()).noquote() << TaskFile::wrongKindText(
            QCoreApplication::translate("MouseTask", "要载入的文件不是鼠标连点任务文件"), path);
        return false;
    }
    // Read into a scratch task so that a truncated file changes nothing.
    MouseTask loaded;
    loaded.setTaskType(type);
    loaded.deserialize(in);
    if (in.status() != QDataStream::Ok) {
        qCWarning(logCategory()).noquote()
            << QStringLiteral("Mouse task file is incomplete, file name: %1.").arg(path);
        return false;
    }
    assign(loaded);
    return true;
}

void MouseTask::assign(const MouseTask& other)
{
    assignBase(other);
    m_positionMode = other.m_positionMode;
    m_intervalFlag = other.m_intervalFlag;
    m_stopFlag = other.m_stopFlag;
    m_durationTime = other.m_durationTime;
    m_hJitterRange = other.m_hJitterRange;
    m_vJitterRange = other.m_vJitterRange;
    m_modifierKeys = other.m_modifierKeys;
    m_hotKey = other.m_hotKey;
}
