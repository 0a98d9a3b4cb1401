// Every operation of the service, driven through the client's own service classes.
#include "ServerFixture.h"
#include "services/ChatService.h"
#include "services/FeedBackService.h"
#include "services/HomeWorkService.h"
#include "services/LoginService.h"
#include "services/NewsService.h"
#include "services/ResourceService.h"
#include "services/StudentInfoService.h"
#include "services/StudentStateService.h"
#include "services/TestScoreService.h"
#include "services/UploadAvatarService.h"

#include <algorithm>
#include <openssl/evp.h>
#include <set>

namespace {

template <typename Items, typename Date> bool newestFirst(const Items &items, Date date)
{
    return std::is_sorted(items.begin(), items.end(), [&](const auto &a, const auto &b) {
        return date(a).value_or("") > date(b).value_or("");
    });
}

std::string uniqueText(const std::string &stem)
{
    static int counter = 0;
    return stem + " #" + std::to_string(++counter) + " " +
           ::testing::UnitTest::GetInstance()->current_test_info()->name();
}

using LoginTest = ServerFixture;

// A teacher signs in with class and school, a parent with the student's family.
TEST_F(LoginTest, TeacherAndParentSignInWithTheirOwnDetails)
{
    const auto teacher = LoginService().LoginTeacher(kTeacher, kTeacherPassword);
    ASSERT_TRUE(teacher.answered && teacher.code == 0 && teacher.item);
    const auto &user = *teacher.item;
    EXPECT_GT(user.userId, 0);
    EXPECT_EQ(user.userName, kTeacher);
    EXPECT_EQ(user.classId, 1);
    EXPECT_EQ(user.schoolCode, kSchoolCode);
    EXPECT_TRUE(user.realName && !user.realName->empty() && user.className && !user.motherName);
    EXPECT_EQ(user.avatar.value_or("").rfind(server().baseUrl() + "/images/", 0), 0u);

    const auto parent = LoginService().LoginStudent(kParent, kParentPassword);
    ASSERT_TRUE(parent.code == 0 && parent.item);
    EXPECT_EQ(parent.item->userName, kParent);
    EXPECT_EQ(parent.item->classId, 1);
    EXPECT_TRUE(parent.item->phone && parent.item->motherName && parent.item->fatherWork &&
                parent.item->address);
}

TEST_F(LoginTest, WrongPasswordUnknownNameAndWrongRoleAreRefused)
{
    LoginService login;
    for (const auto &response :
         {login.LoginTeacher(kTeacher, "teacher124"), login.LoginTeacher("nobody", "x"),
          login.LoginStudent(kTeacher, kTeacherPassword), login.LoginStudent(kParent, "")}) {
        EXPECT_TRUE(response.answered && response.code == 1 && response.error && !response.error->empty());
    }
}

class NewsTest : public ServerFixture
{
protected:
    static constexpr size_t kPageSize = 20;

