// What the cache keeps for an account: its lists, when each was stored, the rows a search finds
// and the posts waiting to be sent. Each account has a file of its own; on a shared file another
// account's sign-in empties the lists, stamps and search rows (never the categories, read marks or
// posts, kept per account), and work begun under an earlier sign-in stores nothing once another
// account holds the file. Files of earlier versions open with their lists.

#include "CacheTestSupport.h"
#include "cache/ListStampDao.h"
#include "cache/NewsDao.h"
#include "cache/NewsMarkDao.h"
#include "cache/NewsTypeDao.h"
#include "cache/OutboxDao.h"
#include "cache/ResourceDao.h"
#include "cache/ResourceTypeDao.h"
#include "cache/SearchDao.h"

#include <gmock/gmock.h>

using ::testing::ElementsAre;
using ::testing::UnorderedElementsAreArray;
using Clock = ListStampDao::Clock;

namespace {

const std::string parentOfClass1 = "1:1001";
const SearchEntry notice{.kind = SearchKind::Notice, .key = "1", .itemId = 1, .title = "明天开家长会"};

// What an account leaves in the file: categories, stamped lists, a read mark, a search row and a
// post waiting to be sent. Returns the post's id.
int64_t fillCache()
{
    NewsTypeDao().replaceAll({NewsTypeItem{11, "bjtz", "班级通知", 0}});
    ResourceTypeDao().replaceAll({ResourceTypeItem{21, "food", "美食"}});
    EXPECT_EQ(NewsDao().replaceCategory("bjtz", {headline(1, "class 1 notice")}), 1);
    EXPECT_EQ(ResourceDao().replaceCategory("food", {ResourceItem{.resId = 41, .resTitle = "面馆"}}), 1);
    EXPECT_EQ(NewsMarkDao().markRead(parentOfClass1, 1), 1);
    EXPECT_EQ(SearchDao().store({notice}), 1);
    const int64_t post = OutboxDao().add({.category = 4, .classId = 1, .text = "老师您好", .writtenAt = 5});
    EXPECT_TRUE(OutboxDao().release(post));
    return post;
}

std::vector<std::string> textsOf(const std::vector<OutboxPost> &posts)
{
    std::vector<std::string> texts;
    for (const OutboxPost &post : posts)
        texts.push_back(post.text);
    return texts;
}

const std::vector<SearchKind> headlines = {SearchKind::Notice, SearchKind::News};

// An entry of the kind, keyed by the number of its item.
SearchEntry entry(SearchKind kind, int32_t id, const std::string &title, std::optional<std::string> text,
                  std::optional<std::string> date = {}, std::optional<std::string> dateLine = {})
{
    return {kind, std::to_string(id), id, 0, title, text, dateLine, date};
}

std::vector<std::string> keysFound(const std::string &words, const std::vector<SearchKind> &kinds)
{
    std::vector<std::string> keys;
    for (const SearchEntry &found : SearchDao().find(words, kinds))
        keys.push_back(found.key);
    return keys;
}

} // namespace

