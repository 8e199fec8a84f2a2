#pragma once
// Waits, with the event loop running, until a condition holds. Unlike QTRY_VERIFY
// it returns the outcome, so a helper can hand it to its caller's QVERIFY.

#include <functional>

bool waitUntil(const std::function<bool()>& condition, int timeoutMs);
