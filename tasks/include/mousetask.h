#pragma once
// The auto-clicker: clicks one button (single or double) at the cursor or at a fixed
// point, at a fixed or random interval, with optional jitter and held modifier keys,
// until stopped by hand, after a time or after a number of clicks.

#include "interruptiblewait.h"
#include "task.h"

#include <QRandomGenerator>

class MouseTask : public Task
{
    Q_OBJECT

public:
    enum PositionMode
    {
        FollowCursor = 0,
        FixedPoint = 1
    };
    enum IntervalMode
    {
        FixedInterval = 0,
        RandomInterval = 1
    };
    enum StopMode
    {
        StopByHand = 0,
        StopByDuration = 1,
        StopByCount = 2
    };

    static constexpr char DefaultHotKey[] = "F2";

    explicit MouseTask(QObject* parent = nullptr);

    void run() override;
    void serialize(QDataStream& out) const override;
    void deserialize(QDataStream& in) override;
    QString toString() const override;

    // Writes the task as the only record of a mouse task file.
    bool save(const QString& path) const;
    // Reads a mouse task file; on any failure (logged) the task keeps its settings.
    bool load(const QString& path);

    // The wait after one click: the interval, or a draw from interval/2..interval in
    // random mode. Negative intervals count as 0. Advances the generator.
    int nextWait();

    int positionMode() const { return m_positionMode; }
    void setPositionMode(int mode) { m_positionMode = mode; }
    int intervalFlag() const { return m_intervalFlag; }
    void setIntervalFlag(int flag) { m_intervalFlag = flag; }
    int stopFlag() const { return m_stopFlag; }
    void setStopFlag(int flag) { m_stopFlag = flag; }
    int durationTime() const { return m_durationTime; }
    void setDurationTime(int ms) { m_durationTime = ms; }
    int hJitterRange() const { return m_hJitterRange; }
    void setHJitterRange(int px) { m_hJitterRange = px; }
    int vJitterRange() const { return m_vJitterRange; }
    void setVJitterRange(int px) { m_vJitterRange = px; }
    int modifierKeys() const { return m_modifierKeys; }
    void setModifierKeys(int mask) { m_modifierKeys = mask; }
    QString hotKey() const { return m_hotKey; }
    void setHotKey(const QString& key) { m_hotKey = key; }

private:
    void runByCount();
    void runByDuration();
    void runByHand();
    // How many clicks one round may hold: a burst at interval 0, else one.
    int clicksPerRound() const;
    // Moves, presses the modifiers, clicks `clicks` times, releases the modifiers,
    // then waits one interval.
    void clickRound(int clicks);
    // Where the next click goes, in pixels, jitter included; false when the click
    // needs no move (at the cursor without jitter) or the position is unknown.
    bool clickPoint(QPoint& px);
    // Jitter as a relative move, for when the pointer's position is unknown.
    void nudgeInPlace();
    int jitter(int range);
    void assign(const MouseTask& other);

    PacedWait m_pace;
    int m_positionMode = FollowCursor;
    int m_intervalFlag = FixedInterval;
    int m_stopFlag = StopByHand;
    int m_durationTime = 0;
    int m_hJitterRange = 0;
    int m_vJitterRange = 0;
    int m_modifierKeys = 0;
    QString m_hotKey = QString::fromLatin1(DefaultHotKey);
    // One generator per task, seeded once, so successive draws differ.
    QRandomGenerator m_random;
};
