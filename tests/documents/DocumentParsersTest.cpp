#include "DocumentTestSupport.h"
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

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using Text = std::optional<std::string>;

TEST(LoginDocuments, TeacherDocumentIsReadOnlyWithTheTeacherNames)
{
    const auto parser = parsedCanned<LoginTeacherParser>("login_teacher.xml");
    EXPECT_EQ(parser->code(), 0);
    EXPECT_EQ(parser->item(), (LoginResultItem{.userId = 31,
                                               .userName = "wangli",
                                               .realName = "王丽",
                                               .avatar = "http://127.0.0.1:8080/pic/t31.jpg",
                                               .classId = 12,
                                               .className = "三年级二班",
                                               .schoolCode = "SY001",
                                               .address = "北京市海淀区中关村大街1号"}));
}

TEST(LoginDocuments, StudentDocumentFillsTheFamilyFieldsAndIgnoresTeacherNames)
{
    EXPECT_EQ(parsedCanned<LoginStudentParser>("login_student.xml")->item(),
              (LoginResultItem{.userId = 1024,
                               .userName = "xiaoming",
                               .realName = "张小明",
                               .avatar = "http://127.0.0.1:8080/pic/s1024.jpg",
                               .classId = 12,
                               .className = "三年级二班",
                               .schoolCode = "SY001",
                               .address = "北京市海淀区",
                               .phone = "13900000001",
                               .motherName = "李梅",
                               .motherPhone = "13900000002",
                               .motherWork = "医院",
                               .fatherName = "张强",
                               .fatherPhone = "13900000003",
                               .fatherWork = "工厂"}));
}

TEST(LoginDocuments, ACodeOnlyAnswerGivesADefaultRecord)
{
    EXPECT_EQ(parsed<LoginStudentParser>("<R><Code>0</Code><ClassId/></R>")->item(), LoginResultItem{});
    EXPECT_EQ(parsed<LoginTeacherParser>("<R><Code>2</Code></R>")->code(), 2);
}

TEST(NewsDocuments, HeadlineListInDocumentOrder)
{
    EXPECT_EQ(parsedCanned<GetNewsesParser>("news_list.xml")->newses(),
              (std::vector<NewsItem>{
                  {.newsId = 101,
                   .newsTitle = "关于期中考试安排的通知",
                   .publicDate = "2013-04-20 08:30",
                   .forceReturn = 1},
                  {.newsId = 102},
                  {.newsId = 103, .newsTitle = "春季运动会 & 家长开放日", .publicDate = "2013-04-22"}}));
}

// A long list is sized from its first page; items of another size after it must all still come.
TEST(NewsDocuments, LongListsKeepEveryItemWhateverTheirSizes)
{
    const auto item = [](int id, const std::string &title) {
        return "<News><NewsId>" + std::to_string(id) + "</NewsId><NewsTitle>" + title + "</NewsTitle></News>";
    };
    const std::string large(300, 'x');
    const std::pair<std::string, std::string> shapes[] = {{"", large}, {large, ""}};
    for (const auto &[firstTitle, laterTitle] : shapes) {
        std::string document = "<R><Code>0</Code>";
        for (int id = 0; id < 500; ++id)
            document += item(id, id < 20 ? firstTitle : laterTitle);
        const auto parser = parsed<GetNewsesParser>(document + "</R>");
        ASSERT_EQ(parser->newses().size(), 500u);
        for (int id : {0, 19, 20, 499}) {
            const std::string &title = id < 20 ? firstTitle : laterTitle;
            EXPECT_EQ(parser->newses()[id].newsId, id);
            EXPECT_EQ(parser->newses()[id].newsTitle, title.empty() ? std::nullopt : Text(title));
        }
    }
}

TEST(NewsDocuments, WholeNewsItemIgnoresItsWrapper)
{
    const auto parser = parsed<GetNewsByIdParser>(
        "<R><News><NewsId>7</NewsId><NewsTitle>t</NewsTitle><ForceReturn>1</ForceReturn>"
        "<NewsContent>A &amp; B &lt;C&gt;</NewsContent><PublicDate>d</PublicDate></News></R>");
    EXPECT_EQ(parser->item(),
              (NewsItem{.newsId = 7, .newsTitle = "t", .publicDate = "d", .newsContent = "A & B <C>"}));
}

TEST(NewsDocuments, CategoriesAndReplies)
{
    const auto types =
        parsed<NewsTypeParser>("<R><NewsType><TypeId>2</TypeId><TypeCode>tz</TypeCode>"
                               "<TypeName>通知</TypeName><TypeType>0</TypeType></NewsType>"
                               "<NewsType><TypeId>3</TypeId><TypeType>1</TypeType></NewsType></R>");
    ASSERT_EQ(types->types().size(), 2u);
    EXPECT_EQ(types->types()[0], (NewsTypeItem{2, "tz", "通知", 0}));
    EXPECT_EQ(types->types()[1], (NewsTypeItem{3, std::nullopt, std::nullopt, 1}));

    const auto replies = parsed<GetReturnsParser>(
        "<R><return><returnId>5</returnId><returnContent>收到</returnContent><userId>9</userId>"
        "<userName>mama</userName><userAvatar>u</userAvatar><returnDate>d</returnDate><ReturnId>6</ReturnId>"
        "</return></R>");
    ASSERT_EQ(replies->returns().size(), 1u);
    EXPECT_EQ(replies->returns()[0], (ReturnItem{5, "收到", 9, "mama", "u", "d"}));
}

