#include "waituntil.h"

#include <QDeadlineTimer>
#include <QTest>

namespace {
constexpr int PollIntervalMs = 20;
}

bool waitUntil(const std::function<bool()>& condition, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(PollIntervalMs);
    }
    return true;
}
