#include "harnesswindow.h"

namespace {

constexpr wchar_t kClassName[] = L"KliqoraHarnessWindow";
constexpr DWORD kWorkerPollMs = 10;

bool isLoggedMessage(UINT message)
{
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
           (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) || message == WM_HOTKEY;
}

struct WorkerCall
{
    const std::function<void()>* work;
};

DWORD WINAPI workerMain(void* param)
{
    const auto* call = static_cast<WorkerCall*>(param);
    (*call->work)();
    return 0;
}

} // namespace

HarnessWindow::~HarnessWindow()
{
    if (m_window)
        DestroyWindow(m_window);
}

bool HarnessWindow::create(int width, int height, const RECT& editRect)
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass{};
    // CS_DBLCLKS: the second click of a quick pair must arrive as WM_xBUTTONDBLCLK.
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassW(&windowClass))
        return false;
    m_window = CreateWindowExW(0, kClassName, L"Kliqora harness", WS_POPUP | WS_VISIBLE, 0, 0,
                               width, height, nullptr, nullptr, instance, nullptr);
    if (!m_window)
        return false;
    m_edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL,
                             editRect.left, editRect.top, editRect.right - editRect.left,
                             editRect.bottom - editRect.top, m_window, nullptr, instance, nullptr);
    if (!m_edit)
        return false;
    SetForegroundWindow(m_window);
    UpdateWindow(m_window);
    settle(100, 2000);
    return true;
}

void HarnessWindow::focusEdit(const std::wstring& text)
{
    SetForegroundWindow(m_window);
    SetFocus(m_edit);
    SetWindowTextW(m_edit, text.c_str());
    SendMessageW(m_edit, EM_SETSEL, WPARAM(text.size()), LPARAM(text.size()));
}

std::wstring HarnessWindow::editText() const
{
    const int length = GetWindowTextLengthW(m_edit);
    std::wstring text(size_t(length) + 1, L'\0');
    const int copied = GetWindowTextW(m_edit, text.data(), length + 1);
    text.resize(size_t(copied > 0 ? copied : 0));
    return text;
}

bool HarnessWindow::dispatchPending()
{
    bool any = false;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        any = true;
        if (isLoggedMessage(msg.message))
            m_messages.push_back({msg.hwnd, msg.message, msg.wParam, msg.lParam});
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return any;
}

bool HarnessWindow::pumpUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        dispatchPending();
        if (done())
            return true;
        const ULONGLONG now = GetTickCount64();
        if (now >= end)
            return done();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, DWORD(end - now), QS_ALLINPUT);
    }
}

void HarnessWindow::settle(DWORD quietMs, DWORD maxMs)
{
    const ULONGLONG end = GetTickCount64() + maxMs;
    ULONGLONG lastActivity = GetTickCount64();
    for (;;) {
        if (dispatchPending())
            lastActivity = GetTickCount64();
        const ULONGLONG now = GetTickCount64();
        if (now >= end || now - lastActivity >= quietMs)
            return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, DWORD(quietMs - (now - lastActivity)),
                                  QS_ALLINPUT);
    }
}

bool HarnessWindow::runOnWorker(const std::function<void()>& work, DWORD timeoutMs)
{
    WorkerCall call{&work};
    HANDLE thread = CreateThread(nullptr, 0, &workerMain, &call, 0, nullptr);
    if (!thread)
        return false;
    const ULONGLONG start = GetTickCount64();
    // The worker only sends input and ends once this thread has answered its hooks,
    // so it is waited for to the end (the harness's own time limit guards a hang);
    // a late end still fails the check.
    for (;;) {
        dispatchPending();
        if (MsgWaitForMultipleObjects(1, &thread, FALSE, kWorkerPollMs, QS_ALLINPUT) ==
            WAIT_OBJECT_0)
            break;
    }
    CloseHandle(thread);
    return GetTickCount64() - start <= timeoutMs;
}
