// Password checks that tell nothing about which accounts exist, and repeated guesses slowed down
// per account and per caller address.
#include "Schema.h"
#include "ServerTestSupport.h"
#include "SignInThrottle.h"
#include "services/LoginService.h"
#include "services/StudentInfoService.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;
using Clock = SignInThrottle::Clock;

const SignInLimits kServiceLimits;

// A folder of the test's own, removed with everything in it when the object goes.
struct TemporaryFolder
{
    explicit TemporaryFolder(const std::string &name)
        : path(::testing::TempDir() + name + "-" + std::to_string(::getpid()))
    {
        std::filesystem::create_directories(path);
    }
    ~TemporaryFolder() { std::filesystem::remove_all(path); }
    const std::string path;
};

// A throttle on a clock the test moves by hand, counting in a database of its own.
class ThrottleOnAClock
{
public:
    ThrottleOnAClock()
        : database_(folder_.path), db_(openConnection(database_.location())),
          throttle_(limits, [this] { return now_; })
    {
        WriteTransaction tx(*db_);
        createSchema(*db_);
        tx.commit();
    }

    std::optional<Clock::duration> admit(const std::string &account, const std::string &address)
    {
        return throttle_.admit(*db_, account, address);
    }
    bool admitted(const std::string &account, const std::string &address) { return !admit(account, address); }
    void succeeded(const std::string &account, const std::string &address)
    {
        throttle_.succeeded(*db_, account, address);
    }
    // Fails `times` checks in a row; true when every one was admitted.
    bool failAll(int times, const std::string &account, const std::string &address)
    {
        bool all = true;
        for (int i = 0; i < times; ++i)
            all = admitted(account, address) && all;
        return all;
    }
    void later(Clock::duration by) { now_ += by; }
    int64_t remembered() { return SignInThrottle::remembered(*db_); }

    const SignInLimits limits;

private:
    Clock::time_point now_{std::chrono::hours(24 * 365 * 56)};
    TemporaryFolder folder_{"throttle"};
    TestDatabase database_;
    std::unique_ptr<Connection> db_;
    SignInThrottle throttle_;
};

class SignInThrottleTest : public ::testing::Test
{
protected:
    void SetUp() override { SKIP_WITHOUT_STORE(); }
    ThrottleOnAClock t;
};

// An account's failures from any addresses lock it, and it alone, for the lock-out and no longer;
// failures further apart than the window never lock.
TEST_F(SignInThrottleTest, AnAccountIsLockedAfterItsFailuresForTheLockOutOnly)
{
    EXPECT_TRUE(t.failAll(t.limits.accountFailures, "jz1001", "10.0.0.1"));
    EXPECT_EQ(t.admit("jz1001", "10.0.0.2"), t.limits.lockout) << "a failure more from another address";
    EXPECT_TRUE(t.admitted("jz1002", "10.0.0.1")) << "another account from the same address was locked";
    t.later(t.limits.lockout - 1s);
    EXPECT_FALSE(t.admitted("jz1001", "10.0.0.3"));
    t.later(1s);
    EXPECT_TRUE(t.admitted("jz1001", "10.0.0.3")) << "still locked after the lock-out";

    for (int round = 0; round < 4; ++round) {
        EXPECT_TRUE(t.failAll(t.limits.accountFailures - 1, "jz1003", "10.0.0.1")) << "round " << round;
        t.later(t.limits.window);
    }
}

// The right password forgets the account's failures and does not count against its address,
// so many families behind one address sign in all day.
TEST_F(SignInThrottleTest, ASuccessClearsTheAccountAndCostsTheAddressNothing)
{
    for (int round = 0; round < 3; ++round) {
        const std::string address = "10.0.1." + std::to_string(round);
        EXPECT_TRUE(t.failAll(t.limits.accountFailures, "jz1004", address)) << "round " << round;
        t.succeeded("jz1004", address);
    }
    for (int i = 0; i < 3 * t.limits.addressFailures; ++i) {
        ASSERT_TRUE(t.admitted("family" + std::to_string(i), "10.0.0.2")) << i;
        t.succeeded("family" + std::to_string(i), "10.0.0.2");
    }
}

// Invented names cost a row only until their window has passed; an address that invents them is
// locked like any other, so it stops adding rows. A name under attack stays locked for its whole
// lock-out, however many names are forgotten meanwhile.
TEST_F(SignInThrottleTest, InventedNamesAreForgottenOnceTheirWindowHasPassed)
{
    for (int i = 0; i < 100; ++i)
        EXPECT_TRUE(t.admitted("invented" + std::to_string(i),
                               "10.0." + std::to_string(i / 50) + "." + std::to_string(i % 50)))
            << i;
    EXPECT_EQ(t.remembered(), 200);
    t.later(t.limits.window);
    EXPECT_TRUE(t.admitted("jz1006", "10.0.9.1")) << "a name never seen was refused";
    EXPECT_EQ(t.remembered(), 2);
    for (int i = 0; i < 3 * t.limits.addressFailures; ++i)
        t.admitted("invented" + std::to_string(i), "10.0.9.2");
    EXPECT_EQ(t.remembered(), 2 + 1 + t.limits.addressFailures);

    EXPECT_TRUE(t.failAll(t.limits.accountFailures, "jz1007", "10.0.0.1"));
    for (int i = 0; i < 100; ++i) {
        t.later(t.limits.lockout / 200);
        EXPECT_TRUE(t.admitted("other" + std::to_string(i), "10.1." + std::to_string(i)));
        ASSERT_FALSE(t.admitted("jz1007", "10.0.0.2")) << "forgotten after " << i << " other names";
    }
}

