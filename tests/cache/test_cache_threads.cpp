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

} // namespace

// Writers refresh two categories and the category list while readers read them and other sign-ins
// open the same file: every read sees one whole refresh, and nothing is taken for damage.
TEST_F(CacheTest, ReadersNeverSeeACategoryPartlyRefilledWhileOthersRefreshAndSignIn)
{
    signIn();
    NewsDao().replaceCategory("A", generation(0));
    NewsDao().replaceCategory("B", generation(0));

    RefreshRace race;
    for (const char *typeCode : {"A", "B", "A"})
        race.startReader(typeCode);
    race.startWriter("A");
    race.startWriter("B");
    for (int number = 0; number < refreshesPerWriter; ++number) {
        NewsTypeDao().replaceAll(
            {NewsTypeItem{number, "N", "name", 0}, NewsTypeItem{number + 1, "M", "n", 1}});
        if (number % 5 == 0)
            signIn();
    }
    race.finish();

    EXPECT_EQ(race.failedRefreshes, 0);
    EXPECT_EQ(race.brokenReads, 0);
    for (const char *typeCode : {"A", "B"}) {
        const std::vector<NewsItem> items = NewsDao().initSelects(typeCode);
        ASSERT_TRUE(isWholeList(items));
        EXPECT_EQ(items.front().newsTitle, "generation " + std::to_string(refreshesPerWriter));
    }
    EXPECT_EQ(NewsTypeDao().initSelectSchools().size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(databasePath().string() + HsPreferences::damagedFileSuffix));
}
