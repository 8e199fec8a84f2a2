#pragma once
// The key presser's job: the rows (one KeyBoardTask each, in order), how the list
// is repeated (by hand, for a time, a number of passes), the page hotkey, and the
// file "keyboard.kqt" that keeps them.

#include "keyboardtask.h"

#include <QList>
#include <QObject>
#include <QString>

class KeyBoardTaskList : public QObject
{
    Q_OBJECT

public:
    enum StopType
    {
        StopByHand = 0,
        StopByDuration = 1,
        StopByCount = 2
    };

    static constexpr char DefaultHotKey[] = "F3";

    explicit KeyBoardTaskList(QObject* parent = nullptr);
    ~KeyBoardTaskList() override;

    // The repetition of the list on the calling (worker) thread, until its stop
    // condition or until the run flag is cleared.
    void run();
    // One pass over the rows, top to bottom; false when the run flag stopped it.
    bool runOnce();

    // Writes hotkey, stop settings and every row.
    bool save(const QString& path) const;
    // Reads a key presser file. False (logged) when it cannot be read or is not a task
    // file; then nothing changes. Otherwise the settings and the rows read up to the
    // end, or up to a record that is not a key press (logged), replace the current ones.
    bool load(const QString& path);

    const QList<KeyBoardTask*>& tasks() const { return m_tasks; }
    // Takes ownership.
    void appendTask(KeyBoardTask* task);
    void clearTasks();

    QString hotKey() const { return m_hotKey; }
    void setHotKey(const QString& key) { m_hotKey = key; }
    int stopType() const { return m_stopType; }
    void setStopType(int type) { m_stopType = type; }
    int duration() const { return m_duration; }
    void setDuration(int ms) { m_duration = ms; }
    int repeatTimes() const { return m_repeatTimes; }
    void setRepeatTimes(int times) { m_repeatTimes = times; }

private:
    QList<KeyBoardTask*> m_tasks;
    QString m_hotKey = QString::fromLatin1(DefaultHotKey);
    int m_stopType = StopByHand;
    int m_duration = 0;
    int m_repeatTimes = 0;
};
