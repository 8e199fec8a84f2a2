#pragma once
// Sleeping to a deadline on the steady clock, never returning before it.
//
// until() sleeps to the deadline and wakes whenever the scheduler lets it (on a
// loaded machine that can be milliseconds late). exactlyUntil() wakes shortly before
// the deadline and yields the processor for the rest, staying ready to run, so that
// a wake-up the scheduler delays a little still ends on time; it costs up to
// EarlyWake of processor time per wait and is meant for the end of a timed wait, not
// for polls.

#include <chrono>

namespace steadysleep {

using Clock = std::chrono::steady_clock;

constexpr std::chrono::microseconds EarlyWake{300};

void until(Clock::time_point deadline);
void exactlyUntil(Clock::time_point deadline);

} // namespace steadysleep
