#pragma once
// Keeps account of the keys and mouse buttons that synthesised input has pressed
// and not yet released, so that a stopped job can let go of them. A job stopped
// between a press and its release (a held key, a flow that presses a key for a
// later step, a replay stopped in the middle of a drag) would otherwise leave the
// user's desktop with a key or button down.
// Standard C++ only: this header is also compiled by the Windows cross compiler,
// whose thread model has no std::mutex, hence the spin lock.
#include "platform/input.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <vector>

namespace platform {

class HeldInput
{
public:
    // Notes the presses and releases among `inputs` (sent or about to be sent).
    void note(const Input* inputs, unsigned count)
    {
        Lock lock(m_busy);
        for (unsigned i = 0; i < count; ++i) {
            if (inputs[i].type == Input::Type::Keyboard)
                noteKey(inputs[i].keyboard);
            else
                noteButtons(inputs[i].mouse.flags);
        }
    }

    // The records that release everything held, keys in the reverse order of their
    // presses (so modifiers come up last), then the buttons; forgets them all.
    std::vector<Input> takeReleases()
    {
        Lock lock(m_busy);
        std::vector<Input> releases;
        for (auto key = m_keys.rbegin(); key != m_keys.rend(); ++key)
            releases.push_back(Input::keyInput(key->vk, key->flags | KeyFlag::KeyUp, key->scan));
        for (const Button& button : kButtons) {
            if (m_buttons & button.down)
                releases.push_back(Input::mouseInput(button.up));
        }
        m_keys.clear();
        m_buttons = 0;
        return releases;
    }

    bool empty() const
    {
        Lock lock(m_busy);
        return m_keys.empty() && m_buttons == 0;
    }

private:
    struct Button
    {
        uint32_t down;
        uint32_t up;
    };
    // clang-format off
    static constexpr Button kButtons[] = {
        {MouseFlag::LeftDown,   MouseFlag::LeftUp},
        {MouseFlag::RightDown,  MouseFlag::RightUp},
        {MouseFlag::MiddleDown, MouseFlag::MiddleUp},
    };
    // clang-format on

    // A key is its virtual key, or its UTF-16 unit for a Unicode record.
    struct Key
    {
        uint16_t vk;
        uint16_t scan;
        uint32_t flags; // KeyFlag::Unicode or 0
        bool operator==(const Key& other) const
        {
            return flags == other.flags && (flags ? scan == other.scan : vk == other.vk);
        }
    };

    class Lock
    {
    public:
        explicit Lock(std::atomic_flag& flag) : m_flag(flag)
        {
            while (m_flag.test_and_set(std::memory_order_acquire)) {
            }
        }
        ~Lock() { m_flag.clear(std::memory_order_release); }
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;

    private:
        std::atomic_flag& m_flag;
    };

    void noteKey(const KeyboardInput& input)
    {
        const Key key{input.vk, input.scan, input.flags & KeyFlag::Unicode};
        const auto found = std::find(m_keys.begin(), m_keys.end(), key);
        if (input.flags & KeyFlag::KeyUp) {
            if (found != m_keys.end())
                m_keys.erase(found);
        } else if (found == m_keys.end()) {
            m_keys.push_back(key); // a second press of a held key is a repeat
        }
    }

    void noteButtons(uint32_t flags)
    {
        // Down before up: a record with both flags is a complete click.
        for (const Button& button : kButtons) {
            if (flags & button.down)
                m_buttons |= button.down;
            if (flags & button.up)
                m_buttons &= ~button.down;
        }
    }

    mutable std::atomic_flag m_busy = ATOMIC_FLAG_INIT;
    std::vector<Key> m_keys;
    uint32_t m_buttons = 0;
};

} // namespace platform
