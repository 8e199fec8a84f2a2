#pragma once
// Saves a page's settings a moment after the user last changed them: a burst of
// changes (typing a number digit by digit) writes the file once, and a user who
// closes the program right after a change still finds it there (the page also
// saves at quit).

#include <QObject>
#include <QTimer>

#include <functional>

class DebouncedSave : public QObject
{
    Q_OBJECT

public:
    static constexpr int DelayMs = 500;

    DebouncedSave(std::function<void()> save, QObject* parent);

    // A change: the save runs DelayMs after the last one.
    void schedule();
    bool isPending() const { return m_timer.isActive(); }

private:
    std::function<void()> m_save;
    QTimer m_timer;
};
