// The cache file as other readers of the same file see it: its name and the column of every
// stored field, read back with plain SQL rather than through the cache's own queries.

#include "CacheTestSupport.h"
#include "cache/NewsDao.h"
#include "cache/NewsTypeDao.h"
#include "cache/ResourceDao.h"
#include "cache/ResourceTypeDao.h"

#include <sqlite3.h>

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

TEST_F(CacheTest, StoredFileHasItsNameAndEveryFieldInItsColumn)
{
    {
        const auto preferences = signIn();
        NewsTypeDao().replaceAll(
            {NewsTypeItem{11, "notice", "通知", 0}, NewsTypeItem{12, "news", std::nullopt, 1}});
        ResourceTypeDao().replaceAll({ResourceTypeItem{21, "food", "美食"}});

        NewsItem news;
        news.newsId = 31;
        news.newsTitle = "运动会";
        news.classId = 32;
        news.forceReturn = 1;
        news.publicDate = "2013-05-04";
        news.imageUrl = "http://127.0.0.1/pic/31.jpg";
        NewsDao().replaceCategory("school", {news});

        ResourceItem resource;
        resource.resId = 41;
        resource.resTitle = "面馆";
        resource.updateDate = "2013-06-01";
        resource.resThumb = "http://127.0.0.1/thumb/41.png";
        ResourceDao().replaceCategory("food", {resource});
        HsPreferences::setCurrent(nullptr);
    }
    const std::filesystem::path file = directory / "hsschool.slqite3";
    ASSERT_TRUE(std::filesystem::exists(file));

    // An absent text is stored as SQL NULL.
    EXPECT_EQ(rows(file, "select type_id, type_code, type_name, type_type, typeof(type_name) from news_type "
                         "order by type_id"),
              (Rows{{"11", "notice", "通知", "0", "text"}, {"12", "news", "NULL", "1", "null"}}));
    EXPECT_EQ(rows(file, "select type_id, type_code, type_name from resource_type"),
              (Rows{{"21", "food", "美食"}}));
    // The picture address is not cached: its column holds the empty text.
    EXPECT_EQ(rows(file,
                   "select news_id, type_code, news_title, class_id, forcereturn, public_date, news_image "
                   "from ed_news"),
              (Rows{{"31", "school", "运动会", "32", "1", "2013-05-04", ""}}));
    EXPECT_EQ(
        rows(file,
             "select resource_id, type_code, resource_title, update_date, thumb_image from ed_resource"),
        (Rows{{"41", "food", "面馆", "2013-06-01", "http://127.0.0.1/thumb/41.png"}}));
}

} // namespace
