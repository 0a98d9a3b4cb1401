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

// 2026-12-08 10:23 in the tests' time zone, eight hours east of UTC.
const ListStampDao::Clock::time_point kStoredAt{std::chrono::seconds(1796696580)};
const QString kStoredLine = QStringLiteral("更新于 12-08 10:23");

class ListAgeTest : public ShownAreaTest
{
protected:
    void SetUp() override
    {
        ShownAreaTest::SetUp();
        useAccount("wangfang", true);
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
        ShownAreaTest::TearDown();
    }

    // What the line under the category bar says, or nothing while it is hidden.
    QString line() const
    {
        return host->isShown(QStringLiteral("updatedLine"))
                   ? host->find(QStringLiteral("updatedLine"))->property("text").toString()
                   : QString();
    }

    void tapCategory(const std::optional<std::string> &title)
    {
        host->tap(buttonWithText(host->screen.get(), hsDisplayText(title)));
    }

    QByteArray savedZone;
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

    // Stores one headline as category `n`'s list, stored at kStoredAt.
    void storeCategory(size_t n, int32_t newsId)
    {
        const std::string typeCode = categories.at(n).typeCode.value_or("");
        ASSERT_EQ(
            NewsDao().replaceCategory(typeCode, {NewsItem{.newsId = newsId, .newsTitle = "保留的通知"}}), 1);
        ASSERT_EQ(ListStampDao().stamp(ListStampDao::newsList, typeCode, kStoredAt), 1);
    }

    // The line the first category's list shows as it is stored now, in the test's local time.
    QString storedLine() const
    {
        const auto storedAt =
            ListStampDao().storedAt(ListStampDao::newsList, categories[0].typeCode.value_or(""));
        return storedAt ? QStringLiteral("更新于 ") +
                              QDateTime::fromSecsSinceEpoch(ListStampDao::Clock::to_time_t(*storedAt))
                                  .toString(QStringLiteral("MM-dd HH:mm"))
                        : QString();
    }

    std::vector<int32_t> shown() const
    {
        return idsOf(static_cast<HsNewsListActivity &>(*shownArea).newses()->newses());
    }

    // A hand pulls the list down past the threshold and lets go; the header comes back.
    void pull()
    {
        dragList(host->window, host->find(QStringLiteral("tableNews")), 250);
        ASSERT_TRUE(waitUntil([this] {
            return static_cast<HsNewsListActivity &>(*shownArea).refreshHeader()->state() ==
                   RefreshHeaderView::Normal;
        }));
    }

    std::vector<NewsTypeItem> categories;
};

} // namespace

// Opened with no network, the stored list says when it was stored, and so does a stored category
// tapped; with the network back a stored category is shown as current, a good pull brings a fresh
// list, and a refused or unanswered one brings back the age of the list it keeps.
TEST_P(NewsAreaAgeTest, AListKeptForWantOfAFreshOneSaysWhenItWasStoredUntilTheNextGoodFetch)
{
    storeCategory(0, 900007);
    storeCategory(1, 900002);
    networkUp = false;
    HsNewsListActivity &area = showArea();
    EXPECT_EQ(shown(), std::vector<int32_t>{900007});
    EXPECT_EQ(line(), kStoredLine);
    tapCategory(categories[1].typeName);
    EXPECT_EQ(area.category(), 2);
    EXPECT_EQ(shown(), std::vector<int32_t>{900002});
    EXPECT_EQ(line(), kStoredLine);

    networkUp = true;
    tapCategory(categories[0].typeName);
    EXPECT_EQ(line(), QString());
    pull();
    EXPECT_EQ(line(), QString());
    ASSERT_FALSE(shown().empty());
    EXPECT_NE(shown().front(), 900007);

    const QString fetchedLine = storedLine();
    ASSERT_FALSE(fetchedLine.isEmpty());
    refusedThenUnanswered([&] { pull(); }, [&] { EXPECT_EQ(line(), fetchedLine); });
    pull();
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
        host->type(QStringLiteral("searchBar"), QStringLiteral("mian"));
        QTest::keyClick(&host->window, Qt::Key_Return);
        ASSERT_TRUE(waitForOverlays(3));
    });
    EXPECT_EQ(area.resources().size(), 1u);
    EXPECT_EQ(line(), kStoredLine);
}
