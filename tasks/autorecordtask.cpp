#include "autorecordtask.h"

#include "hotkeymanage.h"
#include "logcategory.h"
#include "qhotkey.h"
#include "recordplayer.h"
#include "taskfile.h"

#include "platform/backend.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QKeySequence>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

namespace Message = platform::Message;

constexpr int64_t NsPerMs = 1000000;
// Without "keep the waits" every longer pause between two events shrinks to this.
constexpr int64_t CappedGapNs = NsPerMs;
// The smallest event record in a file: type (int32) and time (int64).
constexpr qint64 MinEventRecordBytes = 4 + 8;

struct MouseKind
{
    uint32_t message;
    int32_t type;
};

// clang-format off
constexpr MouseKind MouseKinds[] = {
    {Message::MouseMove,   EventType::MouseMove},
    {Message::LButtonDown, EventType::LeftDown},   {Message::LButtonUp, EventType::LeftUp},
    {Message::RButtonDown, EventType::RightDown},  {Message::RButtonUp, EventType::RightUp},
    {Message::MButtonDown, EventType::MiddleDown}, {Message::MButtonUp, EventType::MiddleUp},
    {Message::MouseWheel,  EventType::Wheel},
};
// clang-format on

int32_t mouseType(uint32_t message)
{
    for (const MouseKind& kind : MouseKinds) {
        if (kind.message == message)
            return kind.type;
    }
    return EventType::Other;
}

int32_t keyType(uint32_t message)
{
    if (message == Message::KeyDown || message == Message::SysKeyDown)
        return EventType::KeyDown;
    if (message == Message::KeyUp || message == Message::SysKeyUp)
        return EventType::KeyUp;
    return EventType::Other;
}

bool isButtonUp(uint32_t message)
{
    return message == Message::LButtonUp || message == Message::RButtonUp ||
           message == Message::MButtonUp;
}

// File milliseconds to nanoseconds, saturated instead of overflowing.
int64_t msToNs(qint64 ms)
{
    constexpr int64_t Limit = std::numeric_limits<int64_t>::max() / NsPerMs;
    return std::clamp<int64_t>(ms, -Limit, Limit) * NsPerMs;
}

std::unique_ptr<Event> readEvent(QDataStream& in)
{
    qint32 type = 0;
    qint64 ms = 0;
    in >> type >> ms;
    const int64_t time = msToNs(ms);
    if (EventType::hasPoint(type) || type == EventType::Wheel) {
        auto mouse = std::make_unique<MouseEvent>(type, time);
        if (type == EventType::Wheel)
            in >> mouse->wheelDelta;
        else
            in >> mouse->x >> mouse->y;
        return mouse;
    }
    if (EventType::isKey(type)) {
        auto key = std::make_unique<KeyboardEvent>(type, time);
        in >> key->vkCode >> key->scanCode >> key->flags;
        return key;
    }
    return std::make_unique<Event>(type, time);
}

void writeEvent(QDataStream& out, const Event& event)
{
    out << qint32(event.type) << qint64(event.time / NsPerMs);
    if (EventType::hasPoint(event.type) || event.type == EventType::Wheel) {
        const auto* mouse = dynamic_cast<const MouseEvent*>(&event);
        const MouseEvent empty;
        const MouseEvent& m = mouse ? *mouse : empty;
        if (event.type == EventType::Wheel)
            out << qint32(m.wheelDelta);
        else
            out << qint32(m.x) << qint32(m.y);
    } else if (EventType::isKey(event.type)) {
        const auto* key = dynamic_cast<const KeyboardEvent*>(&event);
        const KeyboardEvent empty;
        const KeyboardEvent& k = key ? *key : empty;
        out << qint32(k.vkCode) << qint32(k.scanCode) << qint32(k.flags);
    }
}

} // namespace

AutoRecordTask::AutoRecordTask(QObject* parent) : Task(parent)
{
    setTaskType(TaskType::Recording);
    setIntervalTime(RecordIntervalTime);
}

AutoRecordTask::~AutoRecordTask() = default;

void AutoRecordTask::keyboardHook(int code, const platform::CapturedKey& key)
{
    if (code != HookAction)
        return;
    // A key released before the recording began.
    if (m_events.empty() && (key.message == Message::KeyUp || key.message == Message::SysKeyUp))
        return;
    if (!m_recordKeyPress)
        return;
    auto event = std::make_unique<KeyboardEvent>(keyType(key.message), key.timeNs);
    event->vkCode = int32_t(key.vkCode);
    event->scanCode = int32_t(key.scanCode);
    event->flags = int32_t(key.flags);
    record(std::move(event));
}

void AutoRecordTask::mouseHook(int code, const platform::CapturedMouse& mouse)
{
    if (code != HookAction)
        return;
    // A button released before the recording began.
    if (m_events.empty() && isButtonUp(mouse.message))
        return;
    const int32_t type = mouseType(mouse.message);
    if ((type == EventType::MouseMove && !m_recordMove) ||
        (type == EventType::Wheel && !m_recordScroll) ||
        (EventType::isButton(type) && !m_recordClick))
        return;
    auto event = std::make_unique<MouseEvent>(type, mouse.timeNs);
    event->x = mouse.x;
    event->y = mouse.y;
    if (type == EventType::Wheel)
        event->wheelDelta = int16_t(uint16_t(mouse.mouseData >> 16));
    record(std::move(event));
}