    // Every headline of a category a class sees, page after page until a page comes back short.
    static std::vector<NewsItem> allPages(int classId, const std::string &typeCode)
    {
        std::vector<NewsItem> all;
        for (int page = 1; page <= 10; ++page) {
            const auto news = NewsService().GetNews(kSchoolCode, classId, typeCode, page);
            EXPECT_EQ(news.code, 0) << typeCode << " page " << page;
            all.insert(all.end(), news.items.begin(), news.items.end());
            if (news.items.size() < kPageSize)
                break;
        }
        return all;
    }
};

// Categories of both kinds, notices and news, each page full and newest first, and each reaching
// a third page in some category.
TEST_F(NewsTest, EveryClassPagesOnThroughOlderHeadlinesWithoutRepeats)
{
    const auto types = NewsService().GetNewsTypes();
    ASSERT_EQ(types.code, 0);
    ASSERT_GE(types.items.size(), 4u);
    bool longNoticeList = false;
    bool longNewsList = false;
    for (int classId : {1, 2}) {
        for (const auto &type : types.items) {
            const std::string code = *type.typeCode;
            const auto all = allPages(classId, code);
            EXPECT_GT(all.size(), kPageSize) << code << " class " << classId;
            EXPECT_TRUE(newestFirst(all, [](auto &n) { return n.publicDate; })) << code;
            std::set<int> ids;
            std::set<std::string> titles;
            for (const auto &item : all)
                EXPECT_TRUE(item.newsId > 0 && ids.insert(item.newsId).second &&
                            titles.insert(item.newsTitle.value_or("")).second)
                    << code << " repeats " << item.newsId;
            (type.typeType == 0 ? longNoticeList : longNewsList) |= all.size() > 2 * kPageSize;
        }
    }
    EXPECT_TRUE(longNoticeList) << "no notice category reaches a third page";
    EXPECT_TRUE(longNewsList) << "no news category reaches a third page";
}

TEST_F(NewsTest, ClassNoticesReachOnlyTheirClass)
{
    auto idsOf = [](int classId) {
        std::set<int> ids;
        for (const auto &item : allPages(classId, "bjtz"))
            ids.insert(item.newsId);
        return ids;
    };
    const auto first = idsOf(1);
    const auto second = idsOf(2);
    ASSERT_FALSE(first.empty());
    ASSERT_FALSE(second.empty());
    for (int id : first)
        EXPECT_FALSE(second.count(id)) << id;
    EXPECT_TRUE(NewsService().GetNews("another-school", 1, "bjtz", 1).items.empty());
}

TEST_F(NewsTest, NoticesAskingForAReplyAreAnsweredInBothClasses)
{
    for (int classId : {1, 2}) {
        for (const std::string code : {"xxtz", "bjtz"}) {
            int asking = 0, answered = 0;
            for (const auto &item : allPages(classId, code)) {
                if (item.forceReturn != 1)
                    continue;
                ++asking;
                const auto replies = NewsService().GetReturns(item.newsId, 0, 1);
                ASSERT_EQ(replies.code, 0);
                answered += !replies.items.empty();
                for (const auto &reply : replies.items)
                    EXPECT_TRUE(reply.userName && reply.rtContent && reply.rtDate > item.publicDate)
                        << item.newsId;
            }
            EXPECT_GT(asking, 0) << code << " class " << classId;
            EXPECT_GT(answered, 0) << code << " class " << classId;
        }
    }
}

// One item comes with its text and takes replies; unknown items are refused both.
TEST_F(NewsTest, OneItemComesWithItsTextAndItsPostedRepliesAreListed)
{
    const auto list = NewsService().GetNews(kSchoolCode, 1, "xxtz", 1);
    ASSERT_FALSE(list.items.empty());
    const auto &first = list.items.front();
    const auto one = NewsService().GetTheNews(first.newsId);
    ASSERT_TRUE(one.code == 0 && one.item);
    EXPECT_EQ(one.item->newsId, first.newsId);
    EXPECT_EQ(one.item->newsTitle, first.newsTitle);
    EXPECT_GT(one.item->newsContent.value_or("").size(), 20u);
    EXPECT_NE(NewsService().GetTheNews(999999).code, 0);

    const std::string text = uniqueText("收到，会准时参加");
    ASSERT_EQ(NewsService().PostReturn(first.newsId, text, 1, 0).code, 0);
    const auto replies = NewsService().GetReturns(first.newsId, 0, 1);
    ASSERT_TRUE(replies.code == 0 && !replies.items.empty());
    EXPECT_EQ(replies.items.front().rtContent, text);
    EXPECT_EQ(replies.items.front().userId, 1);
    EXPECT_TRUE(replies.items.front().userName && replies.items.front().userAvatar);
    EXPECT_NE(NewsService().PostReturn(999999, text, 1, 0).code, 0);
}

using ResourceTest = ServerFixture;

TEST_F(ResourceTest, EveryCategoryAndTheRecommendedListHoldResources)
{
    const auto types = ResourceService().GetResourceTypes();
    ASSERT_EQ(types.code, 0);
    ASSERT_EQ(types.items.size(), 4u);
    size_t total = 0;
    for (const auto &type : types.items) {
        const auto list = ResourceService().GetResources(*type.typeCode, 1);
        ASSERT_EQ(list.code, 0);
        EXPECT_FALSE(list.items.empty());
        total += list.items.size();
        for (const auto &item : list.items)
            EXPECT_TRUE(item.resTitle && item.resThumb && item.updateDate);
    }
    EXPECT_GE(total, 40u);
    EXPECT_FALSE(ResourceService().GetTopResource(1).items.empty());
}

TEST_F(ResourceTest, OneResourceHasPictureTextContactsAndPositionAndItsPicturesAreServed)
{
    const auto list = ResourceService().GetTopResource(1);
    ASSERT_FALSE(list.items.empty());
    const auto one = ResourceService().GetResource(list.items.front().resId);
    ASSERT_TRUE(one.code == 0 && one.item);
    EXPECT_EQ(one.item->resTitle, list.items.front().resTitle);
    EXPECT_TRUE(one.item->resContent && one.item->phone && one.item->address);
    EXPECT_TRUE(one.item->longitude > 100.0f && one.item->latitude > 20.0f);
    EXPECT_NE(ResourceService().GetResource(999999).code, 0);
    ASSERT_TRUE(one.item->resImage);
    for (const std::string &address : {*one.item->resImage, *list.items.front().resThumb}) {
        ASSERT_EQ(address.rfind(server().baseUrl(), 0), 0u) << address;
        const auto res = http().Get(address.substr(server().baseUrl().size()));
        ASSERT_TRUE(res && res->status == 200) << address;
        EXPECT_EQ(res->get_header_value("Content-Type").rfind("image/", 0), 0u);
        EXPECT_EQ(res->body.substr(1, 3), "PNG");
    }
}

TEST_F(ResourceTest, SearchMatchesTitlesAndTexts)
{
    const auto byTitle = ResourceService().SearchResources("博物馆", 1);
    ASSERT_FALSE(byTitle.items.empty());
    for (const auto &item : byTitle.items)
        EXPECT_NE(item.resTitle->find("博物馆"), std::string::npos) << *item.resTitle;
    const auto byText = ResourceService().SearchResources("恐龙化石", 1);
    ASSERT_EQ(byText.items.size(), 1u);
    EXPECT_EQ(byText.items.front().resTitle, "自然博物馆");
    EXPECT_TRUE(ResourceService().SearchResources("%", 1).items.empty());
    EXPECT_TRUE(ResourceService().SearchResources("没有这样的资源", 1).items.empty());
}

using StudentRecordTest = ServerFixture;

TEST_F(StudentRecordTest, HomeworkIsPagedNewestFirstAndPostsShowOnlyInTheirClass)
{
    const auto first = HomeWorkService().GetHomeWork(2, 1);
    ASSERT_TRUE(first.code == 0 && first.items.size() == 20u);
    EXPECT_TRUE(newestFirst(first.items, [](auto &h) { return h.hwDate; }));
    const auto second = HomeWorkService().GetHomeWork(2, 2);
    ASSERT_FALSE(second.items.empty());
    EXPECT_NE(second.items.front().hwId, first.items.front().hwId);

    const std::string text = uniqueText("背诵第七课第二段");
    ASSERT_EQ(HomeWorkService().PostHomeWork(text, 1, kSchoolCode, 1).code, 0);
    const auto after = HomeWorkService().GetHomeWork(1, 1);
    ASSERT_FALSE(after.items.empty());
    EXPECT_TRUE(after.items.front().content == text && after.items.front().teacherName);
    EXPECT_NE(HomeWorkService().GetHomeWork(2, 1).items.front().content, text);
    EXPECT_NE(HomeWorkService().PostHomeWork("", 1, kSchoolCode, 1).code, 0);
    EXPECT_NE(HomeWorkService().PostHomeWork(text, 1, kSchoolCode, 99).code, 0);
}

TEST_F(StudentRecordTest, StateReportsAndChatShowWhatWasPosted)
{
    const auto states = StudentStateService().GetStdStates(1, 1);
    ASSERT_FALSE(states.items.empty());
    EXPECT_TRUE(states.items.front().content && states.items.front().teacherName &&
                states.items.front().stateDate);
    const std::string report = uniqueText("今天在家认真阅读了半小时");
    ASSERT_EQ(StudentStateService().PostStdStates(kParent, "", 1, report, kSchoolCode, 1).code, 0);
    const auto statesAfter = StudentStateService().GetStdStates(1, 1).items.front();
    EXPECT_TRUE(statesAfter.content == report && statesAfter.teacherName == kParent);

    const auto chats = ChatService().GetChats(1, 1);
    ASSERT_FALSE(chats.items.empty());
    EXPECT_TRUE(newestFirst(chats.items, [](auto &c) { return c.chatDate; }));
    const std::string message = uniqueText("老师好，明天需要带水彩笔吗？");
    ASSERT_EQ(ChatService().PostChat(kParent, kSchoolCode, 1, message).code, 0);
    const auto chatAfter = ChatService().GetChats(1, 1).items.front();
    EXPECT_TRUE(chatAfter.content == message && chatAfter.userName == kParent && chatAfter.userId == 1);
    EXPECT_NE(ChatService().GetChats(2, 1).items.front().content, message);
}

TEST_F(StudentRecordTest, TestsSubjectsAndScoresAgree)
{
    const auto subjects = TestScoreService().GetSubjects(1, 1);
    ASSERT_TRUE(subjects.code == 0 && !subjects.items.empty());
    const auto &test = subjects.items.front();
    EXPECT_TRUE(test.subjectName && test.testName && test.testDate);
    const auto scores = TestScoreService().GetScores(test.subjectId);
    ASSERT_EQ(scores.items.size(), 12u);
    float sum = 0;
    for (const auto &score : scores.items) {
        EXPECT_TRUE(score.studentName);
        sum += score.score;
    }
    EXPECT_NEAR(sum / scores.items.size(), test.avgScore, 0.06);

    const auto mine = TestScoreService().GetStudentScores(1);
    ASSERT_FALSE(mine.items.empty());
    for (const auto &score : mine.items)
        EXPECT_TRUE(score.subjectName && score.testDate && score.avgScore >= 70.0f && score.score <= 100.0f);
}

using PeopleTest = ServerFixture;

TEST_F(PeopleTest, ContactsListTheClassesOwnStudentsAndTeachers)
{
    const auto mates = StudentInfoService().GetMySchoolMates(1);
    ASSERT_TRUE(mates.code == 0 && mates.students.size() == 12u);
    EXPECT_TRUE(mates.students.front().studentName && mates.students.front().avatar);
    const auto others = StudentInfoService().GetMySchoolMates(2);
    ASSERT_FALSE(others.students.empty());
    EXPECT_NE(others.students.front().studentId, mates.students.front().studentId);
    const auto teachers = StudentInfoService().GetMyTeachers(1);
    ASSERT_EQ(teachers.teachers.size(), 3u);
    EXPECT_TRUE(teachers.teachers.front().teacherName && teachers.teachers.front().avatar);
}

TEST_F(PeopleTest, PasswordChangesOnlyWithTheRightOldPassword)
{
    StudentInfoService info;
    EXPECT_EQ(info.ModifyPass("jz1002", "wrong", "fresh456", 1).code, 1);
    ASSERT_EQ(info.ModifyPass("jz1002", kParentPassword, "fresh456", 1).code, 0);
    EXPECT_EQ(LoginService().LoginStudent("jz1002", "fresh456").code, 0);
    EXPECT_EQ(LoginService().LoginStudent("jz1002", kParentPassword).code, 1);
}

TEST_F(PeopleTest, UploadedAvatarIsServedAndBecomesTheUsersPicture)
{
    const auto picture = http().Get("/images/avatars/student-3.png");
    ASSERT_TRUE(picture);
    std::string base64(4 * ((picture->body.size() + 2) / 3) + 1, '\0');
    base64.resize(
        static_cast<size_t>(EVP_EncodeBlock(reinterpret_cast<unsigned char *>(base64.data()),
                                            reinterpret_cast<const unsigned char *>(picture->body.data()),
                                            static_cast<int>(picture->body.size()))));
    const auto upload = UploadAvatarService().UploadStudentAvatar(1, base64);
    ASSERT_TRUE(upload.code == 0 && upload.image);
    const auto served = http().Get(upload.image->substr(server().baseUrl().size()));
    ASSERT_TRUE(served && served->status == 200);
    EXPECT_EQ(served->get_header_value("Content-Type"), "image/png");
    EXPECT_EQ(served->body, picture->body);
    EXPECT_EQ(LoginService().LoginStudent(kParent, kParentPassword).item->avatar, upload.image);

    EXPECT_NE(UploadAvatarService().UploadTeacherAvatar(1, "bm90IGEgcGljdHVyZQ==").code, 0);
    EXPECT_NE(UploadAvatarService().UploadTeacherAvatar(999, base64).code, 0);
}

TEST_F(PeopleTest, DetailsConfirmationAndFeedbackAreAcceptedOrRefused)
{
    EXPECT_EQ(StudentInfoService().ModifyStdInfo(1).code, 0);
    EXPECT_NE(StudentInfoService().ModifyStdInfo(999).code, 0);
    EXPECT_EQ(FeedBackService().PostFeedBack("希望增加作业提醒功能", 1, 1).code, 0);
    EXPECT_NE(FeedBackService().PostFeedBack("", 1, 1).code, 0);
}

} // namespace
