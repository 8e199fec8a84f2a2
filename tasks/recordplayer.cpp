#include "recordplayer.h"

#include "interruptiblewait.h"
#include "logcategory.h"

#include "appconfig.h"
#include "platform/virtualkeys.h"
#include "waitclock.h"

#include <algorithm>
#include <chrono>
#include <limits>

namespace {

using platform::MouseFlag::LeftDown;
using platform::MouseFlag::LeftUp;
using platform::MouseFlag::MiddleDown;
using platform::MouseFlag::MiddleUp;
using platform::MouseFlag::RightDown;
using platform::MouseFlag::RightUp;

constexpr int64_t NsPerMs = 1000000;

struct ButtonKind
{
    int32_t down;
    int32_t up;
    uint32_t downFlag;
    uint32_t upFlag;
};

// clang-format off
constexpr ButtonKind Buttons[] = {
    {EventType::LeftDown,   EventType::LeftUp,   LeftDown,   LeftUp},
    {EventType::RightDown,  EventType::RightUp,  RightDown,  RightUp},
    {EventType::MiddleDown, EventType::MiddleUp, MiddleDown, MiddleUp},
};
// clang-format on

int64_t toNs(WaitClock::TimePoint at)
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(at.time_since_epoch()).count();
}

// a - b without overflow: recorded times come from files and may be anything.
int64_t saturatingDiff(int64_t a, int64_t b)
{
    constexpr int64_t Max = std::numeric_limits<int64_t>::max();
    constexpr int64_t Min = std::numeric_limits<int64_t>::min();
    if (b < 0 && a > Max + b)
        return Max;
    if (b > 0 && a < Min + b)
        return Min;
    return a - b;
}

int32_t scaled(int32_t px, int extent)
{
    return static_cast<int32_t>(int64_t(px) * platform::AbsoluteRange / extent);
}

} // namespace

RecordPlayer::RecordPlayer(platform::ScreenSize screen, double speed)
    : m_screen(screen), m_speed(speed)
{
}

RecordPlayer::~RecordPlayer() = default;

void RecordPlayer::play(const std::vector<const Event*>& events)
{
    if (events.empty())
        return;
    if (m_screen.width <= 0 || m_screen.height <= 0)
        qCWarning(logCategory())
            << "Replay: screen size unknown, pointer positions are not replayed";
    const int64_t firstNs = events.front()->time;
    m_startNs = toNs(waitClock().now());
    for (const Event* event : events) {
        if (!waitForOffset(atSpeed(saturatingDiff(event->time, firstNs))))
            break;
        send(*event);
    }
    releaseHeld();
}

int64_t RecordPlayer::atSpeed(int64_t recordedNs) const
{
    if (m_speed == 1.0 || m_speed <= 0.0)
        return recordedNs; // exactly as recorded, without a round trip through double
    const double scaled = double(recordedNs) / m_speed;
    // Saturated: a slow speed must not overflow a huge recorded gap.
    if (scaled >= double(std::numeric_limits<int64_t>::max()))
        return std::numeric_limits<int64_t>::max();
    if (scaled <= double(std::numeric_limits<int64_t>::min()))
        return std::numeric_limits<int64_t>::min();
    return int64_t(scaled);
}

bool RecordPlayer::waitForOffset(int64_t offsetNs) const
{
    // One step waits at most this long, so that its deadline fits the clock's range
    // whatever the recorded offset.
    constexpr int64_t MaxStepNs = int64_t(3600) * 1000 * NsPerMs;
    WaitClock& clock = waitClock();
    for (;;) {
        if (!AppConfig::runFlag.load())
            return false;
        const WaitClock::TimePoint now = clock.now();
        const int64_t remainingNs = saturatingDiff(offsetNs, saturatingDiff(toNs(now), m_startNs));
        if (remainingNs <= 0)
            return true;
        interruptibleWaitUntil(now + std::chrono::nanoseconds(std::min(remainingNs, MaxStepNs)));
    }
}

void RecordPlayer::send(const Event& event)
{
    if (event.type == EventType::KeyDown || event.type == EventType::KeyUp) {
        if (const auto* key = dynamic_cast<const KeyboardEvent*>(&event))
            sendKey(*key);
        return;
    }
    if (event.type >= EventType::MouseMove && event.type <= EventType::Wheel) {
        if (const auto* mouse = dynamic_cast<const MouseEvent*>(&event))
            sendMouse(*mouse);
    }
    // Other kinds only take part in the timing.
}

platform::Input RecordPlayer::absoluteMove(const MouseEvent& event) const
{
    return platform::Input::mouseInput(platform::MouseFlag::Move | platform::MouseFlag::Absolute,
                                       scaled(event.x, m_screen.width),
                                       scaled(event.y, m_screen.height));
}

void RecordPlayer::sendMouse(const MouseEvent& event)
{
    const bool screenKnown = m_screen.width > 0 && m_screen.height > 0;
    if (event.type == EventType::MouseMove) {
        if (screenKnown) {
            const platform::Input move = absoluteMove(event);
            platform::sendInput(&move, 1);
        }
        return;
    }
    if (event.type == EventType::Wheel) {
        const platform::Input wheel =
            platform::Input::mouseInput(platform::MouseFlag::Wheel, 0, 0, event.wheelDelta);
        platform::sendInput(&wheel, 1);
        return;
    }
    for (const ButtonKind& button : Buttons) {
        if (event.type == button.down) {
            // A press goes to its own recorded point, also when moves were not recorded.
            const platform::Input inputs[] = {absoluteMove(event),
                                              platform::Input::mouseInput(button.downFlag)};
            if (screenKnown)
                platform::sendInput(inputs, 2);
            else
                platform::sendInput(&inputs[1], 1);
            m_heldButtons |= button.downFlag;
            return;
        }
        if (event.type == button.up) {
            sendButton(button.upFlag);
            m_heldButtons &= ~button.downFlag;
            return;
        }
    }
}

void RecordPlayer::sendButton(uint32_t flags)
{
    const platform::Input input = platform::Input::mouseInput(flags);
    platform::sendInput(&input, 1);
}

void RecordPlayer::sendKey(const KeyboardEvent& event)
{
    const auto vk = static_cast<uint16_t>(event.vkCode);
    const bool up = event.type == EventType::KeyUp;
    if (vk == platform::Vk::Packet) {
        // Text another program typed as characters: the packet key itself types
        // nothing, the character is in the scan code. The process-wide account of
        // held input releases it should the replay stop between its down and up.
        const uint32_t flags = platform::KeyFlag::Unicode | (up ? platform::KeyFlag::KeyUp : 0);
        const platform::Input input =
            platform::Input::keyInput(0, flags, static_cast<uint16_t>(event.scanCode));
        platform::sendInput(&input, 1);
        return;
    }
    const platform::Input input = platform::Input::keyInput(vk, up ? platform::KeyFlag::KeyUp : 0);
    platform::sendInput(&input, 1);
    if (up)
        m_heldKeys.erase(vk);
    else
        m_heldKeys.insert(vk);
}

void RecordPlayer::releaseHeld()
{
    // Nothing the replay pressed may stay down once it has ended.
    for (uint16_t vk : m_heldKeys) {
        const platform::Input input = platform::Input::keyInput(vk, platform::KeyFlag::KeyUp);
        platform::sendInput(&input, 1);
    }
    m_heldKeys.clear();
    for (const ButtonKind& button : Buttons) {
        if (m_heldButtons & button.downFlag)
            sendButton(button.upFlag);
    }
    m_heldButtons = 0;
}
