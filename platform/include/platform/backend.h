#pragma once
// The operating-system layer: everything Kliqora asks of the OS to synthesise and
// observe input. One backend is active per process; tests install their own.
// Standard C++ only: this header is also compiled by the Windows cross compiler.

#include "platform/input.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace platform {

struct ScreenSize
{
    int width = 0;
    int height = 0;
};

struct CursorPos
{
    int x = 0;
    int y = 0;
};

// Window-message codes of captured input (the values of Windows' WM_*).
namespace Message {
// clang-format off
constexpr uint32_t KeyDown = 0x0100, KeyUp = 0x0101, SysKeyDown = 0x0104, SysKeyUp = 0x0105;
constexpr uint32_t MouseMove = 0x0200;
constexpr uint32_t LButtonDown = 0x0201, LButtonUp = 0x0202;
constexpr uint32_t RButtonDown = 0x0204, RButtonUp = 0x0205;
constexpr uint32_t MButtonDown = 0x0207, MButtonUp = 0x0208;
constexpr uint32_t MouseWheel = 0x020A;
constexpr uint32_t XButtonDown = 0x020B, XButtonUp = 0x020C; // XBUTTON1/2 in mouseData's high word
constexpr uint32_t MouseHWheel = 0x020E;                     // positive: to the right
// clang-format on
} // namespace Message

// Flags of a captured key (the values of Windows' LLKHF_*).
namespace CapturedKeyFlag {
constexpr uint32_t Extended = 0x01;
constexpr uint32_t Injected = 0x10;
constexpr uint32_t AltDown = 0x20;
constexpr uint32_t Up = 0x80;
} // namespace CapturedKeyFlag

// One captured mouse event, as a low-level mouse hook reports it.
struct CapturedMouse
{
    uint32_t message = 0;
    int32_t x = 0; // pixels
    int32_t y = 0;
    uint32_t mouseData = 0; // wheel: signed delta in the high 16 bits
    int64_t timeNs = 0;     // event time on std::chrono::steady_clock
};

// One captured key event, as a low-level keyboard hook reports it.
struct CapturedKey
{
    uint32_t message = 0;
    uint32_t vkCode = 0;
    uint32_t scanCode = 0;
    uint32_t flags = 0;
    int64_t timeNs = 0; // event time on std::chrono::steady_clock

    // A press of this key, with or without Alt held (the system reports those apart).
    bool isPress() const { return message == Message::KeyDown || message == Message::SysKeyDown; }
};

// Global capture of the user's mouse and keyboard. Handlers run on the thread that
// called start() (the GUI thread); capture never swallows input.
class InputCapture
{
public:
    using MouseHandler = std::function<void(const CapturedMouse&)>;
    using KeyHandler = std::function<void(const CapturedKey&)>;

    virtual ~InputCapture() = default;
    // Starts delivering events; false when the system refused. Either handler may be empty.
    virtual bool start(MouseHandler onMouse, KeyHandler onKey) = 0;
    // Stops delivering; no handler runs after it returns. Safe to call twice.
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
};

// Modifier keys as heldModifiers() reports them.
namespace ModifierKey {
constexpr uint32_t Shift = 0x1;
constexpr uint32_t Control = 0x2;
constexpr uint32_t Alt = 0x4;
constexpr uint32_t Meta = 0x8; // the Windows / Super key
constexpr uint32_t Any = Shift | Control | Alt | Meta;
} // namespace ModifierKey

class Backend
{
public:
    virtual ~Backend() = default;

    // Short name for logs and tests: "x11", "windows", "null", "recording".
    virtual const char* name() const = 0;

    // Sends the records as one unit, in order; returns how many were injected
    // (0 on failure), like SendInput. Callable from any thread. The system may still
    // be delivering them on return; waitForDelivery() waits for that.
    virtual unsigned sendInput(const Input* inputs, unsigned count) = 0;

    // Returns once the system has handled every record sent so far, so that other
    // programs see its effect (a stopped job, a button that must be up).
    virtual void waitForDelivery() {}

    // Size of the screen that absolute coordinates span, in pixels; {0, 0} when unknown.
    virtual ScreenSize primaryScreenSize() = 0;

    // Current pointer position in pixels; false when unknown.
    virtual bool cursorPos(CursorPos& pos) = 0;

    // Fine (1 ms) timer resolution around waits; begin returns true on success,
    // and only then must end be called.
    virtual bool beginTimerResolution() = 0;
    virtual void endTimerResolution() = 0;

    // Keeps the system and the display awake while a job runs; false when not possible.
    virtual bool setKeepAwake(bool on) = 0;

    // A new, stopped capture object; null when this backend cannot capture.
    virtual std::unique_ptr<InputCapture> createCapture() = 0;

    // The modifier keys (ModifierKey bits) down right now, typed by the user or
    // injected; 0 when nothing is down or the backend cannot tell. Callable from any thread.
    virtual uint32_t heldModifiers() { return 0; }

    // The colour of the screen pixel at (x, y) in pixels, as 0xRRGGBB; false when the
    // point is off the screen or this system does not let a program read the screen.
    // Callable from any thread.
    virtual bool pixelColor(int /*x*/, int /*y*/, uint32_t& /*rgb*/) { return false; }
};

// The process's backend, chosen on first use: Windows on Windows, X11 when an X
// display is reachable, otherwise the null backend whose calls fail cleanly.
Backend& backend();

// How far the input of jobs reaches in this session.
enum class InputReach
{
    Desktop,       // every program of the session
    XProgramsOnly, // a Wayland desktop that lets no program in: its X programs only (Xwayland)
    Nothing,       // no input can be sent: jobs run without effect
};
// The reach of the backend chosen for the session (chosen now if not yet), for the
// window to tell the user where it is less than Desktop.
InputReach inputReach();

// Replaces the process's backend (tests); returns the previous one. Not thread-safe:
// call it while no job runs.
std::unique_ptr<Backend> installBackend(std::unique_ptr<Backend> replacement);

// Sends through backend() and keeps account of the keys and buttons pressed and
// not yet released (every job sends its input through here).
unsigned sendInput(const Input* inputs, unsigned count);

// Releases every key and button that sendInput() pressed and that no later record
// released, in one batch; returns how many releases were sent. A stopped job calls
// it once its thread has ended and returns once the system has handled them and
// everything sent before. Keys the user holds are not touched.
unsigned releaseHeldInput();

// Where a desktop's permission to send input is kept between runs (the desktop
// portal's restore token, in the settings file): the program sets it before the
// first use of backend(); without it the desktop asks at every start.
struct RemoteDesktopPermission
{
    std::function<std::string()> load;
    std::function<void(const std::string&)> save;
};
void setRemoteDesktopPermission(RemoteDesktopPermission permission);
// For the backends: the store set above (empty functions when none is).
const RemoteDesktopPermission& remoteDesktopPermission();

// Convenience wrapper over backend().
inline ScreenSize primaryScreenSize()
{
    return backend().primaryScreenSize();
}

} // namespace platform
