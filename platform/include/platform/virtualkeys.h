#pragma once
// Windows virtual-key codes used by the key-name vocabulary and the jobs.
// Named Vk::* rather than VK_* so that they never collide with <windows.h> macros.

#include <cstdint>

namespace platform {
namespace Vk {
// clang-format off
constexpr uint16_t Back = 0x08, Tab = 0x09, Return = 0x0D;
constexpr uint16_t Shift = 0x10, Control = 0x11, Menu = 0x12, Pause = 0x13, Capital = 0x14;
constexpr uint16_t Escape = 0x1B, Space = 0x20;
constexpr uint16_t Prior = 0x21, Next = 0x22, End = 0x23, Home = 0x24;
constexpr uint16_t Left = 0x25, Up = 0x26, Right = 0x27, Down = 0x28;
constexpr uint16_t Snapshot = 0x2C, Insert = 0x2D, Delete = 0x2E;
constexpr uint16_t Key0 = 0x30;  // '0'..'9' are 0x30..0x39
constexpr uint16_t KeyA = 0x41;  // 'A'..'Z' are 0x41..0x5A
constexpr uint16_t LWin = 0x5B, RWin = 0x5C, Apps = 0x5D;
constexpr uint16_t Numpad0 = 0x60;  // NUM0..NUM9 are 0x60..0x69
constexpr uint16_t Multiply = 0x6A, Add = 0x6B, Separator = 0x6C, Subtract = 0x6D;
constexpr uint16_t Decimal = 0x6E, Divide = 0x6F;
constexpr uint16_t F1 = 0x70;    // F1..F24 are 0x70..0x87
constexpr uint16_t F24 = 0x87;
constexpr uint16_t NumLock = 0x90, Scroll = 0x91;
constexpr uint16_t LShift = 0xA0, RShift = 0xA1, LControl = 0xA2, RControl = 0xA3;
constexpr uint16_t LMenu = 0xA4, RMenu = 0xA5;
constexpr uint16_t BrowserBack = 0xA6, BrowserForward = 0xA7, BrowserRefresh = 0xA8;
constexpr uint16_t BrowserStop = 0xA9, BrowserSearch = 0xAA, BrowserFavorites = 0xAB;
constexpr uint16_t BrowserHome = 0xAC;
constexpr uint16_t Packet = 0xE7; // a captured Unicode character; the scan code holds its unit
constexpr uint16_t VolumeMute = 0xAD, VolumeDown = 0xAE, VolumeUp = 0xAF;
constexpr uint16_t MediaNextTrack = 0xB0, MediaPrevTrack = 0xB1, MediaStop = 0xB2;
constexpr uint16_t MediaPlayPause = 0xB3;
constexpr uint16_t Oem1 = 0xBA;      // ;:
constexpr uint16_t OemPlus = 0xBB;   // =+
constexpr uint16_t OemComma = 0xBC;  // ,<
constexpr uint16_t OemMinus = 0xBD;  // -_
constexpr uint16_t OemPeriod = 0xBE; // .>
constexpr uint16_t Oem2 = 0xBF;      // /?
constexpr uint16_t Oem3 = 0xC0;      // `~
constexpr uint16_t Oem4 = 0xDB;      // [{
constexpr uint16_t Oem5 = 0xDC;      // \|
constexpr uint16_t Oem6 = 0xDD;      // ]}
constexpr uint16_t Oem7 = 0xDE;      // '"
// clang-format on
} // namespace Vk
} // namespace platform
