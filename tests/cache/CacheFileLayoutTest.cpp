// The cache file as other readers of the same file see it: its name and the column of every
// stored field, read with plain SQL rather than through the cache's own queries.

#include "CacheTestSupport.h"
#include "cache/NewsDao.h"
#include "cache/NewsTypeDao.h"
#include "cache/ResourceDao.h"
#include "cache/ResourceTypeDao.h"

#include <fstream>
#include <gmock/gmock.h>
#include <sqlite3.h>
#include <sstream>

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

// Every row of a query as texts, SQL NULL written as "NULL".
std::vector<std::vector<std::string>> rows(const std::filesystem::path &file, const std::string &query)
{
    std::vector<std::vector<std::string>> result;
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        ADD_FAILURE() << "cannot open " << file;
        return result;
    }
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(db, query.c_str(), -1, &statement, nullptr) != SQLITE_OK)
        ADD_FAILURE() << query << ": " << sqlite3_errmsg(db);
    while (statement != nullptr && sqlite3_step(statement) == SQLITE_ROW) {
        std::vector<std::string> row;
        for (int column = 0; column < sqlite3_column_count(statement); ++column) {
            const auto *text = sqlite3_column_text(statement, column);
            row.push_back(text != nullptr ? reinterpret_cast<const char *>(text) : "NULL");
        }
        result.push_back(std::move(row));
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return result;
}

using Rows = std::vector<std::vector<std::string>>;

// A refresh keeps the fields a list shows, under the category it was stored for, whatever category
// the item names; an absent text stays absent (SQL NULL) and an empty one empty; the picture address
// is stored as the empty text and the rest is dropped. The next sign-in on the file reads it all back.
TEST_F(CacheTest, StoredFileHasItsNameAndEveryFieldInItsColumnAndIsReadBackAsStored)
{
    // clang-format off
    const NewsItem news{31, "运动会\n请家长配合", "2013-05-04", 1, "own code", "http://127.0.0.1/pic/31.jpg", "body", 32};
    const NewsItem untitled{.newsId = 30, .publicDate = ""};
    const ResourceItem resource{41, "面馆", "http://127.0.0.1/thumb/41.png", "2013-06-01", "description",
                                "http://127.0.0.1/big.png", "0571-1234567", "1 School Road", 120.5f, 30.25f,
                                "http://example.org", "R09"};
    // clang-format on
    const std::vector<NewsTypeItem> newsTypes{{11, "notice", "通知", 0}, {12, "news", std::nullopt, 1}};
    signIn();
    NewsTypeDao().replaceAll(newsTypes);
    ResourceTypeDao().replaceAll({ResourceTypeItem{21, "food", "美食"}});
    NewsDao().replaceCategory("school", {news, untitled});
    ResourceDao().replaceCategory("food", {resource});
    HsPreferences::setCurrent(nullptr);

    const std::filesystem::path file = directory / "hsschool.slqite3";
    ASSERT_TRUE(std::filesystem::exists(file));
    EXPECT_EQ(rows(file, "select type_id, type_code, type_name, type_type, typeof(type_name) from news_type "
                         "order by type_id"),
              (Rows{{"11", "notice", "通知", "0", "text"}, {"12", "news", "NULL", "1", "null"}}));
    EXPECT_EQ(rows(file, "select type_id, type_code, type_name from resource_type"),
              (Rows{{"21", "food", "美食"}}));
    EXPECT_EQ(rows(file,
                   "select news_id, type_code, news_title, class_id, forcereturn, public_date, news_image "
                   "from ed_news order by news_id desc"),
              (Rows{{"31", "school", "运动会\n请家长配合", "32", "1", "2013-05-04", ""},
                    {"30", "school", "NULL", "0", "0", "", ""}}));
    EXPECT_EQ(
        rows(file,
             "select resource_id, type_code, resource_title, update_date, thumb_image from ed_resource"),
        (Rows{{"41", "food", "面馆", "2013-06-01", "http://127.0.0.1/thumb/41.png"}}));

    signIn();
    EXPECT_THAT(
        NewsDao().initSelects("school"),
        ElementsAre(NewsItem{31, "运动会\n请家长配合", "2013-05-04", 1, "school", "", std::nullopt, 32},
                    NewsItem{.newsId = 30, .publicDate = "", .typeCode = "school", .imageUrl = ""}));
    EXPECT_THAT(ResourceDao().initSelects("food"),
                ElementsAre(ResourceItem{.resId = 41,
                                         .resTitle = "面馆",
                                         .resThumb = "http://127.0.0.1/thumb/41.png",
                                         .updateDate = "2013-06-01",
                                         .typeCode = "food"}));
    EXPECT_THAT(ResourceDao().initSelects("R09"), IsEmpty());
    EXPECT_THAT(NewsTypeDao().initSelectSchools(), ElementsAre(newsTypes[0]));
    EXPECT_THAT(NewsTypeDao().initSelectNews(), ElementsAre(newsTypes[1]));
}

} // namespace

namespace {

// The permission bits in octal, as ls and chmod write them.
std::string modeOf(const std::filesystem::path &path)
{
    std::ostringstream octal;
    octal << std::oct
          << static_cast<unsigned>(std::filesystem::status(path).permissions() &
                                   std::filesystem::perms::mask);
    return octal.str();
}

const std::string ownerOnlyFolder = "700";
const std::string ownerOnlyFile = "600";
constexpr auto everyoneReads = std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                               std::filesystem::perms::group_read | std::filesystem::perms::others_read;

} // namespace

// Other local users can read neither the folder nor the database, whether the sign-in creates
// them or finds them left open by an earlier version (journals beside it included); the journal
// of a write is closed too.
TEST_F(CacheTest, FolderDatabaseAndJournalsAreTheOwnersAlone)
{
    const std::string database = databasePath().string();
    const std::vector<std::string> journals{database + "-journal", database + "-wal", database + "-shm"};
    for (const bool earlierVersion : {false, true}) {
        SCOPED_TRACE(earlierVersion ? "files of an earlier version" : "new files");
        std::filesystem::permissions(directory, everyoneReads | std::filesystem::perms::owner_exec |
                                                    std::filesystem::perms::group_exec |
                                                    std::filesystem::perms::others_exec);
        ASSERT_EQ(modeOf(directory), "755");
        if (earlierVersion) {
            std::filesystem::permissions(database, everyoneReads);
            for (const std::string &journal : journals) {
                std::ofstream{journal};
                std::filesystem::permissions(journal, everyoneReads);
            }
        }

        signIn();
        EXPECT_EQ(modeOf(directory), ownerOnlyFolder);
        EXPECT_EQ(modeOf(database), ownerOnlyFile);
        if (earlierVersion) {
            for (const std::string &journal : journals)
                EXPECT_EQ(modeOf(journal), ownerOnlyFile) << journal;
            for (const std::string &journal : journals)
                std::filesystem::remove(journal);
        }
        // The rollback journal exists while a write is under way.
        ASSERT_EQ(NewsDao().execCommand("begin immediate; delete from ed_news; insert into ed_news (news_id) "
                                        "values (1)"),
                  1);
        ASSERT_TRUE(std::filesystem::exists(journals[0]));
        EXPECT_EQ(modeOf(journals[0]), ownerOnlyFile);
        ASSERT_GE(NewsDao().execCommand("rollback"), 0);
        HsPreferences::setCurrent(nullptr);
    }
}
