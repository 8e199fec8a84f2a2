#include "winbackend.h"
#include "winabsolutecoordinates.h"
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

#include <algorithm>
#include <vector>

namespace platform::win {
namespace {

// The finest resolution the multimedia timer offers, for waits of a few milliseconds.
constexpr UINT kTimerPeriodMs = 1;

// Absolute records span the primary screen unless they name the virtual desktop.
bool spansPrimaryScreen(const Input& in)
{
    return in.type == Input::Type::Mouse && (in.mouse.flags & MouseFlag::Absolute) &&
           !(in.mouse.flags & MOUSEEVENTF_VIRTUALDESK);
}

INPUT toWin32(const Input& in, const ScreenSize& screen)
{
    INPUT out{};
    if (in.type == Input::Type::Mouse) {
        out.type = INPUT_MOUSE;
        out.mi.dx = in.mouse.dx;
        out.mi.dy = in.mouse.dy;
        if (spansPrimaryScreen(in)) {
            out.mi.dx = toSystemAbsolute(in.mouse.dx, screen.width);
            out.mi.dy = toSystemAbsolute(in.mouse.dy, screen.height);
        }
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
    // Read once per batch, and only when a record needs it.
    ScreenSize screen;
    if (std::any_of(inputs, inputs + count, spansPrimaryScreen))
        screen = primaryScreenSize();
    std::vector<INPUT> records;
    records.reserve(count);
    for (unsigned i = 0; i < count; ++i)
        records.push_back(toWin32(inputs[i], screen));
    return SendInput(count, records.data(), sizeof(INPUT));
}

ScreenSize WinBackend::primaryScreenSize()
{
    return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

uint32_t WinBackend::heldModifiers()
{
    // clang-format off
    struct Key { int vk; uint32_t modifier; };
    static constexpr Key Keys[] = {
        {VK_SHIFT, ModifierKey::Shift}, {VK_CONTROL, ModifierKey::Control},
        {VK_MENU, ModifierKey::Alt},    {VK_LWIN, ModifierKey::Meta}, {VK_RWIN, ModifierKey::Meta},
    };
    // clang-format on
    constexpr SHORT DownBit = SHORT(0x8000);
    uint32_t held = 0;
    for (const Key& key : Keys) {
        if (GetAsyncKeyState(key.vk) & DownBit)
            held |= key.modifier;
    }
    return held;
}

bool WinBackend::cursorPos(CursorPos& pos)
{
    POINT point{};
    if (!GetCursorPos(&point))
        return false;
    pos = {static_cast<int>(point.x), static_cast<int>(point.y)};
    return true;
}

bool WinBackend::pixelColor(int x, int y, uint32_t& rgb)
{
    HDC screen = GetDC(nullptr);
    if (!screen)
        return false;
    const COLORREF color = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    if (color == CLR_INVALID)
        return false;
    rgb = uint32_t(GetRValue(color)) << 16 | uint32_t(GetGValue(color)) << 8 | GetBValue(color);
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
    int begun = m_timerPeriods.load();
    do {
        if (begun == 0)
            return;
    } while (!m_timerPeriods.compare_exchange_weak(begun, begun - 1));
    timeEndPeriod(kTimerPeriodMs);
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
