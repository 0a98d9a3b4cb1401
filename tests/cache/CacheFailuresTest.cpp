#include "CacheTestSupport.h"
#include "cache/NewsDao.h"
#include "cache/NewsTypeDao.h"
#include "cache/ResourceTypeDao.h"

#include <fstream>
#include <gmock/gmock.h>
#include <iterator>
#include <sqlite3.h>

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

void writeFile(const std::filesystem::path &path, const std::string &bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string readFile(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Expects every accessor to fail softly: commands -1, queries empty.
void expectEveryAccessorFailsSoftly()
{
    EXPECT_EQ(NewsDao().replaceCategory("A", {headline(1, "x")}), -1);
    EXPECT_EQ(NewsDao().deletes(), -1);
    EXPECT_EQ(NewsDao().insert(headline(1, "x"), "A"), -1);
    EXPECT_EQ(NewsTypeDao().replaceAll({NewsTypeItem{}}), -1);
    EXPECT_THAT(NewsDao().initSelects("A"), IsEmpty());
    EXPECT_THAT(ResourceTypeDao().initSelects(), IsEmpty());
}

} // namespace

// Before any sign-in, and after one whose file cannot be opened, commands fail and queries are
// empty; the next sign-in tries the file again.
TEST_F(CacheTest, WithoutAnOpenFileAccessorsFailSoftlyAndTheNextSignInTriesAgain)
{
    expectEveryAccessorFailsSoftly();
    EXPECT_TRUE(logged("COMMAND ERROR:delete from ed_news[no database is open]"));

    const std::filesystem::path missing = directory / "not-created";
    auto preferences = std::make_shared<HsPreferences>();
    EXPECT_FALSE(preferences->load(missing.string()));
    EXPECT_EQ(preferences->getDBConnection(), nullptr);
    EXPECT_TRUE(logged("cant open database: " + (missing / HsPreferences::databaseFileName).string()));
    HsPreferences::setCurrent(preferences);
    expectEveryAccessorFailsSoftly();

    std::filesystem::create_directory(missing);
    EXPECT_TRUE(preferences->load(missing.string()));
    EXPECT_EQ(NewsDao().replaceCategory("A", {headline(1, "back")}), 1);
    EXPECT_THAT(titles(NewsDao().initSelects("A")), ElementsAre("back"));
}

// A file that is not a database at all, and one whose pages holding the rows are scribbled over
// (the first page, with the header and table list, kept), are moved aside and a new one is made.
TEST_F(CacheTest, DamagedFileIsMovedAsideAndReplaced)
{
    const std::string damaged = databasePath().string() + HsPreferences::damagedFileSuffix;
    for (const bool wholeFile : {true, false}) {
        SCOPED_TRACE(wholeFile ? "not a database" : "damaged table pages");
        std::string bytes(4096, 'x');
        if (!wholeFile) {
            signIn();
            std::vector<NewsItem> many;
            for (int32_t id = 0; id < 400; ++id)
                many.push_back(headline(id, std::string(200, 'n')));
            ASSERT_EQ(NewsDao().replaceCategory("A", many), 400);
            HsPreferences::setCurrent(nullptr);
            bytes = readFile(databasePath());
            ASSERT_GT(bytes.size(), 8192u);
            for (size_t offset = 4096; offset < bytes.size(); ++offset)
                bytes[offset] = static_cast<char>(offset * 7 + 13);
        }
        writeFile(databasePath(), bytes);

        signIn();
        EXPECT_EQ(readFile(damaged), bytes);
        EXPECT_THAT(NewsDao().initSelects("A"), IsEmpty());
        EXPECT_EQ(NewsDao().replaceCategory("A", {headline(1, "fresh")}), 1);
        EXPECT_THAT(titles(NewsDao().initSelects("A")), ElementsAre("fresh"));
        HsPreferences::setCurrent(nullptr);
        std::filesystem::remove(damaged);
        std::filesystem::remove(databasePath());
    }
}

TEST_F(CacheTest, FailedRefreshLeavesThePreviousListWhole)
{
    auto preferences = signIn();
    NewsDao news;
    news.replaceCategory("A", {headline(1, "old one"), headline(2, "old two")});
    ASSERT_GE(news.execCommand("create trigger refuse before insert on ed_news when new.news_title='bad' "
                               "begin select raise(abort, 'refused'); end"),
              0);

    EXPECT_EQ(news.replaceCategory("A", {headline(3, "good"), headline(4, "bad"), headline(5, "good too")}),
              -1);
    EXPECT_THAT(titles(news.initSelects("A")), ElementsAre("old two", "old one"));
    EXPECT_TRUE(logged("COMMAND ERROR:insert into ed_news values(?1,?2,?3,?4,?5,?6,?7)[refused]"));
    EXPECT_NE(sqlite3_get_autocommit(preferences->getDBConnection()), 0);

    EXPECT_EQ(news.replaceCategory("A", {headline(6, "new")}), 1);
    EXPECT_THAT(titles(news.initSelects("A")), ElementsAre("new"));

    // Statements the database refuses to prepare fail the same way.
    EXPECT_EQ(news.execCommand("insert into ed_news values(?1)", {int32_t{1}}), -1);
    EXPECT_THAT(news.initSelectObjs("select from", {}, hsSelectTypeRow), IsEmpty());
}
