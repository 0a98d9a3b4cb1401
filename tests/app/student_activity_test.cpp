#include "AreaTestSupport.h"
#include "screens/HsRecordDetail.h"
#include "screens/HsStudentActivity.h"
#include "settings_canned_service.h"

#include <QAbstractItemModelTester>
#include <QDateTime>

namespace {

using Kinds = std::vector<int>;

class StudentActivityTest : public AreaTest
{
protected:
    // The area of a signed-in user, its first fetch (homework) done.
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

    QString cell(int row, HsStudentRecordModel::Role role) const
    {
        return area->datas()->index(row).data(role).toString();
    }

    std::unique_ptr<HsStudentActivity> area;
    std::unique_ptr<QAbstractItemModelTester> tester;
};

} // namespace

TEST_F(StudentActivityTest, EachCategoryFetchesUnderItsOverlayAndDrawsItsOwnRows)
{
    HsStudentActivity &student = open("jz1001", false);
    // A homework row opens its whole text and date line.
    ASSERT_GT(student.datas()->rowCount(), 0);
    student.didSelectRow(0);
    student.didSelectRow(-1);
    ASSERT_EQ(port.pushed().size(), 1u);
    auto *detail = qobject_cast<HsRecordDetail *>(port.pushed().front().get());
    ASSERT_NE(detail, nullptr);
    EXPECT_EQ(detail->title(), "作业详情");
    EXPECT_EQ(detail->text(), cell(0, HsStudentRecordModel::ContentRole));
    EXPECT_EQ(detail->dateLine(), cell(0, HsStudentRecordModel::DateRole));
    EXPECT_FALSE(detail->text().isEmpty());

    for (int category = 2; category <= 4; ++category)
        show(category);
    show(4);

    EXPECT_EQ(port.events(),
              (QStringList{"overlay:获取学生作业, 请稍候...", "push:HsRecordDetail", "overlay:获取学生成绩, 请稍候...",
                           "overlay:获取学生状态, 请稍候...", "overlay:获取交流信息, 请稍候...",
                           "overlay:获取交流信息, 请稍候..."}));
    EXPECT_EQ(student.datas()->kind(), 4);
    ASSERT_EQ(student.datas()->rowCount(), 20);
    EXPECT_EQ(student.datas()->index(0).data(HsStudentRecordModel::RowHeightRole).toInt(), 90);
    EXPECT_FALSE(cell(0, HsStudentRecordModel::UserRole).isEmpty());

    show(2);
    EXPECT_EQ(student.datas()->kind(), 2);
    ASSERT_GT(student.datas()->rowCount(), 0);
    EXPECT_TRUE(cell(0, HsStudentRecordModel::TitleRole).endsWith(QStringLiteral("分")));
    EXPECT_EQ(student.datas()->index(0).data(HsStudentRecordModel::RowHeightRole).toInt(), 60);
}

TEST_F(StudentActivityTest, ThePostBoxFollowsTheCategoryAndTheRole)
{
    const std::vector<std::pair<bool, std::vector<bool>>> visibleByRole{
        {true, {true, false, true, true}},
        {false, {false, false, false, true}},
    };
    for (const auto &[teacher, visible] : visibleByRole) {
        HsStudentActivity &student = open(teacher ? "wangfang" : "jz1001", teacher);
        for (int category = 1; category <= 4; ++category) {
            student.updateCategory(category);
            EXPECT_EQ(student.isPostBoxVisible(), visible[static_cast<size_t>(category - 1)])
                << (teacher ? "teacher" : "parent") << " category " << category;
        }
        EXPECT_TRUE(waitUntil([this] { return port.idle(); }));
    }
}

TEST_F(StudentActivityTest, AChatPostAppearsAfterTheNextFetchAndEmptiesTheField)
{
    HsStudentActivity &student = open("jz1002", false);
    show(4);
    const QString text =
        QStringLiteral("明天孩子请假一天 ") + QString::number(QDateTime::currentMSecsSinceEpoch());

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

TEST_F(StudentActivityTest, AnUnansweredPostKeepsItsTextAndARefusedOneSaysNothing)
{
    HsStudentActivity &student = open("wangfang", true);
    const QString text = QStringLiteral("今天的作业：口算练习一页");
    CannedService refusing(QStringLiteral("<Result><Code>2</Code><Error>不允许</Error></Result>"));

    HsServiceConfig::setEndpoint(refusing.endpoint());
    post(text);
    EXPECT_EQ(student.postText(), text);
    EXPECT_TRUE(port.toasts().isEmpty());

    unanswered([&] { post(text); });
    EXPECT_EQ(student.postText(), text);
    EXPECT_EQ(port.toasts(), QStringList{"请检查网络状态！"});
}

TEST_F(StudentActivityTest, RowsKeepTheirKindWhenANewCategoryIsRefusedOrUnanswered)
{
    HsStudentActivity &student = open("jz1003", false);
    show(4);
    const int chats = student.datas()->rowCount();
    CannedService refusing(QStringLiteral("<Result><Code>9</Code><Error>x</Error></Result>"));
    HsServiceConfig::setEndpoint(refusing.endpoint());

    show(2);
    EXPECT_EQ(student.category(), 2);
    EXPECT_EQ(student.datas()->kind(), 4);
    EXPECT_EQ(student.datas()->rowCount(), chats);

    unanswered([&] { show(1); });
    EXPECT_EQ(student.datas()->kind(), 4);
    EXPECT_EQ(student.datas()->rowCount(), chats);
}

TEST_F(StudentActivityTest, PullToRefreshFetchesTheShownCategoryWithoutTheOverlay)
{
    HsStudentActivity &student = open("wangfang", true);
    const int before = callsOf("getHomeWorks");
    const int overlays = static_cast<int>(port.events().size());
    RefreshHeaderView &header = *student.refreshHeader();

    header.refreshScrollViewDidScroll(-70, true);
    header.refreshScrollViewDidEndDragging(-70);
    ASSERT_TRUE(waitUntil([&] { return header.state() == RefreshHeaderView::Normal; }));

    EXPECT_EQ(callsOf("getHomeWorks"), before + 1);
    EXPECT_EQ(port.events().size(), overlays);
    EXPECT_EQ(student.datas()->kind(), 1);
    EXPECT_EQ(student.datas()->rowCount(), 20);
}

TEST(StudentRecordModelTest, ScoreLinesAreAtLeastFourWideWithOneDecimal)
{
    const std::vector<std::pair<float, QString>> cases{
        {9.5f, "语文: 9.5分"}, {100.0f, "语文:100.0分"}, {87.26f, "语文:87.3分"}, {0.0f, "语文: 0.0分"}};
    for (const auto &[average, line] : cases) {
        TestScoreItem score;
        score.subjectName = "语文";
        score.avgScore = average;
        EXPECT_EQ(HsStudentRecordModel::scoreLine(score), line) << average;
    }
}
