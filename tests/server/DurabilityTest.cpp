// What the server keeps: data across a restart, and every post of many clients at once.
#include "ServerTestSupport.h"
#include "services/ChatService.h"
#include "services/LoginService.h"
#include "services/StudentInfoService.h"

#include <set>
#include <thread>
#include <vector>

namespace {

// Every chat message of a class, read page by page until a page comes back empty.
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

using DurabilityTest = ServerFixture;

TEST_F(DurabilityTest, PostsAndPasswordsSurviveARestart)
{
    const std::string message = "重启之前发送的消息";
    ASSERT_EQ(ChatService().PostChat(kParent, kSchoolCode, 2, message).code, 0);
    ASSERT_EQ(StudentInfoService().ModifyPass("jz2003", kParentPassword, "after789", 1).code, 0);

    server().restart();
    HsServiceConfig::setEndpoint(server().endpoint());

    EXPECT_EQ(allChats(2).count(message), 1u);
    EXPECT_EQ(LoginService().LoginStudent("jz2003", "after789").code, 0);
    EXPECT_EQ(LoginService().LoginTeacher(kTeacher, kTeacherPassword).code, 0);
}

TEST_F(DurabilityTest, EightClientsPostingAndReadingAtOnceLoseNothing)
{
    constexpr int kClients = 8, kPostsEach = 12;
    const auto before = allChats(1);
    std::vector<std::thread> clients;
    std::vector<int> failures(kClients, 0);
    for (int c = 0; c < kClients; ++c) {
        clients.emplace_back([c, &failures] {
            for (int i = 0; i < kPostsEach; ++i) {
                const std::string text = "并发消息 " + std::to_string(c) + "-" + std::to_string(i);
                const auto posted = ChatService().PostChat(kParent, kSchoolCode, 1, text);
                const auto read = ChatService().GetChats(1, 1);
                if (!posted.answered || posted.code != 0 || !read.answered || read.items.empty())
                    ++failures[c];
            }
        });
    }
    for (auto &client : clients)
        client.join();

    EXPECT_EQ(failures, std::vector<int>(kClients, 0));
    const auto after = allChats(1);
    EXPECT_EQ(after.size(), before.size() + kClients * kPostsEach);
    for (int c = 0; c < kClients; ++c)
        for (int i = 0; i < kPostsEach; ++i)
            EXPECT_EQ(after.count("并发消息 " + std::to_string(c) + "-" + std::to_string(i)), 1u);
}

} // namespace
