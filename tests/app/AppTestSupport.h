#pragma once

#include "LogCapture.h"
#include "transport/HsLog.h"

#include <QTest>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

// Generous, because the machine running the tests may be slow and busy.
inline constexpr int kWaitMilliseconds = 30000;

// Runs the event loop until `done` holds or the time is up; true when it holds.
inline bool waitUntil(const std::function<bool()> &done, int milliseconds = kWaitMilliseconds)
{
    return QTest::qWaitFor(done, milliseconds);
}

