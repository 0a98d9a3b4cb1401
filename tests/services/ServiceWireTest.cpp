// What each operation puts on the wire, what its response holds and which result line it logs.

#include "ServiceTestSupport.h"
#include "documents/DocumentParser.h"
#include "documents/GetChatParser.h"
#include "documents/GetHomeWorksParser.h"
#include "documents/GetMyTeacherParser.h"
#include "documents/GetNewsByIdParser.h"
#include "documents/GetNewsesParser.h"
#include "documents/GetResourceParser.h"
#include "documents/GetResourcesParser.h"
#include "documents/GetReturnsParser.h"
#include "documents/GetStatesParser.h"
#include "documents/GetStudentsParser.h"
#include "documents/LoginStudentParser.h"
#include "documents/LoginTeacherParser.h"
#include "documents/NewsTypeParser.h"
#include "documents/ResourceTypeParser.h"
#include "documents/StudentScoresParser.h"
#include "documents/SubjectsParser.h"
#include "documents/TestScoreParser.h"
#include "documents/UserPicUploadParser.h"
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

using Check = std::function<void(const std::string &resultDocument)>;

// An operation: the SOAP method it sends, its own arguments after the two access keys, the line
// that logs its result, the items of the successful result it is answered with, and its call,
// which checks the response.
struct WireCase
{
    const char *method;
    std::vector<std::string> ownArguments;
    const char *resultLine;
    std::string items;
    Check call;
};

void PrintTo(const WireCase &wire, std::ostream *out)
{
    *out << wire.method;
}

// The response holds exactly what the operation's own parser reads from the result, and that is
// something.
template <typename Parser, typename Read, typename Call> Check copies(Read (Parser::*read)() const, Call call)
{
    return [read, call](const std::string &document) {
        Parser parser;
        hsParseDocument(document, parser);
        const auto expected = (parser.*read)();
        EXPECT_NE(expected, std::remove_cvref_t<Read>{});
        const auto got = call();
        EXPECT_EQ(got, decltype(got)(expected));
    };
}

// An operation without a payload: the result is an answer.
template <typename Call> Check answers(Call call)
{
    return [call](const std::string &) { EXPECT_TRUE(call().answered); };
}

const std::string resources =
    "<Resource><ResourceId>42</ResourceId><ThumbImage>t.png</ThumbImage></Resource>";