TEST_F(CacheTest, ANextSignInKeepsTheListsOfTheSameAccountOnlyAndEveryonesCategories)
{
    const struct
    {
        const char *name;
        // The account of the first sign-in; none for a file written before accounts were recorded.
        std::optional<std::string> first;
        std::string next;
        bool kept;
    } cases[] = {
        {"same account", parentOfClass1, parentOfClass1, true},
        {"parent of another child", parentOfClass1, "1:2001", false},
        {"teacher with the same number", parentOfClass1, "0:1001", false},
        {"file of an earlier version", std::nullopt, parentOfClass1, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        HsPreferences::setCurrent(nullptr);
        std::filesystem::remove(databasePath());
        signIn(c.first);
        const int64_t post = fillCache();
        if (!c.first) {
            ASSERT_GE(NewsDao().execCommand("drop table cache_owner"), 0);
        }

        signIn(c.next);
        EXPECT_EQ(NewsDao().initSelects("bjtz").size(), c.kept ? 1u : 0u);
        EXPECT_EQ(ResourceDao().initSelects("food").size(), c.kept ? 1u : 0u);
        EXPECT_EQ(ListStampDao().storedAt(ListStampDao::newsList, "bjtz").has_value(), c.kept);
        EXPECT_EQ(SearchDao().find("家长会", {SearchKind::Notice}).size(), c.kept ? 1u : 0u);
        EXPECT_EQ(NewsTypeDao().initSelectSchools().size(), 1u);
        EXPECT_EQ(ResourceTypeDao().initSelects().size(), 1u);
        EXPECT_THAT(NewsMarkDao().readIds(parentOfClass1), ElementsAre(1));
        EXPECT_EQ(textsOf(OutboxDao().posts()).size(), c.kept ? 1u : 0u);
        if (!c.kept) {
            EXPECT_FALSE(OutboxDao().claim(post));
            EXPECT_FALSE(OutboxDao().remove(post));
        }
        // What the account stores now is its own, and stays for its next sign-in.
        EXPECT_EQ(NewsDao().replaceCategory("bjtz", {headline(2, "mine")}), 1);
        signIn(c.next);
        EXPECT_THAT(titles(NewsDao().initSelects("bjtz")), ElementsAre("mine"));
        // The post waits for its own account.
        signIn(c.first);
        EXPECT_THAT(textsOf(OutboxDao().posts()), ElementsAre("老师您好"));
    }
}

// A worker of the previous sign-in (bound to its database, as the screens' workers are) ends
// after the next sign-in: what it stores is kept only if the same account signed in again.
TEST_F(CacheTest, ALateWriterOfAnEarlierSignInStoresOnlyForTheSameAccount)
{
    // The refused store is logged, so the same account comes first.
    for (const auto &[next, stored] : {std::pair{parentOfClass1, true}, {std::string("1:2001"), false}}) {
        SCOPED_TRACE(next);
        HsPreferences::setCurrent(nullptr);
        std::filesystem::remove(databasePath());
        const auto earlier = signIn(parentOfClass1);
        signIn(next);
        {
            const HsDbThreadBinding lateWorker(earlier);
            {
                // Bound to no database, a thread stores nothing; the binding before comes back.
                const HsDbThreadBinding none(nullptr);
                EXPECT_EQ(NewsDao().replaceCategory("bjtz", {headline(1, "x")}), -1);
            }
            EXPECT_EQ(NewsDao().replaceCategory("bjtz", {headline(1, "late")}), stored ? 1 : -1);
            EXPECT_EQ(ResourceDao().replaceCategory("food", {}), stored ? 0 : -1);
            EXPECT_EQ(SearchDao().store({notice}), stored ? 1 : -1);
            EXPECT_EQ(SearchDao().storeNewsText(1, "下午三点在礼堂"), stored ? 1 : -1);
        }
        EXPECT_EQ(NewsDao().initSelects("bjtz").size(), stored ? 1u : 0u);
        EXPECT_EQ(ListStampDao().storedAt(ListStampDao::newsList, "bjtz").has_value(), stored);
        EXPECT_EQ(ListStampDao().storedAt(ListStampDao::resourceList, "food").has_value(), stored);
        EXPECT_EQ(SearchDao().find("礼堂", {SearchKind::Notice}).size(), stored ? 1u : 0u);
        EXPECT_EQ(logged("lists not stored: the cache now holds another account's"), !stored);
    }
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
        {true, "wang_fang-2", "hsschool-teacher-wang_fang-2.slqite3"},
        {false, "../x", "hsschool-parent-%2E%2E%2Fx.slqite3"},
        {false, "a/b\\c d", "hsschool-parent-a%2Fb%5Cc%20d.slqite3"},
        {false, "%2F", "hsschool-parent-%252F.slqite3"},
        {true, "王芳", "hsschool-teacher-%E7%8E%8B%E8%8A%B3.slqite3"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(HsPreferences::accountFileName(c.teacher, c.account), c.file) << c.account;
}

// The single file of an earlier version becomes the file of the account whose lists it holds, the
// first time that account signs in; any other account starts with a file of its own.
TEST_F(CacheTest, TheSharedFileOfAnEarlierVersionBecomesTheFileOfItsOwnerOnly)
{
    const std::string mine = HsPreferences::accountFileName(false, "jz1001");
    const struct
    {
        const char *name;
        // Whose lists the shared file holds; none when it records nobody.
        std::optional<std::string> owner;
        bool accountFileExists;
        bool adopted;
    } cases[] = {
        {"held by the account", parentOfClass1, false, true},
        {"held by another account", "1:2001", false, false},
        {"held by nobody", std::nullopt, false, false},
        {"account has its file already", parentOfClass1, true, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        HsPreferences::setCurrent(nullptr);
        std::filesystem::remove(databasePath());
        std::filesystem::remove(directory / mine);
        if (c.accountFileExists) {
            ASSERT_TRUE(std::make_shared<HsPreferences>()->load(directory.string(), parentOfClass1, mine));
        }
        signIn(c.owner.value_or("1:2001"));
        ASSERT_EQ(NewsDao().replaceCategory("bjtz", {headline(1, "kept by an earlier version")}), 1);
        if (!c.owner) {
            ASSERT_GE(NewsDao().execCommand("delete from cache_owner"), 0);
        }
        HsPreferences::setCurrent(nullptr);

        auto preferences = std::make_shared<HsPreferences>();
        ASSERT_TRUE(preferences->load(directory.string(), parentOfClass1, mine));
        HsPreferences::setCurrent(preferences);
        EXPECT_EQ(NewsDao().initSelects("bjtz").size(), c.adopted ? 1u : 0u);
        EXPECT_EQ(std::filesystem::exists(databasePath()), !c.adopted);
    }
}

TEST_F(CacheTest, ASearchFindsTheHeadlinesHoldingEveryWordAsTyped)
{
    signIn(parentOfClass1);
    ASSERT_EQ(SearchDao().store({
                  entry(SearchKind::Notice, 1, "关于召开家长会的通知", "周五下午三点在礼堂召开。"),
                  entry(SearchKind::Notice, 2, "寒假安排", "寒假作业请按时完成，期末评优。"),
                  entry(SearchKind::News, 3, "科技节", "同学们展示了小发明，Math 社团也来了。"),
                  entry(SearchKind::News, 4, "家长开放日", "欢迎家长来校听课，别忘了作业"),
                  entry(SearchKind::HomeWork, 5, "背诵古诗", "家长会后交作业"),
                  entry(SearchKind::Notice, 6, "100% 出勤", "\"优秀\"班级_评选"),
              }),
              6);
    const struct
    {
        std::string words;
        std::vector<std::string> found;
    } cases[] = {
        {"家长会", {"1"}},
        // In the middle and at the very end of a text, and not in other kinds.
        {"作业", {"2", "4"}},
        {"家长　开放  听课", {"4"}},
        {"mAth", {"3"}},
        {"MA", {"3"}},
        {"m", {"3"}},
        {"\"优秀\"", {"6"}},
        {"_评", {"6"}},
        {"  ", {}},
    };
    for (const auto &c : cases)
        EXPECT_THAT(keysFound(c.words, headlines), UnorderedElementsAreArray(c.found)) << c.words;
}

// Results come newest first by the entries' own dates, not by their date lines or the order they
// were stored in.
TEST_F(CacheTest, AnEntryLoadedAgainKeepsItsFetchedTextAndTheNewestDateComesFirst)
{
    signIn(parentOfClass1);
    const SearchDao search;
    const SearchEntry notice =
        entry(SearchKind::Notice, 7, "运动会", std::nullopt, "2026-11-01", "陈静 2026-12-09");
    ASSERT_EQ(
        search.store({entry(SearchKind::News, 8, "运动会报名", std::nullopt, "2026-12-01", "王芳 2026-11-01"),
                      notice}),
        2);
    ASSERT_EQ(search.storeNewsText(7, "下周二举行秋季运动会。"), 1);
    SearchEntry again = notice;
    again.flag = 1;
    again.title = "秋季运动会";
    ASSERT_EQ(search.store({again}), 1);

    again.text = "下周二举行秋季运动会。";
    EXPECT_EQ(search.newsEntry(7), again);
    EXPECT_EQ(search.newsEntry(9), std::nullopt);
    EXPECT_THAT(keysFound("下周二", headlines), ElementsAre("7"));
    EXPECT_THAT(keysFound("运动", headlines), ElementsAre("8", "7"));
    EXPECT_THAT(keysFound("运动", {SearchKind::Chat}), ElementsAre());
}

TEST_F(CacheTest, EachStoredListIsStampedInItsOwnTableAlsoWhenEmpty)
{
    signIn(parentOfClass1);
    const ListStampDao stamps;
    const Clock::time_point before = std::chrono::floor<std::chrono::seconds>(Clock::now());
    ASSERT_EQ(NewsDao().replaceCategory("bjtz", {headline(1, "notice")}), 1);
    const std::optional<Clock::time_point> stored = stamps.storedAt(ListStampDao::newsList, "bjtz");
    ASSERT_TRUE(stored);
    EXPECT_GE(*stored, before);
    EXPECT_LE(*stored, Clock::now());
    EXPECT_EQ(stamps.storedAt(ListStampDao::resourceList, "bjtz"), std::nullopt);
    EXPECT_EQ(stamps.storedAt(ListStampDao::newsList, "xwzx"), std::nullopt);

    // An empty answer is a successful fetch too, and moves an older stamp on.
    ASSERT_EQ(stamps.stamp(ListStampDao::resourceList, "food", Clock::time_point(std::chrono::hours(1))), 1);
    ASSERT_EQ(ResourceDao().replaceCategory("food", {}), 0);
    EXPECT_GE(stamps.storedAt(ListStampDao::resourceList, "food"), before);
}

// A file of the version before stamps, search and the outbox: its lists, and none of their tables.
TEST_F(CacheTest, AFileOfTheVersionBeforeOpensWithItsListsFoundBySearchAndGainsStamps)
{
    signIn(parentOfClass1);
    NewsTypeDao().replaceAll({NewsTypeItem{1, "bjtz", "班级通知", 0}});
    ASSERT_EQ(NewsDao().replaceCategory("bjtz", {headline(7, "旧通知")}), 1);
    ASSERT_EQ(ResourceDao().replaceCategory("food", {ResourceItem{.resId = 41, .resTitle = "面馆"}}), 1);
    for (const char *table : {"list_stamp", "search_entry", "search_text", "search_terms", "outbox"})
        ASSERT_GE(NewsDao().execCommand(std::string("drop table ") + table), 0) << table;

    signIn(parentOfClass1);
    EXPECT_THAT(titles(NewsDao().initSelects("bjtz")), ElementsAre("旧通知"));
    EXPECT_EQ(ResourceDao().initSelects("food").size(), 1u);
    EXPECT_EQ(ListStampDao().storedAt(ListStampDao::newsList, "bjtz"), std::nullopt);
    EXPECT_EQ(SearchDao().newsEntry(7).value_or(SearchEntry{}).title, "旧通知");
    EXPECT_THAT(keysFound("旧通知", {SearchKind::Notice}), ElementsAre("7"));
    ASSERT_EQ(NewsDao().replaceCategory("bjtz", {headline(8, "新通知")}), 1);
    signIn(parentOfClass1);
    EXPECT_THAT(titles(NewsDao().initSelects("bjtz")), ElementsAre("新通知"));
    EXPECT_TRUE(ListStampDao().storedAt(ListStampDao::newsList, "bjtz"));
}

// A post is claimed by the send that writes it; given back, it waits for the next send, which
// finds it after a new sign-in of the same process, oldest first.
TEST_F(CacheTest, PostsWaitInTheOrderWrittenAndOneSendAtATimeClaimsEach)
{
    signIn(parentOfClass1);
    OutboxPost chat{
        .category = 4, .userId = 2, .userName = "jz1002", .classId = 1, .text = "请假", .writtenAt = 9};
    chat.id = OutboxDao().add(chat);
    ASSERT_GT(chat.id, 0);
    const int64_t homework = OutboxDao().add(
        {.category = 1, .userId = 7, .realName = "王芳", .classId = 1, .text = "作业", .writtenAt = 8});
    ASSERT_GT(homework, chat.id);
    EXPECT_FALSE(OutboxDao().claim(chat.id));
    EXPECT_TRUE(OutboxDao().release(chat.id));

    signIn(parentOfClass1);
    EXPECT_THAT(OutboxDao().posts(4), ElementsAre(chat));
    EXPECT_THAT(textsOf(OutboxDao().posts()), ElementsAre("作业", "请假"));
    EXPECT_TRUE(OutboxDao().posts().front().sending);
    EXPECT_TRUE(OutboxDao().claim(chat.id));
    EXPECT_FALSE(OutboxDao().claim(chat.id));
    EXPECT_TRUE(OutboxDao().remove(chat.id));
    EXPECT_FALSE(OutboxDao().remove(chat.id));
    EXPECT_FALSE(OutboxDao().claim(chat.id));
    EXPECT_THAT(textsOf(OutboxDao().posts()), ElementsAre("作业"));
}
