#pragma once
// A recording of the user's own mouse and keyboard actions: the capture hands every
// event to the hook entries, the list is kept in a file of its own
// ("record_*.kqt") and replayed with the recorded spacing. Each recording may carry
// its own start/stop hotkey.

#include "event.h"
#include "task.h"

#include <QString>

#include <memory>
#include <vector>

class QHotkey;

namespace platform {
struct CapturedKey;
struct CapturedMouse;
} // namespace platform

class AutoRecordTask : public Task
{
    Q_OBJECT

public:
    // taskType 7 and intervalTime 50 for every recording.
    static constexpr int RecordIntervalTime = 50;
    // The code of a hook call that carries an event; other calls are ignored.
    static constexpr int HookAction = 0;

    explicit AutoRecordTask(QObject* parent = nullptr);
    ~AutoRecordTask() override;

    // Hook entries, called on the GUI thread for each captured event. The event's
    // own capture time is its time stamp.
    void keyboardHook(int code, const platform::CapturedKey& key);
    void mouseHook(int code, const platform::CapturedMouse& mouse);

    // Replays the events once, each at its recorded offset from the replay's start
    // divided by the replay speed.
    void run() override;
    void serialize(QDataStream& out) const override;
    void deserialize(QDataStream& in) override;
    QString toString() const override;

    // Drops the key-down events at the end of the list (the stop key of a recording,
    // whose key-ups are never captured). serialize() writes the list without them.
    void removeTrailingKeyDowns();

    // Writes the task file (magic, then the task); on failure `error` gets the
    // text that was logged.
    bool save(const QString& path, QString* error = nullptr);
    // Reads a recording file; null (logged) when it is not one. The task's hotkey,
    // when it has one, is registered and listed with the other hotkeys.
    static AutoRecordTask* load(const QString& path, QObject* parent = nullptr);

    const std::vector<std::unique_ptr<Event>>& events() const { return m_events; }
    void appendEvent(std::unique_ptr<Event> event);

    QString hotKey() const { return m_hotKey; }
    void setHotKey(const QString& key) { m_hotKey = key; }
    QHotkey* hotkey() const { return m_hotkeyObject; }
    // Connects the new hotkey's activation to onHotkeyActivated (and disconnects the old one).
    void setHotkey(QHotkey* hotkey);

    bool recordClick() const { return m_recordClick; }
    void setRecordClick(bool on) { m_recordClick = on; }
    bool recordMove() const { return m_recordMove; }
    void setRecordMove(bool on) { m_recordMove = on; }
    bool recordScroll() const { return m_recordScroll; }
    void setRecordScroll(bool on) { m_recordScroll = on; }
    bool recordKeyPress() const { return m_recordKeyPress; }
    void setRecordKeyPress(bool on) { m_recordKeyPress = on; }
    bool recordInterval() const { return m_recordInterval; }
    void setRecordInterval(bool on) { m_recordInterval = on; }

    // How many times as fast as recorded a replay runs, MinReplaySpeed to
    // MaxReplaySpeed (others are clamped); 1 unless set. Not stored in the file.
    static constexpr double MinReplaySpeed = 0.25;
    static constexpr double MaxReplaySpeed = 4.0;
    double replaySpeed() const { return m_replaySpeed; }
    void setReplaySpeed(double speed);

    // The file the task was read from ended before its last record: the events up
    // to the cut were kept, the hotkey was not read.
    bool endsEarly() const { return m_endsEarly; }

signals:
    void hotkeyActivated(AutoRecordTask* task);

public slots:
    void onHotkeyActivated();

private:
    // The 1 ms cap without recordInterval, then the append.
    void record(std::unique_ptr<Event> event);
    // Number of events written: the list without its trailing key-downs.
    size_t writtenCount() const;

    std::vector<std::unique_ptr<Event>> m_events;
    QString m_hotKey;
    QHotkey* m_hotkeyObject = nullptr;
    bool m_recordClick = false;
    bool m_recordMove = false;
    bool m_recordScroll = false;
    bool m_recordKeyPress = false;
    bool m_recordInterval = false;
    double m_replaySpeed = 1.0;
    bool m_endsEarly = false;
};
