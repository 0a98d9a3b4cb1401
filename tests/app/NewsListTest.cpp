#include "AreaTestSupport.h"
#include "cache/NewsDao.h"
#include "screens/HsNewsActivity.h"
#include "screens/HsNewsDetail.h"
#include "screens/HsSchoolActivity.h"
#include "screens/HsText.h"

#include <QAbstractItemModelTester>
#include <QDateTime>
#include <set>

namespace {

NewsItem headline(int32_t id, const char *title)
{
    return {.newsId = id, .newsTitle = title, .publicDate = "2026-12-01 08:00"};
}

// Headlines `first`, `first` + 1, ... as a service's page holds them.
QStringList headlines(int first, int count)
{
    QStringList items;
    for (int id = first; id < first + count; ++id)
        items << QStringLiteral(
                     "<News><NewsId>%1</NewsId><NewsTitle>通知%1</NewsTitle><ForceReturn>0</ForceReturn>"
                     "<PublicDate>2026-12-01 08:00</PublicDate></News>")
                     .arg(id);
    return items;
}

class NewsListTest : public AreaTest
{
protected:
    void SetUp() override
    {
        AreaTest::SetUp();
        signIn("wangfang", true);
        categories = NewsTypeDao().initSelectSchools();
        ASSERT_GE(categories.size(), 2u);
    }

    HsSchoolActivity &openSchool()
    {
        tester.reset();
        school = std::make_unique<HsSchoolActivity>(port, session, defaults);
        school->setNetworkCheck([this] { return networkUp; });
        tester = std::make_unique<QAbstractItemModelTester>(
            school->newses(), QAbstractItemModelTester::FailureReportingMode::Fatal);
        school->viewDidLoad();
        return *school;
    }

    HsSchoolActivity &openAndFetch()
    {
        openSchool();
        EXPECT_TRUE(waitUntil([this] { return port.idle(); }));
        return *school;
    }

    HsNewsDetail &openDetail(int row)
    {
        const size_t before = port.pushed().size();
        school->didSelectRow(row);
        EXPECT_EQ(port.pushed().size(), before + 1);
        auto *detail = qobject_cast<HsNewsDetail *>(port.pushed().back().get());
        EXPECT_TRUE(waitUntil([&] { return port.idle() && detail->succeeded(); }));
        return *detail;
    }

    bool answeredMark(int row) const
    {
        return school->newses()->index(row).data(HsNewsListModel::AnsweredRole).toBool();
    }

    std::string typeCode(int n) const { return *categories[static_cast<size_t>(n - 1)].typeCode; }
    std::vector<int32_t> cached(int n) const { return idsOf(NewsDao().initSelects(typeCode(n))); }
    std::vector<int32_t> shown() const { return idsOf(school->newses()->newses()); }

    std::vector<NewsTypeItem> categories;
    std::unique_ptr<HsSchoolActivity> school;
    std::unique_ptr<QAbstractItemModelTester> tester;
    bool networkUp = true;
};

} // namespace

// Cached categories show at once, newest first, without asking the server; a tap on the selected
// category changes nothing, and without a network neither does a tap on a category not cached.
// Only an answered pull then replaces the list and the cache.
TEST_F(NewsListTest, CachedCategoriesShowAtOnceAndOnlyAnAnsweredPullReplacesListAndCache)
{
    NewsDao().replaceCategory(typeCode(1), {headline(3, "旧通知"), headline(9, "新通知")});
    const int before = callsOf("getNews");
    HsSchoolActivity &area = openSchool();
    EXPECT_EQ(shown(), (std::vector<int32_t>{9, 3}));
    EXPECT_EQ(area.newses()->index(0).data(HsNewsListModel::NewsTitleRole).toString(), "新通知");
    EXPECT_EQ(area.categoryBar()->rowCount(), static_cast<int>(categories.size()));
    const QRectF firstPointer = area.categoryBar()->pointerFrame();
    area.pressCategory(1);
    networkUp = false;
    area.pressCategory(2);
    EXPECT_EQ(area.category(), 1);
    EXPECT_EQ(area.categoryBar()->pointerFrame(), firstPointer);

    NewsDao().replaceCategory(typeCode(2), {headline(2, "二")});
    area.pressCategory(2);
    EXPECT_EQ(area.category(), 2);
    EXPECT_EQ(area.categoryBar()->pointerFrame(), area.categoryBar()->buttonFrame(2).adjusted(-8, -3, 8, 3));
    EXPECT_TRUE(port.events().isEmpty());
    EXPECT_EQ(callsOf("getNews"), before);

    networkUp = true;
    refusedThenUnanswered([&] { pullToRefresh(*area.refreshHeader()); },
                          [&] { EXPECT_TRUE(shown() == std::vector<int32_t>{2} && cached(2) == shown()); });
    pullToRefresh(*area.refreshHeader());
    ASSERT_EQ(shown().size(), 20u);
    EXPECT_EQ(cached(2), shown());
    EXPECT_NE(shown().front(), 2);
    EXPECT_TRUE(port.events().isEmpty());
    answering(kEmptyAnswer, [&] { pullToRefresh(*area.refreshHeader()); });
    EXPECT_TRUE(shown().empty() && cached(2).empty());
}