std::vector<WireCase> wireCases()
{
    // clang-format off
    return {
        {"getHomeWorks", {"31", "1", "20"}, "post return",
         "<HomeWork><HomeWorkId>1</HomeWorkId></HomeWork><HomeWork><Content>默写</Content></HomeWork>",
         copies(&GetHomeWorksParser::homeWorks, [] { return HomeWorkService().GetHomeWork(31, 1).items; })},
        {"createHomeWork", {"背诵第三课", "12", "S01", "31"}, "post return", "",
         answers([] { return HomeWorkService().PostHomeWork("背诵第三课", 12, "S01", 31); })},
        {"getTestSubjects", {"4", "-2", "20"}, "get scores",
         "<Subject><SubjectId>3</SubjectId><AvgScore>81.5</AvgScore></Subject>",
         copies(&SubjectsParser::subjects, [] { return TestScoreService().GetSubjects(4, -2).items; })},
        {"getTestScores", {"9"}, "get scores",
         "<Score><StudentName>小明</StudentName><StudentScore>95</StudentScore></Score>",
         copies(&TestScoreParser::scores, [] { return TestScoreService().GetScores(9).items; })},
        {"getStudentScores", {"12"}, "get scores",
         "<Score><SubjectName>数学</SubjectName><ScoreAvg>88</ScoreAvg></Score>",
         copies(&StudentScoresParser::scores, [] { return TestScoreService().GetStudentScores(12).items; })},
        {"getStdStates", {"31", "2", "20"}, "post return",
         "<State><Content>很好</Content><Date>2013-05-02</Date></State>",
         copies(&GetStatesParser::states, [] { return StudentStateService().GetStdStates(31, 2).items; })},
        {"createStdState", {"wang", "", "1", "今天很好", "S01", "31"}, "post return", "",
         answers([] { return StudentStateService().PostStdStates("wang", "", 1, "今天很好", "S01", 31); })},
        {"getChats", {"31", "1", "20"}, "post return", "<Chat><UserId>5</UserId><Content>你好</Content></Chat>",
         copies(&GetChatParser::chats, [] { return ChatService().GetChats(31, 1).items; })},
        {"postChat", {"wang", "S01", "31", "a < b & 'c' \"d\""}, "post return", "",
         answers([] { return ChatService().PostChat("wang", "S01", 31, "a < b & 'c' \"d\""); })},
        {"getNews", {"S01", "31", "notice", "1", "20"}, "get newses",
         "<News><NewsId>7</NewsId></News><News><NewsTitle>放假</NewsTitle></News>",
         copies(&GetNewsesParser::newses, [] { return NewsService().GetNews("S01", 31, "notice", 1).items; })},
        {"getNewsById", {"7"}, "get newses", "<NewsId>7</NewsId><NewsContent>全文</NewsContent>",
         copies(&GetNewsByIdParser::item, [] { return NewsService().GetTheNews(7).item; })},
        {"getNewsTypes", {}, "get homework",
         "<NewsType><TypeId>1</TypeId><TypeCode>notice</TypeCode></NewsType>",
         copies(&NewsTypeParser::types, [] { return NewsService().GetNewsTypes().items; })},
        {"createReturn", {"7", "收到", "12", "0"}, "post return", "",
         answers([] { return NewsService().PostReturn(7, "收到", 12, 0); })},
        {"getReturns", {"7", "1", "3", "20"}, "post return",
         "<return><returnId>4</returnId><userName>li</userName></return>",
         copies(&GetReturnsParser::returns, [] { return NewsService().GetReturns(7, 1, 3).items; })},
        {"getResources", {"food", "1", "20"}, "post return", resources,
         copies(&GetResourcesParser::resources, [] { return ResourceService().GetResources("food", 1).items; })},
        {"SearchResource", {"公园", "1", "20"}, "post return", resources,
         copies(&GetResourcesParser::resources, [] { return ResourceService().SearchResources("公园", 1).items; })},
        {"getPhotoResources", {"1", "20"}, "post return", resources,
         copies(&GetResourcesParser::resources, [] { return ResourceService().GetTopResource(1).items; })},
        {"getResource", {"42"}, "post return", "<ResourceId>42</ResourceId><Longitude>116.5</Longitude>",
         copies(&GetResourceParser::item, [] { return ResourceService().GetResource(42).item; })},
        {"getResourceTypes", {}, "get homework",
         "<ResourceType><TypeId>2</TypeId><TypeName>美食</TypeName></ResourceType>",
         copies(&ResourceTypeParser::types, [] { return ResourceService().GetResourceTypes().items; })},
        {"loginTeacher", {"li", "secret"}, "post return",
         "<TeacherId>12</TeacherId><ClassId>31</ClassId><SchoolCode>S01</SchoolCode>",
         copies(&LoginTeacherParser::item, [] { return LoginService().LoginTeacher("li", "secret").item; })},
        {"loginStudent", {"wang", "pw"}, "post return", "<StudentId>13</StudentId><ClassName>三年级二班</ClassName>",
         copies(&LoginStudentParser::item, [] { return LoginService().LoginStudent("wang", "pw").item; })},
        {"setTeacherAvatar", {"12", "iVBORw0KGgo="}, "post return", "<Image>http://pics/12.png</Image>",
         copies(&UserPicUploadParser::image, [] { return UploadAvatarService().UploadTeacherAvatar(12, "iVBORw0KGgo=").image; })},
        // An answer without the image is still an answer.
        {"setStudentAvatar", {"13", "R0lGODlh"}, "post return", "",
            [](const std::string &) {
                const auto response = UploadAvatarService().UploadStudentAvatar(13, "R0lGODlh");
                EXPECT_TRUE(response.answered && !response.image);
            }},
        {"setStudentInfo", {"-5"}, "post modify student", "",
         answers([] { return StudentInfoService().ModifyStdInfo(-5); })},
        {"changePassword", {"wang", "old", "new", "1"}, "post modify student", "",
         answers([] { return StudentInfoService().ModifyPass("wang", "old", "new", 1); })},
        {"getStudents", {"31"}, "post modify student",
         "<Student><StudentId>3</StudentId><UserName>wang</UserName></Student>",
         copies(&GetStudentsParser::students, [] { return StudentInfoService().GetMySchoolMates(31).students; })},
        {"getTeachers", {"31"}, "post modify student",
         "<Teacher><TeacherName>李老师</TeacherName><Avatar>a.png</Avatar></Teacher>",
         copies(&GetMyTeacherParser::teachers, [] { return StudentInfoService().GetMyTeachers(31).teachers; })},
        {"createFeedback", {"很好用", "12", "1"}, "post feedback", "",
         answers([] { return FeedBackService().PostFeedBack("很好用", 12, 1); })},
    };
    // clang-format on
}

class ServiceWire : public ServiceTest, public ::testing::WithParamInterface<WireCase>
{};

TEST_P(ServiceWire, SendsItsCallInTheServiceNamespaceHoldsWhatItsParserReadAndLogsItsResultLine)
{
    const WireCase &wire = GetParam();
    const std::string document = "<Result><Code>0</Code><Error></Error>" + wire.items + "</Result>";
    server.answerWithDocument(document);
    wire.call(document);
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    const SentCall sent = readSentCall(requests[0].body);
    EXPECT_EQ(sent.method, wire.method);
    std::vector<std::string> expected{"qovel", "zantre"};
    expected.insert(expected.end(), wire.ownArguments.begin(), wire.ownArguments.end());
    EXPECT_EQ(sent.arguments, expected);
    EXPECT_NE(requests[0].body.find(std::string("<ns1:") + wire.method + " xmlns:ns1=\"" +
                                    HSSCHOOL_TEST_SERVICE_NAMESPACE + "\">"),
              std::string::npos);
    EXPECT_TRUE(logged(std::string(wire.resultLine) + " result: " + document));
}

INSTANTIATE_TEST_SUITE_P(AllOperations, ServiceWire, ::testing::ValuesIn(wireCases()),
                         [](const ::testing::TestParamInfo<WireCase> &info) { return info.param.method; });

} // namespace
