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
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace {

using DemoSchoolTest = ServerFixture;

bool endsWith(const std::string &text, const std::string &end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::set<int32_t> classmateIds(int32_t classId)
{
    std::set<int32_t> ids;
    for (const auto &student : StudentInfoService().GetMySchoolMates(classId).students)
        ids.insert(student.studentId);
    return ids;
}

// The names the class's people go by: "王芳老师" for its teachers, "李雨桐家长" for its parents.
std::set<std::string> peopleOf(int32_t classId)
{
    std::set<std::string> names;
    for (const auto &teacher : StudentInfoService().GetMyTeachers(classId).teachers)
        names.insert(teacher.teacherName.value_or("") + "老师");
    for (const auto &student : StudentInfoService().GetMySchoolMates(classId).students)
        names.insert(student.studentName.value_or("") + "家长");
    return names;
}

std::vector<std::string> noticeTitles(int32_t classId, const std::string &typeCode)
{
    std::vector<std::string> titles;
    for (const auto &item : NewsService().GetNews(kSchoolCode, classId, typeCode, 1).items)
        titles.push_back(item.newsTitle.value_or(""));
    return titles;
}

std::vector<std::string> homeworkTexts(int32_t classId)
{
    std::vector<std::string> texts;
    for (const auto &item : HomeWorkService().GetHomeWork(classId, 1).items)
        texts.push_back(item.content.value_or(""));
    return texts;
}

std::vector<std::string> stateTexts(int32_t classId)
{
    std::vector<std::string> texts;
    for (const auto &item : StudentStateService().GetStdStates(classId, 1).items)
        texts.push_back(item.content.value_or(""));
    return texts;
}

std::vector<std::string> chatTexts(int32_t classId)
{
    std::vector<std::string> texts;
    for (const auto &item : ChatService().GetChats(classId, 1).items)
        texts.push_back(item.content.value_or(""));
    return texts;
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
    EXPECT_NE(a.userId, b.userId);
    ASSERT_TRUE(a.realName && b.realName && a.realName != b.realName);
    EXPECT_EQ(a.realName->substr(0, 3), b.realName->substr(0, 3)) << "one surname";
    EXPECT_TRUE(a.motherName && a.fatherName);
    EXPECT_TRUE(a.motherName == b.motherName && a.fatherName == b.fatherName);
    EXPECT_TRUE(a.motherPhone == b.motherPhone && a.fatherPhone == b.fatherPhone && a.address == b.address);

    EXPECT_TRUE(classmateIds(1).count(a.userId) && !classmateIds(1).count(b.userId));
    EXPECT_TRUE(classmateIds(2).count(b.userId) && !classmateIds(2).count(a.userId));
    EXPECT_FALSE(TestScoreService().GetStudentScores(b.userId).items.empty());
}

// A search among the rows of a first page finds several for a common word of each list.
TEST_F(DemoSchoolTest, CommonWordsAreInSeveralRowsOfEveryFirstPage)
{
    struct Case
    {
        std::string list;
        std::function<std::vector<std::string>()> rows;
        std::string word;
    };
    const std::vector<Case> cases{
        {"school notices", [] { return noticeTitles(1, "xxtz"); }, "家长会"},
        {"school notices", [] { return noticeTitles(1, "xxtz"); }, "作业"},
        {"class 1 notices", [] { return noticeTitles(1, "bjtz"); }, "家长会"},
        {"class 1 notices", [] { return noticeTitles(1, "bjtz"); }, "作业"},
        {"class 2 notices", [] { return noticeTitles(2, "bjtz"); }, "家长会"},
        {"class 2 notices", [] { return noticeTitles(2, "bjtz"); }, "作业"},
        {"class 1 homework", [] { return homeworkTexts(1); }, "作业"},
        {"class 2 homework", [] { return homeworkTexts(2); }, "作业"},
        {"class 1 state reports", [] { return stateTexts(1); }, "作业"},
        {"class 2 state reports", [] { return stateTexts(2); }, "作业"},
        {"class 1 chat", [] { return chatTexts(1); }, "家长会"},
        {"class 2 chat", [] { return chatTexts(2); }, "家长会"},
    };
    for (const Case &c : cases) {
        int found = 0;
        for (const std::string &row : c.rows())
            found += row.find(c.word) != std::string::npos ? 1 : 0;
        EXPECT_GE(found, 3) << c.word << " in " << c.list;
    }
}

// The school's own chat messages and state reports are signed by the class's people by name, as
// replies to notices are; a post is signed with whatever its client sent.
TEST_F(DemoSchoolTest, SeededAuthorsArePeopleAndPostedAuthorsAreKeptAsSent)
{
    for (const int32_t classId : {1, 2}) {
        const auto people = peopleOf(classId);
        const auto chats = ChatService().GetChats(classId, 1).items;
        const auto states = StudentStateService().GetStdStates(classId, 1).items;
        ASSERT_FALSE(chats.empty() || states.empty());
        for (const auto &chat : chats)
            EXPECT_TRUE(people.count(chat.userName.value_or(""))) << chat.userName.value_or("(none)");
        for (const auto &state : states)
            EXPECT_TRUE(people.count(state.teacherName.value_or(""))) << state.teacherName.value_or("(none)");
        EXPECT_TRUE(std::any_of(chats.begin(), chats.end(),
                                [](const auto &chat) { return endsWith(*chat.userName, "老师"); }));
        EXPECT_TRUE(std::any_of(states.begin(), states.end(),
                                [](const auto &state) { return endsWith(*state.teacherName, "家长"); }));
    }

    const auto notice = NewsService().GetNews(kSchoolCode, 1, "xxtz", 1).items.at(0);
    ASSERT_EQ(NewsService().PostReturn(notice.newsId, "请家长们按时参加", 1, 0).code, 0);
    EXPECT_EQ(NewsService().GetReturns(notice.newsId, 0, 1).items.at(0).userName, "王芳老师");

    ASSERT_EQ(ChatService().PostChat("jz1002", kSchoolCode, 2, "请问周五几点放学？").code, 0);
    ASSERT_EQ(StudentStateService().PostStdStates("wangfang", "", 0, "今天很专心", kSchoolCode, 2).code, 0);
    EXPECT_EQ(ChatService().GetChats(2, 1).items.at(0).userName, "jz1002");
    EXPECT_EQ(StudentStateService().GetStdStates(2, 1).items.at(0).teacherName, "wangfang");
}
