// Posts waiting to be sent: kept across sign-ins and for their own account only, each claimed by
// one send at a time.

#include "CacheTestSupport.h"
#include "cache/NewsDao.h"
#include "cache/OutboxDao.h"

#include <gmock/gmock.h>

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

OutboxPost chatPost(std::string text, int64_t writtenAt)
{
    return {.category = 4,
            .userId = 1002,
            .userName = "jz1002",
            .realName = "李雨桐",
            .schoolCode = "hs001",
            .classId = 1,
            .text = std::move(text),
            .writtenAt = writtenAt};
}

std::vector<std::string> textsOf(const std::vector<OutboxPost> &posts)
{
    std::vector<std::string> texts;
    for (const OutboxPost &post : posts)
        texts.push_back(post.text);
    return texts;
}

using CacheOutboxTest = CacheTest;

} // namespace

TEST_F(CacheOutboxTest, APostIsKeptWholeAcrossASignInAndLeavesWhenRemoved)
{
    signIn("1:1002");
    OutboxPost post = chatPost("明天请假", 1'765'000'000);
    post.realName.reset();
    post.id = OutboxDao().add(post);
    ASSERT_GT(post.id, 0);
    const int64_t homework = OutboxDao().add(
        {.category = 1, .userId = 7, .classId = 1, .text = "作业", .writtenAt = 1'764'000'000});
    ASSERT_GT(homework, post.id);
    HsPreferences::setCurrent(nullptr);

    // A new sign-in of the same process: written by this process, and not sent yet.
    signIn("1:1002");
    post.sending = true;
    EXPECT_THAT(OutboxDao().posts(4), ElementsAre(post));
    EXPECT_THAT(textsOf(OutboxDao().posts()), ElementsAre("作业", "明天请假"));
    EXPECT_TRUE(OutboxDao().remove(post.id));
    EXPECT_FALSE(OutboxDao().remove(post.id));
    EXPECT_THAT(textsOf(OutboxDao().posts()), ElementsAre("作业"));
}

TEST_F(CacheOutboxTest, OneSendAtATimeClaimsAPost)
{
    signIn("1:1002");
    const int64_t id = OutboxDao().add(chatPost("好的", 1));
    // The send that wrote it still has it.
    EXPECT_FALSE(OutboxDao().claim(id));
    EXPECT_TRUE(OutboxDao().release(id));
    EXPECT_FALSE(OutboxDao().posts().front().sending);
    EXPECT_TRUE(OutboxDao().claim(id));
    EXPECT_TRUE(OutboxDao().posts().front().sending);
    EXPECT_FALSE(OutboxDao().claim(id));
    ASSERT_TRUE(OutboxDao().remove(id));
    EXPECT_FALSE(OutboxDao().claim(id));
}

// Another account's sign-in on the same file empties the lists but not the posts, which only
// their own account sees and sends.
TEST_F(CacheOutboxTest, PostsStayWithTheirAccountWhenTheFilePassesToAnother)
{
    signIn("1:1002");
    const int64_t id = OutboxDao().add(chatPost("老师您好", 5));
    ASSERT_EQ(NewsDao().replaceCategory("bjtz", {headline(1, "notice")}), 1);
    HsPreferences::setCurrent(nullptr);

    signIn("1:2001");
    EXPECT_THAT(NewsDao().initSelects("bjtz"), IsEmpty());
    EXPECT_THAT(OutboxDao().posts(), IsEmpty());
    EXPECT_FALSE(OutboxDao().claim(id));
    EXPECT_FALSE(OutboxDao().remove(id));
    HsPreferences::setCurrent(nullptr);

    signIn("1:1002");
    EXPECT_THAT(textsOf(OutboxDao().posts()), ElementsAre("老师您好"));
}
