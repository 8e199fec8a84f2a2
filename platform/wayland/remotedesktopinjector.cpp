#include "remotedesktopinjector.h"

#include "../absolutecoordinates.h"
#include "../platformlog.h"
#include "../unicodekeys.h"
#include "waylandkeys.h"

#include <linux/input-event-codes.h>
#include <xkbcommon/xkbcommon-keysyms.h>

#include <chrono>
#include <thread>

namespace platform::wayland {
namespace {

// The desktop adds the session's devices to the seat while it handles their first
// events; events sent before that has settled are lost.
constexpr std::chrono::milliseconds kNewDeviceSettle{300};

struct ModifierKeysym
{
    uint32_t keysym;
    uint32_t modifier; // platform::ModifierKey bit
};

// clang-format off
constexpr ModifierKeysym kModifierKeysyms[] = {
    {XKB_KEY_Shift_L, ModifierKey::Shift},   {XKB_KEY_Shift_R, ModifierKey::Shift},
    {XKB_KEY_Control_L, ModifierKey::Control}, {XKB_KEY_Control_R, ModifierKey::Control},
    {XKB_KEY_Alt_L, ModifierKey::Alt},       {XKB_KEY_Alt_R, ModifierKey::Alt},
    {XKB_KEY_Super_L, ModifierKey::Meta},    {XKB_KEY_Super_R, ModifierKey::Meta},
};

struct ButtonFlag { uint32_t flag; int code; bool down; };
constexpr ButtonFlag kButtons[] = {
    {MouseFlag::LeftDown, BTN_LEFT, true},     {MouseFlag::LeftUp, BTN_LEFT, false},
    {MouseFlag::RightDown, BTN_RIGHT, true},   {MouseFlag::RightUp, BTN_RIGHT, false},
    {MouseFlag::MiddleDown, BTN_MIDDLE, true}, {MouseFlag::MiddleUp, BTN_MIDDLE, false},
};
// clang-format on

// The desktop reaches a symbol's level with Shift alone, but a keypad digit's level
// needs Num Lock: Shift on that key types Home instead of 7. The digit's own key
// types the same character.
uint32_t reachableKeysym(uint32_t keysym)
{
    if (keysym >= XKB_KEY_KP_0 && keysym <= XKB_KEY_KP_9)
        return XKB_KEY_0 + (keysym - XKB_KEY_KP_0);
    if (keysym == XKB_KEY_KP_Decimal)
        return XKB_KEY_period;
    return keysym;
}

} // namespace

std::unique_ptr<RemoteDesktopInjector>
RemoteDesktopInjector::create(std::unique_ptr<RemoteDesktopSession> session)
{
    StreamLayout layout(session->streams());
    if (layout.isEmpty()) {
        qCWarning(platformLog(), "The remote-desktop session shows no screen: cannot place the "
                                 "pointer");
        return nullptr;
    }
    // A Shift tap and a motion by nothing bring the keyboard and the pointer to the
    // seat; no program acts on either.
    session->keysym(XKB_KEY_Shift_L, true);
    session->keysym(XKB_KEY_Shift_L, false);
    session->moveBy(0, 0);
    if (!session->flush())
        return nullptr;
    std::this_thread::sleep_for(kNewDeviceSettle);
    return std::unique_ptr<RemoteDesktopInjector>(
        new RemoteDesktopInjector(std::move(session), std::move(layout)));
}

RemoteDesktopInjector::RemoteDesktopInjector(std::unique_ptr<RemoteDesktopSession> session,
                                             StreamLayout layout)
    : m_session(std::move(session)), m_layout(std::move(layout))
{
}

RemoteDesktopInjector::~RemoteDesktopInjector()
{
    if (!m_ended) {
        releaseAll();
        m_session->flush();
    }
}

const char* RemoteDesktopInjector::description() const
{
    return m_session->description();
}

unsigned RemoteDesktopInjector::sendInput(const Input* inputs, unsigned count)
{
    if (!inputs || count == 0 || m_ended)
        return 0;
    for (unsigned i = 0; i < count; ++i) {
        if (inputs[i].type == Input::Type::Mouse)
            sendMouse(inputs[i].mouse);
        else if (inputs[i].keyboard.flags & KeyFlag::Unicode)
            sendUnicode(inputs[i].keyboard);
        else
            sendVirtualKey(inputs[i].keyboard);
    }
    // The calls only queued: a session the user ended shows when they are handed over.
    if (!m_session->flush()) {
        qCWarning(platformLog(), "The remote-desktop session has ended: no input can be injected");
        m_ended = true;
        return 0;
    }
    return count;
}

void RemoteDesktopInjector::sendMouse(const MouseInput& record)
{
    if (record.flags & MouseFlag::Move) {
        if (record.flags & MouseFlag::Absolute)
            moveTo(record.dx, record.dy);
        else
            m_session->moveBy(record.dx, record.dy);
    }
    for (const ButtonFlag& entry : kButtons) {
        if (record.flags & entry.flag)
            button(entry.code, entry.down);
    }
    // Windows turns the wheel away from the user with positive deltas; the desktop
    // scrolls down with positive steps. Right is positive on both.
    if (record.flags & MouseFlag::Wheel)
        scroll(RemoteDesktopSession::Axis::Vertical, -m_wheel.take(record.mouseData));
    if (record.flags & MouseFlag::HWheel)
        scroll(RemoteDesktopSession::Axis::Horizontal, m_hWheel.take(record.mouseData));
}

void RemoteDesktopInjector::moveTo(int32_t absoluteX, int32_t absoluteY)
{
    const ScreenSize size = m_layout.size();
    const StreamPoint point = m_layout.locate(absoluteToPixel(absoluteX, size.width),
                                              absoluteToPixel(absoluteY, size.height));
    m_session->moveTo(point.stream, point.x, point.y);
}

void RemoteDesktopInjector::button(int code, bool down)
{
    // The desktop refuses a release of a button that is up, and a second press.
    if (down == (m_buttonsDown.count(code) > 0))
        return;
    m_session->button(code, down);
    if (down)
        m_buttonsDown.insert(code);
    else
        m_buttonsDown.erase(code);
}

void RemoteDesktopInjector::scroll(RemoteDesktopSession::Axis axis, int64_t steps)
{
    if (steps != 0)
        m_session->scroll(axis, int(steps));
}

void RemoteDesktopInjector::sendVirtualKey(const KeyboardInput& record)
{
    const auto held = m_virtualKeysDown.find(record.vk);
    if (held != m_virtualKeysDown.end()) {
        // A key-up, or a repeat: the desktop takes no second press of a held key,
        // so a repeat comes up and goes down again.
        releaseKeysym(held->second);
        m_virtualKeysDown.erase(held);
    }
    if (record.flags & KeyFlag::KeyUp)
        return;
    const KeyDefinition* definition = keyForVk(record.vk);
    if (!definition)
        return; // a code without a key (such as 0) types nothing, as on Windows
    const uint32_t keysym = reachableKeysym(definition->keysym);
    pressKeysym(keysym);
    m_virtualKeysDown[record.vk] = keysym;
}

void RemoteDesktopInjector::sendUnicode(const KeyboardInput& record)
{
    const uint16_t unit = record.scan;
    const auto held = m_unicodeDown.find(unit);
    if (held != m_unicodeDown.end()) {
        releaseKeysym(held->second);
        m_unicodeDown.erase(held);
    }
    if (record.flags & KeyFlag::KeyUp)
        return;
    const char32_t codepoint = joinCodeUnit(unit, m_unicodeTyping);
    const uint32_t keysym = codepoint ? uint32_t(unicodeToKeysym(codepoint)) : 0;
    if (!keysym)
        return; // half a pair so far, or a character nothing can type
    pressKeysym(keysym);
    m_unicodeDown[unit] = keysym;
}

void RemoteDesktopInjector::pressKeysym(uint32_t keysym)
{
    if (m_keysymsDown.count(keysym) == 0)
        m_session->keysym(keysym, true);
    m_keysymsDown.insert(keysym);
}

void RemoteDesktopInjector::releaseKeysym(uint32_t keysym)
{
    const auto it = m_keysymsDown.find(keysym);
    if (it == m_keysymsDown.end())
        return;
    m_keysymsDown.erase(it);
    if (m_keysymsDown.count(keysym) == 0)
        m_session->keysym(keysym, false);
}

void RemoteDesktopInjector::releaseAll()
{
    for (uint32_t keysym : std::set<uint32_t>(m_keysymsDown.begin(), m_keysymsDown.end()))
        m_session->keysym(keysym, false);
    m_keysymsDown.clear();
    m_virtualKeysDown.clear();
    m_unicodeDown.clear();
    m_unicodeTyping = {};
    for (int code : m_buttonsDown)
        m_session->button(code, false);
    m_buttonsDown.clear();
}

void RemoteDesktopInjector::waitForDelivery()
{
    if (!m_ended)
        m_session->flush();
}

ScreenSize RemoteDesktopInjector::layoutSize()
{
    return m_layout.size();
}

uint32_t RemoteDesktopInjector::heldModifiers()
{
    uint32_t held = 0;
    for (const ModifierKeysym& modifier : kModifierKeysyms) {
        if (m_keysymsDown.count(modifier.keysym))
            held |= modifier.modifier;
    }
    return held;
}

} // namespace platform::wayland
