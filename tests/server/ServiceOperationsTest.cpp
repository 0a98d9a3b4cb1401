// One test per operation family of the service, driven through the client's own service classes.
#include "ServerTestSupport.h"
#include "services/ChatService.h"
#include "services/FeedBackService.h"
#include "services/HomeWorkService.h"
#include "services/LoginService.h"
#include "services/NewsService.h"
#include "services/ResourceService.h"
#include "services/StudentInfoService.h"

#include <algorithm>
#include <set>

namespace {

// Every headline of a category a class sees, page after page until a page comes back short.
std::vector<NewsItem> allPages(int classId, const std::string &typeCode)
{
    std::vector<NewsItem> all;
    for (int page = 1; page <= 10; ++page) {
        const auto news = NewsService().GetNews(kSchoolCode, classId, typeCode, page);
        EXPECT_EQ(news.code, 0) << typeCode << " page " << page;
        all.insert(all.end(), news.items.begin(), news.items.end());
        if (news.items.size() < 20)
            break;
    }
    return all;
}

std::string repeated(const std::string &text, int times)
{
    std::string all;
    for (int i = 0; i < times; ++i)
        all += text;
    return all;
}

using ServiceOperationsTest = ServerFixture;

TEST_F(ServiceOperationsTest, SignInAcceptsTheRightRoleAndPasswordOnly)
{
    const auto teacher = LoginService().LoginTeacher(kTeacher, kTeacherPassword);
    ASSERT_TRUE(teacher.answered && teacher.code == 0 && teacher.item);
    EXPECT_TRUE(teacher.item->userName == kTeacher && teacher.item->classId == 1 &&
                teacher.item->schoolCode == kSchoolCode);
    const auto parent = LoginService().LoginStudent(kParent, kParentPassword);
    ASSERT_TRUE(parent.code == 0 && parent.item);
    EXPECT_TRUE(parent.item->userName == kParent && parent.item->motherName);

    LoginService login;
    for (const auto &response :
         {login.LoginTeacher(kTeacher, "teacher124"), login.LoginTeacher("nobody", "x"),
          login.LoginStudent(kTeacher, kTeacherPassword), login.LoginStudent(kParent, "")})
        EXPECT_TRUE(response.answered && response.code == 1 && response.error && !response.error->empty());
}

// Every category pages on through older headlines, newest first and never repeating one.
TEST_F(ServiceOperationsTest, NewsPagesOnWithoutRepeatsAndClassNoticesStayInTheirClass)
{
    const auto types = NewsService().GetNewsTypes();
    ASSERT_TRUE(types.code == 0 && !types.items.empty());
    for (const auto &type : types.items) {
        SCOPED_TRACE(*type.typeCode);
        const auto all = allPages(1, *type.typeCode);
        EXPECT_GT(all.size(), 20u);
        EXPECT_TRUE(std::is_sorted(all.begin(), all.end(), [](const auto &a, const auto &b) {
            return a.publicDate.value_or("") > b.publicDate.value_or("");
        }));
        std::set<int> ids;
        for (const auto &item : all)
            EXPECT_TRUE(ids.insert(item.newsId).second) << "repeats " << item.newsId;
    }

    std::set<int> first;
    for (const auto &item : allPages(1, "bjtz"))
        first.insert(item.newsId);
    const auto second = allPages(2, "bjtz");
    ASSERT_FALSE(first.empty() || second.empty());
    for (const auto &item : second)
        EXPECT_FALSE(first.count(item.newsId)) << item.newsId;
    EXPECT_TRUE(NewsService().GetNews("another-school", 1, "bjtz", 1).items.empty());
}

TEST_F(ServiceOperationsTest, PostedReplyIsListedFirstUnderItsNotice)
{
    const auto list = NewsService().GetNews(kSchoolCode, 1, "xxtz", 1);
    ASSERT_FALSE(list.items.empty());
    const int newsId = list.items.front().newsId;
    const std::string text = "收到，会准时参加";
    ASSERT_EQ(NewsService().PostReturn(newsId, text, 1, 0).code, 0);
    const auto replies = NewsService().GetReturns(newsId, 0, 1);
    ASSERT_TRUE(replies.code == 0 && !replies.items.empty());
    EXPECT_TRUE(replies.items.front().rtContent == text && replies.items.front().userId == 1);
    EXPECT_NE(NewsService().PostReturn(999999, text, 1, 0).code, 0);
}

TEST_F(ServiceOperationsTest, ResourceSearchMatchesTitlesAndTextsLiterally)
{
    const auto byTitle = ResourceService().SearchResources("博物馆", 1);
    ASSERT_FALSE(byTitle.items.empty());
    for (const auto &item : byTitle.items)
        EXPECT_NE(item.resTitle->find("博物馆"), std::string::npos) << *item.resTitle;
    const auto byText = ResourceService().SearchResources("恐龙化石", 1);
    ASSERT_EQ(byText.items.size(), 1u);
    EXPECT_EQ(byText.items.front().resTitle, "自然博物馆");
    EXPECT_TRUE(ResourceService().SearchResources("%", 1).items.empty());
}

TEST_F(ServiceOperationsTest, PostsShowOnlyInTheirClassAndEmptyOnesAreRefused)
{
    const std::string homework = "背诵第七课第二段";
    ASSERT_EQ(HomeWorkService().PostHomeWork(homework, 1, kSchoolCode, 1).code, 0);
    EXPECT_EQ(HomeWorkService().GetHomeWork(1, 1).items.at(0).content, homework);
    EXPECT_NE(HomeWorkService().GetHomeWork(2, 1).items.at(0).content, homework);
    EXPECT_NE(HomeWorkService().PostHomeWork("", 1, kSchoolCode, 1).code, 0);
    EXPECT_NE(HomeWorkService().PostHomeWork(homework, 1, kSchoolCode, 99).code, 0);

    const std::string message = "老师好，明天需要带水彩笔吗？";
    ASSERT_EQ(ChatService().PostChat(kParent, kSchoolCode, 1, message).code, 0);
    const auto chat = ChatService().GetChats(1, 1).items.at(0);
    EXPECT_TRUE(chat.content == message && chat.userName == kParent && chat.userId == 1);
    EXPECT_NE(ChatService().GetChats(2, 1).items.at(0).content, message);

    EXPECT_EQ(FeedBackService().PostFeedBack("希望增加作业提醒功能", 1, 1).code, 0);
    EXPECT_NE(FeedBackService().PostFeedBack("", 1, 1).code, 0);
}

// A post of a few pages is kept; one the length of a book is refused and never stored.
TEST_F(ServiceOperationsTest, OverlongPostsAreRefusedUnstored)
{
    for (const auto &[text, kept] :
         {std::pair{repeated("页", 6000), true}, {repeated("书", 300000), false}}) {
        SCOPED_TRACE(text.size());
        EXPECT_EQ(ChatService().PostChat(kParent, kSchoolCode, 1, text).code == 0, kept);
        EXPECT_EQ(HomeWorkService().PostHomeWork(text, 1, kSchoolCode, 1).code == 0, kept);
        EXPECT_EQ(ChatService().GetChats(1, 1).items.at(0).content == text, kept);
        EXPECT_EQ(HomeWorkService().GetHomeWork(1, 1).items.at(0).content == text, kept);
    }
}

TEST_F(ServiceOperationsTest, PasswordChangesOnlyWithTheRightOldPassword)
{
    StudentInfoService info;
    EXPECT_EQ(info.ModifyPass("jz1002", "wrong", "fresh456", 1).code, 1);
    ASSERT_EQ(info.ModifyPass("jz1002", kParentPassword, "fresh456", 1).code, 0);
    EXPECT_EQ(LoginService().LoginStudent("jz1002", "fresh456").code, 0);
    EXPECT_EQ(LoginService().LoginStudent("jz1002", kParentPassword).code, 1);
}

} // namespace