TEST(ResourceDocuments, WholeResourceWithPositionAndLineBreaks)
{
    EXPECT_EQ(parsedCanned<GetResourceParser>("resource_detail.xml")->item(),
              (ResourceItem{.resId = 88,
                            .resTitle = "青少年科技馆",
                            .updateDate = "2013-03-01",
                            .resContent = "周二至周日开放。\n学生凭证件免费。",
                            .resImage = "http://127.0.0.1:8080/pic/88.jpg",
                            .phone = "010-62000000",
                            .address = "海淀区北四环中路",
                            .longitude = 116.3975f,
                            .web = "http://example.org/?a=1&b=2"}));
    EXPECT_EQ(parsed<GetResourceParser>("<R/>")->item(), ResourceItem{});
}

TEST(ResourceDocuments, ListRowsCarryOnlyTheRowFields)
{
    const auto rows = parsed<GetResourcesParser>(
        "<R><Resource><ResourceId>1</ResourceId><ResourceTitle>a</ResourceTitle><Image>i</Image></Resource>"
        "<Resource><ThumbImage>s</ThumbImage><UpdateDate>d</UpdateDate><Longitude>1</Longitude></Resource></"
        "R>");
    EXPECT_EQ(rows->resources(), (std::vector<ResourceItem>{{.resId = 1, .resTitle = "a"},
                                                            {.resThumb = "s", .updateDate = "d"}}));

    const auto types = parsed<ResourceTypeParser>("<R><ResourceType><TypeId>4</TypeId><TypeCode>mu</"
                                                  "TypeCode><TypeName>博物馆</TypeName></ResourceType></R>");
    EXPECT_EQ(types->types(), (std::vector<ResourceTypeItem>{{4, "mu", "博物馆"}}));
}

TEST(StudentRecordDocuments, HomeworkStatesAndChat)
{
    const auto homeWorks = parsed<GetHomeWorksParser>(
        "<R><HomeWork><HomeWorkId>3</HomeWorkId><TeacherName>王老师</TeacherName>"
        "<Content>第一行\n第二行</Content><HomeWorkDate>2013-05-02</HomeWorkDate></HomeWork></R>");
    EXPECT_EQ(homeWorks->homeWorks(),
              (std::vector<HomeWorkItem>{{3, "第一行\n第二行", "王老师", "2013-05-02"}}));

    const auto states = parsed<GetStatesParser>("<R><State><Type>1</Type><TeacherName>t</TeacherName>"
                                                "<Content>午睡很好</Content><Date>d</Date></State></R>");
    EXPECT_EQ(states->states(), (std::vector<StudentStateItem>{{0, "午睡很好", "t", "d"}}));

    const auto chats =
        parsed<GetChatParser>("<R><Chat><UserId>15</UserId><UserName>a</UserName></Chat>"
                              "<Chat><Content>c</Content></Chat><Chat><ChatDate>d</ChatDate></Chat></R>");
    EXPECT_EQ(chats->chats(), (std::vector<ChatItem>{{15, "a", std::nullopt, std::nullopt},
                                                     {0, std::nullopt, "c", std::nullopt},
                                                     {0, std::nullopt, std::nullopt, "d"}}));
}

TEST(StudentRecordDocuments, EachScoreDocumentKnowsOnlyItsOwnNames)
{
    const std::string scoreDocument =
        "<R><Score><StudentName>n</StudentName><StudentScore>92.5</StudentScore>"
        "<ScoreAvg>80</ScoreAvg><AvgScore>70</AvgScore><SubjectName>语文</SubjectName>"
        "<TestDate>d</TestDate></Score></R>";
    const auto testScores = parsed<TestScoreParser>(scoreDocument);
    EXPECT_EQ(testScores->scores(),
              (std::vector<TestScoreItem>{{"n", 92.5f, 0.0f, std::nullopt, std::nullopt}}));
    const auto studentScores = parsed<StudentScoresParser>(scoreDocument);
    EXPECT_EQ(studentScores->scores(),
              (std::vector<TestScoreItem>{{std::nullopt, 92.5f, 80.0f, "语文", "d"}}));

    const auto subjects = parsed<SubjectsParser>(
        "<R><Subject><SubjectId>2</SubjectId><SubjectName>数学</SubjectName><TestName>期中</TestName>"
        "<TestDate>d</TestDate><AvgScore>88.5</AvgScore></Subject><Subject><ScoreAvg>9</ScoreAvg></Subject></"
        "R>");
    EXPECT_EQ(subjects->subjects(), (std::vector<SubjectItem>{{2, "数学", "期中", "d", 88.5f}, {}}));
}

TEST(PeopleDocuments, StudentsAndTeachers)
{
    const auto students = parsed<GetStudentsParser>(
        "<R><Student><StudentId>7</StudentId><UserName>小红</UserName><Avatar>a</Avatar>"
        "<StudentName>ignored</StudentName></Student></R>");
    EXPECT_EQ(students->students(),
              (std::vector<StudentItem>{{.studentId = 7, .studentName = "小红", .avatar = "a"}}));

    const auto teachers = parsed<GetMyTeacherParser>(
        "<R><Teacher><TeacherId>3</TeacherId><TeacherName>王老师</TeacherName></Teacher></R>");
    EXPECT_EQ(teachers->teachers(), (std::vector<TeacherItem>{{0, "王老师", std::nullopt, std::nullopt}}));
}

TEST(PeopleDocuments, UploadAnswerCarriesThePictureAddress)
{
    const auto uploaded = parsed<UserPicUploadParser>("<R><Code>0</Code><Image>http://h/p.jpg</Image></R>");
    EXPECT_EQ(uploaded->image(), Text("http://h/p.jpg"));
    EXPECT_EQ(parsed<UserPicUploadParser>("<R><Code>0</Code></R>")->image(), std::nullopt);
    EXPECT_EQ(parsed<UserPicUploadParser>("<R><Image>x</Image><Image/></R>")->image(), std::nullopt);
}

} // namespace