void AutoRecordTask::record(std::unique_ptr<Event> event)
{
    if (!m_recordInterval && !m_events.empty()) {
        const int64_t last = m_events.back()->time;
        if (event->time - last > CappedGapNs)
            event->time = last + CappedGapNs;
    }
    m_events.push_back(std::move(event));
}

void AutoRecordTask::appendEvent(std::unique_ptr<Event> event)
{
    if (event)
        m_events.push_back(std::move(event));
}

void AutoRecordTask::run()
{
    if (m_events.empty()) {
        qCDebug(logCategory()) << "no event to replay.";
        return;
    }
    const platform::ScreenSize screen = platform::primaryScreenSize();
    // A sorted view, so the list itself is never changed on the worker thread. The
    // sort is stable: events of the same millisecond (a quick key press read back
    // from a file) keep their order, and a release never overtakes its press.
    std::vector<const Event*> order;
    order.reserve(m_events.size());
    for (const auto& event : m_events)
        order.push_back(event.get());
    std::stable_sort(order.begin(), order.end(),
                     [](const Event* a, const Event* b) { return a->time < b->time; });
    RecordPlayer(screen, m_replaySpeed).play(order);
}

void AutoRecordTask::setReplaySpeed(double speed)
{
    m_replaySpeed = std::isnan(speed) ? 1.0 : std::clamp(speed, MinReplaySpeed, MaxReplaySpeed);
}

size_t AutoRecordTask::writtenCount() const
{
    size_t count = m_events.size();
    while (count > 0 && m_events[count - 1]->type == EventType::KeyDown)
        --count;
    return count;
}

void AutoRecordTask::removeTrailingKeyDowns()
{
    m_events.resize(writtenCount());
}

void AutoRecordTask::serialize(QDataStream& out) const
{
    serializeBase(out);
    const size_t count = writtenCount();
    out << qint64(count);
    for (size_t i = 0; i < count; ++i)
        writeEvent(out, *m_events[i]);
    out << m_hotKey;
}

void AutoRecordTask::deserialize(QDataStream& in)
{
    deserializeBase(in);
    qint64 count = 0;
    in >> count;
    // The count comes from the file: never trust it beyond what the file can hold.
    const QIODevice* device = in.device();
    const qint64 available = device ? device->bytesAvailable() : 0;
    const qint64 fits = available / MinEventRecordBytes;
    m_events.reserve(m_events.size() + size_t(std::clamp<qint64>(count, 0, fits)));
    qint64 read = 0;
    for (; read < count && in.status() == QDataStream::Ok; ++read) {
        if (in.atEnd())
            break;
        std::unique_ptr<Event> event = readEvent(in);
        if (in.status() != QDataStream::Ok)
            break; // cut off inside this record
        m_events.push_back(std::move(event));
    }
    if (read < count || in.status() != QDataStream::Ok) {
        qCWarning(logCategory()) << "Record file ends early:" << read << "of" << count
                                 << "events read";
        m_endsEarly = true;
        return;
    }
    in >> m_hotKey;
    if (in.status() != QDataStream::Ok) {
        qCWarning(logCategory()) << "Record file ends before its hotkey";
        m_hotKey.clear();
        m_endsEarly = true;
        return;
    }
    if (m_hotKey.isEmpty())
        return;
    auto* hotkey = new QHotkey(QKeySequence(m_hotKey), true, this);
    setHotkey(hotkey);
    HotkeyManage::instance()->addHotkey(hotkey);
}

QString AutoRecordTask::toString() const
{
    return tr("自动录制键盘鼠标任务...");
}

void AutoRecordTask::setHotkey(QHotkey* hotkey)
{
    if (hotkey == m_hotkeyObject)
        return;
    if (m_hotkeyObject)
        disconnect(m_hotkeyObject, &QHotkey::activated, this, &AutoRecordTask::onHotkeyActivated);
    m_hotkeyObject = hotkey;
    if (m_hotkeyObject)
        connect(m_hotkeyObject, &QHotkey::activated, this, &AutoRecordTask::onHotkeyActivated);
}

void AutoRecordTask::onHotkeyActivated()
{
    emit hotkeyActivated(this);
}

bool AutoRecordTask::save(const QString& path, QString* error)
{
    removeTrailingKeyDowns();
    TaskFileWriter writer(path);
    const bool ok = writer.open() && (serialize(writer.stream()), writer.commit());
    if (!ok && error)
        *error = writer.errorText();
    return ok;
}

AutoRecordTask* AutoRecordTask::load(const QString& path, QObject* parent)
{
    TaskFileReader reader(path);
    if (!reader.open())
        return nullptr;
    qint32 type = TaskType::None;
    reader.stream() >> type;
    if (reader.stream().status() != QDataStream::Ok || type != TaskType::Recording) {
        qCWarning(logCategory()).noquote() << TaskFile::wrongKindText(
            QCoreApplication::translate("AutoRecordTask", "要载入的文件不是录制任务文件"), path);
        return nullptr;
    }
    auto* task = new AutoRecordTask(parent);
    task->setTaskType(type);
    task->deserialize(reader.stream());
    return task;
}
