// The line under the category bar that says when a list shown from the cache was stored: it shows
// while a stored list is kept for want of a fresh one (no network, a refused or unanswered fetch)
// and goes with the next good fetch. Driven by hand through the areas' interface files.

#include "AreaTestSupport.h"
#include "cache/ListStampDao.h"
#include "cache/NewsDao.h"
#include "cache/ResourceDao.h"
#include "screens/HsNewsActivity.h"
#include "screens/HsResourceActivity.h"
#include "screens/HsSchoolActivity.h"
#include "screens/HsText.h"

#include <QDateTime>
#include <ctime>

namespace {

using Clock = ListStampDao::Clock;

// 2026-12-08 10:23 in the tests' time zone, eight hours east of UTC.
const Clock::time_point kStoredAt{std::chrono::seconds(1796696580)};
const QString kStoredLine = QStringLiteral("更新于 12-08 10:23");

NewsItem headline(int32_t id)
{
    return {.newsId = id, .newsTitle = "保留的通知", .publicDate = "2026-12-01 08:00"};
}

// The line that a list stored at `storedAt` shows, in the local time of the test.
QString lineOf(const std::optional<Clock::time_point> &storedAt)
{
    if (!storedAt)
        return {};
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(storedAt->time_since_epoch());
    return QStringLiteral("更新于 ") +
           QDateTime::fromSecsSinceEpoch(seconds.count()).toString(QStringLiteral("MM-dd HH:mm"));
}

class ListAgeTest : public AreaTest
{
protected:
    void SetUp() override
    {
        AreaTest::SetUp();
        signIn("wangfang", true);
        savedZone = qgetenv("TZ");
        qputenv("TZ", "CST-8");
        tzset();
    }

    void TearDown() override
    {
        if (savedZone.isEmpty())
            qunsetenv("TZ");
        else
            qputenv("TZ", savedZone);
        tzset();
        AreaTest::TearDown();
    }

    template <class Area> Area &show()
    {
        auto *area = new Area(port, session, defaults);
        shownArea.reset(area);
        area->setNetworkCheck([this] { return networkUp; });
        area->viewDidLoad();
        EXPECT_TRUE(waitUntil([this] { return port.idle(); }));
        host.show(area);
        return *area;
    }

    // What the line under the category bar says, or nothing while it is hidden.
    QString line() const
    {
        QQuickItem *item = host.find(QStringLiteral("updatedLine"));
        EXPECT_NE(item, nullptr);
        return item && item->isVisible() ? item->property("text").toString() : QString();
    }

    void tapCategory(const std::optional<std::string> &title)
    {
        host.tap(buttonWithText(host.screen.get(), hsDisplayText(title)));
    }

    QByteArray savedZone;
    bool networkUp = true;
    std::unique_ptr<HsCategoryArea> shownArea;
    ScreenHost host;
};

enum class NewsArea
{
    Notices,
    News,
};

class NewsAreaAgeTest : public ListAgeTest, public testing::WithParamInterface<NewsArea>
{
protected:
    void SetUp() override
    {
        ListAgeTest::SetUp();
        categories = GetParam() == NewsArea::Notices ? NewsTypeDao().initSelectSchools()
                                                     : NewsTypeDao().initSelectNews();
        ASSERT_GE(categories.size(), 2u);
    }

    HsNewsListActivity &showArea()
    {
        if (GetParam() == NewsArea::Notices)
            return show<HsSchoolActivity>();
        return show<HsNewsActivity>();
    }

    std::string typeCode(int n) const
    {
        return categories.at(static_cast<size_t>(n - 1)).typeCode.value_or("");
    }
    QString storedLine(int n) const
    {
        return lineOf(ListStampDao().storedAt(ListStampDao::newsList, typeCode(n)));
    }
    std::vector<int32_t> shown() const
    {
        return idsOf(static_cast<HsNewsListActivity &>(*shownArea).newses()->newses());
    }

    // A hand pulls the list down past the threshold and lets go; the header comes back.
    void pull()
    {
        dragList(host.window, host.find(QStringLiteral("tableNews")), 250);
        ASSERT_TRUE(waitUntil([this] {
            return static_cast<HsNewsListActivity &>(*shownArea).refreshHeader()->state() ==
                   RefreshHeaderView::Normal;
        }));
    }

    std::vector<NewsTypeItem> categories;
};

} // namespace

