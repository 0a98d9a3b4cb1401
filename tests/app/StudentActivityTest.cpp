#include "AreaTestSupport.h"
#include "screens/HsRecordDetail.h"
#include "screens/HsStudentActivity.h"

#include <QAbstractItemModelTester>
#include <QDateTime>

namespace {

class StudentActivityTest : public AreaTest
{
protected:
    HsStudentActivity &open(const std::string &account, bool teacher)
    {
        signIn(account, teacher);
        area = std::make_unique<HsStudentActivity>(port, session, defaults);
        area->setNetworkCheck([] { return true; });
        tester = std::make_unique<QAbstractItemModelTester>(
            area->datas(), QAbstractItemModelTester::FailureReportingMode::Fatal);
        area->viewDidLoad();
        EXPECT_TRUE(waitForOverlays(1));
        return *area;
    }

    void show(int category)
    {
        const int before = port.overlaysFinished();
        area->updateCategory(category);
        ASSERT_TRUE(waitForOverlays(before + 1));
    }

    void post(const QString &text)
    {
        const int before = port.overlaysFinished();
        area->setPostText(text);
        area->pressPost();
        ASSERT_TRUE(waitForOverlays(before + 1));
    }

    QVariant cell(int row, HsStudentRecordModel::Role role) const
    {
        return area->datas()->index(row).data(role);
    }

    std::unique_ptr<HsStudentActivity> area;
    std::unique_ptr<QAbstractItemModelTester> tester;
};

} // namespace

TEST_F(StudentActivityTest, EachCategoryFetchesUnderItsOverlayAndDrawsItsOwnRows)
{
    HsStudentActivity &student = open("jz1001", false);
    // A homework row opens its whole text and date line.
    student.didSelectRow(0);
    student.didSelectRow(-1);
    ASSERT_EQ(port.pushed().size(), 1u);
    auto *detail = qobject_cast<HsRecordDetail *>(port.pushed().front().get());
    ASSERT_NE(detail, nullptr);
    EXPECT_FALSE(detail->text().isEmpty());
    EXPECT_EQ(detail->text(), cell(0, HsStudentRecordModel::ContentRole));
    EXPECT_EQ(detail->dateLine(), cell(0, HsStudentRecordModel::DateRole));

    for (int category : {2, 3, 4, 4})
        show(category);
    EXPECT_EQ(port.events(),
              (QStringList{"overlay:获取学生作业, 请稍候...", "push:HsRecordDetail",
                           "overlay:获取学生成绩, 请稍候...", "overlay:获取学生状态, 请稍候...",
                           "overlay:获取交流信息, 请稍候...", "overlay:获取交流信息, 请稍候..."}));
    EXPECT_EQ(student.datas()->kind(), HsStudentRecordModel::Chat);
    ASSERT_EQ(student.datas()->rowCount(), 20);
    EXPECT_EQ(cell(0, HsStudentRecordModel::RowHeightRole), 90);
    EXPECT_FALSE(cell(0, HsStudentRecordModel::UserRole).toString().isEmpty());

    show(2);
    EXPECT_EQ(student.datas()->kind(), HsStudentRecordModel::TestScores);
    EXPECT_TRUE(cell(0, HsStudentRecordModel::TitleRole).toString().endsWith(QStringLiteral("分")));
    EXPECT_EQ(cell(0, HsStudentRecordModel::RowHeightRole), 60);
}

TEST_F(StudentActivityTest, ThePostBoxFollowsTheCategoryAndTheRole)
{
    for (const auto &[teacher, visible] : {std::pair{true, std::vector{true, false, true, true}},
                                           std::pair{false, std::vector{false, false, false, true}}}) {
        HsStudentActivity &student = open(teacher ? "wangfang" : "jz1001", teacher);
        for (int category = 1; category <= 4; ++category) {
            student.updateCategory(category);
            EXPECT_EQ(student.isPostBoxVisible(), visible[category - 1]) << teacher << " " << category;
        }
        EXPECT_TRUE(waitUntil([this] { return port.idle(); }));
    }
}

TEST_F(StudentActivityTest, AChatPostAppearsAfterTheNextFetchAndEmptiesTheField)
{
    HsStudentActivity &student = open("jz1002", false);
    show(4);
    const QString text = "明天孩子请假一天 " + QString::number(QDateTime::currentMSecsSinceEpoch());

    student.pressPost();
    EXPECT_EQ(port.toasts(), QStringList{"请输入内容！"});
    EXPECT_TRUE(port.idle());
    post(text);
    EXPECT_TRUE(student.postText().isEmpty());
    EXPECT_EQ(port.toasts().last(), "发布成功！");
    EXPECT_NE(cell(0, HsStudentRecordModel::ContentRole), text);
    show(4);
    EXPECT_EQ(cell(0, HsStudentRecordModel::ContentRole), text);
    EXPECT_EQ(cell(0, HsStudentRecordModel::UserRole), "jz1002");
}

