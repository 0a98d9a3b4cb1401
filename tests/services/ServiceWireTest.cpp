// What each operation puts on the wire and which result line it logs.

#include "ServiceTestSupport.h"
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

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace {

struct WireCase
{
    const char *operation;
    std::function<void()> call;
    const char *method;
    std::vector<std::string> ownArguments;
    const char *resultLine;
};

// Test names and failure messages show the operation rather than the bytes of the case.
void PrintTo(const WireCase &wire, std::ostream *out)
{
    *out << wire.operation;
}

std::vector<WireCase> wireCases()
{
    return {
        {"GetHomeWork",
         [] { HomeWorkService().GetHomeWork(31, 1); },
         "getHomeWorks",
         {"31", "1", "20"},
         "post return"},
        {"PostHomeWork",
         [] { HomeWorkService().PostHomeWork("背诵第三课", 12, "S01", 31); },
         "createHomeWork",
         {"背诵第三课", "12", "S01", "31"},
         "post return"},
        {"GetSubjects",
         [] { TestScoreService().GetSubjects(4, -2); },
         "getTestSubjects",
         {"4", "-2", "20"},
         "get scores"},
        {"GetScores", [] { TestScoreService().GetScores(9); }, "getTestScores", {"9"}, "get scores"},
        {"GetStudentScores",
         [] { TestScoreService().GetStudentScores(12); },
         "getStudentScores",
         {"12"},
         "get scores"},
        {"GetStdStates",
         [] { StudentStateService().GetStdStates(31, 2); },
         "getStdStates",
         {"31", "2", "20"},
         "post return"},
        {"PostStdStates",
         [] { StudentStateService().PostStdStates("wang", "", 1, "今天很好", "S01", 31); },
         "createStdState",
         {"wang", "", "1", "今天很好", "S01", "31"},
         "post return"},
        {"GetChats", [] { ChatService().GetChats(31, 1); }, "getChats", {"31", "1", "20"}, "post return"},
        {"PostChat",
         [] { ChatService().PostChat("wang", "S01", 31, "a < b & 'c' \"d\""); },
         "postChat",
         {"wang", "S01", "31", "a < b & 'c' \"d\""},
         "post return"},
        {"GetNews",
         [] { NewsService().GetNews("S01", 31, "notice", 1); },
         "getNews",
         {"S01", "31", "notice", "1", "20"},
         "get newses"},
        {"GetTheNews", [] { NewsService().GetTheNews(7); }, "getNewsById", {"7"}, "get newses"},
        {"GetNewsTypes", [] { NewsService().GetNewsTypes(); }, "getNewsTypes", {}, "get homework"},
        {"PostReturn",
         [] { NewsService().PostReturn(7, "收到", 12, 0); },
         "createReturn",
         {"7", "收到", "12", "0"},
         "post return"},
        {"GetReturns",
         [] { NewsService().GetReturns(7, 1, 3); },
         "getReturns",
         {"7", "1", "3", "20"},
         "post return"},
        {"GetResources",
         [] { ResourceService().GetResources("food", 1); },
         "getResources",
         {"food", "1", "20"},
         "post return"},
        {"SearchResources",
         [] { ResourceService().SearchResources("公园", 1); },
         "SearchResource",
         {"公园", "1", "20"},
         "post return"},
        {"GetTopResource",
         [] { ResourceService().GetTopResource(1); },
         "getPhotoResources",
         {"1", "20"},
         "post return"},
        {"GetResource", [] { ResourceService().GetResource(42); }, "getResource", {"42"}, "post return"},
        {"GetResourceTypes",
         [] { ResourceService().GetResourceTypes(); },
         "getResourceTypes",
         {},
         "get homework"},
        {"LoginTeacher",
         [] { LoginService().LoginTeacher("li", "secret"); },
         "loginTeacher",
         {"li", "secret"},
         "post return"},
        {"LoginStudent",
         [] { LoginService().LoginStudent("wang", "pw"); },
         "loginStudent",
         {"wang", "pw"},
         "post return"},
        {"UploadTeacherAvatar",
         [] { UploadAvatarService().UploadTeacherAvatar(12, "iVBORw0KGgo="); },
         "setTeacherAvatar",
         {"12", "iVBORw0KGgo="},
         "post return"},
        {"UploadStudentAvatar",
         [] { UploadAvatarService().UploadStudentAvatar(13, "R0lGODlh"); },
         "setStudentAvatar",
         {"13", "R0lGODlh"},
         "post return"},
        {"ModifyStdInfo",
         [] { StudentInfoService().ModifyStdInfo(-5); },
         "setStudentInfo",
         {"-5"},
         "post modify student"},
        {"ModifyPass",
         [] { StudentInfoService().ModifyPass("wang", "old", "new", 1); },
         "changePassword",
         {"wang", "old", "new", "1"},
         "post modify student"},
        {"GetMySchoolMates",
         [] { StudentInfoService().GetMySchoolMates(31); },
         "getStudents",
         {"31"},
         "post modify student"},
        {"GetMyTeachers",
         [] { StudentInfoService().GetMyTeachers(31); },
         "getTeachers",
         {"31"},
         "post modify student"},
        {"PostFeedBack",
         [] { FeedBackService().PostFeedBack("很好用", 12, 1); },
         "createFeedback",
         {"很好用", "12", "1"},
         "post feedback"},
    };
}

std::vector<std::string> expectedWireArguments(const std::vector<std::string> &ownArguments)
{
    std::vector<std::string> arguments{"qovel", "zantre"};
    arguments.insert(arguments.end(), ownArguments.begin(), ownArguments.end());
    return arguments;
}

std::vector<std::string> numberedArgumentNames(size_t count)
{
    std::vector<std::string> names;
    for (size_t index = 0; index < count; ++index)
        names.push_back("in" + std::to_string(index));
    return names;
}

class ServiceWire : public ServiceTest, public ::testing::WithParamInterface<WireCase>
{};

TEST_P(ServiceWire, SendsMethodAndArgumentsAndLogsItsResultLine)
{
    const WireCase &wire = GetParam();
    const std::string document = "<Result><Code>0</Code><Error></Error></Result>";
    server.answerWithDocument(document);

    wire.call();

    ASSERT_EQ(server.requestBodies().size(), 1u);
    const SentCall sent = server.lastCall();
    EXPECT_EQ(sent.method, wire.method);
    const std::vector<std::string> expected = expectedWireArguments(wire.ownArguments);
    EXPECT_EQ(sent.arguments, expected);
    EXPECT_EQ(sent.argumentNames, numberedArgumentNames(expected.size()));
    EXPECT_TRUE(logged(std::string(wire.resultLine) + " result: " + document));
}

INSTANTIATE_TEST_SUITE_P(AllOperations, ServiceWire, ::testing::ValuesIn(wireCases()),
                         [](const ::testing::TestParamInfo<WireCase> &info) { return info.param.operation; });

TEST_F(ServiceTest, CategoryListsSendOnlyTheTwoConstants)
{
    NewsService().GetNewsTypes();
    ResourceService().GetResourceTypes();

    const std::vector<std::string> bodies = server.requestBodies();
    ASSERT_EQ(bodies.size(), 2u);
    for (const std::string &body : bodies)
        EXPECT_EQ(readSentCall(body).arguments, (std::vector<std::string>{"qovel", "zantre"}));
}

TEST_F(ServiceTest, StateReportFromTheScreenSendsAnEmptyThirdArgument)
{
    StudentStateService().PostStdStates("wang", "", 1, "按时完成", "S01", 31);

    const std::string body = server.requestBodies().at(0);
    const SentCall sent = readSentCall(body);
    ASSERT_EQ(sent.arguments.size(), 8u);
    EXPECT_EQ(sent.arguments[3], "");
    EXPECT_EQ(sent.arguments[4], "1");
    EXPECT_NE(body.find("<ns1:in3></ns1:in3>"), std::string::npos);
}

} // namespace