TEST_F(NewsListTest, WithoutCategoriesNothingIsFetchedAndAPullEndsCleanly)
{
    NewsTypeDao().replaceAll({});
    const int before = callsOf("getNews");
    HsSchoolActivity &area = openSchool();
    EXPECT_EQ(area.category(), 0);
    pullToRefresh(*area.refreshHeader());
    EXPECT_EQ(area.newses()->rowCount(), 0);
    EXPECT_EQ(callsOf("getNews"), before);
    EXPECT_TRUE(port.events().isEmpty());
}

TEST_F(NewsListTest, AHeadlineOpensItsDetailWhichFetchesTheWholeText)
{
    HsNewsActivity news(port, session, defaults);
    news.viewDidLoad();
    ASSERT_TRUE(waitForOverlays(1));
    ASSERT_GT(news.newses()->rowCount(), 0);
    const NewsItem first = news.newses()->newses().front();

    news.didSelectRow(0);
    news.didSelectRow(news.newses()->rowCount());
    ASSERT_EQ(port.pushed().size(), 1u);
    auto *detail = qobject_cast<HsNewsDetail *>(port.pushed().front().get());
    ASSERT_NE(detail, nullptr);
    EXPECT_EQ(detail->newsId(), first.newsId);
    ASSERT_TRUE(waitForOverlays(2) && detail->succeeded());
    EXPECT_EQ(detail->newsTitle().toStdString(), *first.newsTitle);
    EXPECT_FALSE(detail->newsContent().isEmpty());
    EXPECT_EQ(port.events().mid(1), (QStringList{"push:HsNewsDetail", "overlay:获取中, 请稍候..."}));
}

// An empty cache is fetched under the overlay and stored; 45 notices then load as 20, 20 and 5
// once a failed page is retried, and nothing is asked past the end.
TEST_F(NewsListTest, AnEmptyCacheIsFetchedAndFortyFiveNoticesLoadAsTwentyTwentyFive)
{
    const int before = callsOf("getNews");
    HsSchoolActivity &area = openSchool();
    EXPECT_EQ(port.events(), QStringList{"overlay:获取通知消息, 请稍候..."});
    ASSERT_TRUE(waitForOverlays(1));
    ASSERT_EQ(shown().size(), 20u);
    EXPECT_EQ(callsOf("getNews"), before + 1);
    EXPECT_EQ(cached(1), shown());
    HsPaging &paging = *area.paging();
    EXPECT_EQ(paging.state(), HsPaging::More);
    const auto more = [&](HsPaging::State state, int rows) {
        ASSERT_TRUE(loadMore(paging, [&] { area.loadMore(); }));
        EXPECT_EQ(paging.state(), state);
        EXPECT_EQ(area.newses()->rowCount(), rows);
    };
    unanswered([&] { more(HsPaging::Failed, 20); });
    more(HsPaging::More, 40);
    more(HsPaging::End, 45);
    const int calls = callsOf("getNews");
    area.loadMore();
    EXPECT_EQ(paging.state(), HsPaging::End);
    EXPECT_EQ(callsOf("getNews"), calls);
    const std::vector<int32_t> ids = shown();
    EXPECT_EQ(std::set<int32_t>(ids.begin(), ids.end()).size(), 45u);
}

// A headline is read once its detail shows the text: one that could not be fetched stays unread;
// read marks survive a restart and belong to their account. A parent's reply that gets through
// marks the notice answered and reaches the teacher's list of replies.
TEST_F(NewsListTest, ReadMarksStayWithTheirAccountAndAParentsReplyReachesTheTeacher)
{
    signIn("jz1004", false);
    HsSchoolActivity &first = openAndFetch();
    ASSERT_EQ(first.unreadCount(), 20);
    const auto unread = [&](int row) {
        return first.newses()->index(row).data(HsNewsListModel::UnreadRole).toBool();
    };
    refusedThenUnanswered(
        [&] {
            first.didSelectRow(0);
            ASSERT_TRUE(waitUntil([this] { return port.idle(); }));
        },
        [&] { EXPECT_TRUE(first.unreadCount() == 20 && unread(0)); });
    const std::vector<NewsItem> &rows = first.newses()->newses();
    const auto asked = std::ranges::find_if(rows, [](const NewsItem &n) { return n.forceReturn != 0; });
    ASSERT_NE(asked, rows.end());
    const int row = static_cast<int>(asked - rows.begin());
    EXPECT_FALSE(answeredMark(row));
    HsNewsDetail &detail = openDetail(row);
    ASSERT_TRUE(detail.canReply() && !detail.showsReplies());
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
    const auto firstReply = [](HsNewsDetail &view) {
        return view.replies()->index(0).data(HsReturnListModel::ContentRole).toString();
    };
    EXPECT_EQ(firstReply(detail), text);

    openDetail(0);
    openDetail(3);
    openDetail(3);
    const int read = static_cast<int>(std::set<int>{0, 3, row}.size());
    EXPECT_EQ(first.unreadCount(), 20 - read);
    EXPECT_FALSE(unread(0));
    EXPECT_TRUE(unread(row == 1 ? 2 : 1));
    EXPECT_EQ(openAndFetch().unreadCount(), 20 - read);
    signIn("jz1006", false);
    EXPECT_EQ(openAndFetch().unreadCount(), 20);

    signIn("wangfang", true);
    HsNewsDetail teacherView(port, session);
    teacherView.setNewsId(detail.newsId());
    teacherView.setForceReturn(1);
    teacherView.viewDidLoad();
    ASSERT_TRUE(waitUntil([&] { return port.idle() && teacherView.succeeded(); }));
    EXPECT_TRUE(teacherView.showsReplies() && !teacherView.canReply());
    EXPECT_EQ(firstReply(teacherView), text);
    EXPECT_GE(teacherView.replies()->repliers(), 1);
}

