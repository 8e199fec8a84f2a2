#include "winbackend.h"
#include "wincapture.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

// After windows.h, whose types it uses.
#include <mmsystem.h>

#include <vector>

namespace platform::win {
namespace {

// The finest resolution the multimedia timer offers, for waits of a few milliseconds.
constexpr UINT kTimerPeriodMs = 1;

INPUT toWin32(const Input& in)
{
    INPUT out{};
    if (in.type == Input::Type::Mouse) {
        out.type = INPUT_MOUSE;
        out.mi.dx = in.mouse.dx;
        out.mi.dy = in.mouse.dy;
        out.mi.mouseData = static_cast<DWORD>(in.mouse.mouseData); // wheel: signed in a DWORD
        out.mi.dwFlags = in.mouse.flags;
    } else {
        out.type = INPUT_KEYBOARD;
        out.ki.wVk = in.keyboard.vk;
        out.ki.wScan = in.keyboard.scan;
        out.ki.dwFlags = in.keyboard.flags;
    }
    return out;
}

} // namespace

WinBackend::~WinBackend()
{
    while (m_timerPeriods > 0)
        endTimerResolution();
    if (m_keepAwake)
        SetThreadExecutionState(ES_CONTINUOUS);
}

unsigned WinBackend::sendInput(const Input* inputs, unsigned count)
{
    if (!inputs || count == 0)
        return 0;
    std::vector<INPUT> records;
    records.reserve(count);
    for (unsigned i = 0; i < count; ++i)
        records.push_back(toWin32(inputs[i]));
    return SendInput(count, records.data(), sizeof(INPUT));
}

ScreenSize WinBackend::primaryScreenSize()
{
    return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

bool WinBackend::cursorPos(CursorPos& pos)
{
    POINT point{};
    if (!GetCursorPos(&point))
        return false;
    pos = {static_cast<int>(point.x), static_cast<int>(point.y)};
    return true;
}

bool WinBackend::beginTimerResolution()
{
    if (timeBeginPeriod(kTimerPeriodMs) != TIMERR_NOERROR)
        return false;
    ++m_timerPeriods;
    return true;
}

void WinBackend::endTimerResolution()
{
    // Only a period that was begun may be ended: unmatched calls upset the system's count.
    if (m_timerPeriods == 0)
        return;
    timeEndPeriod(kTimerPeriodMs);
    --m_timerPeriods;
}

bool WinBackend::setKeepAwake(bool on)
{
    const EXECUTION_STATE state =
        on ? ES_CONTINUOUS | ES_SYSTEM_REQUIRED | ES_DISPLAY_REQUIRED : ES_CONTINUOUS;
    if (SetThreadExecutionState(state) == 0)
        return false;
    m_keepAwake = on;
    return true;
}

std::unique_ptr<InputCapture> WinBackend::createCapture()
{
    return createWinCapture();
}

} // namespace platform::win
