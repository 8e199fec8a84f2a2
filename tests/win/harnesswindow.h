#pragma once
// The harness's own window: a borderless popup over the whole primary screen (so its
// client coordinates are screen coordinates) with a real EDIT control for typing.
// Every input message that passes the thread's message loop is logged, together
// with WM_HOTKEY, so checks can compare what arrived with what was sent.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

struct LoggedMessage
{
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class HarnessWindow
{
public:
    HarnessWindow() = default;
    ~HarnessWindow();
    HarnessWindow(const HarnessWindow&) = delete;
    HarnessWindow& operator=(const HarnessWindow&) = delete;

    // The popup covers (0, 0, width, height); the EDIT sits at `editRect`.
    bool create(int width, int height, const RECT& editRect);

    HWND window() const { return m_window; }
    HWND edit() const { return m_edit; }

    // Gives the EDIT the keyboard focus and replaces its text.
    void focusEdit(const std::wstring& text);
    std::wstring editText() const;

    const std::vector<LoggedMessage>& messages() const { return m_messages; }
    void clearMessages() { m_messages.clear(); }

    // Dispatches this thread's messages until `done` is true or `timeoutMs` passed;
    // returns `done()` at the end.
    bool pumpUntil(const std::function<bool()>& done, DWORD timeoutMs);
    // Dispatches messages until none arrived for `quietMs` (or `maxMs` passed).
    void settle(DWORD quietMs, DWORD maxMs);

    // Runs `work` on a new thread, as a job's worker sends its input, while this
    // thread keeps dispatching (low-level hooks run here and the sender waits for
    // them). False when the worker did not finish within `timeoutMs`.
    bool runOnWorker(const std::function<void()>& work, DWORD timeoutMs);

private:
    bool dispatchPending(); // true when at least one message was dispatched

    HWND m_window = nullptr;
    HWND m_edit = nullptr;
    std::vector<LoggedMessage> m_messages;
};
