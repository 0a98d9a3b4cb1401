#include "CacheTestSupport.h"
#include "cache/NewsDao.h"
#include "cache/NewsTypeDao.h"

#include <atomic>
#include <thread>

namespace {

constexpr int headlinesPerList = 20;
constexpr int refreshes = 100;

// A full list of one refresh: every headline carries the refresh's generation in its title.
std::vector<NewsItem> generation(int number)
{
    std::vector<NewsItem> items(headlinesPerList);
    for (int32_t id = 0; id < headlinesPerList; ++id) {
        items[id].newsId = id;
        items[id].newsTitle = "generation " + std::to_string(number);
    }
    return items;
}

// A cached list is whole when it has every headline of one single refresh.
bool isWholeList(const std::vector<NewsItem> &items)
{
    return items.size() == headlinesPerList && std::ranges::all_of(items, [&](const NewsItem &item) {
               return item.newsTitle == items.front().newsTitle;
           });
}

} // namespace

// Writers refresh two categories and the category list while readers read them and new sign-ins
// open the same file: every read sees one whole refresh, and nothing is taken for damage.
TEST_F(CacheTest, ReadersNeverSeeACategoryPartlyRefilledWhileOthersRefreshAndSignIn)
{
    signIn();
    NewsDao().replaceCategory("A", generation(0));
    NewsDao().replaceCategory("B", generation(0));

    std::atomic<bool> writersDone{false};
    std::atomic<int> failedRefreshes{0};
    std::atomic<int> brokenReads{0};
    std::vector<std::thread> readers;
    std::vector<std::thread> writers;
    for (const char *typeCode : {"A", "B", "A"})
        readers.emplace_back([&, typeCode] {
            while (!writersDone) {
                brokenReads += isWholeList(NewsDao().initSelects(typeCode)) ? 0 : 1;
                std::this_thread::yield();
            }
        });
    for (const char *typeCode : {"A", "B"})
        writers.emplace_back([&, typeCode] {
            for (int number = 1; number <= refreshes; ++number)
                failedRefreshes +=
                    NewsDao().replaceCategory(typeCode, generation(number)) == headlinesPerList ? 0 : 1;
        });
    for (int number = 0; number < refreshes; ++number) {
        NewsTypeDao().replaceAll(
            {NewsTypeItem{number, "N", "name", 0}, NewsTypeItem{number + 1, "M", "n", 1}});
        if (number % 5 == 0)
            signIn();
    }
    for (std::thread &writer : writers)
        writer.join();
    writersDone = true;
    for (std::thread &reader : readers)
        reader.join();

    EXPECT_EQ(failedRefreshes, 0);
    EXPECT_EQ(brokenReads, 0);
    for (const char *typeCode : {"A", "B"}) {
        const std::vector<NewsItem> items = NewsDao().initSelects(typeCode);
        ASSERT_TRUE(isWholeList(items));
        EXPECT_EQ(items.front().newsTitle, "generation " + std::to_string(refreshes));
    }
    EXPECT_EQ(NewsTypeDao().initSelectSchools().size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(databasePath().string() + HsPreferences::damagedFileSuffix));
}
