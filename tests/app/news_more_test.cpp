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
    const auto more = [&] { ASSERT_TRUE(loadMore(paging, [&] { area.loadMore(); })); };
    ASSERT_EQ(area.newses()->rowCount(), 20);
    EXPECT_EQ(paging.state(), HsPaging::More);

    unanswered(more);
    EXPECT_EQ(paging.state(), HsPaging::Failed);
    EXPECT_EQ(area.newses()->rowCount(), 20);
    more();
    EXPECT_EQ(paging.state(), HsPaging::More);
    EXPECT_EQ(area.newses()->rowCount(), 40);
    more();
    EXPECT_EQ(area.newses()->rowCount(), 45);
    EXPECT_EQ(paging.state(), HsPaging::End);

    const int calls = callsOf("getNews");
    area.loadMore();
    EXPECT_EQ(paging.state(), HsPaging::End);
    EXPECT_EQ(callsOf("getNews"), calls);
    const std::vector<int32_t> ids = idsOf(area.newses()->newses());
    EXPECT_EQ(std::set<int32_t>(ids.begin(), ids.end()).size(), 45u);
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
    const std::vector<NewsItem> &shown = notices->newses()->newses();
    const int row = static_cast<int>(
        std::find_if(shown.begin(), shown.end(), [](const NewsItem &n) { return n.forceReturn != 0; }) -
        shown.begin());
    ASSERT_LT(row, static_cast<int>(shown.size()));
    EXPECT_FALSE(answeredMark(row));
    HsNewsDetail &detail = openDetail(row);
    ASSERT_TRUE(detail.canReply());
    EXPECT_FALSE(detail.showsReplies());
    const QString text = "已收到，按时参加。" + QString::number(QDateTime::currentMSecsSinceEpoch());

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
    for (int calls = 0; resources.paging()->state() == HsPaging::More && calls < 10; ++calls)
        ASSERT_TRUE(loadMore(*resources.paging(), [&] { resources.loadMore(); }));
    const std::vector<int32_t> ids = idsOf(resources.resourceTable()->resources());
    EXPECT_EQ(resources.paging()->state(), HsPaging::End);
    EXPECT_GT(ids.size(), 20u);
    EXPECT_EQ(std::set<int32_t>(ids.begin(), ids.end()).size(), ids.size());
    EXPECT_EQ(ids.size(), resources.resources().size());
}