TEST_F(StudentActivityTest, ThePostBoxGivesWayToSearchResults)
{
    HsStudentActivity &student = open("wangfang", true);
    ScreenHost host;
    host.show(&student);
    QQuickItem *box = host.find(QStringLiteral("viewPost"));
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isVisible());
    host.type(QStringLiteral("localSearchField"), QStringLiteral("ab"));
    ASSERT_TRUE(student.search()->active());
    EXPECT_FALSE(box->isVisible());
    host.tap(host.find(QStringLiteral("localSearchClear")));
    ASSERT_TRUE(waitUntil([&] { return !student.search()->active(); }));
    EXPECT_TRUE(box->isVisible());
}

// A category that could not be fetched leaves the rows shown, drawn as their own kind and
// paged as their own category.
TEST_F(StudentActivityTest, RowsKeepTheirKindWhenANewCategoryIsRefusedOrUnanswered)
{
    HsStudentActivity &student = open("jz1003", false);
    show(4);
    const int chats = student.datas()->rowCount();
    refusedThenUnanswered([this] { show(2); },
                          [&] {
                              EXPECT_EQ(student.category(), 2);
                              EXPECT_EQ(student.datas()->kind(), HsStudentRecordModel::Chat);
                              EXPECT_EQ(student.datas()->rowCount(), chats);
                              EXPECT_EQ(student.paging()->state(), HsPaging::More);
                          });
    // The chat shown goes on with its own further pages.
    ASSERT_TRUE(loadMore(*student.paging(), [&] { student.loadMore(); }));
    EXPECT_EQ(student.datas()->kind(), HsStudentRecordModel::Chat);
    EXPECT_GT(student.datas()->rowCount(), chats);
}

TEST_F(StudentActivityTest, PullToRefreshFetchesTheShownCategoryWithoutTheOverlay)
{
    HsStudentActivity &student = open("wangfang", true);
    const int before = callsOf("getHomeWorks");
    pullToRefresh(*student.refreshHeader());
    EXPECT_EQ(callsOf("getHomeWorks"), before + 1);
    EXPECT_EQ(port.events().size(), 1);
    EXPECT_EQ(student.datas()->kind(), HsStudentRecordModel::HomeWork);
    EXPECT_EQ(student.datas()->rowCount(), 20);
}

// Chat messages carry no id: a later page leaves out only the messages that new ones pushed onto
// it, and keeps real messages that look alike, on one page or on both sides of a page's edge.
TEST_F(StudentActivityTest, ChatMessagesThatLookAlikeAllStayAndOnlyPushedOnesAreLeftOut)
{
    const auto message = [](const QString &content) {
        return QStringLiteral("<Chat><UserId>7</UserId><UserName>jz1001</UserName><Content>%1</Content>"
                              "<ChatDate>2026-12-01 08:00</ChatDate></Chat>")
            .arg(content);
    };
    QStringList firstPage;
    for (int n = 1; n < 20; ++n)
        firstPage << message(QString::number(n));
    firstPage << message("好的");
    struct Case
    {
        const char *name;
        QStringList later;
        bool pushedByOne;
        int rows;
        int calls;
    };
    const QString alike = message("好的"), other = message("谢谢");
    for (const Case &c :
         {Case{"alike across the edge", {alike, other, other, message("再见")}, false, 24, 3},
          Case{"alike on a later page", {other, other, message("再见")}, false, 23, 2},
          Case{"pushed down by one, alike across the edge", {alike, other, message("再见")}, true, 23, 3}}) {
        bool pushed = false;
        EventLoopSoapServer service([&](const SentCall &call) {
            const QStringList held =
                (pushed ? QStringList{message("新消息")} : QStringList{}) + firstPage + c.later;
            return resultDocument(held.mid((pageOf(call) - 1) * 20, 20));
        });
        HsStudentActivity &student = open("jz1001", false);
        HsServiceConfig::setEndpoint(service.url());
        show(HsStudentActivity::chatCategory);
        ASSERT_EQ(student.datas()->rowCount(), 20);
        pushed = c.pushedByOne;
        ASSERT_TRUE(loadMore(*student.paging(), [&] { student.loadMore(); }));

        EXPECT_EQ(student.paging()->state(), HsPaging::End) << c.name;
        EXPECT_EQ(student.datas()->rowCount(), c.rows) << c.name;
        EXPECT_EQ(cell(c.rows - 1, HsStudentRecordModel::ContentRole), "再见") << c.name;
        EXPECT_EQ(service.calls().size(), c.calls) << c.name;
        HsServiceConfig::setEndpoint(server->endpoint());
    }
}

TEST(StudentRecordModelTest, ScoreLinesAreAtLeastFourWideWithOneDecimal)
{
    for (const auto &[average, line] : {std::pair{9.5f, "语文: 9.5分"},
                                        {100.0f, "语文:100.0分"},
                                        {87.26f, "语文:87.3分"},
                                        {0.0f, "语文: 0.0分"}}) {
        EXPECT_EQ(HsStudentRecordModel::scoreLine({.avgScore = average, .subjectName = "语文"}),
                  QString::fromUtf8(line));
    }
}
