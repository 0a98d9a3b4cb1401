#include "CacheTestSupport.h"
#include "cache/NewsDao.h"
#include "cache/NewsTypeDao.h"

#include <atomic>
#include <thread>

namespace {

constexpr int headlinesPerList = 20;
constexpr int refreshesPerWriter = 100;

// A full list of one refresh: every headline carries the refresh's generation in its title.
std::vector<NewsItem> generation(int number)
{
    std::vector<NewsItem> items;
    for (int32_t id = 0; id < headlinesPerList; ++id) {
        NewsItem item;
        item.newsId = id;
        item.newsTitle = "generation " + std::to_string(number);
        items.push_back(item);
    }
    return items;
}

// A cached list is whole when it has every headline of one single refresh.
bool isWholeList(const std::vector<NewsItem> &items)
{
    if (items.size() != headlinesPerList)
        return false;
    for (const NewsItem &item : items) {
        if (item.newsTitle != items.front().newsTitle)
            return false;
    }
    return true;
}

// Reads the category until the writers are done; counts reads that saw a list not whole.
void readUntilDone(const std::string &typeCode, const std::atomic<bool> &writersDone,
                   std::atomic<int> &broken, std::atomic<int> &reads)
{
    while (!writersDone) {
        if (!isWholeList(NewsDao().initSelects(typeCode)))
            ++broken;
        ++reads;
        std::this_thread::yield();
    }
}

void expectLastGeneration(const std::vector<NewsItem> &items)
{
    EXPECT_TRUE(isWholeList(items));
    ASSERT_FALSE(items.empty());
    EXPECT_EQ(items.front().newsTitle, "generation " + std::to_string(refreshesPerWriter));
}

} // namespace

TEST_F(CacheTest, ReadersNeverSeeACategoryPartlyRefilled)
{
    signIn();
    NewsDao().replaceCategory("A", generation(0));
    NewsDao().replaceCategory("B", generation(0));

    std::atomic<bool> writersDone{false};
    std::atomic<int> broken{0};
    std::atomic<int> reads{0};
    std::vector<std::thread> readers;
    for (const char *typeCode : {"A", "B", "A"})
        readers.emplace_back(readUntilDone, typeCode, std::cref(writersDone), std::ref(broken),
                             std::ref(reads));

    std::atomic<int> failedRefreshes{0};
    auto refresh = [&](const std::string &typeCode) {
        for (int number = 1; number <= refreshesPerWriter; ++number) {
            if (NewsDao().replaceCategory(typeCode, generation(number)) != headlinesPerList)
                ++failedRefreshes;
        }
    };
    std::thread writerA(refresh, "A");
    std::thread writerB(refresh, "B");
    std::thread typeWriter([] {
        for (int number = 0; number < refreshesPerWriter; ++number)
            NewsTypeDao().replaceAll(
                {NewsTypeItem{number, "N", "name", 0}, NewsTypeItem{number + 1, "M", "n", 1}});
    });
    writerA.join();
    writerB.join();
    typeWriter.join();
    writersDone = true;
    for (std::thread &reader : readers)
        reader.join();

    EXPECT_EQ(failedRefreshes, 0);
    EXPECT_EQ(broken, 0) << "of " << reads << " reads";
    expectLastGeneration(NewsDao().initSelects("A"));
    EXPECT_EQ(NewsTypeDao().initSelectSchools().size(), 1u);
}

TEST_F(CacheTest, NewSignInWhileOtherThreadsStillUseThePreviousDatabase)
{
    signIn();
    NewsDao().replaceCategory("A", generation(0));

    std::atomic<bool> writersDone{false};
    std::atomic<int> broken{0};
    std::atomic<int> reads{0};
    std::thread reader(readUntilDone, "A", std::cref(writersDone), std::ref(broken), std::ref(reads));
    std::atomic<int> failedRefreshes{0};
    std::thread writer([&] {
        for (int number = 1; number <= refreshesPerWriter; ++number) {
            if (NewsDao().replaceCategory("A", generation(number)) != headlinesPerList)
                ++failedRefreshes;
        }
    });
    for (int signIns = 0; signIns < 20; ++signIns)
        signIn();
    writer.join();
    writersDone = true;
    reader.join();

    EXPECT_EQ(failedRefreshes, 0);
    EXPECT_EQ(broken, 0) << "of " << reads << " reads";
    expectLastGeneration(NewsDao().initSelects("A"));
    EXPECT_FALSE(std::filesystem::exists(databasePath().string() + HsPreferences::damagedFileSuffix));
}
