#include "AreaTestSupport.h"
#include "screens/HsNewsDetail.h"
#include "screens/HsResourceActivity.h"
#include "screens/HsSchoolActivity.h"
#include "screens/HsStudentActivity.h"
#include "services/ChatService.h"

#include <QAbstractItemModelTester>
#include <QDateTime>
#include <set>

namespace {

// Older entries, replies and read marks, against a demo school whose first notice category holds
// 45 notices for class 1.
class NewsMoreTest : public AreaTest
{
protected:
    HsSchoolActivity &openNotices()
    {
        tester.reset();
        notices = std::make_unique<HsSchoolActivity>(port, session, defaults);
        tester = std::make_unique<QAbstractItemModelTester>(
            notices->newses(), QAbstractItemModelTester::FailureReportingMode::Fatal);
        notices->viewDidLoad();
        EXPECT_TRUE(waitUntil([this] { return port.idle(); }));
        return *notices;
    }

    static bool loadMore(HsPaging &paging, const std::function<void()> &ask)
    {
        ask();
        return waitUntil([&] { return paging.state() != HsPaging::Loading; });
    }

    // Opens row `row` and waits for its detail to have fetched.
    HsNewsDetail &openDetail(int row)
    {
        const size_t before = port.pushed().size();
        notices->didSelectRow(row);
        EXPECT_EQ(port.pushed().size(), before + 1);
        auto *detail = qobject_cast<HsNewsDetail *>(port.pushed().back().get());
        EXPECT_TRUE(waitUntil([&] { return port.idle() && detail->succeeded(); }));
        return *detail;
    }

    int firstAskingForReply() const
    {
        const std::vector<NewsItem> &shown = notices->newses()->newses();
        for (size_t row = 0; row < shown.size(); ++row)
            if (shown[row].forceReturn != 0)
                return static_cast<int>(row);
        return -1;
    }

    bool answeredMark(int row) const
    {
        return notices->newses()->index(row).data(HsNewsListModel::AnsweredRole).toBool();
    }

    std::unique_ptr<HsSchoolActivity> notices;
    std::unique_ptr<QAbstractItemModelTester> tester;
};

} // namespace

// A failed page keeps the rows and is retried on a tap; 45 notices load as 20, 20 and 5, and then
// no more is asked.
TEST_F(NewsMoreTest, FortyFiveNoticesLoadAsTwentyTwentyFiveAfterAFailedPageIsRetried)
{
    signIn("wangfang", true);
    HsSchoolActivity &area = openNotices();
    HsPaging &paging = *area.paging();
    ASSERT_EQ(area.newses()->rowCount(), 20);
    EXPECT_EQ(paging.state(), HsPaging::More);

    unanswered([&] {
        ASSERT_TRUE(loadMore(paging, [&] { area.loadMore(); }));
        EXPECT_EQ(paging.state(), HsPaging::Failed);
        EXPECT_EQ(paging.text(), "加载失败，点击重试");
        EXPECT_EQ(area.newses()->rowCount(), 20);
    });
    ASSERT_TRUE(loadMore(paging, [&] { area.loadMore(); }));
    EXPECT_EQ(paging.state(), HsPaging::More);
    EXPECT_EQ(area.newses()->rowCount(), 40);
    ASSERT_TRUE(loadMore(paging, [&] { area.loadMore(); }));
    EXPECT_EQ(area.newses()->rowCount(), 45);
    EXPECT_EQ(paging.state(), HsPaging::End);
    EXPECT_EQ(paging.text(), "没有更多了");

    const int calls = callsOf("getNews");
    area.loadMore();
    EXPECT_EQ(paging.state(), HsPaging::End);
    EXPECT_EQ(callsOf("getNews"), calls);
    std::set<int32_t> ids;
    for (const NewsItem &news : area.newses()->newses())
        ids.insert(news.newsId);
    EXPECT_EQ(ids.size(), 45u);
}

TEST_F(NewsMoreTest, AChatMessageAddedBetweenTwoPagesIsNotShownTwice)
{
    signIn("jz2001", false);
    HsStudentActivity student(port, session, defaults);
    student.setNetworkCheck([] { return true; });
    student.viewDidLoad();
    ASSERT_TRUE(waitUntil([&] { return port.idle(); }));
    student.updateCategory(HsStudentActivity::chatCategory);
    ASSERT_TRUE(waitUntil([&] { return port.idle() && student.datas()->kind() == 4; }));
    ASSERT_EQ(student.datas()->rowCount(), 20);

    const std::string text = "第二页之前的新消息 " + std::to_string(QDateTime::currentMSecsSinceEpoch());
    const LoginResultItem user = session.user();
    ASSERT_EQ(ChatService().PostChat(*user.userName, *user.schoolCode, user.classId, text).code, 0);
    ASSERT_TRUE(loadMore(*student.paging(), [&] { student.loadMore(); }));

    std::set<QString> messages;
    for (int row = 0; row < student.datas()->rowCount(); ++row) {
        const QModelIndex index = student.datas()->index(row);
        messages.insert(index.data(HsStudentRecordModel::UserRole).toString() +
                        index.data(HsStudentRecordModel::DateRole).toString() +
                        index.data(HsStudentRecordModel::ContentRole).toString());
    }
    EXPECT_EQ(student.datas()->rowCount(), 30);
    EXPECT_EQ(messages.size(), 30u);
    EXPECT_EQ(student.paging()->state(), HsPaging::End);
}

