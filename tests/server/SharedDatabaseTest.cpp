// Service processes and their database: a crash while clients post, several processes on one
// database, and a database that goes away under load and comes back.
#include "ServerTestSupport.h"
#include "SignInThrottle.h"
#include "services/ChatService.h"
#include "services/LoginService.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

std::multiset<std::string> allChats(int classId)
{
    std::multiset<std::string> texts;
    for (int page = 1;; ++page) {
        const auto response = ChatService().GetChats(classId, page);
        if (response.items.empty())
            return texts;
        for (const auto &chat : response.items)
            texts.insert(chat.content.value_or(""));
    }
}

// Polls until the condition holds or the time is up; true when it held.
bool eventually(const std::function<bool()> &condition, std::chrono::seconds limit = 60s)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

// Clients that post chat messages to one class until stopped, each keeping the texts the service
// acknowledged and counting the calls that got no usable answer.
class PostingClients
{
public:
    PostingClients(int clients, int classId, const std::string &tag)
    {
        for (int c = 0; c < clients; ++c)
            threads_.emplace_back([this, c, classId, tag] {
                for (int i = 0; !stop_; ++i) {
                    const std::string text = tag + " " + std::to_string(c) + "-" + std::to_string(i);
                    const auto posted = ChatService().PostChat(kParent, kSchoolCode, classId, text);
                    if (posted.answered && posted.code == 0) {
                        std::lock_guard lock(mutex_);
                        acknowledged_.push_back(text);
                    } else {
                        ++unanswered_;
                    }
                }
            });
    }
    ~PostingClients() { stop(); }

    void stop()
    {
        stop_ = true;
        for (auto &thread : threads_)
            if (thread.joinable())
                thread.join();
    }
    size_t acknowledged()
    {
        std::lock_guard lock(mutex_);
        return acknowledged_.size();
    }
    std::vector<std::string> acknowledgedTexts()
    {
        std::lock_guard lock(mutex_);
        return acknowledged_;
    }
    int unanswered() const { return unanswered_; }

private:
    std::atomic<bool> stop_{false};
    std::atomic<int> unanswered_{0};
    std::mutex mutex_;
    std::vector<std::string> acknowledged_;
    std::vector<std::thread> threads_;
};

void expectAllStored(const std::vector<std::string> &acknowledged, int classId)
{
    const auto stored = allChats(classId);
    for (const auto &text : acknowledged)
        EXPECT_EQ(stored.count(text), 1u) << text << " was acknowledged but is not stored once";
}

using SharedDatabaseTest = ServerFixture;

TEST_F(SharedDatabaseTest, EveryAcknowledgedPostOfFourClientsSurvivesAKill)
{
    PostingClients clients(4, 2, "崩溃之前");
    ASSERT_TRUE(eventually([&] { return clients.acknowledged() >= 40; }));
    server().kill();
    clients.stop();

    server().restart();
    HsServiceConfig::setEndpoint(server().endpoint());
    expectAllStored(clients.acknowledgedTexts(), 2);
}

// A post through either process is read through the other at once.
TEST_F(SharedDatabaseTest, APostThroughOneProcessIsReadThroughTheOther)
{
    const ServerProcess second(ServerProcess::SameDatabaseAs{server()});
    for (int round = 0; round < 3; ++round) {
        const std::string text = "两个进程 " + std::to_string(round);
        const bool firstWrites = round % 2 == 0;
        HsServiceConfig::setEndpoint(firstWrites ? server().endpoint() : second.endpoint());
        ASSERT_EQ(ChatService().PostChat(kParent, kSchoolCode, 1, text).code, 0);
        HsServiceConfig::setEndpoint(firstWrites ? second.endpoint() : server().endpoint());
        const auto page = ChatService().GetChats(1, 1);
        ASSERT_FALSE(page.items.empty());
        EXPECT_EQ(page.items.front().content, text) << "round " << round;
    }
}

// Guesses through every process count towards one lock, and a sign-in through one clears the
// account for all of them.
TEST_F(SharedDatabaseTest, GuessesThroughEveryProcessCountTowardsOneLock)
{
    const ServerProcess second(ServerProcess::SameDatabaseAs{server()});
    const auto through = [](const ServerProcess &process) {
        HsServiceConfig::setEndpoint(process.endpoint());
    };
    const int kAccountFailures = SignInLimits{}.accountFailures;
    for (int i = 0; i < kAccountFailures; ++i) {
        through(i % 2 == 0 ? server() : second);
        ASSERT_EQ(LoginService().LoginStudent("jz1003", "guess").code, 1) << i;
    }
    through(server());
    EXPECT_EQ(LoginService().LoginStudent("jz1003", kParentPassword).code, 5);
    through(second);
    EXPECT_EQ(LoginService().LoginStudent("jz1003", kParentPassword).code, 5);

    for (int round = 0; round < 2; ++round) {
        through(server());
        for (int i = 0; i < kAccountFailures - 1; ++i)
            ASSERT_EQ(LoginService().LoginStudent("jz1004", "guess").code, 1);
        through(second);
        EXPECT_EQ(LoginService().LoginStudent("jz1004", kParentPassword).code, 0) << "round " << round;
    }
}

// While the database is away (its server stopped, or frozen without closing its connections as a
// stalled host is) every call is answered with a fault soon, never a false success nor a worker
// held on a silent database (here a one-second statement time-out); once it is back the service
// serves again without a restart of its own.
TEST_F(SharedDatabaseTest, ADatabaseAwayUnderLoadGivesFaultsThenServesAgain)
{
    if (!TestDatabase::onPostgres())
        GTEST_SKIP() << "the sqlite store has no database server to stop";
    const ServerProcess impatient(
        ServerProcess::SameDatabaseAs{server(), "?connect_timeout=2&options=-c%20statement_timeout%3D1000"});
    struct Outage
    {
        const char *down, *up;
        int faults;
    };
    for (const auto &[down, up, faults] : {Outage{"stop", "start", 20}, Outage{"freeze", "thaw", 4}}) {
        SCOPED_TRACE(down);
        HsServiceConfig::setEndpoint(impatient.endpoint());
        PostingClients clients(4, 1, std::string("数据库") + down);
        ASSERT_TRUE(eventually([&] { return clients.acknowledged() >= 20; }));
        ASSERT_TRUE(TestDatabase::controlCluster(down));
        const bool faulted = eventually([&] { return clients.unanswered() >= faults; }, 30s);
        const size_t whileAway = clients.acknowledged();
        ASSERT_TRUE(TestDatabase::controlCluster(up));
        EXPECT_TRUE(faulted) << "calls waited on an absent database";
        EXPECT_TRUE(eventually([&] { return clients.acknowledged() >= whileAway + 20; }))
            << "did not recover";
        clients.stop();
        expectAllStored(clients.acknowledgedTexts(), 1);
    }
}

} // namespace
