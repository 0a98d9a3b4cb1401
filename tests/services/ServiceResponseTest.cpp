// How results become response records: payload copying, failures and refusals.

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
#include <string>
#include <thread>
#include <vector>

namespace {

// A successful result document as services write it, declaration included.
std::string resultDocument(const std::string &items)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Result><Code>0</Code><Error></Error>" + items +
           "</Result>";
}

const std::string emptyResult = resultDocument("");

// The operation's response holds exactly what its own parser reads from the answer, and that is
// something.
template <typename Parser, typename Read, typename Call>
void expectCopied(TestSoapServer &server, const std::string &items, Read read, Call call)
{
    SCOPED_TRACE(items);
    const std::string document = resultDocument(items);
    Parser parser;
    hsParseDocument(document, parser);
    const auto expected = std::invoke(read, parser);
    ASSERT_NE(expected, decltype(expected){});
    server.answerWithDocument(document);
    EXPECT_EQ(call(), expected);
}

TEST_F(ServiceTest, EveryOperationCopiesWhatItsParserRead)
{
    expectCopied<GetHomeWorksParser>(
        server, "<HomeWork><HomeWorkId>1</HomeWorkId></HomeWork><HomeWork><Content>默写</Content></HomeWork>",
        &GetHomeWorksParser::homeWorks, [] { return HomeWorkService().GetHomeWork(31, 1).items; });
    expectCopied<SubjectsParser>(
        server, "<Subject><SubjectId>3</SubjectId><AvgScore>81.5</AvgScore></Subject>",
        &SubjectsParser::subjects, [] { return TestScoreService().GetSubjects(1, 1).items; });
    expectCopied<TestScoreParser>(
        server, "<Score><StudentName>小明</StudentName><StudentScore>95</StudentScore></Score>",
        &TestScoreParser::scores, [] { return TestScoreService().GetScores(9).items; });
    expectCopied<StudentScoresParser>(
        server, "<Score><SubjectName>数学</SubjectName><ScoreAvg>88</ScoreAvg></Score>",
        &StudentScoresParser::scores, [] { return TestScoreService().GetStudentScores(12).items; });
    expectCopied<GetStatesParser>(server, "<State><Content>很好</Content><Date>2013-05-02</Date></State>",
                                  &GetStatesParser::states,
                                  [] { return StudentStateService().GetStdStates(31, 1).items; });
    expectCopied<GetChatParser>(server, "<Chat><UserId>5</UserId><Content>你好</Content></Chat>",
                                &GetChatParser::chats, [] { return ChatService().GetChats(31, 1).items; });
    expectCopied<GetNewsesParser>(
        server, "<News><NewsId>7</NewsId></News><News><NewsTitle>放假</NewsTitle></News>",
        &GetNewsesParser::newses, [] { return NewsService().GetNews("S01", 31, "notice", 1).items; });
    expectCopied<NewsTypeParser>(server, "<NewsType><TypeId>1</TypeId><TypeCode>notice</TypeCode></NewsType>",
                                 &NewsTypeParser::types, [] { return NewsService().GetNewsTypes().items; });
    expectCopied<GetReturnsParser>(server, "<return><returnId>4</returnId><userName>li</userName></return>",
                                   &GetReturnsParser::returns,
                                   [] { return NewsService().GetReturns(7, 1, 1).items; });
    const std::string resources =
        "<Resource><ResourceId>42</ResourceId><ThumbImage>t.png</ThumbImage></Resource>";
    expectCopied<GetResourcesParser>(server, resources, &GetResourcesParser::resources,
                                     [] { return ResourceService().GetResources("food", 1).items; });
    expectCopied<GetResourcesParser>(server, resources, &GetResourcesParser::resources,
                                     [] { return ResourceService().SearchResources("k", 1).items; });
    expectCopied<GetResourcesParser>(server, resources, &GetResourcesParser::resources,
                                     [] { return ResourceService().GetTopResource(1).items; });
    expectCopied<ResourceTypeParser>(
        server, "<ResourceType><TypeId>2</TypeId><TypeName>美食</TypeName></ResourceType>",
        &ResourceTypeParser::types, [] { return ResourceService().GetResourceTypes().items; });
    expectCopied<GetStudentsParser>(
        server, "<Student><StudentId>3</StudentId><UserName>wang</UserName></Student>",
        &GetStudentsParser::students, [] { return StudentInfoService().GetMySchoolMates(31).students; });
    expectCopied<GetMyTeacherParser>(
        server, "<Teacher><TeacherName>李老师</TeacherName><Avatar>a.png</Avatar></Teacher>",
        &GetMyTeacherParser::teachers, [] { return StudentInfoService().GetMyTeachers(31).teachers; });
    expectCopied<GetNewsByIdParser>(server, "<NewsId>7</NewsId><NewsContent>全文</NewsContent>",
                                    &GetNewsByIdParser::item,
                                    [] { return NewsService().GetTheNews(7).item.value_or(NewsItem{}); });
    expectCopied<GetResourceParser>(
        server, "<ResourceId>42</ResourceId><Longitude>116.5</Longitude>", &GetResourceParser::item,
        [] { return ResourceService().GetResource(42).item.value_or(ResourceItem{}); });
    expectCopied<LoginTeacherParser>(
        server, "<TeacherId>12</TeacherId><ClassId>31</ClassId><SchoolCode>S01</SchoolCode>",
        &LoginTeacherParser::item,
        [] { return LoginService().LoginTeacher("li", "pw").item.value_or(LoginResultItem{}); });
    expectCopied<LoginStudentParser>(
        server, "<StudentId>13</StudentId><MotherName>张</MotherName>", &LoginStudentParser::item,
        [] { return LoginService().LoginStudent("wang", "pw").item.value_or(LoginResultItem{}); });
    expectCopied<UserPicUploadParser>(
        server, "<Image>http://pics/12.png</Image>", &UserPicUploadParser::image,
        [] { return UploadAvatarService().UploadTeacherAvatar(12, "AAAA").image; });

    // An answer without the image is still an answer.
    server.answerWithDocument(emptyResult);
    const UploadAvatarResponse withoutImage = UploadAvatarService().UploadStudentAvatar(13, "AAAA");
    EXPECT_TRUE(withoutImage.answered);
    EXPECT_FALSE(withoutImage.image.has_value());
}

