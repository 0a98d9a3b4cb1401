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

namespace {

using namespace std::chrono_literals;

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
    size_t acknowledged() { return acknowledgedTexts().size(); }
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
    std::multiset<std::string> stored;
    for (int page = 1;; ++page) {
        const auto chats = ChatService().GetChats(classId, page).items;
        if (chats.empty())
            break;
        for (const auto &chat : chats)
            stored.insert(chat.content.value_or(""));
    }
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

// A post through either process is read through the other at once. Guesses through every process
// count towards one lock, and a sign-in through one clears the account for all of them.
TEST_F(SharedDatabaseTest, TwoProcessesShareTheirPostsAndTheirLocks)
{
    const ServerProcess second(ServerProcess::SameDatabaseAs{server()});
    const auto through = [](const ServerProcess &process) {
        HsServiceConfig::setEndpoint(process.endpoint());
    };
    for (int round = 0; round < 2; ++round) {
        const std::string text = "两个进程 " + std::to_string(round);
        through(round == 0 ? server() : second);
        ASSERT_EQ(ChatService().PostChat(kParent, kSchoolCode, 1, text).code, 0);
        through(round == 0 ? second : server());
        EXPECT_EQ(ChatService().GetChats(1, 1).items.at(0).content, text) << "round " << round;
    }

    const int kAccountFailures = SignInLimits{}.accountFailures;
    for (int i = 0; i < kAccountFailures; ++i) {
        through(i % 2 == 0 ? server() : second);
        ASSERT_EQ(LoginService().LoginStudent("jz1003", "guess").code, 1) << i;
    }
    for (const ServerProcess *process : {static_cast<const ServerProcess *>(&server()), &second}) {
        through(*process);
        EXPECT_EQ(LoginService().LoginStudent("jz1003", kParentPassword).code, 5);
    }
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
        const ServerProcess *through;
    };
    for (const Outage &outage :
         {Outage{"stop", "start", 20, &server()}, Outage{"freeze", "thaw", 4, &impatient}}) {
        SCOPED_TRACE(outage.down);
        HsServiceConfig::setEndpoint(outage.through->endpoint());
        PostingClients clients(4, 1, std::string("数据库") + outage.down);
        ASSERT_TRUE(eventually([&] { return clients.acknowledged() >= 20; }));
        ASSERT_TRUE(TestDatabase::controlCluster(outage.down));
        const bool faulted = eventually([&] { return clients.unanswered() >= outage.faults; }, 30s);
        const size_t whileAway = clients.acknowledged();
        ASSERT_TRUE(TestDatabase::controlCluster(outage.up));
        EXPECT_TRUE(faulted) << "calls waited on an absent database";
        EXPECT_TRUE(eventually([&] { return clients.acknowledged() >= whileAway + 20; }))
            << "did not recover";
        clients.stop();
        expectAllStored(clients.acknowledgedTexts(), 1);
    }
}

} // namespace