TEST_F(NewsMoreTest, AParentsReplyReachesTheTeachersListAndMarksTheNoticeAnswered)
{
    signIn("jz1004", false);
    openNotices();
    const int row = firstAskingForReply();
    ASSERT_GE(row, 0);
    EXPECT_FALSE(answeredMark(row));
    HsNewsDetail &detail = openDetail(row);
    ASSERT_TRUE(detail.canReply());
    EXPECT_FALSE(detail.showsReplies());
    const QString text =
        QStringLiteral("已收到，按时参加。") + QString::number(QDateTime::currentMSecsSinceEpoch());

    unanswered([&] {
        detail.setReplyText(text);
        detail.pressReply();
        ASSERT_TRUE(waitUntil([&] { return port.idle(); }));
        EXPECT_EQ(detail.replyText(), text);
        EXPECT_EQ(port.toasts().last(), "请检查网络状态！");
        EXPECT_FALSE(answeredMark(row));
    });
    detail.pressReply();
    ASSERT_TRUE(waitUntil([&] { return port.idle(); }));
    EXPECT_EQ(port.toasts().last(), "回复成功！");
    EXPECT_TRUE(detail.replyText().isEmpty());
    EXPECT_TRUE(answeredMark(row));
    ASSERT_GE(detail.replies()->rowCount(), 1);
    EXPECT_EQ(detail.replies()->index(0).data(HsReturnListModel::ContentRole).toString(), text);

    signIn("wangfang", true);
    HsNewsDetail teacherView(port, session);
    teacherView.setNewsId(detail.newsId());
    teacherView.setForceReturn(1);
    teacherView.viewDidLoad();
    ASSERT_TRUE(waitUntil([&] { return port.idle() && teacherView.succeeded(); }));
    EXPECT_TRUE(teacherView.showsReplies());
    EXPECT_FALSE(teacherView.canReply());
    ASSERT_GE(teacherView.replies()->rowCount(), 1);
    EXPECT_EQ(teacherView.replies()->index(0).data(HsReturnListModel::ContentRole).toString(), text);
    EXPECT_EQ(teacherView.repliersText(),
              QStringLiteral("已回复 %1 人").arg(teacherView.replies()->repliers()));
    EXPECT_GE(teacherView.replies()->repliers(), 1);
}

TEST_F(NewsMoreTest, ReadMarksCountDownSurviveARestartAndBelongToTheirAccount)
{
    signIn("jz1005", false);
    HsSchoolActivity &first = openNotices();
    ASSERT_EQ(first.unreadCount(), 20);
    openDetail(0);
    openDetail(3);
    openDetail(3);
    EXPECT_EQ(first.unreadCount(), 18);
    EXPECT_FALSE(first.newses()->index(0).data(HsNewsListModel::UnreadRole).toBool());
    EXPECT_TRUE(first.newses()->index(1).data(HsNewsListModel::UnreadRole).toBool());

    HsSchoolActivity &again = openNotices();
    EXPECT_EQ(again.unreadCount(), 18);

    signIn("jz1006", false);
    EXPECT_EQ(openNotices().unreadCount(), 20);
}

TEST_F(NewsMoreTest, SearchResultsLoadPageAfterPageUntilAShortOne)
{
    signIn("wangfang", true);
    HsResourceActivity resources(port, session, defaults);
    resources.setNetworkCheck([] { return true; });
    resources.viewDidLoad();
    resources.pressCategory(2);
    ASSERT_TRUE(waitUntil([&] { return port.idle() && !resources.photoTableShown(); }));
    ASSERT_EQ(resources.paging()->state(), HsPaging::End);

    // Every resource's text ends with a full stop: all of them match.
    resources.setSearchText(QStringLiteral("。"));
    resources.searchBarSearchButtonClicked();
    ASSERT_TRUE(
        waitUntil([&] { return port.idle() && resources.serviceType() == HsResourceActivity::SearchList; }));
    ASSERT_EQ(resources.resourceTable()->rowCount(), 20);
    int calls = 0;
    while (resources.paging()->state() == HsPaging::More && calls++ < 10)
        ASSERT_TRUE(loadMore(*resources.paging(), [&] { resources.loadMore(); }));

    std::set<int32_t> ids;
    for (const ResourceItem &resource : resources.resourceTable()->resources())
        ids.insert(resource.resId);
    EXPECT_EQ(resources.paging()->state(), HsPaging::End);
    EXPECT_GT(ids.size(), 20u);
    EXPECT_EQ(ids.size(), resources.resources().size());
    EXPECT_EQ(resources.resourceTable()->rowCount(), static_cast<int>(ids.size()));
}
