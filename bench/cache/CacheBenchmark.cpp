// Reading one cached category of headlines through NewsDao, against the same query written as a
// bare sqlite prepare/step/column loop on the same connection.

#include "cache/HsPreferences.h"
#include "cache/NewsDao.h"
#include "common/HsLog.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <sqlite3.h>
#include <string>
#include <vector>

namespace {

constexpr int headlinesPerPage = 20;
const std::string category = "N01";
const char *const categoryQuery = "select * from ed_news where type_code=?1 order by news_id desc";

// A database in a temporary directory holding one full page of headlines, made current.
class CachedCategory
{
public:
    CachedCategory()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "hscache-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            std::abort();
        m_directory = pattern;
        m_preferences = std::make_shared<HsPreferences>();
        if (!m_preferences->load(m_directory.string()))
            std::abort();
        HsPreferences::setCurrent(m_preferences);
        hsSetLogSink([](const std::string &) {});
        if (NewsDao().replaceCategory(category, headlines()) != headlinesPerPage)
            std::abort();
        hsSetLogSink({});
    }

    ~CachedCategory()
    {
        HsPreferences::setCurrent(nullptr);
        m_preferences.reset();
        std::filesystem::remove_all(m_directory);
    }

    sqlite3 *connection() const { return m_preferences->getDBConnection(); }

private:
    static std::vector<NewsItem> headlines()
    {
        std::vector<NewsItem> items;
        for (int32_t id = 1; id <= headlinesPerPage; ++id) {
            NewsItem item;
            item.newsId = 1000 + id;
            item.newsTitle = "关于举办第" + std::to_string(id) + "届校园科技节的通知";
            item.publicDate = "2013-05-" + std::to_string(10 + id);
            item.classId = 301;
            item.forceReturn = id % 2;
            items.push_back(item);
        }
        return items;
    }

    std::filesystem::path m_directory;
    std::shared_ptr<HsPreferences> m_preferences;
};

CachedCategory &cachedCategory()
{
    static CachedCategory cached;
    return cached;
}

std::optional<std::string> textColumn(sqlite3_stmt *stmt, int column)
{
    if (sqlite3_column_type(stmt, column) == SQLITE_NULL)
        return std::nullopt;
    return std::string(reinterpret_cast<const char *>(sqlite3_column_text(stmt, column)),
                       static_cast<size_t>(sqlite3_column_bytes(stmt, column)));
}

std::vector<NewsItem> readWithBareLoop(sqlite3 *db)
{
    std::vector<NewsItem> items;
    sqlite3_stmt *stmt = nullptr;
    sqlite3_prepare_v2(db, categoryQuery, -1, &stmt, nullptr);
    sqlite3_bind_text(stmt, 1, category.data(), static_cast<int>(category.size()), SQLITE_TRANSIENT);
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        NewsItem item;
        item.newsId = sqlite3_column_int(stmt, 0);
        item.typeCode = textColumn(stmt, 1);
        item.newsTitle = textColumn(stmt, 2);
        item.classId = sqlite3_column_int(stmt, 3);
        item.forceReturn = sqlite3_column_int(stmt, 4);
        item.publicDate = textColumn(stmt, 5);
        item.imageUrl = textColumn(stmt, 6);
        items.push_back(std::move(item));
    }
    sqlite3_finalize(stmt);
    return items;
}

void BM_NewsDaoReadsCategory(benchmark::State &state)
{
    cachedCategory();
    const NewsDao dao;
    for (auto _ : state) {
        std::vector<NewsItem> items = dao.initSelects(category);
        if (items.size() != headlinesPerPage)
            state.SkipWithError("unexpected row count");
        benchmark::DoNotOptimize(items.data());
    }
}
BENCHMARK(BM_NewsDaoReadsCategory);

void BM_BareSqliteReadsCategory(benchmark::State &state)
{
    sqlite3 *db = cachedCategory().connection();
    for (auto _ : state) {
        std::vector<NewsItem> items = readWithBareLoop(db);
        if (items.size() != headlinesPerPage)
            state.SkipWithError("unexpected row count");
        benchmark::DoNotOptimize(items.data());
    }
}
BENCHMARK(BM_BareSqliteReadsCategory);

} // namespace

BENCHMARK_MAIN();
