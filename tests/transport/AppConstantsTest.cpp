#include "transport/HsAppConstants.h"
#include "transport/HsServiceConfig.h"

#include <atomic>
#include <cstdlib>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>

namespace {

constexpr uint32_t kReachable = HsAppConstants::kReachable;
constexpr uint32_t kConnectionRequired = HsAppConstants::kConnectionRequired;
constexpr uint32_t kIsWWAN = HsAppConstants::kIsWWAN;

// Wi-Fi and cellular data count; a route that first needs a connection set up does not, nor does
// anything without the reachable bit (airplane mode), whatever else is set.
TEST(NetworkFlags, DecisionFollowsTheThreeBits)
{
    const std::pair<uint32_t, bool> cases[] = {{kReachable, true},
                                               {kReachable | kConnectionRequired | kIsWWAN, true},
                                               {kReachable | kConnectionRequired, false},
                                               {kConnectionRequired | kIsWWAN, false},
                                               {~kReachable, false}};
    for (const auto &[flags, available] : cases)
        EXPECT_EQ(HsAppConstants::networkAvailableFromFlags(flags), available) << flags;
}

// A name server that answers only when the test lets it: the check must not wait for it.
TEST(NetworkFlagsDeathTest, AHostNameIsNeverWaitedForAndItsAnswerCountsOnceKnown)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            std::atomic<bool> answer = false;
            std::atomic<int> lookups = 0;
            std::mutex askedMutex;
            std::string asked;
            HsAppConstants::setNameRouteLookup([&](const std::string &host, const std::string &port) {
                ++lookups;
                {
                    std::lock_guard lock(askedMutex);
                    asked = host + ":" + port;
                }
                while (!answer)
                    std::this_thread::yield();
                return false;
            });
            HsServiceConfig::setEndpoint("http://school.example:8080/school/services/schoolSvc");
            // Nothing is known yet: a route is assumed while the name server is silent.
            const bool first = HsAppConstants::checkNetwork(false);
            const bool second = HsAppConstants::checkNetwork(false);
            answer = true;
            while (HsAppConstants::checkNetwork(false))
                std::this_thread::yield();
            std::lock_guard lock(askedMutex);
            std::exit(first && second && lookups >= 1 && asked == "school.example:8080" ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

// Checked in a child process, as the configuration is process-wide: the environment and then the
// caller override the default endpoint; the time-out is 60 s unless set to a positive number.
TEST(ServiceConfigDeathTest, OverridesOfTheDefaultsAndTheReachabilityOfTheEndpoint)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            ::unsetenv("HSSCHOOL_ENDPOINT");
            bool ok = HsServiceConfig::endpoint() == HSSCHOOL_TEST_DEFAULT_ENDPOINT;
            ::setenv("HSSCHOOL_ENDPOINT", "http://10.1.2.3:81/school/services/schoolSvc", 1);
            ok = ok && HsServiceConfig::endpoint() == "http://10.1.2.3:81/school/services/schoolSvc";
            HsServiceConfig::setEndpoint("http://127.0.0.1:9/school/services/schoolSvc");
            ok = ok && HsServiceConfig::endpoint() == "http://127.0.0.1:9/school/services/schoolSvc";
            ok = ok && HsServiceConfig::timeoutSeconds() == 60;
            HsServiceConfig::setTimeoutSeconds(3);
            HsServiceConfig::setTimeoutSeconds(0);
            ok = ok && HsServiceConfig::timeoutSeconds() == 3;
            uint32_t flags = 0;
            ok = ok && HsAppConstants::isNetworkAvailableFlags(&flags) && flags == kReachable &&
                 HsAppConstants::checkNetwork(false);
            HsServiceConfig::setEndpoint("not a url at all");
            flags = 0xdead;
            ok = ok && !HsAppConstants::isNetworkAvailableFlags(&flags) && flags == 0xdead &&
                 !HsAppConstants::checkNetwork(false);
            std::exit(ok ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

} // namespace
