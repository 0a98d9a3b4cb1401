#include "transport/HsServiceConfig.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace {

// The configuration is process-wide, so the order of overrides is checked in a child process.
TEST(ServiceConfigDeathTest, EnvironmentThenCallerOverrideTheDefaultEndpoint)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            ::unsetenv("HSSCHOOL_ENDPOINT");
            const bool defaultUsed = HsServiceConfig::endpoint() == HSSCHOOL_TEST_DEFAULT_ENDPOINT;
            ::setenv("HSSCHOOL_ENDPOINT", "http://10.1.2.3:81/school/services/schoolSvc", 1);
            const bool environmentUsed =
                HsServiceConfig::endpoint() == "http://10.1.2.3:81/school/services/schoolSvc";
            HsServiceConfig::setEndpoint("http://127.0.0.1:9000/school/services/schoolSvc");
            const bool explicitUsed =
                HsServiceConfig::endpoint() == "http://127.0.0.1:9000/school/services/schoolSvc";
            std::exit(defaultUsed && environmentUsed && explicitUsed ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(ServiceConfigDeathTest, TimeoutDefaultsToSixtySecondsAndIgnoresNonPositiveValues)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            const bool sixty = HsServiceConfig::timeoutSeconds() == 60;
            HsServiceConfig::setTimeoutSeconds(3);
            const bool three = HsServiceConfig::timeoutSeconds() == 3;
            HsServiceConfig::setTimeoutSeconds(0);
            const bool stillThree = HsServiceConfig::timeoutSeconds() == 3;
            std::exit(sixty && three && stillThree ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

} // namespace
