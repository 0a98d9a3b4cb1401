#pragma once

#include "LogCapture.h"
#include "TestSoapServer.h"
#include "common/HsLog.h"
#include "transport/HsServiceConfig.h"

#include <gtest/gtest.h>
#include <string>

// Points the services at a fresh loopback server and keeps every diagnostic line of the test.
class ServiceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        HsServiceConfig::setEndpoint(server.url());
        HsServiceConfig::setTimeoutSeconds(30);
    }

    bool logged(const std::string &line) const { return m_log.contains(line); }

    TestSoapServer server;

private:
    LogCapture m_log;
};
