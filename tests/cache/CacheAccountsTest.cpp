// Whose lists the cache holds: a sign-in as another account empties the news and resource lists
// (never the categories), and work begun under an earlier sign-in cannot store its lists once
// another account holds the file.

#include "CacheTestSupport.h"
#include "cache/ListStampDao.h"
#include "cache/NewsDao.h"
#include "cache/NewsMarkDao.h"
#include "cache/NewsTypeDao.h"
#include "cache/ResourceDao.h"
#include "cache/ResourceTypeDao.h"

#include <condition_variable>
#include <gmock/gmock.h>
#include <sqlite3.h>
#include <thread>

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

const std::string parentOfClass1 = "1:1001";

struct NextSignIn
{
    const char *name;
    // The account of the first sign-in; none for a file written before accounts were recorded.
    std::optional<std::string> first;
    std::string next;
    bool listsKept;
};

void PrintTo(const NextSignIn &signIn, std::ostream *out)
{
    *out << signIn.name;
}

// The lists and categories one account leaves behind.
void fillCache()
{
    NewsTypeDao().replaceAll({NewsTypeItem{11, "bjtz", "班级通知", 0}});
    ResourceTypeDao().replaceAll({ResourceTypeItem{21, "food", "美食"}});
    ASSERT_EQ(NewsDao().replaceCategory("bjtz", {headline(1, "class 1 notice")}), 1);
    ASSERT_EQ(ResourceDao().replaceCategory("food", {ResourceItem{.resId = 41, .resTitle = "面馆"}}), 1);
    ASSERT_EQ(NewsMarkDao().markRead(parentOfClass1, 1), 1);
}

class NextSignInTest : public CacheTest, public testing::WithParamInterface<NextSignIn>
{};

} // namespace

TEST_P(NextSignInTest, KeepsTheListsOfTheSameAccountOnlyAndEveryonesCategories)
{
    signIn(GetParam().first);
    fillCache();
    if (!GetParam().first) {
        ASSERT_GE(NewsDao().execCommand("drop table cache_owner"), 0);
    }
    HsPreferences::setCurrent(nullptr);

    signIn(GetParam().next);
    EXPECT_EQ(NewsDao().initSelects("bjtz").size(), GetParam().listsKept ? 1u : 0u);
    EXPECT_EQ(ResourceDao().initSelects("food").size(), GetParam().listsKept ? 1u : 0u);
    EXPECT_EQ(ListStampDao().storedAt(ListStampDao::newsList, "bjtz").has_value(), GetParam().listsKept);
    EXPECT_EQ(NewsTypeDao().initSelectSchools().size(), 1u);
    EXPECT_EQ(ResourceTypeDao().initSelects().size(), 1u);
    EXPECT_THAT(NewsMarkDao().readIds(parentOfClass1), ElementsAre(1));
    // What the account stores now is its own, and stays for its next sign-in.
    EXPECT_EQ(NewsDao().replaceCategory("bjtz", {headline(2, "mine")}), 1);
    HsPreferences::setCurrent(nullptr);
    signIn(GetParam().next);
    EXPECT_THAT(titles(NewsDao().initSelects("bjtz")), ElementsAre("mine"));
}

INSTANTIATE_TEST_SUITE_P(
    Accounts, NextSignInTest,
    testing::Values(NextSignIn{"SameAccount", parentOfClass1, parentOfClass1, true},
                    NextSignIn{"ParentOfAnotherChild", parentOfClass1, "1:2001", false},
                    NextSignIn{"TeacherWithTheSameNumber", parentOfClass1, "0:1001", false},
                    NextSignIn{"FileOfAnEarlierVersion", std::nullopt, parentOfClass1, false}),
    [](const testing::TestParamInfo<NextSignIn> &info) { return std::string(info.param.name); });

// A worker of the previous sign-in (bound to its database, as the screens' workers are) ends
// after the next sign-in: its list is stored only if the same account signed in again.
TEST_F(CacheTest, LateWriterOfAnEarlierSignInStoresOnlyForTheSameAccount)
{
    for (const auto &[next, stored] : {std::pair{std::string("1:2001"), false}, {parentOfClass1, true}}) {
        SCOPED_TRACE(next);
        std::mutex mutex;
        std::condition_variable changed;
        bool signedInAgain = false;
        int written = 0;
        std::thread worker([&, database = signIn(parentOfClass1)] {
            const HsDbThreadBinding binding(database);
            std::unique_lock lock(mutex);
            changed.wait(lock, [&] { return signedInAgain; });
            written = NewsDao().replaceCategory("bjtz", {headline(1, "class 1 notice")});
        });
        signIn(next);
        {
            std::lock_guard lock(mutex);
            signedInAgain = true;
        }
        changed.notify_all();
        worker.join();

        EXPECT_EQ(written, stored ? 1 : -1);
        EXPECT_EQ(NewsDao().initSelects("bjtz").size(), stored ? 1u : 0u);
        if (!stored) {
            EXPECT_TRUE(logged("lists not stored: the cache now holds another account's"));
        }
        HsPreferences::setCurrent(nullptr);
        std::filesystem::remove(databasePath());
    }
}

// Outside a binding a thread uses whichever database is current; inside, the bound one, even none.
TEST_F(CacheTest, ThreadBindingOverridesTheCurrentDatabaseWhileItLives)
{
    const auto current = signIn();
    EXPECT_EQ(HsPreferences::forThisThread(), current);
    {
        const HsDbThreadBinding none(nullptr);
        EXPECT_EQ(HsPreferences::forThisThread(), nullptr);
        EXPECT_EQ(NewsDao().replaceCategory("A", {headline(1, "x")}), -1);
        {
            const HsDbThreadBinding inner(current);
            EXPECT_EQ(HsPreferences::forThisThread(), current);
        }
        EXPECT_EQ(HsPreferences::forThisThread(), nullptr);
    }
    EXPECT_EQ(HsPreferences::forThisThread(), current);
}
