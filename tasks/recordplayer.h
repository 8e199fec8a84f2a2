#pragma once
// Sends the events of a recording at their recorded offsets from the start of the
// replay. Each wait is measured from the replay's start, not from the previous
// send, so the cost of sending and the fractions of a millisecond lost by every
// wait never add up over a long recording. What the replay pressed and has not
// released when it ends (stopped, or a recording that ends with a key held) is
// released.
//
// A speed other than 1 divides every offset by it (2: twice as fast); at 1 the
// offsets are the recorded ones exactly.

#include "event.h"

#include "platform/backend.h"

#include <cstdint>
#include <set>
#include <vector>

class RecordPlayer
{
public:
    explicit RecordPlayer(platform::ScreenSize screen, double speed = 1.0);
    ~RecordPlayer();
    RecordPlayer(const RecordPlayer&) = delete;
    RecordPlayer& operator=(const RecordPlayer&) = delete;

    // Events in replay order (ascending time). Returns when all were sent or when
    // the run flag was cleared; after a stop nothing more is sent but the releases.
    void play(const std::vector<const Event*>& events);

private:
    // Waits until `offsetNs` after the start; false when the run flag was cleared.
    bool waitForOffset(int64_t offsetNs) const;
    // A recorded offset at the replay's speed.
    int64_t atSpeed(int64_t recordedNs) const;
    void send(const Event& event);
    void sendMouse(const MouseEvent& event);
    void sendKey(const KeyboardEvent& event);
    void sendButton(uint32_t flags);
    platform::Input absoluteMove(const MouseEvent& event) const;
    void releaseHeld();

    platform::ScreenSize m_screen;
    double m_speed;
    int64_t m_startNs = 0;
    std::set<uint16_t> m_heldKeys;
    uint32_t m_heldButtons = 0; // MouseFlag down bits of the buttons held
};
