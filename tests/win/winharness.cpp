// Runs the Windows backend for real (on Windows, or under Wine on our Xvfb): the input
// batches the jobs send go through platform::sendInput into a real window and a real
// EDIT control, the capture hooks must hand back what the recorder stores, and the
// hotkey code must register, fire and meet a second owner. One result line per check;
// exit code 0 only when every check passed. Standard C++ and Win32 only.
//
// Expects a 1920x1080 primary screen with nothing else on it (the Xvfb of the tests).

#include "checklog.h"
#include "harnesswindow.h"
#include "secondowner.h"

#include "platform/backend.h"
#include "platform/virtualkeys.h"
#include "win/win32hotkeys.h"
#include "win/winabsolutecoordinates.h"
#include "win/winbackend.h"

#include <mmsystem.h>
#include <windowsx.h>

#include <algorithm>
#include <chrono>
#include <cstdarg>
#include <cstring>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

using platform::CapturedKey;
using platform::CapturedMouse;
using platform::Input;
namespace MouseFlag = platform::MouseFlag;
namespace KeyFlag = platform::KeyFlag;
namespace Message = platform::Message;
namespace Vk = platform::Vk;

namespace {

constexpr int kScreenWidth = 1920;
constexpr int kScreenHeight = 1080;
// The EDIT sits here; pointer checks stay clear of it.
constexpr RECT kEditRect{600, 300, 1100, 330};
constexpr DWORD kDeliveryTimeoutMs = 3000;
constexpr DWORD kSettleMs = 60;
constexpr DWORD kWorkerTimeoutMs = 5000;
constexpr DWORD kSecondOwnerTimeoutMs = 20000;
constexpr uint32_t kLlkhfInjected = platform::CapturedKeyFlag::Injected;
constexpr uint32_t kLlkhfUp = platform::CapturedKeyFlag::Up;
constexpr uint16_t kVkPacket = 0xE7; // the virtual key of a KEYEVENTF_UNICODE record
constexpr UINT kModNoRepeat = 0x4000;
constexpr UINT kExitCrashed = 2;

std::string format(const char* pattern, ...)
{
    char buffer[512];
    va_list args;
    va_start(args, pattern);
    std::vsnprintf(buffer, sizeof(buffer), pattern, args);
    va_end(args);
    return buffer;
}

int64_t steadyNowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Wine's ntdll exports its version; Windows' does not.
bool runningUnderWine()
{
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// A pixel as the jobs put it into an absolute mouse record: 32-bit arithmetic,
// truncating division, 0..65535 over the primary screen.
int32_t jobAbsolute(int pixel, int size)
{
    return int32_t(int64_t(pixel) * platform::AbsoluteRange / size);
}

Input absoluteMove(int x, int y)
{
    return Input::mouseInput(MouseFlag::Move | MouseFlag::Absolute, jobAbsolute(x, kScreenWidth),
                             jobAbsolute(y, kScreenHeight));
}

Input key(uint16_t vk, bool up = false)
{
    return Input::keyInput(vk, up ? KeyFlag::KeyUp : 0);
}

// Everything the capture delivered while it ran.
struct CaptureLog
{
    std::vector<CapturedMouse> mice;
    std::vector<CapturedKey> keys;

    void clear()
    {
        mice.clear();
        keys.clear();
    }
    platform::InputCapture::MouseHandler mouseHandler()
    {
        return [this](const CapturedMouse& event) { mice.push_back(event); };
    }
    platform::InputCapture::KeyHandler keyHandler()
    {
        return [this](const CapturedKey& event) { keys.push_back(event); };
    }
    std::vector<CapturedMouse> miceWithout(uint32_t message) const
    {
        std::vector<CapturedMouse> out;
        std::copy_if(mice.begin(), mice.end(), std::back_inserter(out),
                     [message](const CapturedMouse& m) { return m.message != message; });
        return out;
    }
};

// Sends each batch with its own sendInput call, one after the other, on a worker
// thread as the jobs do; true when every record was accepted.
bool sendBatches(HarnessWindow& window, const std::vector<std::vector<Input>>& batches)
{
    bool accepted = true;
    const bool inTime = window.runOnWorker(
        [&] {
            for (const std::vector<Input>& batch : batches) {
                if (platform::sendInput(batch.data(), unsigned(batch.size())) != batch.size())
                    accepted = false;
            }
        },
        kWorkerTimeoutMs);
    return accepted && inTime;
}

std::vector<LoggedMessage> windowMessages(const HarnessWindow& window,
                                          const std::vector<UINT>& kinds)
{
    std::vector<LoggedMessage> out;
    for (const LoggedMessage& m : window.messages()) {
        if (std::find(kinds.begin(), kinds.end(), m.message) != kinds.end())
            out.push_back(m);
    }
    return out;
}

size_t countMessages(const HarnessWindow& window, const std::vector<UINT>& kinds)
{
    return windowMessages(window, kinds).size();
}

std::string messageList(const std::vector<LoggedMessage>& messages)
{
    std::string text;
    for (const LoggedMessage& m : messages)
        text += format("%s0x%04x", text.empty() ? "" : " ", unsigned(m.message));
    return text.empty() ? "none" : text;
}

std::string mouseList(const std::vector<CapturedMouse>& events)
{
    std::string text;
    for (const CapturedMouse& e : events)
        text += format("%s0x%04x@(%d,%d)/0x%x", text.empty() ? "" : " ", unsigned(e.message),
                       int(e.x), int(e.y), unsigned(e.mouseData));
    return text.empty() ? "none" : text;
}

std::string keyList(const std::vector<CapturedKey>& events)
{
    std::string text;
    for (const CapturedKey& e : events)
        text += format("%s0x%04x vk 0x%02x scan 0x%x flags 0x%02x", text.empty() ? "" : ", ",
                       unsigned(e.message), unsigned(e.vkCode), unsigned(e.scanCode),
                       unsigned(e.flags));
    return text.empty() ? "none" : text;
}

// ---------------------------------------------------------------------------------

void checkScreenAndCursor(CheckLog& log)
{
    platform::Backend& backend = platform::backend();
    log.check(std::strcmp(backend.name(), "windows") == 0, "system backend is the Windows one",
              backend.name());
    const platform::ScreenSize size = backend.primaryScreenSize();
    log.check(size.width == kScreenWidth && size.height == kScreenHeight, "primary screen size",
              format("%dx%d", size.width, size.height));

    const Input move = absoluteMove(123, 456);
    platform::CursorPos pos;
    const bool sent = backend.sendInput(&move, 1) == 1;
    const bool known = backend.cursorPos(pos);
    log.check(sent && known && pos.x == 123 && pos.y == 456, "cursor position after a move",
              format("sent %d, known %d, at (%d,%d)", sent, known, pos.x, pos.y));
}

// The harness window fills the screen with the system's window colour; a point off
// the screen has no colour.
void checkPixelColor(CheckLog& log, HarnessWindow& window)
{
    const COLORREF system = GetSysColor(COLOR_WINDOW);
    const uint32_t expected =
        uint32_t(GetRValue(system)) << 16 | uint32_t(GetGValue(system)) << 8 | GetBValue(system);
    uint32_t seen = 0;
    const bool read = window.pumpUntil(
        [&] { return platform::backend().pixelColor(50, 50, seen) && seen == expected; }, 3000);
    log.check(read, "screen pixel shows the window's colour",
              format("expected %06x, seen %06x", unsigned(expected), unsigned(seen)));
    log.check(!platform::backend().pixelColor(kScreenWidth + 10, 5, seen),
              "no colour off the screen");
}

// Screens other than the harness's: Windows puts value v on pixel v * size / 65536
// (truncating; the sweep below shows it on the real system), so every pixel the jobs
// encode must come out of the backend as a value inside that pixel.
void checkAbsoluteEncoding(CheckLog& log)
{
    const int sizes[] = {1, 600, 768, 1080, 1366, 1440, 1920, 2160, 2560, 3840, 5760, 7680};
    for (const int size : sizes) {
        int wrong = 0;
        std::string firstWrong;
        for (int p = 0; p < size; ++p) {
            const int32_t value = platform::win::toSystemAbsolute(jobAbsolute(p, size), size);
            const int64_t landed = int64_t(value) * size / 65536;
            if ((landed != p || value < 0 || value > platform::AbsoluteRange) && wrong++ == 0)
                firstWrong = format("pixel %d sent as %d lands on %lld", p, int(value),
                                    static_cast<long long>(landed));
        }
        log.check(wrong == 0, format("absolute encoding, every pixel of %d", size),
                  wrong ? format("%d wrong, first %s", wrong, firstWrong.c_str()) : "");
    }
}

// Every column and every row of the screen, as the jobs encode them: the pointer must
// land on exactly that pixel.
void checkEveryPixelLands(CheckLog& log)
{
    platform::Backend& backend = platform::backend();
    struct Axis
    {
        const char* name;
        int size;
        bool horizontal;
    };
    const Axis axes[] = {{"every column", kScreenWidth, true}, {"every row", kScreenHeight, false}};
    for (const Axis& axis : axes) {
        int wrong = 0;
        std::string firstWrong;
        for (int p = 0; p < axis.size; ++p) {
            const int x = axis.horizontal ? p : kScreenWidth / 2;
            const int y = axis.horizontal ? kScreenHeight / 2 : p;
            const Input move = absoluteMove(x, y);
            platform::CursorPos pos;
            if (backend.sendInput(&move, 1) != 1 || !backend.cursorPos(pos) || pos.x != x ||
                pos.y != y) {
                if (wrong++ == 0)
                    firstWrong = format("(%d,%d) landed on (%d,%d)", x, y, pos.x, pos.y);
            }
        }
        log.check(wrong == 0, format("absolute moves land pixel-exact, %s", axis.name),
                  wrong ? format("%d wrong, first %s", wrong, firstWrong.c_str()) : "");
    }
}

// A move sent from a worker thread, as the jobs send it, with no capture running:
// the cursor must be there and stay there.
void checkCursorAfterWorkerMove(CheckLog& log, HarnessWindow& window)
{
    constexpr int x = 777, y = 333;
    constexpr DWORD kStayMs = 300; // longer than Wine's 100 ms before it asks the X server
    const bool sent = sendBatches(window, {{absoluteMove(x, y)}});
    platform::CursorPos pos;
    const auto there = [&] {
        return platform::backend().cursorPos(pos) && pos.x == x && pos.y == y;
    };
    const bool arrived = window.pumpUntil(there, kDeliveryTimeoutMs);
    window.settle(kStayMs, kStayMs);
    const bool stayed = there();
    log.check(sent && arrived && stayed, "cursor position after a move from a worker thread",
              format("arrived %d, stayed %d, at (%d,%d)", arrived, stayed, pos.x, pos.y));
}

void checkMoves(CheckLog& log, HarnessWindow& window, CaptureLog& capture)
{
    if (runningUnderWine())
        CheckLog::note("Wine: the cursor position is not checked while the capture hooks run");
    struct Point
    {
        const char* name;
        int x, y;
    };
    // clang-format off
    const Point points[] = {
        {"top left", 0, 0},       {"bottom right", kScreenWidth - 1, kScreenHeight - 1},
        {"centre", 960, 540},     {"odd pixel", 1237, 803},  {"next to the edges", 1, 1078},
    };
    // clang-format on
    for (const Point& point : points) {
        window.clearMessages();
        capture.clear();
        const int64_t before = steadyNowNs();
        const bool sent = sendBatches(window, {{absoluteMove(point.x, point.y)}});
        window.pumpUntil([&] { return !capture.mice.empty(); }, kDeliveryTimeoutMs);
        window.settle(kSettleMs, kDeliveryTimeoutMs);
        const int64_t after = steadyNowNs();

        platform::CursorPos pos;
        const bool cursorKnown = platform::backend().cursorPos(pos);
        // Wine 8 does not move the X pointer for input injected while a low-level mouse
        // hook is installed, and 100 ms after a move GetCursorPos answers from the X
        // pointer, so the position read here may be stale. The cursor is checked without
        // hooks instead (checkCursorAfterWorkerMove); on Windows it is checked here too.
        const bool cursorOk =
            runningUnderWine() || (cursorKnown && pos.x == point.x && pos.y == point.y);
        const auto moves = windowMessages(window, {WM_MOUSEMOVE});
        const bool hookOk = capture.mice.size() == 1 &&
                            capture.mice[0].message == Message::MouseMove &&
                            capture.mice[0].x == point.x && capture.mice[0].y == point.y &&
                            capture.mice[0].timeNs >= before && capture.mice[0].timeNs <= after;
        const bool windowOk = !moves.empty() && GET_X_LPARAM(moves.back().lParam) == point.x &&
                              GET_Y_LPARAM(moves.back().lParam) == point.y;
        log.check(sent && cursorOk && hookOk && windowOk,
                  format("move to %s (%d,%d): hook, window%s", point.name, point.x, point.y,
                         runningUnderWine() ? "" : " and cursor"),
                  format("cursor (%d,%d); hook %s; window %s", pos.x, pos.y,
                         mouseList(capture.mice).c_str(), messageList(moves).c_str()));
    }
}

void checkClicks(CheckLog& log, HarnessWindow& window, CaptureLog& capture)
{
    struct Button
    {
        const char* name;
        uint32_t down, up;
        uint32_t downMessage, upMessage, doubleMessage;
    };
    // clang-format off
    const Button buttons[] = {
        {"left",   MouseFlag::LeftDown,   MouseFlag::LeftUp,   WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK},
        {"right",  MouseFlag::RightDown,  MouseFlag::RightUp,  WM_RBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDBLCLK},
        {"middle", MouseFlag::MiddleDown, MouseFlag::MiddleUp, WM_MBUTTONDOWN, WM_MBUTTONUP, WM_MBUTTONDBLCLK},
    };
    // clang-format on
    const std::vector<UINT> buttonMessages = {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK,
                                              WM_RBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDBLCLK,
                                              WM_MBUTTONDOWN, WM_MBUTTONUP, WM_MBUTTONDBLCLK};

    int column = 0;
    for (const Button& button : buttons) {
        for (const bool isDouble : {false, true}) {
            // A fresh point per row, far from the last, so no two rows make a double click.
            const int x = 150 + 250 * column++;
            const int y = 700;
            // As the click operation sends it: the move, then the button records.
            std::vector<Input> batch = {absoluteMove(x, y)};
            for (int i = 0; i < (isDouble ? 2 : 1); ++i) {
                batch.push_back(Input::mouseInput(button.down));
                batch.push_back(Input::mouseInput(button.up));
            }
            // What the window must get (the system makes the second press a double
            // click) and what the hook must report (it sees presses, never doubles).
            std::vector<UINT> expectedWindow = {button.downMessage, button.upMessage};
            std::vector<uint32_t> expectedHook = {button.downMessage, button.upMessage};
            if (isDouble) {
                expectedWindow.insert(expectedWindow.end(),
                                      {button.doubleMessage, button.upMessage});
                expectedHook.insert(expectedHook.end(), {button.downMessage, button.upMessage});
            }

            window.clearMessages();
            capture.clear();
            const bool sent = sendBatches(window, {batch});
            window.pumpUntil(
                [&] { return countMessages(window, buttonMessages) >= expectedWindow.size(); },
                kDeliveryTimeoutMs);
            window.settle(kSettleMs, kDeliveryTimeoutMs);

            const auto got = windowMessages(window, buttonMessages);
            bool windowOk = got.size() == expectedWindow.size();
            for (size_t i = 0; windowOk && i < got.size(); ++i) {
                windowOk = got[i].message == expectedWindow[i] && got[i].hwnd == window.window() &&
                           GET_X_LPARAM(got[i].lParam) == x && GET_Y_LPARAM(got[i].lParam) == y;
            }
            const auto hooked = capture.miceWithout(Message::MouseMove);
            bool hookOk = hooked.size() == expectedHook.size();
            for (size_t i = 0; hookOk && i < hooked.size(); ++i) {
                hookOk =
                    hooked[i].message == expectedHook[i] && hooked[i].x == x && hooked[i].y == y;
            }
            log.check(
                sent && windowOk && hookOk,
                format("%s %s click at (%d,%d): window and hook", button.name,
                       isDouble ? "double" : "single", x, y),
                format("window %s; hook %s", messageList(got).c_str(), mouseList(hooked).c_str()));
        }
    }
}

void checkWheel(CheckLog& log, HarnessWindow& window, CaptureLog& capture)
{
    struct Row
    {
        const char* name;
        int32_t delta;
    };
    const Row rows[] = {{"one notch away from the user", platform::WheelDelta},
                        {"two notches toward the user in one record", -2 * platform::WheelDelta}};
    const int x = 300, y = 900;
    for (const Row& row : rows) {
        window.clearMessages();
        capture.clear();
        // The replay sends a wheel record on its own, after the pointer got there.
        const bool sent = sendBatches(
            window, {{absoluteMove(x, y)}, {Input::mouseInput(MouseFlag::Wheel, 0, 0, row.delta)}});
        window.pumpUntil([&] { return countMessages(window, {WM_MOUSEWHEEL}) >= 1; },
                         kDeliveryTimeoutMs);
        window.settle(kSettleMs, kDeliveryTimeoutMs);

        const auto wheels = windowMessages(window, {WM_MOUSEWHEEL});
        const bool windowOk =
            wheels.size() == 1 && GET_WHEEL_DELTA_WPARAM(wheels[0].wParam) == row.delta &&
            GET_X_LPARAM(wheels[0].lParam) == x && GET_Y_LPARAM(wheels[0].lParam) == y;
        const auto hooked = capture.miceWithout(Message::MouseMove);
        // The recorder keeps the signed high word of mouseData as the delta.
        const bool hookOk = hooked.size() == 1 && hooked[0].message == Message::MouseWheel &&
                            int16_t(uint16_t(hooked[0].mouseData >> 16)) == row.delta &&
                            hooked[0].x == x && hooked[0].y == y;
        log.check(
            sent && windowOk && hookOk, format("wheel, %s: window and hook", row.name),
            format("window %s; hook %s", messageList(wheels).c_str(), mouseList(hooked).c_str()));
    }
}

// Ctrl+A as the key presser sends it: one virtual-key record per call.
void checkCtrlA(CheckLog& log, HarnessWindow& window, CaptureLog& capture)
{
    const std::wstring text = L"select me";
    window.focusEdit(text);
    window.settle(kSettleMs, kDeliveryTimeoutMs);
    window.clearMessages();
    capture.clear();
    const uint16_t keyA = Vk::KeyA;
    const bool sent = sendBatches(
        window, {{key(Vk::Control)}, {key(keyA)}, {key(keyA, true)}, {key(Vk::Control, true)}});
    const auto sawControlA = [&] {
        for (const LoggedMessage& m : windowMessages(window, {WM_CHAR})) {
            if (m.wParam == 0x01) // Ctrl+A's character: Ctrl was down when A went down
                return true;
        }
        return false;
    };
    window.pumpUntil([&] { return sawControlA() && capture.keys.size() >= 4; }, kDeliveryTimeoutMs);
    window.settle(kSettleMs, kDeliveryTimeoutMs);

    const auto keyDowns = windowMessages(window, {WM_KEYDOWN});
    const bool windowOk = sawControlA() && keyDowns.size() == 2 &&
                          keyDowns[0].hwnd == window.edit() && keyDowns[0].wParam == VK_CONTROL &&
                          keyDowns[1].wParam == keyA;
    log.check(sent && windowOk, "Ctrl+A reaches the focused EDIT as Ctrl held with A",
              format("key downs %s, Ctrl+A character %s", messageList(keyDowns).c_str(),
                     sawControlA() ? "seen" : "missing"));
    // What the EDIT makes of Ctrl+A depends on the control's version (Wine's selects
    // nothing, newer Windows controls select all); either way no "a" may be typed.
    const std::wstring after = window.editText();
    log.check(after == text, "Ctrl+A types no letter into the EDIT",
              format("EDIT holds %u characters", unsigned(after.size())));

    // A generic VK_CONTROL record: Wine's hook reports it as sent, Windows' may name the
    // left-hand key (VK_LCONTROL). The recorder stores either and both replay as Ctrl.
    const auto isControl = [](uint32_t vk) { return vk == VK_CONTROL || vk == VK_LCONTROL; };
    struct Expected
    {
        uint32_t message, vk, flags;
    };
    const Expected expected[] = {{Message::KeyDown, VK_CONTROL, kLlkhfInjected},
                                 {Message::KeyDown, keyA, kLlkhfInjected},
                                 {Message::KeyUp, keyA, kLlkhfInjected | kLlkhfUp},
                                 {Message::KeyUp, VK_CONTROL, kLlkhfInjected | kLlkhfUp}};
    bool hookOk = capture.keys.size() == std::size(expected);
    for (size_t i = 0; hookOk && i < capture.keys.size(); ++i) {
        const CapturedKey& k = capture.keys[i];
        hookOk = k.message == expected[i].message && k.flags == expected[i].flags &&
                 (expected[i].vk == VK_CONTROL ? isControl(k.vkCode) : k.vkCode == expected[i].vk);
    }
    log.check(hookOk, "Ctrl+A through the keyboard hook: messages, keys and flags",
              keyList(capture.keys));
}

// Text as the text operation types it: one KEYEVENTF_UNICODE press and release per
// UTF-16 code unit, each pair in one call; the character outside the BMP goes as its
// two surrogate halves.
void checkUnicodeText(CheckLog& log, HarnessWindow& window, CaptureLog& capture)
{
    const std::wstring text = L"Ab\u4F60\u597D\u20AC\U0001F600"; // "Ab你好€😀"
    window.focusEdit(L"");
    window.settle(kSettleMs, kDeliveryTimeoutMs);
    window.clearMessages();
    capture.clear();
    std::vector<std::vector<Input>> batches;
    for (const wchar_t unit : text) {
        batches.push_back({Input::keyInput(0, KeyFlag::Unicode, uint16_t(unit)),
                           Input::keyInput(0, KeyFlag::Unicode | KeyFlag::KeyUp, uint16_t(unit))});
    }
    const bool sent = sendBatches(window, batches);
    window.pumpUntil(
        [&] { return window.editText() == text && capture.keys.size() >= 2 * text.size(); },
        kDeliveryTimeoutMs);
    window.settle(kSettleMs, kDeliveryTimeoutMs);

    const std::wstring typed = window.editText();
    std::string typedUnits;
    for (const wchar_t unit : typed)
        typedUnits += format(" %04x", unsigned(unit));
    log.check(sent && typed == text, "Unicode text incl. a surrogate pair lands in the EDIT",
              format("EDIT holds%s", typedUnits.empty() ? " nothing" : typedUnits.c_str()));

    const auto chars = windowMessages(window, {WM_CHAR});
    bool charsOk = chars.size() == text.size();
    for (size_t i = 0; charsOk && i < chars.size(); ++i)
        charsOk = chars[i].wParam == WPARAM(text[i]) && chars[i].hwnd == window.edit();
    log.check(charsOk, "Unicode text arrives as one WM_CHAR per code unit",
              format("%u WM_CHAR for %u units", unsigned(chars.size()), unsigned(text.size())));

    // The hook reports each code unit as VK_PACKET with the unit as scan code. Wine
    // leaves LLKHF_UP off the releases of such records (Windows sets it); the recorder
    // tells presses from releases by the message, so only the flag differs.
    const uint32_t packetUpFlag = runningUnderWine() ? 0 : kLlkhfUp;
    bool hookOk = capture.keys.size() == 2 * text.size();
    for (size_t i = 0; hookOk && i < capture.keys.size(); ++i) {
        const bool up = i % 2 == 1;
        const CapturedKey& k = capture.keys[i];
        hookOk = k.message == (up ? Message::KeyUp : Message::KeyDown) && k.vkCode == kVkPacket &&
                 k.scanCode == text[i / 2] && k.flags == (kLlkhfInjected | (up ? packetUpFlag : 0));
    }
    log.check(hookOk, "Unicode text through the keyboard hook: VK_PACKET with each code unit",
              keyList(capture.keys));
    if (runningUnderWine())
        CheckLog::note("Wine: releases of Unicode records carry no LLKHF_UP in the hook");
}

// Captures share the thread's hooks: each gets every event while it runs, stopping
// one leaves the other working, and nothing arrives after the last stop.
void checkCaptureLifecycle(CheckLog& log, HarnessWindow& window)
{
    CaptureLog first, second;
    auto a = platform::backend().createCapture();
    auto b = platform::backend().createCapture();
    const bool started = a && b && a->start(first.mouseHandler(), first.keyHandler()) &&
                         b->start(second.mouseHandler(), second.keyHandler());
    sendBatches(window, {{absoluteMove(500, 600)}});
    window.pumpUntil([&] { return !first.mice.empty() && !second.mice.empty(); },
                     kDeliveryTimeoutMs);
    log.check(
        started && first.mice.size() == 1 && second.mice.size() == 1,
        "two captures on one thread both see a move",
        format("%u and %u events", unsigned(first.mice.size()), unsigned(second.mice.size())));

    a->stop();
    first.clear();
    second.clear();
    sendBatches(window, {{absoluteMove(510, 610)}, {key(Vk::Shift)}, {key(Vk::Shift, true)}});
    window.pumpUntil([&] { return second.mice.size() >= 1 && second.keys.size() >= 2; },
                     kDeliveryTimeoutMs);
    window.settle(kSettleMs, kDeliveryTimeoutMs);
    log.check(!a->isActive() && b->isActive() && first.mice.empty() && first.keys.empty() &&
                  second.mice.size() == 1 && second.keys.size() == 2,
              "a stopped capture gets nothing, the other one goes on",
              format("stopped %u/%u, running %u/%u", unsigned(first.mice.size()),
                     unsigned(first.keys.size()), unsigned(second.mice.size()),
                     unsigned(second.keys.size())));

    b->stop();
    second.clear();
    sendBatches(window, {{absoluteMove(520, 620)}, {key(Vk::Shift)}, {key(Vk::Shift, true)}});
    window.settle(kSettleMs * 3, kDeliveryTimeoutMs);
    log.check(second.mice.empty() && second.keys.empty(), "no event after the last stop",
              format("%u mouse, %u key events", unsigned(second.mice.size()),
                     unsigned(second.keys.size())));
}

// Presses a hotkey as the key presser would (modifiers, key, releases in reverse);
// `withRepeat` adds the extra press a held key sends. Returns the WM_HOTKEY messages.
std::vector<LoggedMessage> pressHotkey(HarnessWindow& window,
                                       const std::vector<uint16_t>& modifierVks, uint16_t vk,
                                       bool withRepeat)
{
    std::vector<std::vector<Input>> batches;
    for (const uint16_t modifier : modifierVks)
        batches.push_back({key(modifier)});
    batches.push_back({key(vk)});
    if (withRepeat)
        batches.push_back({key(vk)});
    batches.push_back({key(vk, true)});
    for (auto it = modifierVks.rbegin(); it != modifierVks.rend(); ++it)
        batches.push_back({key(*it, true)});
    window.clearMessages();
    sendBatches(window, batches);
    window.pumpUntil([&] { return countMessages(window, {WM_HOTKEY}) >= 1; }, kDeliveryTimeoutMs);
    window.settle(kSettleMs * 3, kDeliveryTimeoutMs);
    return windowMessages(window, {WM_HOTKEY});
}

void checkHotkeys(CheckLog& log, HarnessWindow& window)
{
    struct Row
    {
        const char* name;
        int qtKey;
        uint32_t qtModifiers;
        std::vector<uint16_t> modifierVks;
        uint16_t vk;
        UINT modifiers;
    };
    constexpr int qtKeyF7 = 0x01000036, qtKeyS = 0x53;
    const Row rows[] = {
        {"F7", qtKeyF7, 0, {}, VK_F7, 0},
        {"Ctrl+Shift+S",
         qtKeyS,
         win32hotkeys::QtControlModifier | win32hotkeys::QtShiftModifier,
         {Vk::Control, Vk::Shift},
         'S',
         MOD_CONTROL | MOD_SHIFT},
    };
    int id = 1;
    for (const Row& row : rows) {
        win32hotkeys::VirtualHotkey hotkey;
        const bool translated = win32hotkeys::translate(row.qtKey, row.qtModifiers, &hotkey);
        const bool registered = translated && win32hotkeys::registerHotkey(id, hotkey);
        log.check(
            registered && hotkey.vk == row.vk && hotkey.modifiers == row.modifiers,
            format("hotkey %s registers", row.name),
            format("vk 0x%x modifiers 0x%x", unsigned(hotkey.vk), unsigned(hotkey.modifiers)));
        if (!registered)
            continue;

        // A plain press fires once; so does a held key whose press repeats before
        // the release (MOD_NOREPEAT).
        const auto plain = pressHotkey(window, row.modifierVks, row.vk, false);
        int firedId = -1;
        if (!plain.empty()) {
            const MSG msg{plain[0].hwnd, plain[0].message, plain[0].wParam, plain[0].lParam, 0,
                          {0, 0}};
            firedId = win32hotkeys::hotkeyId(&msg);
        }
        log.check(plain.size() == 1 && firedId == id && LOWORD(plain[0].lParam) == row.modifiers &&
                      HIWORD(plain[0].lParam) == row.vk,
                  format("hotkey %s fires once per press", row.name),
                  format("%u WM_HOTKEY, id %d", unsigned(plain.size()), firedId));

        const auto repeated = pressHotkey(window, row.modifierVks, row.vk, true);
        if (runningUnderWine()) {
            // Wine ignores MOD_NOREPEAT, so this cannot be shown here.
            CheckLog::note(format("Wine: hotkey %s with a repeated press fired %u times "
                                  "(MOD_NOREPEAT ignored)",
                                  row.name, unsigned(repeated.size())));
        } else {
            log.check(repeated.size() == 1, format("hotkey %s ignores the repeat", row.name),
                      format("%u WM_HOTKEY", unsigned(repeated.size())));
        }
        win32hotkeys::unregisterHotkey(id);
        ++id;
    }

    // Another program and us: whoever holds a key first keeps it.
    win32hotkeys::VirtualHotkey f7;
    win32hotkeys::translate(qtKeyF7, 0, &f7);
    const int ourId = id;
    const bool ours = win32hotkeys::registerHotkey(ourId, f7);
    {
        SecondOwner other;
        const auto outcome =
            other.tryRegister(f7.vk, f7.modifiers | kModNoRepeat, kSecondOwnerTimeoutMs);
        log.check(ours && outcome == SecondOwner::Outcome::Refused,
                  "a second program cannot take a hotkey we hold",
                  format("ours %d, theirs %s", ours,
                         outcome == SecondOwner::Outcome::Holds     ? "granted"
                         : outcome == SecondOwner::Outcome::Refused ? "refused"
                                                                    : "did not run"));
    }
    win32hotkeys::unregisterHotkey(ourId);
    {
        SecondOwner other;
        const auto outcome = other.tryRegister(f7.vk, f7.modifiers, kSecondOwnerTimeoutMs);
        const bool oursWhileHeld = win32hotkeys::registerHotkey(ourId, f7);
        if (oursWhileHeld)
            win32hotkeys::unregisterHotkey(ourId);
        log.check(outcome == SecondOwner::Outcome::Holds && !oursWhileHeld,
                  "a hotkey held by a second program is refused to us",
                  format("theirs %s, ours %s",
                         outcome == SecondOwner::Outcome::Holds ? "granted" : "not granted",
                         oursWhileHeld ? "granted" : "refused"));
        other.release();
        const bool oursAfter = win32hotkeys::registerHotkey(ourId, f7);
        win32hotkeys::unregisterHotkey(ourId);
        log.check(oursAfter, "the hotkey is ours again once the second program let go");
    }
}

double medianSleepMs()
{
    constexpr int kSamples = 21;
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> samples;
    for (int i = 0; i < kSamples; ++i) {
        QueryPerformanceCounter(&start);
        Sleep(1);
        QueryPerformanceCounter(&end);
        samples.push_back(double(end.QuadPart - start.QuadPart) * 1000.0 /
                          double(frequency.QuadPart));
    }
    std::nth_element(samples.begin(), samples.begin() + kSamples / 2, samples.end());
    return samples[kSamples / 2];
}

void checkTimerResolution(CheckLog& log)
{
    // Well under the 15.6 ms a coarse system timer gives, with room for a busy machine.
    constexpr double kFineSleepMs = 8.0;
    platform::Backend& backend = platform::backend();
    const bool begun = backend.beginTimerResolution();
    const double sleepMs = medianSleepMs();
    if (begun)
        backend.endTimerResolution();
    // Wine's timers are always fine, so under Wine this shows the calls succeed, not
    // that they changed anything; on Windows the sleep would take ~15 ms without them.
    log.check(begun && sleepMs < kFineSleepMs, "timer resolution: begin succeeds, Sleep(1) is fine",
              format("begin %d, median Sleep(1) %.2f ms", begun, sleepMs));

    // Nested pairs, and an end without a begin, are accepted quietly.
    const bool nested = backend.beginTimerResolution() && backend.beginTimerResolution();
    backend.endTimerResolution();
    backend.endTimerResolution();
    backend.endTimerResolution();
    log.check(nested, "timer resolution: nested begin/end pairs");
}

// Reads the calling thread's execution state without changing it for long.
EXECUTION_STATE executionState()
{
    const EXECUTION_STATE state = SetThreadExecutionState(ES_CONTINUOUS);
    if (state & ES_CONTINUOUS)
        SetThreadExecutionState(state);
    return state;
}

void checkKeepAwake(CheckLog& log)
{
    constexpr EXECUTION_STATE awake = ES_CONTINUOUS | ES_SYSTEM_REQUIRED | ES_DISPLAY_REQUIRED;
    platform::Backend& backend = platform::backend();
    // The state is per thread on Windows and per process under Wine; reading it on the
    // thread that set it is the same on both.
    const bool on = backend.setKeepAwake(true);
    const EXECUTION_STATE whileOn = executionState();
    const bool off = backend.setKeepAwake(false);
    const EXECUTION_STATE whileOff = executionState();
    log.check(on && whileOn == awake, "keep-awake on: system and display required",
              format("returned %d, state 0x%lx", on, whileOn));
    log.check(off && whileOff == ES_CONTINUOUS, "keep-awake off: back to normal",
              format("returned %d, state 0x%lx", off, whileOff));

    {
        platform::win::WinBackend scoped;
        scoped.setKeepAwake(true);
    }
    const EXECUTION_STATE afterScope = executionState();
    log.check(afterScope == ES_CONTINUOUS, "keep-awake ends with the backend that asked for it",
              format("state 0x%lx", afterScope));
}

// A crash ends the run with a result line instead of a debugger or a dialog.
LONG WINAPI reportCrash(EXCEPTION_POINTERS* info)
{
    std::printf("FAIL the harness crashed: exception 0x%08lx\n",
                info->ExceptionRecord->ExceptionCode);
    std::fflush(stdout);
    ExitProcess(kExitCrashed);
}

} // namespace

int main(int argc, char** argv)
{
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    SetUnhandledExceptionFilter(&reportCrash);
    if (argc > 1 && std::strcmp(argv[1], SecondOwner::kOption) == 0)
        return SecondOwner::childMain(argc - 2, argv + 2);

    CheckLog log;
    checkScreenAndCursor(log);
    checkAbsoluteEncoding(log);
    checkEveryPixelLands(log);
    checkTimerResolution(log);
    checkKeepAwake(log);

    HarnessWindow window;
    if (!log.check(window.create(kScreenWidth, kScreenHeight, kEditRect),
                   "harness window with an EDIT control"))
        return 1;

    checkCursorAfterWorkerMove(log, window);
    checkPixelColor(log, window);

    CaptureLog capture;
    std::unique_ptr<platform::InputCapture> recorderCapture = platform::backend().createCapture();
    const bool capturing =
        recorderCapture && recorderCapture->start(capture.mouseHandler(), capture.keyHandler());
    log.check(capturing, "capture starts (low-level mouse and keyboard hooks)");
    if (capturing) {
        checkMoves(log, window, capture);
        checkClicks(log, window, capture);
        checkWheel(log, window, capture);
        checkCtrlA(log, window, capture);
        checkUnicodeText(log, window, capture);
        recorderCapture->stop();
    }
    checkCaptureLifecycle(log, window);
    checkHotkeys(log, window);

    std::printf("%d checks, %d failed\n", log.count(), log.failures());
    return log.failures() == 0 ? 0 : 1;
}
