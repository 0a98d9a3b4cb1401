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

TEST_F(ServiceTest, ListOperationsCopyEveryParsedItem)
{
    server.answerWithDocument(
        resultDocument("<HomeWork><HomeWorkId>1</HomeWorkId><Content>背诵</Content></HomeWork>"
                       "<HomeWork><HomeWorkId>2</HomeWorkId><Content>默写</Content></HomeWork>"));
    const HomeWorkServiceResponse homeWork = HomeWorkService().GetHomeWork(31, 1);
    ASSERT_EQ(homeWork.items.size(), 2u);
    EXPECT_EQ(homeWork.items[1].content, "默写");

    server.answerWithDocument(
        resultDocument("<Subject><SubjectId>3</SubjectId><AvgScore>81.5</AvgScore></Subject>"));
    const auto subjects = TestScoreService().GetSubjects(1, 1);
    ASSERT_EQ(subjects.items.size(), 1u);
    EXPECT_FLOAT_EQ(subjects.items[0].avgScore, 81.5f);

    server.answerWithDocument(
        resultDocument("<Score><StudentName>小明</StudentName><StudentScore>95</StudentScore></Score>"));
    const auto scores = TestScoreService().GetScores(9);
    ASSERT_EQ(scores.items.size(), 1u);
    EXPECT_EQ(scores.items[0].studentName, "小明");

    server.answerWithDocument(
        resultDocument("<Score><SubjectName>数学</SubjectName><ScoreAvg>88</ScoreAvg></Score>"));
    const auto ownScores = TestScoreService().GetStudentScores(12);
    ASSERT_EQ(ownScores.items.size(), 1u);
    EXPECT_EQ(ownScores.items[0].subjectName, "数学");

    server.answerWithDocument(
        resultDocument("<State><Content>很好</Content><Date>2013-05-02</Date></State>"));
    const StudentStateServiceResponse states = StudentStateService().GetStdStates(31, 1);
    ASSERT_EQ(states.items.size(), 1u);
    EXPECT_EQ(states.items[0].stateDate, "2013-05-02");

    server.answerWithDocument(resultDocument("<Chat><UserId>5</UserId><Content>你好</Content></Chat>"));
    const ChatServiceResponse chats = ChatService().GetChats(31, 1);
    ASSERT_EQ(chats.items.size(), 1u);
    EXPECT_EQ(chats.items[0].userId, 5);
}

TEST_F(ServiceTest, NewsAndResourceListsCopyEveryParsedItem)
{
    server.answerWithDocument(resultDocument("<News><NewsId>7</NewsId><NewsTitle>开学</NewsTitle></News>"
                                             "<News><NewsId>8</NewsId><NewsTitle>放假</NewsTitle></News>"));
    const auto news = NewsService().GetNews("S01", 31, "notice", 1);
    ASSERT_EQ(news.items.size(), 2u);
    EXPECT_EQ(news.items[0].newsId, 7);
    EXPECT_EQ(news.items[1].newsTitle, "放假");
    EXPECT_FALSE(news.item.has_value());

    server.answerWithDocument(
        resultDocument("<NewsType><TypeId>1</TypeId><TypeCode>notice</TypeCode></NewsType>"));
    const auto types = NewsService().GetNewsTypes();
    ASSERT_EQ(types.items.size(), 1u);
    EXPECT_EQ(types.items[0].typeCode, "notice");

    server.answerWithDocument(
        resultDocument("<return><returnId>4</returnId><userName>li</userName></return>"));
    const auto returns = NewsService().GetReturns(7, 1, 1);
    ASSERT_EQ(returns.items.size(), 1u);
    EXPECT_EQ(returns.items[0].rtId, 4);

    server.answerWithDocument(
        resultDocument("<Resource><ResourceId>42</ResourceId><ThumbImage>t.png</ThumbImage></Resource>"));
    for (const auto &resources :
         {ResourceService().GetResources("food", 1), ResourceService().SearchResources("k", 1),
          ResourceService().GetTopResource(1)}) {
        ASSERT_EQ(resources.items.size(), 1u);
        EXPECT_EQ(resources.items[0].resThumb, "t.png");
    }

    server.answerWithDocument(
        resultDocument("<ResourceType><TypeId>2</TypeId><TypeName>美食</TypeName></ResourceType>"));
    const auto resourceTypes = ResourceService().GetResourceTypes();
    ASSERT_EQ(resourceTypes.items.size(), 1u);
    EXPECT_EQ(resourceTypes.items[0].typeName, "美食");
}

