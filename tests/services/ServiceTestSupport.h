#pragma once

#include "LogCapture.h"
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
    }

    std::vector<std::string> logLines() const { return m_log.lines(); }
    bool logged(const std::string &line) const { return m_log.contains(line); }

    TestSoapServer server;

private:
    LogCapture m_log;
};