// A category switch while its fetch or a pull is still running keeps that answer off the list
// (it still fills its own category's cache).
TEST_F(NewsListTest, AnAnswerForTheCategoryLeftBehindStaysOffTheList)
{
    int firstId = 101;
    const auto firstCategory = [this](const SentCall &call) {
        return call.method == "getNews" && argumentOf(call, 2) == typeCode(1);
    };
    EventLoopSoapServer service([&](const SentCall &call) {
        return firstCategory(call) ? resultDocument(headlines(firstId, 20)) : kRefusal;
    });
    service.holdAnswers(firstCategory);
    NewsDao().replaceCategory(typeCode(2), {headline(2, "二")});
    HsServiceConfig::setEndpoint(service.url());
    ScreenHost host;
    host.show(&openSchool());
    QQuickItem *list = host.find("tableNews");
    const auto tapCategory = [&](int n) {
        host.tap(buttonWithText(host.screen.get(),
                                hsDisplayText(categories[static_cast<size_t>(n - 1)].typeName)));
    };
    const auto answerWhileAway = [&] {
        ASSERT_TRUE(waitUntil([&] { return service.held() == 1; }));
        tapCategory(2);
        EXPECT_EQ(shown(), std::vector<int32_t>{2});
        service.releaseHeldAnswers();
    };

    answerWhileAway();
    ASSERT_TRUE(waitForOverlays(1));
    EXPECT_EQ(shown(), std::vector<int32_t>{2});
    EXPECT_EQ(cached(1).size(), 20u);

    tapCategory(1);
    ASSERT_EQ(shown().size(), 20u);
    service.holdAnswers(firstCategory);
    firstId = 201;
    // Pulled down past the threshold, against the list's resistance.
    dragList(host.window, list, 250);
    answerWhileAway();
    ASSERT_TRUE(waitUntil([&] { return school->refreshHeader()->state() == RefreshHeaderView::Normal; }));
    EXPECT_EQ(shown(), std::vector<int32_t>{2});
    ASSERT_EQ(cached(1).size(), 20u);
    EXPECT_EQ(cached(1).back(), 201);
}

// A page that brings nothing new (the list moved a whole page on the server) leaves the list at
// its end; it goes on asking by itself, and stops with a retry when pages never bring anything.
TEST_F(NewsListTest, AtItsEndTheListGoesOnAskingPastAPageWithNothingNew)
{
    struct Case
    {
        bool movedOnce;
        int rows;
        HsPaging::State state;
        int pages;
    };
    for (const Case &c : {Case{true, 25, HsPaging::End, 3},
                          Case{false, 20, HsPaging::Failed, 1 + HsPaging::maxPagesWithoutNewRows}}) {
        EventLoopSoapServer service([&](const SentCall &call) {
            const int page = pageOf(call);
            return resultDocument(c.movedOnce && page == 3 ? headlines(21, 5) : headlines(1, 20));
        });
        HsServiceConfig::setEndpoint(service.url());
        NewsDao().replaceCategory(typeCode(1), {});
        ScreenHost host;
        host.show(&openAndFetch());
        QQuickItem *list = host.find("tableNews");
        dragToEnd(host.window, list);

        SCOPED_TRACE(c.movedOnce);
        ASSERT_TRUE(waitUntil([&] { return school->paging()->state() == c.state; }));
        EXPECT_EQ(school->newses()->rowCount(), c.rows);
        EXPECT_EQ(service.callsOf("getNews"), c.pages);
        EXPECT_EQ(host.find("pagingRow")->property("text").toString(), school->paging()->text());
        HsServiceConfig::setEndpoint(server->endpoint());
    }
}
