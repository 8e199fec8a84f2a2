#pragma once
// The test client (waylandtestclient) run by a test: it shows a fullscreen window
// on the session's compositor and this object collects the lines it prints for
// every pointer and keyboard event.

#include <QProcess>
#include <QRegularExpression>
#include <QStringList>

#include <functional>

// A pattern that matches a whole line of the client.
QRegularExpression wholeLine(const QString& pattern);

class WaylandClientLog : public QObject
{
public:
    WaylandClientLog();
    ~WaylandClientLog() override;

    // Starts the client and waits until its window is shown and has the keyboard
    // focus; false when it does not come up.
    bool start();

    // Moves the pointer with `moveTo` (to a point of the output) until the window
    // reports it at that very point: mutter shows a window a moment before it comes
    // to rest in its fullscreen place. False when it never does.
    bool waitUntilPlaced(const std::function<void(int x, int y)>& moveTo);

    // Every line so far, and those that match `pattern`.
    QStringList lines() const { return m_lines; }
    QStringList matching(const QRegularExpression& pattern) const;
    // Waits until `count` lines match `pattern`; false on timeout.
    bool waitFor(const QRegularExpression& pattern, int count = 1, int timeoutMs = 5000);
    // Forgets the lines so far.
    void clear() { m_lines.clear(); }

    // The text of every key press so far, in order.
    QString typedText() const;
    // Keys pressed and not yet released, by evdev code; empty when all are up.
    QStringList keysDown() const;
    // Buttons pressed and not yet released; empty when all are up.
    QStringList buttonsDown() const;

private:
    void readLines();

    QProcess m_process;
    QByteArray m_partial;
    QStringList m_lines;
};