TEST_P(NewsAreaAgeTest, TheStoredListSaysWhenItWasStoredUntilTheNextGoodPull)
{
    ASSERT_EQ(NewsDao().replaceCategory(typeCode(1), {headline(900007)}), 1);
    ASSERT_EQ(ListStampDao().stamp(ListStampDao::newsList, typeCode(1), kStoredAt), 1);
    networkUp = false;
    showArea();
    EXPECT_EQ(shown(), std::vector<int32_t>{900007});
    EXPECT_EQ(line(), kStoredLine);

    networkUp = true;
    pull();
    EXPECT_EQ(line(), QString());
    ASSERT_FALSE(shown().empty());
    EXPECT_NE(shown().front(), 900007);

    const QString fetchedLine = storedLine(1);
    ASSERT_FALSE(fetchedLine.isEmpty());
    refusedThenUnanswered([&] { pull(); }, [&] { EXPECT_EQ(line(), fetchedLine); });
    pull();
    EXPECT_EQ(line(), QString());
}

// Without a network a tap opens a category only when it is cached, and the list says its age;
// with one, a cached category is the current list and a fetched one is fresh.
TEST_P(NewsAreaAgeTest, WithoutANetworkOnlyACachedCategoryOpensAndSaysWhenItWasStored)
{
    ASSERT_EQ(NewsDao().replaceCategory(typeCode(2), {headline(900002)}), 1);
    ASSERT_EQ(ListStampDao().stamp(ListStampDao::newsList, typeCode(2), kStoredAt), 1);
    HsNewsListActivity &area = showArea();
    ASSERT_FALSE(shown().empty());
    EXPECT_EQ(line(), QString());

    networkUp = false;
    tapCategory(categories[1].typeName);
    EXPECT_EQ(area.category(), 2);
    EXPECT_EQ(shown(), std::vector<int32_t>{900002});
    EXPECT_EQ(line(), kStoredLine);

    ASSERT_GE(NewsDao().deletes(typeCode(1)), 0);
    const int before = callsOf("getNews");
    tapCategory(categories[0].typeName);
    EXPECT_EQ(area.category(), 2);
    EXPECT_EQ(line(), kStoredLine);
    EXPECT_EQ(callsOf("getNews"), before);

    networkUp = true;
    tapCategory(categories[0].typeName);
    ASSERT_TRUE(waitUntil([this] { return port.idle(); }));
    EXPECT_EQ(area.category(), 1);
    EXPECT_EQ(line(), QString());
    tapCategory(categories[1].typeName);
    EXPECT_EQ(shown(), std::vector<int32_t>{900002});
    EXPECT_EQ(line(), QString());
}

// A category that was never stored has no age to tell, whatever its fetches bring.
TEST_P(NewsAreaAgeTest, ACategoryNeverStoredSaysNothing)
{
    networkUp = false;
    unanswered([&] { showArea(); });
    EXPECT_TRUE(shown().empty());
    EXPECT_EQ(line(), QString());
    refusedThenUnanswered([&] { pull(); }, [&] { EXPECT_EQ(line(), QString()); });
}

INSTANTIATE_TEST_SUITE_P(Areas, NewsAreaAgeTest, testing::Values(NewsArea::Notices, NewsArea::News),
                         [](const testing::TestParamInfo<NewsArea> &info) {
                             return info.param == NewsArea::Notices ? "Notices" : "News";
                         });

// A resource type opened with no network says when it was stored, and so does its list kept
// after a failed search; "推荐", even when its fetch fails, and the type shown online say nothing.
TEST_F(ListAgeTest, AResourceTypeKeptForWantOfAFreshListSaysWhenItWasStored)
{
    const std::vector<ResourceTypeItem> types = ResourceTypeDao().initSelects();
    ASSERT_FALSE(types.empty());
    const std::string typeCode = types.front().typeCode.value_or("");
    ASSERT_EQ(ResourceDao().replaceCategory(typeCode, {ResourceItem{.resId = 41, .resTitle = "面馆"}}), 1);
    ASSERT_EQ(ListStampDao().stamp(ListStampDao::resourceList, typeCode, kStoredAt), 1);
    auto &area = show<HsResourceActivity>();
    area.viewDidAppear();
    ASSERT_TRUE(waitForOverlays(1));
    EXPECT_EQ(line(), QString());

    networkUp = false;
    tapCategory(types.front().typeName);
    EXPECT_EQ(area.category(), 2);
    EXPECT_EQ(line(), kStoredLine);

    networkUp = true;
    answering(kRefusal, [&] {
        tapCategory("推荐");
        ASSERT_TRUE(waitForOverlays(2));
    });
    EXPECT_TRUE(area.photoTableShown());
    EXPECT_EQ(line(), QString());
    tapCategory(types.front().typeName);
    EXPECT_EQ(area.resources().size(), 1u);
    EXPECT_EQ(line(), QString());

    answering(kRefusal, [&] {
        host.type(QStringLiteral("searchBar"), QStringLiteral("mian"));
        QTest::keyClick(&host.window, Qt::Key_Return);
        ASSERT_TRUE(waitForOverlays(3));
    });
    EXPECT_EQ(area.resources().size(), 1u);
    EXPECT_EQ(line(), kStoredLine);
}
