#pragma once

#include "common/HsLog.h"

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

// Collects the diagnostic lines written while it lives, instead of printing them.
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
    LogCapture(const LogCapture &) = delete;
    LogCapture &operator=(const LogCapture &) = delete;

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
