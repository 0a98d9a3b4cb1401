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

// An operation's call, the SOAP method it sends, its own arguments after the two access keys, and
// the line that logs its result.
struct WireCase
{
    const char *method;
    std::function<void()> call;
    std::vector<std::string> ownArguments;
    const char *resultLine;
};

// Test names and failure messages show the method rather than the bytes of the case.
void PrintTo(const WireCase &wire, std::ostream *out)
{
    *out << wire.method;
}

std::vector<WireCase> wireCases()
{
    return {
        {"getHomeWorks", [] { HomeWorkService().GetHomeWork(31, 1); }, {"31", "1", "20"}, "post return"},
        {"createHomeWork",
         [] { HomeWorkService().PostHomeWork("背诵第三课", 12, "S01", 31); },
         {"背诵第三课", "12", "S01", "31"},
         "post return"},
        {"getTestSubjects", [] { TestScoreService().GetSubjects(4, -2); }, {"4", "-2", "20"}, "get scores"},
        {"getTestScores", [] { TestScoreService().GetScores(9); }, {"9"}, "get scores"},
        {"getStudentScores", [] { TestScoreService().GetStudentScores(12); }, {"12"}, "get scores"},
        {"getStdStates", [] { StudentStateService().GetStdStates(31, 2); }, {"31", "2", "20"}, "post return"},
        {"createStdState",
         [] { StudentStateService().PostStdStates("wang", "", 1, "今天很好", "S01", 31); },
         {"wang", "", "1", "今天很好", "S01", "31"},
         "post return"},
        {"getChats", [] { ChatService().GetChats(31, 1); }, {"31", "1", "20"}, "post return"},
        {"postChat",
         [] { ChatService().PostChat("wang", "S01", 31, "a < b & 'c' \"d\""); },
         {"wang", "S01", "31", "a < b & 'c' \"d\""},
         "post return"},
        {"getNews",
         [] { NewsService().GetNews("S01", 31, "notice", 1); },
         {"S01", "31", "notice", "1", "20"},
         "get newses"},
        {"getNewsById", [] { NewsService().GetTheNews(7); }, {"7"}, "get newses"},
        {"getNewsTypes", [] { NewsService().GetNewsTypes(); }, {}, "get homework"},
        {"createReturn",
         [] { NewsService().PostReturn(7, "收到", 12, 0); },
         {"7", "收到", "12", "0"},
         "post return"},
        {"getReturns", [] { NewsService().GetReturns(7, 1, 3); }, {"7", "1", "3", "20"}, "post return"},
        {"getResources",
         [] { ResourceService().GetResources("food", 1); },
         {"food", "1", "20"},
         "post return"},
        {"SearchResource",
         [] { ResourceService().SearchResources("公园", 1); },
         {"公园", "1", "20"},
         "post return"},
        {"getPhotoResources", [] { ResourceService().GetTopResource(1); }, {"1", "20"}, "post return"},
        {"getResource", [] { ResourceService().GetResource(42); }, {"42"}, "post return"},
        {"getResourceTypes", [] { ResourceService().GetResourceTypes(); }, {}, "get homework"},
        {"loginTeacher",
         [] { LoginService().LoginTeacher("li", "secret"); },
         {"li", "secret"},
         "post return"},
        {"loginStudent", [] { LoginService().LoginStudent("wang", "pw"); }, {"wang", "pw"}, "post return"},
        {"setTeacherAvatar",
         [] { UploadAvatarService().UploadTeacherAvatar(12, "iVBORw0KGgo="); },
         {"12", "iVBORw0KGgo="},
         "post return"},
        {"setStudentAvatar",
         [] { UploadAvatarService().UploadStudentAvatar(13, "R0lGODlh"); },
         {"13", "R0lGODlh"},
         "post return"},
        {"setStudentInfo", [] { StudentInfoService().ModifyStdInfo(-5); }, {"-5"}, "post modify student"},
        {"changePassword",
         [] { StudentInfoService().ModifyPass("wang", "old", "new", 1); },
         {"wang", "old", "new", "1"},
         "post modify student"},
        {"getStudents", [] { StudentInfoService().GetMySchoolMates(31); }, {"31"}, "post modify student"},
        {"getTeachers", [] { StudentInfoService().GetMyTeachers(31); }, {"31"}, "post modify student"},
        {"createFeedback",
         [] { FeedBackService().PostFeedBack("很好用", 12, 1); },
         {"很好用", "12", "1"},
         "post feedback"},
    };
}

class ServiceWire : public ServiceTest, public ::testing::WithParamInterface<WireCase>
{};

TEST_P(ServiceWire, SendsMethodAndArgumentsInTheServiceNamespaceAndLogsItsResultLine)
{
    const WireCase &wire = GetParam();
    const std::string document = "<Result><Code>0</Code><Error></Error></Result>";
    server.answerWithDocument(document);

    wire.call();

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    const SentCall sent = readSentCall(requests[0].body);
    EXPECT_EQ(sent.method, wire.method);
    std::vector<std::string> expected{"qovel", "zantre"};
    expected.insert(expected.end(), wire.ownArguments.begin(), wire.ownArguments.end());
    EXPECT_EQ(sent.arguments, expected);
    std::vector<std::string> names;
    for (size_t index = 0; index < expected.size(); ++index)
        names.push_back("in" + std::to_string(index));
    EXPECT_EQ(sent.argumentNames, names);
    EXPECT_NE(requests[0].body.find(std::string("<ns1:") + wire.method + " xmlns:ns1=\"" +
                                    HSSCHOOL_TEST_SERVICE_NAMESPACE + "\">"),
              std::string::npos);
    EXPECT_TRUE(logged(std::string(wire.resultLine) + " result: " + document));
}

INSTANTIATE_TEST_SUITE_P(AllOperations, ServiceWire, ::testing::ValuesIn(wireCases()),
                         [](const ::testing::TestParamInfo<WireCase> &info) { return info.param.method; });

} // namespace