TEST_F(ServiceTest, PeopleListsAreCopied)
{
    server.answerWithDocument(
        resultDocument("<Student><StudentId>3</StudentId><UserName>wang</UserName></Student>"));
    const StudentInfoResponse mates = StudentInfoService().GetMySchoolMates(31);
    ASSERT_EQ(mates.students.size(), 1u);
    EXPECT_EQ(mates.students[0].studentName, "wang");
    EXPECT_TRUE(mates.teachers.empty());

    server.answerWithDocument(
        resultDocument("<Teacher><TeacherName>李老师</TeacherName><Avatar>a.png</Avatar></Teacher>"));
    const StudentInfoResponse teachers = StudentInfoService().GetMyTeachers(31);
    ASSERT_EQ(teachers.teachers.size(), 1u);
    EXPECT_EQ(teachers.teachers[0].avatar, "a.png");
    EXPECT_TRUE(teachers.students.empty());
}

TEST_F(ServiceTest, AnswersWithoutItemsGiveEmptyListsAndSuccess)
{
    server.answerWithDocument(emptyResult);

    const auto news = NewsService().GetNews("S01", 31, "notice", 1);
    EXPECT_TRUE(news.answered);
    EXPECT_EQ(news.code, 0);
    EXPECT_TRUE(news.items.empty());

    const HomeWorkServiceResponse homeWork = HomeWorkService().GetHomeWork(31, 1);
    EXPECT_TRUE(homeWork.answered);
    EXPECT_TRUE(homeWork.items.empty());
}

TEST_F(ServiceTest, SingleItemOperationsCopyTheirItem)
{
    server.answerWithDocument(resultDocument("<NewsId>7</NewsId><NewsContent>全文</NewsContent>"));
    const auto news = NewsService().GetTheNews(7);
    ASSERT_TRUE(news.item.has_value());
    EXPECT_EQ(news.item->newsContent, "全文");
    EXPECT_TRUE(news.items.empty());

    server.answerWithDocument(resultDocument("<ResourceId>42</ResourceId><Longitude>116.5</Longitude>"));
    const auto resource = ResourceService().GetResource(42);
    ASSERT_TRUE(resource.item.has_value());
    EXPECT_EQ(resource.item->resId, 42);
    EXPECT_FLOAT_EQ(resource.item->longitude, 116.5f);

    server.answerWithDocument(
        resultDocument("<TeacherId>12</TeacherId><ClassId>31</ClassId><SchoolCode>S01</SchoolCode>"));
    const LoginServiceResponse teacher = LoginService().LoginTeacher("li", "pw");
    ASSERT_TRUE(teacher.item.has_value());
    EXPECT_EQ(teacher.item->userId, 12);
    EXPECT_EQ(teacher.item->schoolCode, "S01");

    server.answerWithDocument(resultDocument("<StudentId>13</StudentId><MotherName>张</MotherName>"));
    const LoginServiceResponse student = LoginService().LoginStudent("wang", "pw");
    ASSERT_TRUE(student.item.has_value());
    EXPECT_EQ(student.item->motherName, "张");
}

TEST_F(ServiceTest, AvatarUploadCopiesTheImageEvenWhenAbsent)
{
    server.answerWithDocument(resultDocument("<Image>http://pics/12.png</Image>"));
    EXPECT_EQ(UploadAvatarService().UploadTeacherAvatar(12, "AAAA").image, "http://pics/12.png");

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
    HsServiceConfig::setEndpoint(closed.endpoint());

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
}

TEST_F(ServiceTest, AnswerThatIsNotXmlGivesNoAnswerAndNoItem)
{
    server.setResponder([](const SentCall &) { return SoapReply{200, "Service temporarily unavailable"}; });

    const auto news = NewsService().GetTheNews(7);
    EXPECT_FALSE(news.answered);
    EXPECT_EQ(news.code, 0);
    EXPECT_FALSE(news.item.has_value());
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
