// Whose lists the cache holds: each account has a file of its own; on a shared file a sign-in as
// another account empties the news and resource lists (never the categories), and work begun
// under an earlier sign-in cannot store its lists once another account holds the file; the shared
// file of an earlier version becomes its owner's own.

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

// An account's file is named after its role and its name, with anything that could end or leave
// the name (a separator, a dot, a percent sign, any byte outside ASCII) written as %XX.
TEST(AccountFileName, NamesTheRoleAndTheAccountAndNeverLeavesTheFolder)
{
    const struct
    {
        bool teacher;
        std::string account;
        std::string file;
    } cases[] = {
        {false, "jz1001", "hsschool-parent-jz1001.slqite3"},
        {true, "jz1001", "hsschool-teacher-jz1001.slqite3"},
        {true, "wang_fang-2", "hsschool-teacher-wang_fang-2.slqite3"},
        {false, "../x", "hsschool-parent-%2E%2E%2Fx.slqite3"},
        {false, "a/b\\c d", "hsschool-parent-a%2Fb%5Cc%20d.slqite3"},
        {false, "%2F", "hsschool-parent-%252F.slqite3"},
        {true, "王芳", "hsschool-teacher-%E7%8E%8B%E8%8A%B3.slqite3"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(HsPreferences::accountFileName(c.teacher, c.account), c.file) << c.account;
}

namespace {

struct SharedFile
{
    const char *name;
    // Whose lists the shared file of an earlier version holds; none when it records nobody.
    std::optional<std::string> owner;
    bool accountFileExists;
    bool adopted;
};

void PrintTo(const SharedFile &file, std::ostream *out)
{
    *out << file.name;
}

class SharedFileTest : public CacheTest, public testing::WithParamInterface<SharedFile>
{};

} // namespace

// The single file of an earlier version becomes the file of the account whose lists it holds, the
// first time that account signs in; any other account starts with a file of its own.
TEST_P(SharedFileTest, BecomesTheFileOfItsOwnerOnly)
{
    const std::string mine = HsPreferences::accountFileName(false, "jz1001");
    if (GetParam().accountFileExists) {
        auto existing = std::make_shared<HsPreferences>();
        ASSERT_TRUE(existing->load(directory.string(), parentOfClass1, mine));
    }
    signIn(GetParam().owner.value_or("1:2001"));
    ASSERT_EQ(NewsDao().replaceCategory("bjtz", {headline(1, "kept by an earlier version")}), 1);
    if (!GetParam().owner) {
        ASSERT_GE(NewsDao().execCommand("delete from cache_owner"), 0);
    }
    HsPreferences::setCurrent(nullptr);

    auto preferences = std::make_shared<HsPreferences>();
    ASSERT_TRUE(preferences->load(directory.string(), parentOfClass1, mine));
    HsPreferences::setCurrent(preferences);
    EXPECT_EQ(NewsDao().initSelects("bjtz").size(), GetParam().adopted ? 1u : 0u);
    EXPECT_EQ(std::filesystem::exists(databasePath()), !GetParam().adopted);
    EXPECT_TRUE(std::filesystem::exists(directory / mine));
}

INSTANTIATE_TEST_SUITE_P(EarlierVersion, SharedFileTest,
                         testing::Values(SharedFile{"HeldByTheAccount", parentOfClass1, false, true},
                                         SharedFile{"HeldByAnotherAccount", "1:2001", false, false},
                                         SharedFile{"HeldByNobody", std::nullopt, false, false},
                                         SharedFile{"AccountHasItsFileAlready", parentOfClass1, true, false}),
                         [](const testing::TestParamInfo<SharedFile> &info) {
                             return std::string(info.param.name);
                         });
