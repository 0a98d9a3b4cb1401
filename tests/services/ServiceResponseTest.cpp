// How results become response records: payload copying, failures and refusals.

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

// How many items a list response holds and one field of its last item.
template <typename Item, typename Field> std::string listed(const std::vector<Item> &items, Field field)
{
    return std::to_string(items.size()) + " " + (items.empty() ? "" : field(items.back()));
}

std::string text(const std::optional<std::string> &value)
{
    return value.value_or("(absent)");
}

// Each operation reads its answer with the parser for its items and copies what was read into
// its response: the items of a list, the one record of a single item.
TEST_F(ServiceTest, EveryOperationCopiesWhatItsParserRead)
{
    const struct
    {
        std::string items;
        std::function<std::string()> copied;
        std::string expected;
    } cases[] = {
        {"<HomeWork><HomeWorkId>1</HomeWorkId></HomeWork><HomeWork><Content>默写</Content></HomeWork>",
         [] {
             return listed(HomeWorkService().GetHomeWork(31, 1).items,
                           [](auto &i) { return text(i.content); });
         },
         "2 默写"},
        {"<Subject><SubjectId>3</SubjectId><AvgScore>81.5</AvgScore></Subject>",
         [] {
             return listed(TestScoreService().GetSubjects(1, 1).items,
                           [](auto &i) { return std::to_string(i.avgScore); });
         },
         "1 81.500000"},
        {"<Score><StudentName>小明</StudentName><StudentScore>95</StudentScore></Score>",
         [] {
             return listed(TestScoreService().GetScores(9).items,
                           [](auto &i) { return text(i.studentName); });
         },
         "1 小明"},
        {"<Score><SubjectName>数学</SubjectName><ScoreAvg>88</ScoreAvg></Score>",
         [] {
             return listed(TestScoreService().GetStudentScores(12).items,
                           [](auto &i) { return text(i.subjectName); });
         },
         "1 数学"},
        {"<State><Content>很好</Content><Date>2013-05-02</Date></State>",
         [] {
             return listed(StudentStateService().GetStdStates(31, 1).items,
                           [](auto &i) { return text(i.stateDate); });
         },
         "1 2013-05-02"},
        {"<Chat><UserId>5</UserId><Content>你好</Content></Chat>",
         [] {
             return listed(ChatService().GetChats(31, 1).items,
                           [](auto &i) { return std::to_string(i.userId); });
         },
         "1 5"},
        {"<News><NewsId>7</NewsId></News><News><NewsId>8</NewsId><NewsTitle>放假</NewsTitle></News>",
         [] {
             const auto news = NewsService().GetNews("S01", 31, "notice", 1);
             return listed(news.items, [](auto &i) { return text(i.newsTitle); }) +
                    (news.item ? " item" : "");
         },
         "2 放假"},
        {"<NewsType><TypeId>1</TypeId><TypeCode>notice</TypeCode></NewsType>",
         [] { return listed(NewsService().GetNewsTypes().items, [](auto &i) { return text(i.typeCode); }); },
         "1 notice"},
        {"<return><returnId>4</returnId><userName>li</userName></return>",
         [] {
             return listed(NewsService().GetReturns(7, 1, 1).items,
                           [](auto &i) { return std::to_string(i.rtId); });
         },
         "1 4"},
        {"<Resource><ResourceId>42</ResourceId><ThumbImage>t.png</ThumbImage></Resource>",
         [] {
             std::string all;
             for (const auto &list :
                  {ResourceService().GetResources("food", 1), ResourceService().SearchResources("k", 1),
                   ResourceService().GetTopResource(1)})
                 all += listed(list.items, [](auto &i) { return text(i.resThumb); }) + ";";
             return all;
         },
         "1 t.png;1 t.png;1 t.png;"},
        {"<ResourceType><TypeId>2</TypeId><TypeName>美食</TypeName></ResourceType>",
         [] {
             return listed(ResourceService().GetResourceTypes().items,
                           [](auto &i) { return text(i.typeName); });
         },
         "1 美食"},
        {"<Student><StudentId>3</StudentId><UserName>wang</UserName></Student>",
         [] {
             const StudentInfoResponse mates = StudentInfoService().GetMySchoolMates(31);
             return listed(mates.students, [](auto &i) { return text(i.studentName); }) +
                    listed(mates.teachers, [](auto &) { return ""; });
         },
         "1 wang0 "},
        {"<Teacher><TeacherName>李老师</TeacherName><Avatar>a.png</Avatar></Teacher>",
         [] {
             const StudentInfoResponse teachers = StudentInfoService().GetMyTeachers(31);
             return listed(teachers.teachers, [](auto &i) { return text(i.avatar); }) +
                    listed(teachers.students, [](auto &) { return ""; });
         },
         "1 a.png0 "},
        {"<NewsId>7</NewsId><NewsContent>全文</NewsContent>",
         [] {
             const auto news = NewsService().GetTheNews(7);
             return text(news.item.value_or(NewsItem{}).newsContent) + " " +
                    std::to_string(news.items.size());
         },
         "全文 0"},
        {"<ResourceId>42</ResourceId><Longitude>116.5</Longitude>",
         [] {
             return std::to_string(ResourceService().GetResource(42).item.value_or(ResourceItem{}).longitude);
         },
         "116.500000"},
        {"<TeacherId>12</TeacherId><ClassId>31</ClassId><SchoolCode>S01</SchoolCode>",
         [] {
             const auto teacher = LoginService().LoginTeacher("li", "pw").item.value_or(LoginResultItem{});
             return std::to_string(teacher.userId) + " " + text(teacher.schoolCode);
         },
         "12 S01"},
        {"<StudentId>13</StudentId><MotherName>张</MotherName>",
         [] {
             return text(
                 LoginService().LoginStudent("wang", "pw").item.value_or(LoginResultItem{}).motherName);
         },
         "张"},
        {"<Image>http://pics/12.png</Image>",
         [] { return text(UploadAvatarService().UploadTeacherAvatar(12, "AAAA").image); },
         "http://pics/12.png"},
    };
    for (const auto &answer : cases) {
        SCOPED_TRACE(answer.items);
        server.answerWithDocument(resultDocument(answer.items));
        EXPECT_EQ(answer.copied(), answer.expected);
    }

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
