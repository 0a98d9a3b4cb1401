#pragma once

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

// Collects the diagnostic lines written while it lives.
class LogCapture
{
public:
    LogCapture()
    {
        hsSetLogSink([this](const std::string &line) {
            std::lock_guard lock(m_mutex);
            m_lines.push_back(line);
        });
    }
    ~LogCapture() { hsSetLogSink({}); }

    std::vector<std::string> lines() const
    {
        std::lock_guard lock(m_mutex);
        return m_lines;
    }

    bool contains(const std::string &line) const
    {
        const std::vector<std::string> all = lines();
        return std::find(all.begin(), all.end(), line) != all.end();
    }

private:
    mutable std::mutex m_mutex;
    std::vector<std::string> m_lines;
};
