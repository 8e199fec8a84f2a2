#pragma once
// The second start's end of the control socket: hands one request to the running
// instance and waits for its answer (see controlprotocol.h).

#include "controlprotocol.h"

#include <functional>

namespace ControlClient {

// While an instance holds the single-instance lock but does not listen yet (it is
// still loading its pages), connecting is tried again for this long.
constexpr int StartWaitMs = 15000;
// Longest wait for an answer; a stop joins the job's thread first.
constexpr int AnswerWaitMs = 10000;
// After "quit": how long the end of the instance is awaited.
constexpr int QuitWaitMs = 15000;

enum class Outcome
{
    Answered,
    NoInstance, // nothing listens and no instance holds the lock
    NoAnswer,   // an instance runs but did not answer in time, or answered garbage
};

struct Result
{
    Outcome outcome = Outcome::NoAnswer;
    ControlProtocol::Answer answer;
};

// Sends `request` to the server `serverName`. `instanceRunning` tells whether an
// instance holds the lock, when no server accepts the connection.
Result send(const QString& serverName, const ControlProtocol::Request& request,
            const std::function<bool()>& instanceRunning);

} // namespace ControlClient
