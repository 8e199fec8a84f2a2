#include "secondowner.h"

#include <cstdlib>
#include <string>

namespace {

constexpr int kExitRefused = 3;
constexpr int kExitBadArguments = 4;
constexpr DWORD kHoldLimitMs = 60000; // a forgotten holder ends on its own
constexpr int kHotkeyId = 1;

std::wstring eventName(const wchar_t* what, DWORD parentPid)
{
    return std::wstring(L"Local\\KliqoraHarness") + what + std::to_wstring(parentPid);
}

} // namespace

SecondOwner::~SecondOwner()
{
    release();
    if (m_ready)
        CloseHandle(m_ready);
    if (m_release)
        CloseHandle(m_release);
}

SecondOwner::Outcome SecondOwner::tryRegister(UINT vk, UINT modifiers, DWORD timeoutMs)
{
    const DWORD pid = GetCurrentProcessId();
    if (!m_ready)
        m_ready = CreateEventW(nullptr, TRUE, FALSE, eventName(L"Ready", pid).c_str());
    if (!m_release)
        m_release = CreateEventW(nullptr, TRUE, FALSE, eventName(L"Release", pid).c_str());
    if (!m_ready || !m_release || m_process)
        return Outcome::Failed;
    ResetEvent(m_ready);
    ResetEvent(m_release);

    wchar_t self[MAX_PATH];
    if (!GetModuleFileNameW(nullptr, self, MAX_PATH))
        return Outcome::Failed;
    std::wstring commandLine = L"\"" + std::wstring(self) + L"\" --hold-hotkey " +
                               std::to_wstring(vk) + L" " + std::to_wstring(modifiers) + L" " +
                               std::to_wstring(pid);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info))
        return Outcome::Failed;
    CloseHandle(info.hThread);
    m_process = info.hProcess;

    const HANDLE waitFor[] = {m_ready, m_process};
    const DWORD result = WaitForMultipleObjects(2, waitFor, FALSE, timeoutMs);
    if (result == WAIT_OBJECT_0)
        return Outcome::Holds;
    DWORD exitCode = 0;
    if (result == WAIT_OBJECT_0 + 1 && GetExitCodeProcess(m_process, &exitCode) &&
        exitCode == DWORD(kExitRefused)) {
        CloseHandle(m_process);
        m_process = nullptr;
        return Outcome::Refused;
    }
    return Outcome::Failed;
}

void SecondOwner::release()
{
    if (!m_process)
        return;
    SetEvent(m_release);
    if (WaitForSingleObject(m_process, 10000) != WAIT_OBJECT_0)
        TerminateProcess(m_process, 1);
    CloseHandle(m_process);
    m_process = nullptr;
}

int SecondOwner::childMain(int argc, char** argv)
{
    if (argc < 3)
        return kExitBadArguments;
    const auto vk = UINT(std::strtoul(argv[0], nullptr, 10));
    const auto modifiers = UINT(std::strtoul(argv[1], nullptr, 10));
    const auto parentPid = DWORD(std::strtoul(argv[2], nullptr, 10));
    HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, eventName(L"Ready", parentPid).c_str());
    HANDLE release = OpenEventW(SYNCHRONIZE, FALSE, eventName(L"Release", parentPid).c_str());
    if (!ready || !release)
        return kExitBadArguments;

    // A plain registration, as any other program would make it.
    if (!RegisterHotKey(nullptr, kHotkeyId, modifiers, vk))
        return kExitRefused;
    SetEvent(ready);
    WaitForSingleObject(release, kHoldLimitMs);
    UnregisterHotKey(nullptr, kHotkeyId);
    CloseHandle(ready);
    CloseHandle(release);
    return 0;
}
