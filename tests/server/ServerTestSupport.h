#pragma once

#include "SchoolServer.h"
#include "ServerProcess.h"
#include "SoapEnvelopes.h"
#include "transport/HsServiceConfig.h"

#include <csignal>
#include <fstream>
#include <gtest/gtest.h>
#include <httplib.h>
#include <iterator>
#include <memory>
#include <openssl/evp.h>
#include <string>
#include <vector>

// Skips the test when its store cannot be reached: a developer running the PostgreSQL cases
// without a cluster. The test command always gives them one.
#define SKIP_WITHOUT_STORE()                                                                                 \
    if (const auto unavailable = TestDatabase::unavailable())                                                \
    GTEST_SKIP() << *unavailable

// Skips a test of what only a sqlite file has (its modes on disk, its log file).
#define SKIP_UNLESS_SQLITE()                                                                                 \
    if (TestDatabase::onPostgres())                                                                          \
    GTEST_SKIP() << "a test of the sqlite file; the PostgreSQL store keeps no file of its own"

// One demo-school server shared by the tests of a suite; every test points the client at it.
class ServerFixture : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        // A refused request's socket may close before the client has written all of it; a client
        // hears of that as an error, not as a signal that ends it.
        std::signal(SIGPIPE, SIG_IGN);
        if (!TestDatabase::unavailable())
            server_ = std::make_unique<ServerProcess>();
    }
    static void TearDownTestSuite() { server_.reset(); }
    void SetUp() override
    {
        SKIP_WITHOUT_STORE();
        HsServiceConfig::setEndpoint(server_->endpoint());
    }

    static ServerProcess &server() { return *server_; }

    // A plain HTTP client of the server, for what the service classes cannot send.
    static httplib::Client http() { return httplib::Client(server_->baseUrl()); }

private:
    static inline std::unique_ptr<ServerProcess> server_;
};

// Demo accounts and values of the demo school.
inline constexpr const char *kTeacher = "wangfang";
inline constexpr const char *kTeacherPassword = "teacher123";
inline constexpr const char *kParent = "jz1001";
inline constexpr const char *kParentPassword = "parent123";
inline constexpr const char *kSchoolCode = "330106001";

inline std::string base64Of(const std::string &bytes)
{
    std::string text(4 * ((bytes.size() + 2) / 3) + 1, '\0');
    text.resize(static_cast<size_t>(EVP_EncodeBlock(reinterpret_cast<unsigned char *>(text.data()),
                                                    reinterpret_cast<const unsigned char *>(bytes.data()),
                                                    static_cast<int>(bytes.size()))));
    return text;
}

inline std::string readFile(const std::string &path)
{
    return std::string(std::istreambuf_iterator<char>(std::ifstream(path).rdbuf()), {});
}