// The service in this process, reached through its SOAP dispatcher with any caller address.
class SignInService : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        if (TestDatabase::unavailable())
            return;
        folder_ = std::make_unique<TemporaryFolder>("sign-in");
        database_ = std::make_unique<TestDatabase>(folder_->path);
        ServerOptions options;
        options.databasePath = database_->location();
        options.seed = options.quiet = true;
        server_ = std::make_unique<SchoolServer>(options);
    }
    static void TearDownTestSuite()
    {
        server_.reset();
        database_.reset();
        folder_.reset();
    }
    void SetUp() override { SKIP_WITHOUT_STORE(); }

    static HsCallResult call(const std::string &method, const std::vector<std::string> &arguments,
                             const std::string &address)
    {
        const std::string body =
            soapRequest(method, soapArguments(kAccessKeys) + soapArguments(arguments, 2));
        const SoapReply reply = server_->dispatch(body, "http://127.0.0.1:1", address);
        return HsCallResult{soapOut(reply.body), reply.status == 200};
    }

    static LoginServiceResponse signIn(const std::string &account, const std::string &password,
                                       const std::string &address, bool teacher = false)
    {
        const HsCallResult result =
            call(teacher ? "loginTeacher" : "loginStudent", {account, password}, address);
        return teacher ? LoginService::processLoginTeacherResponse(result)
                       : LoginService::processLoginStudentResponse(result);
    }

    static StudentInfoResponse changePassword(const std::string &account, const std::string &oldPassword,
                                              const std::string &newPassword, const std::string &address)
    {
        return StudentInfoService::processModifyPassResponse(
            call("changePassword", {account, oldPassword, newPassword, "1"}, address));
    }

private:
    static inline std::unique_ptr<TemporaryFolder> folder_;
    static inline std::unique_ptr<TestDatabase> database_;
    static inline std::unique_ptr<SchoolServer> server_;
};

double medianMs(std::vector<Clock::duration> times)
{
    std::sort(times.begin(), times.end());
    return std::chrono::duration<double, std::milli>(times[times.size() / 2]).count();
}

// A wrong password, a name without an account and an account of the other role all take the
// same work. Each try uses an account and an address of its own, so that none is throttled.
TEST_F(SignInService, EveryRefusalTakesAboutAsLongAsAWrongPassword)
{
    const std::vector<std::string> teachers = {"wangfang", "lijianguo", "chenjing",
                                               "zhaomin",  "liuqiang",  "sunli"};
    std::vector<Clock::duration> wrong, unknown, otherRole;
    const auto timed = [](std::vector<Clock::duration> &into, const std::string &account,
                          const std::string &password, const std::string &address) {
        const auto start = Clock::now();
        EXPECT_EQ(signIn(account, password, address).code, 1) << account;
        into.push_back(Clock::now() - start);
    };
    for (size_t i = 0; i < teachers.size(); ++i) {
        const std::string n = std::to_string(i + 1);
        timed(wrong, "jz200" + n, "parent124", "10.1.1." + n);
        timed(unknown, "nobody" + n, "parent124", "10.1.2." + n);
        timed(otherRole, teachers[i], "teacher123", "10.1.3." + n);
    }
    const double wrongMs = medianMs(wrong);
    EXPECT_GT(medianMs(unknown), wrongMs / 2) << "wrong password " << wrongMs << " ms";
    EXPECT_LT(medianMs(unknown), wrongMs * 2) << "wrong password " << wrongMs << " ms";
    EXPECT_GT(medianMs(otherRole), wrongMs / 2) << "wrong password " << wrongMs << " ms";
}

// Guesses at one account from many addresses, by sign-in or by password change, lock that account
// (its right password too) and no other; guesses from one address lock it for every account.
TEST_F(SignInService, GuessesLockTheirAccountOrTheirAddressOnly)
{
    for (const bool byPasswordChange : {false, true}) {
        SCOPED_TRACE(byPasswordChange ? "password changes" : "sign-ins");
        const std::string account = byPasswordChange ? "jz1009" : "jz1010";
        const std::string network = byPasswordChange ? "10.4." : "10.2.";
        for (int i = 0; i < kServiceLimits.accountFailures; ++i) {
            const std::string n = std::to_string(i), from = network + "0." + n;
            ASSERT_EQ(byPasswordChange ? changePassword(account, "guess" + n, "new456", from).code
                                       : signIn(account, "guess" + n, from).code,
                      1);
        }
        const auto refused = signIn(account, "parent123", network + "1.1");
        EXPECT_EQ(refused.code, 5);
        EXPECT_NE(refused.error.value_or("").find("分钟后再试"), std::string::npos)
            << refused.error.value_or("");
        EXPECT_EQ(changePassword(account, "parent123", "other456", network + "1.2").code, 5);
    }
    EXPECT_EQ(signIn("jz1011", "parent123", "10.2.0.1").code, 0) << "another account was locked too";

    for (int i = 0; i < kServiceLimits.addressFailures; ++i)
        ASSERT_EQ(signIn("guess" + std::to_string(i), "x", "10.3.0.1").code, 1) << i;
    EXPECT_EQ(signIn("jz1012", "parent123", "10.3.0.1").code, 5);
    EXPECT_EQ(signIn("wangfang", "teacher123", "10.3.0.1", true).code, 5);
    EXPECT_EQ(signIn("jz1012", "parent123", "10.3.0.2").code, 0);
}

} // namespace
