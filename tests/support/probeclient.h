#pragma once
// An end-to-end test's side of a program's test probe: asks where a named widget
// is and what state it shows, waits for a state, and clicks a widget at its centre
// as a user would. Names are widget paths as the probe reads them ("btnNew",
// "tableCustom/row0/btnRun", "opTree/mouse_move", "actionSave").
//
// Helpers that can fail return false after a warning that says what was missing,
// so a test checks them with QVERIFY.

#include <QLocalSocket>
#include <QRect>
#include <QString>

#include <functional>
#include <memory>

struct ProbedWidget
{
    bool answered = false; // the probe answered, whether it found the widget or not
    bool found = false;
    QString error; // why nothing was found
    bool visible = false;
    bool enabled = false;
    QRect rect; // global, in screen pixels
    QString text;
    int rows = -1; // item views and items only

    // Visible, enabled and on the screen: a user could click it.
    bool clickable() const { return found && visible && enabled && !rect.isEmpty(); }
    QString describe() const;
};

class ProbeClient
{
public:
    static constexpr int DefaultTimeoutMs = 10000;

    explicit ProbeClient(const QString& socketPath);

    // Not found (with the reason) when the program does not answer.
    ProbedWidget query(const QString& path);
    bool answers();
    bool waitUntilAnswering(int timeoutMs = DefaultTimeoutMs);
    // Asks again until `condition` holds; false once the time is up.
    bool waitFor(const QString& path, const std::function<bool(const ProbedWidget&)>& condition,
                 int timeoutMs = DefaultTimeoutMs);
    // The widget's state once a user could click it.
    bool waitUntilClickable(const QString& path, ProbedWidget* state = nullptr,
                            int timeoutMs = DefaultTimeoutMs);
    // Moves the pointer to the centre of `path` and clicks the left button, once it
    // can be clicked.
    bool click(const QString& path, int timeoutMs = DefaultTimeoutMs);

private:
    bool ensureConnected();

    QString m_socketPath;
    std::unique_ptr<QLocalSocket> m_socket;
};