TEST_F(ServiceTest, RefusalCarriesCodeAndErrorText)
{
    server.answerWithDocument("<Result><Code>5</Code><Error>密码错误</Error></Result>");

    const LoginServiceResponse login = LoginService().LoginStudent("wang", "wrong");
    EXPECT_TRUE(login.answered);
    EXPECT_EQ(login.code, 5);
    EXPECT_EQ(login.error, "密码错误");

    const HsServiceResponse feedback = FeedBackService().PostFeedBack("text", 12, 0);
    EXPECT_EQ(feedback.code, 5);
    EXPECT_EQ(feedback.error, "密码错误");
}

TEST_F(ServiceTest, TransportFailureGivesNoAnswerAndNoPayload)
{
    const ClosedPort closed;
    HsServiceConfig::setEndpoint(closed.url());

    const auto news = NewsService().GetNews("S01", 31, "notice", 1);
    EXPECT_FALSE(news.answered);
    EXPECT_EQ(news.code, 0);
    EXPECT_FALSE(news.error.has_value());
    EXPECT_TRUE(news.items.empty());
    EXPECT_TRUE(logged("get newses result: (null)"));

    const LoginServiceResponse login = LoginService().LoginTeacher("li", "pw");
    EXPECT_FALSE(login.answered);
    EXPECT_FALSE(login.item.has_value());
    EXPECT_FALSE(UploadAvatarService().UploadTeacherAvatar(1, "AAAA").image.has_value());
}

TEST_F(ServiceTest, SoapFaultGivesNoAnswerButDefaultSingleItems)
{
    server.setResponder([](const SentCall &) { return SoapReply{500, soapFault("unknown method")}; });

    const LoginServiceResponse login = LoginService().LoginTeacher("li", "pw");
    EXPECT_FALSE(login.answered);
    EXPECT_EQ(login.code, 0);
    EXPECT_EQ(login.item, LoginResultItem{});

    EXPECT_EQ(NewsService().GetTheNews(7).item, NewsItem{});
    EXPECT_EQ(ResourceService().GetResource(42).item, ResourceItem{});

    const auto news = NewsService().GetNews("S01", 31, "notice", 1);
    EXPECT_FALSE(news.answered);
    EXPECT_TRUE(news.items.empty());
    EXPECT_TRUE(logged("get newses result: "));

    // An answer that is not XML at all leaves even the single item absent.
    server.answerWith(200, "Service temporarily unavailable");
    const auto unreadable = NewsService().GetTheNews(7);
    EXPECT_FALSE(unreadable.answered);
    EXPECT_EQ(unreadable.code, 0);
    EXPECT_FALSE(unreadable.item.has_value());
}

TEST_F(ServiceTest, ConcurrentCallsEachGetTheirOwnAnswer)
{
    server.setResponder([](const SentCall &call) {
        return SoapReply{
            200, soapAnswer(call.method, resultDocument("<NewsId>" + call.arguments.at(2) + "</NewsId>"))};
    });

    std::vector<int32_t> received(4);
    std::vector<std::thread> callers;
    for (size_t index = 0; index < received.size(); ++index)
        callers.emplace_back([&received, index] {
            received[index] =
                NewsService().GetTheNews(static_cast<int32_t>(100 + index)).item.value_or(NewsItem{}).newsId;
        });
    for (std::thread &caller : callers)
        caller.join();

    EXPECT_EQ(received, (std::vector<int32_t>{100, 101, 102, 103}));
}

} // namespace
