#pragma once
// Injection through a remote-desktop session (GNOME's mutter directly, or the
// desktop portal): pointer records become motions on the session's screen streams,
// buttons and wheel steps; keyboard records become key symbols, which the desktop
// types with the keys of the user's own layout. A character that layout has no key
// for cannot be typed this way (mutter drops it).

#include "../unicodekeys.h"
#include "../wheelnotches.h"
#include "remotedesktopsession.h"
#include "streamlayout.h"
#include "waylandinjector.h"

#include <map>
#include <memory>
#include <set>

namespace platform::wayland {

class RemoteDesktopInjector : public WaylandInjector
{
public:
    // Takes a started session and wakes its keyboard; null when the session has no
    // screen stream to place the pointer on.
    static std::unique_ptr<RemoteDesktopInjector>
    create(std::unique_ptr<RemoteDesktopSession> session);
    // Releases every key and button it still holds, then ends the session.
    ~RemoteDesktopInjector() override;

    const char* description() const override;
    unsigned sendInput(const Input* inputs, unsigned count) override;
    void waitForDelivery() override;
    ScreenSize layoutSize() override;
    uint32_t heldModifiers() override;

private:
    RemoteDesktopInjector(std::unique_ptr<RemoteDesktopSession> session, StreamLayout layout);
    void sendMouse(const MouseInput& record);
    void moveTo(int32_t absoluteX, int32_t absoluteY);
    void button(int code, bool down);
    void scroll(RemoteDesktopSession::Axis axis, int64_t steps);
    void sendVirtualKey(const KeyboardInput& record);
    void sendUnicode(const KeyboardInput& record);
    void pressKeysym(uint32_t keysym);
    void releaseKeysym(uint32_t keysym);
    void releaseAll();

    std::unique_ptr<RemoteDesktopSession> m_session;
    StreamLayout m_layout;
    std::set<int> m_buttonsDown;
    WheelNotches m_wheel;
    WheelNotches m_hWheel;
    std::map<uint16_t, uint32_t> m_virtualKeysDown; // virtual key -> keysym
    std::map<uint16_t, uint32_t> m_unicodeDown;     // UTF-16 code unit -> keysym
    std::multiset<uint32_t> m_keysymsDown;          // a keysym two records hold is pressed once
    UnicodeTypingState m_unicodeTyping;
    bool m_ended = false;
};

} // namespace platform::wayland
