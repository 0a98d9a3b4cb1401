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

// Writer threads refresh categories while reader threads read them until the writers are done.
class RefreshRace
{
public:
    void startReader(const std::string &typeCode)
    {
        m_readers.emplace_back([this, typeCode] {
            while (!m_writersDone) {
                if (!isWholeList(NewsDao().initSelects(typeCode)))
                    ++brokenReads;
                std::this_thread::yield();
            }
        });
    }

    void startWriter(const std::string &typeCode)
    {
        m_writers.emplace_back([this, typeCode] {
            for (int number = 1; number <= refreshesPerWriter; ++number) {
                if (NewsDao().replaceCategory(typeCode, generation(number)) != headlinesPerList)
                    ++failedRefreshes;
            }
        });
    }

    void finish()
    {
        for (std::thread &writer : m_writers)
            writer.join();
        m_writersDone = true;
        for (std::thread &reader : m_readers)
            reader.join();
    }

    std::atomic<int> failedRefreshes{0};
    std::atomic<int> brokenReads{0};

private:
    std::atomic<bool> m_writersDone{false};
    std::vector<std::thread> m_readers;
    std::vector<std::thread> m_writers;
};

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

    RefreshRace race;
    for (const char *typeCode : {"A", "B", "A"})
        race.startReader(typeCode);
    race.startWriter("A");
    race.startWriter("B");
    for (int number = 0; number < refreshesPerWriter; ++number)
        NewsTypeDao().replaceAll(
            {NewsTypeItem{number, "N", "name", 0}, NewsTypeItem{number + 1, "M", "n", 1}});
    race.finish();

    EXPECT_EQ(race.failedRefreshes, 0);
    EXPECT_EQ(race.brokenReads, 0);
    expectLastGeneration(NewsDao().initSelects("B"));
    EXPECT_EQ(NewsTypeDao().initSelectSchools().size(), 1u);
}

TEST_F(CacheTest, NewSignInWhileOtherThreadsStillUseThePreviousDatabase)
{
    signIn();
    NewsDao().replaceCategory("A", generation(0));

    RefreshRace race;
    race.startReader("A");
    race.startWriter("A");
    for (int signIns = 0; signIns < 20; ++signIns)
        signIn();
    race.finish();

    EXPECT_EQ(race.failedRefreshes, 0);
    EXPECT_EQ(race.brokenReads, 0);
    expectLastGeneration(NewsDao().initSelects("A"));
    EXPECT_FALSE(std::filesystem::exists(databasePath().string() + HsPreferences::damagedFileSuffix));
}
