// When each cached list was stored: every successful replacement of a category stamps it, per
// table; a replacement that stores nothing leaves the stamp alone; a file of the version before
// stamps and search opens with its lists, which a search finds, and gains stamps.

#include "CacheTestSupport.h"
#include "cache/ListStampDao.h"
#include "cache/NewsDao.h"
#include "cache/ResourceDao.h"
#include "cache/SearchDao.h"

#include <gmock/gmock.h>
#include <sqlite3.h>

using ::testing::ElementsAre;
using Clock = ListStampDao::Clock;

namespace {

const std::string account = "1:1001";

Clock::time_point wholeSecondsNow()
{
    return std::chrono::floor<std::chrono::seconds>(Clock::now());
}

// Writes the cache file as the version before list stamps and search left it: its tables only,
// one headline and one resource of the account.
void writeFileOfTheVersionBefore(const std::filesystem::path &file)
{
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    const char *schema =
        "create table ed_resource (resource_id integer, type_code text, resource_title text, "
        "update_date text, thumb_image text);"
        "create table resource_type (type_id integer, type_code text, type_name text);"
        "create table ed_news (news_id integer, type_code text, news_title text, class_id integer, "
        "forcereturn integer, public_date text, news_image text);"
        "create table news_type (type_id integer, type_code text, type_name text, type_type integer);"
        "create table news_mark (account text not null, news_id integer not null, read integer not null "
        "default 0, answered integer not null default 0, primary key (account, news_id));"
        "create table cache_owner (account text not null);"
        "insert into cache_owner values ('1:1001');"
        "insert into news_type values (1, 'bjtz', '班级通知', 0);"
        "insert into ed_news values (7, 'bjtz', '旧通知', 0, 0, '2026-12-01', '');"
        "insert into ed_resource values (41, 'food', '面馆', '2026-12-01', NULL);";
    EXPECT_EQ(sqlite3_exec(db, schema, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
}

} // namespace

TEST_F(CacheTest, EachStoredCategoryIsStampedInItsOwnTable)
{
    signIn(account);
    const ListStampDao stamps;
    EXPECT_EQ(stamps.storedAt(ListStampDao::newsList, "bjtz"), std::nullopt);

    const Clock::time_point before = wholeSecondsNow();
    ASSERT_EQ(NewsDao().replaceCategory("bjtz", {headline(1, "notice")}), 1);
    const std::optional<Clock::time_point> stored = stamps.storedAt(ListStampDao::newsList, "bjtz");
    ASSERT_TRUE(stored);
    EXPECT_GE(*stored, before);
    EXPECT_LE(*stored, Clock::now());
    EXPECT_EQ(stamps.storedAt(ListStampDao::resourceList, "bjtz"), std::nullopt);
    EXPECT_EQ(stamps.storedAt(ListStampDao::newsList, "xwzx"), std::nullopt);

    // An empty answer is a successful fetch too; a later one moves the stamp on.
    const Clock::time_point longAgo = Clock::time_point(std::chrono::seconds(1796000000));
    ASSERT_EQ(stamps.stamp(ListStampDao::resourceList, "food", longAgo), 1);
    EXPECT_EQ(stamps.storedAt(ListStampDao::resourceList, "food"), longAgo);
    ASSERT_EQ(ResourceDao().replaceCategory("food", {}), 0);
    EXPECT_GE(stamps.storedAt(ListStampDao::resourceList, "food"), before);
}

// A sign-in as another account claims the file while a worker of the first one is still going:
// the stamps go with the first account's lists, and its late store stamps nothing.
TEST_F(CacheTest, StampsGoWithTheListsOfAnotherAccountAndAFailedStoreStampsNothing)
{
    const auto first = signIn(account);
    ASSERT_EQ(NewsDao().replaceCategory("bjtz", {headline(1, "notice")}), 1);
    signIn("1:2001");
    EXPECT_EQ(ListStampDao().storedAt(ListStampDao::newsList, "bjtz"), std::nullopt);

    const HsDbThreadBinding lateWorker(first);
    EXPECT_EQ(NewsDao().replaceCategory("bjtz", {headline(2, "late")}), -1);
    EXPECT_EQ(ResourceDao().replaceCategory("food", {}), -1);
    EXPECT_EQ(ListStampDao().storedAt(ListStampDao::newsList, "bjtz"), std::nullopt);
    EXPECT_EQ(ListStampDao().storedAt(ListStampDao::resourceList, "food"), std::nullopt);
}

TEST_F(CacheTest, AFileOfTheVersionBeforeOpensWithItsListsFoundBySearchAndGainsStamps)
{
    writeFileOfTheVersionBefore(databasePath());
    signIn(account);
    EXPECT_THAT(titles(NewsDao().initSelects("bjtz")), ElementsAre("旧通知"));
    EXPECT_EQ(ResourceDao().initSelects("food").size(), 1u);
    EXPECT_EQ(ListStampDao().storedAt(ListStampDao::newsList, "bjtz"), std::nullopt);
    // Its cached headlines can be found at once.
    const std::vector<SearchEntry> found = SearchDao().find("旧通知", {SearchKind::Notice});
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found.front().itemId, 7);

    ASSERT_EQ(NewsDao().replaceCategory("bjtz", {headline(8, "新通知")}), 1);
    EXPECT_TRUE(ListStampDao().storedAt(ListStampDao::newsList, "bjtz"));
    HsPreferences::setCurrent(nullptr);
    signIn(account);
    EXPECT_THAT(titles(NewsDao().initSelects("bjtz")), ElementsAre("新通知"));
    EXPECT_TRUE(ListStampDao().storedAt(ListStampDao::newsList, "bjtz"));
}
