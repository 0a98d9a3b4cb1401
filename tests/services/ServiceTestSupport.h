#pragma once

#include "TestSoapServer.h"
#include "transport/HsLog.h"
#include "transport/HsServiceConfig.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <mutex>
#include <string>
#include <vector>

// Points the services at a fresh loopback server and keeps every diagnostic line of the test.
class ServiceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        HsServiceConfig::setEndpoint(server.endpoint());
        HsServiceConfig::setTimeoutSeconds(30);
        hsSetLogSink([this](const std::string &line) {
            std::lock_guard lock(m_logMutex);
            m_log.push_back(line);
        });
    }

    void TearDown() override { hsSetLogSink({}); }

    std::vector<std::string> logLines() const
    {
        std::lock_guard lock(m_logMutex);
        return m_log;
    }

    bool logged(const std::string &line) const
    {
        const std::vector<std::string> lines = logLines();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }

    TestSoapServer server;

private:
    mutable std::mutex m_logMutex;
    std::vector<std::string> m_log;
};
