#pragma once
// Base of the main program's jobs (clicker, key presser, recorder): the settings of
// one job, the job itself run on a worker thread, and its record in a task file.

#include <QObject>
#include <QPoint>
#include <QString>

class QDataStream;

// Modifier keys held by a job, one hexadecimal digit per key. Task files store this
// mask; it is not Qt::KeyboardModifiers.
namespace ModifierMask {
constexpr int Shift = 0x0001;
constexpr int Ctrl = 0x0010;
constexpr int Alt = 0x0100;
constexpr int Win = 0x1000;
} // namespace ModifierMask

// Kind codes stored as the first field of every task record.
namespace TaskType {
// clang-format off
constexpr int None = -1;
constexpr int LeftClick = 0, LeftDoubleClick = 1;
constexpr int RightClick = 2, RightDoubleClick = 3;
constexpr int MiddleClick = 4, MiddleDoubleClick = 5;
constexpr int KeyPress = 6;
constexpr int Recording = 7;
// clang-format on
} // namespace TaskType

class Task : public QObject
{
    Q_OBJECT

public:
    explicit Task(QObject* parent = nullptr);
    ~Task() override;

    // Performs the job on the calling (worker) thread; returns when done or when
    // the run flag is cleared.
    virtual void run() = 0;
    // Writes the whole record, starting with the task type.
    virtual void serialize(QDataStream& out) const = 0;
    // Reads the record after the task type (the loader has read and checked it).
    virtual void deserialize(QDataStream& in) = 0;
    virtual QString toString() const = 0;

    int taskType() const { return m_taskType; }
    void setTaskType(int type) { m_taskType = type; }
    QPoint position() const { return m_position; }
    void setPosition(const QPoint& pos) { m_position = pos; }
    int intervalTime() const { return m_intervalTime; }
    void setIntervalTime(int ms) { m_intervalTime = ms; }
    int executeInterval() const { return m_executeInterval; }
    void setExecuteInterval(int ms) { m_executeInterval = ms; }
    int executeTimes() const { return m_executeTimes; }
    void setExecuteTimes(int times) { m_executeTimes = times; }

    // Pixels of the primary screen to the 0..65535 range of an absolute mouse input.
    static QPoint toAbsolutePoint(const QPoint& px);
    // One key-down (press) or key-up (release) per set bit, each its own input call,
    // in the order Shift, Ctrl, Alt, Win for both.
    static void pressModifierKeys(int mask);
    static void releaseModifierKeys(int mask);
    // Sleeps ms milliseconds in slices, returning early once the run flag is cleared.
    static void waitMs(int ms);

protected:
    // The base record: type, position, intervalTime, executeInterval, executeTimes.
    void serializeBase(QDataStream& out) const;
    // The base record from the position on.
    void deserializeBase(QDataStream& in);
    // Copies the fields of the base record.
    void assignBase(const Task& other);

private:
    int m_taskType = TaskType::None;
    QPoint m_position;
    int m_intervalTime = 0;
    int m_executeInterval = 0;
    int m_executeTimes = 0;
};
