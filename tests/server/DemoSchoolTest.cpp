// What the demo school offers someone trying the client: a family with a child in each class,
// lists with words worth searching for, and posts signed with people's names.
#include "ServerTestSupport.h"
#include "services/ChatService.h"
#include "services/HomeWorkService.h"
#include "services/LoginService.h"
#include "services/NewsService.h"
#include "services/StudentInfoService.h"
#include "services/StudentStateService.h"
#include "services/TestScoreService.h"

#include <algorithm>
#include <set>

namespace {

using DemoSchoolTest = ServerFixture;

// One text of every item of a list, "" where an item has none.
template <typename Item>
std::vector<std::string> textsOf(const std::vector<Item> &items, std::optional<std::string> Item::*text)
{
    std::vector<std::string> texts;
    for (const Item &item : items)
        texts.push_back((item.*text).value_or(""));
    return texts;
}

std::set<int32_t> classmateIds(int32_t classId)
{
    std::set<int32_t> ids;
    for (const auto &student : StudentInfoService().GetMySchoolMates(classId).students)
        ids.insert(student.studentId);
    return ids;
}

bool anyEndsWith(const std::vector<std::string> &names, const std::string &end)
{
    return std::any_of(names.begin(), names.end(),
                       [&](const std::string &name) { return name.ends_with(end); });
}

} // namespace

// The elder signs in to class 1 and the younger, with the next account, to class 2; both are of
// one family, and each is a child of their own class with scores of their own.
TEST_F(DemoSchoolTest, TwoChildrenOfOneFamilySignInToTheirOwnClasses)
{
    const auto elder = LoginService().LoginStudent("jz1012", kParentPassword);
    const auto younger = LoginService().LoginStudent("jz1013", kParentPassword);
    ASSERT_TRUE(elder.code == 0 && elder.item && younger.code == 0 && younger.item);
    const LoginResultItem &a = *elder.item;
    const LoginResultItem &b = *younger.item;

    EXPECT_EQ(a.classId, 1);
    EXPECT_EQ(b.classId, 2);
    ASSERT_TRUE(a.realName && b.realName && a.realName != b.realName);
    EXPECT_EQ(a.realName->substr(0, 3), b.realName->substr(0, 3)) << "one surname";
    EXPECT_TRUE(a.motherName && a.fatherName && a.motherName == b.motherName && a.fatherName == b.fatherName);
    EXPECT_TRUE(a.motherPhone == b.motherPhone && a.fatherPhone == b.fatherPhone && a.address == b.address);

    EXPECT_TRUE(classmateIds(1).count(a.userId) && !classmateIds(1).count(b.userId));
    EXPECT_TRUE(classmateIds(2).count(b.userId) && !classmateIds(2).count(a.userId));
    EXPECT_FALSE(TestScoreService().GetStudentScores(b.userId).items.empty());
}

// A search among the rows of a first page finds several for a common word of each list; the
// school's chat messages and state reports are signed by the class's people by name.
TEST_F(DemoSchoolTest, FirstPagesHoldCommonWordsAndAreSignedByPeople)
{
    for (const int32_t classId : {1, 2}) {
        SCOPED_TRACE(classId);
        const auto notices = [classId](const char *type) {
            return textsOf(NewsService().GetNews(kSchoolCode, classId, type, 1).items, &NewsItem::newsTitle);
        };
        const auto chats = ChatService().GetChats(classId, 1).items;
        const auto states = StudentStateService().GetStdStates(classId, 1).items;
        const std::pair<std::vector<std::string>, std::vector<std::string>> lists[] = {
            {notices("xxtz"), {"家长会", "作业"}},
            {notices("bjtz"), {"家长会", "作业"}},
            {textsOf(HomeWorkService().GetHomeWork(classId, 1).items, &HomeWorkItem::content), {"作业"}},
            {textsOf(states, &StudentStateItem::content), {"作业"}},
            {textsOf(chats, &ChatItem::content), {"家长会"}},
        };
        for (const auto &[rows, words] : lists) {
            for (const std::string &word : words) {
                const auto found = std::count_if(rows.begin(), rows.end(), [&](const std::string &row) {
                    return row.find(word) != std::string::npos;
                });
                EXPECT_GE(found, 3) << word << " in " << testing::PrintToString(rows);
            }
        }

        std::set<std::string> people;
        for (const auto &teacher : StudentInfoService().GetMyTeachers(classId).teachers)
            people.insert(teacher.teacherName.value_or("") + "老师");
        for (const auto &student : StudentInfoService().GetMySchoolMates(classId).students)
            people.insert(student.studentName.value_or("") + "家长");
        const auto chatAuthors = textsOf(chats, &ChatItem::userName);
        const auto stateAuthors = textsOf(states, &StudentStateItem::teacherName);
        for (const auto &authors : {chatAuthors, stateAuthors}) {
            ASSERT_FALSE(authors.empty());
            for (const std::string &author : authors)
                EXPECT_TRUE(people.count(author)) << author;
        }
        EXPECT_TRUE(anyEndsWith(chatAuthors, "老师") && anyEndsWith(stateAuthors, "家长"));
    }
}

// A reply is signed by its author's name, as the seeded posts are; a post is signed with
// whatever its client sent.
TEST_F(DemoSchoolTest, RepliesAreSignedByNameAndPostsAsSent)
{
    const auto notice = NewsService().GetNews(kSchoolCode, 1, "xxtz", 1).items.at(0);
    ASSERT_EQ(NewsService().PostReturn(notice.newsId, "请家长们按时参加", 1, 0).code, 0);
    EXPECT_EQ(NewsService().GetReturns(notice.newsId, 0, 1).items.at(0).userName, "王芳老师");

    ASSERT_EQ(ChatService().PostChat("jz1002", kSchoolCode, 2, "请问周五几点放学？").code, 0);
    ASSERT_EQ(StudentStateService().PostStdStates("wangfang", "", 0, "今天很专心", kSchoolCode, 2).code, 0);
    EXPECT_EQ(ChatService().GetChats(2, 1).items.at(0).userName, "jz1002");
    EXPECT_EQ(StudentStateService().GetStdStates(2, 1).items.at(0).teacherName, "wangfang");
}
