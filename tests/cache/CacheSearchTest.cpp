// Searching what the account has loaded: Chinese words of one, two and three or more characters
// wherever they stand in a title or a text, several words at once, only the kinds asked for, and
// only the rows of the account that holds the file.

#include "CacheTestSupport.h"
#include "cache/SearchDao.h"

#include <gmock/gmock.h>

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAreArray;

namespace {

const std::string account = "1:1001";

SearchEntry entry(SearchKind kind, const std::string &key, const std::string &title, const std::string &text)
{
    return {.kind = kind, .key = key, .itemId = std::stoi(key), .title = title, .text = text, .date = key};
}

std::vector<std::string> keysOf(const std::vector<SearchEntry> &entries)
{
    std::vector<std::string> keys;
    for (const SearchEntry &found : entries)
        keys.push_back(found.key);
    return keys;
}

const std::vector<SearchKind> headlines = {SearchKind::Notice, SearchKind::News};

struct Search
{
    const char *name;
    std::string words;
    std::vector<std::string> found;
};

void PrintTo(const Search &search, std::ostream *out)
{
    *out << search.name;
}

class SearchWordsTest : public CacheTest, public testing::WithParamInterface<Search>
{
protected:
    void SetUp() override
    {
        CacheTest::SetUp();
        signIn(account);
        ASSERT_EQ(SearchDao().store({
                      entry(SearchKind::Notice, "1", "关于召开家长会的通知", "周五下午三点在礼堂召开。"),
                      entry(SearchKind::Notice, "2", "寒假安排", "寒假作业请按时完成，开学检查。"),
                      entry(SearchKind::News, "3", "科技节", "同学们展示了小发明，Math 社团也来了。"),
                      entry(SearchKind::News, "4", "家长开放日", "欢迎家长来校听课，别忘了作业"),
                      entry(SearchKind::HomeWork, "5", "背诵古诗", "家长会后交作业"),
                      entry(SearchKind::Notice, "6", "100% 出勤", "\"优秀\"班级_评选"),
                  }),
                  6);
    }
};

} // namespace

TEST_P(SearchWordsTest, FindsEveryHeadlineHoldingAllTheWords)
{
    EXPECT_THAT(keysOf(SearchDao().find(GetParam().words, headlines)),
                UnorderedElementsAreArray(GetParam().found));
}

INSTANTIATE_TEST_SUITE_P(
    Words, SearchWordsTest,
    testing::Values(
        Search{"ThreeCharactersInATitle", "家长会", {"1"}},
        Search{"TwoCharactersInTheMiddleAndAtTheEndOfATextButNotInOtherKinds", "作业", {"2", "4"}},
        Search{"TwoCharactersInTitlesAndTexts", "家长", {"1", "4"}}, Search{"OneCharacter", "假", {"2"}},
        Search{"EveryWordMustBeThereSpacesOfBothWidths", "家长　开放  听课", {"4"}},
        Search{"WordsFoundApartAreNotEnough", "家长会 作业", {}},
        Search{"LettersInEitherCase", "mAth", {"3"}}, Search{"TwoLettersInEitherCase", "MA", {"3"}},
        Search{"OneLetterInEitherCase", "m", {"3"}},
        Search{"QuotesAndWildcardsAreLiteral", "\"优秀\"", {"6"}}, Search{"PercentIsLiteral", "0%", {"6"}},
        Search{"UnderscoreIsLiteral", "_评", {"6"}}, Search{"AWordNowhere", "运动会", {}},
        Search{"NoWords", "  ", {}}),
    [](const testing::TestParamInfo<Search> &info) { return std::string(info.param.name); });

// Results come newest first by the entries' own dates, not by their date lines.
TEST_F(CacheTest, AnEntryLoadedAgainKeepsItsFetchedTextAndTheNewestDateComesFirst)
{
    signIn(account);
    const SearchDao search;
    ASSERT_EQ(search.store({{.kind = SearchKind::Notice,
                             .key = "7",
                             .itemId = 7,
                             .title = "运动会",
                             .dateLine = "陈静 2026-12-09",
                             .date = "2026-11-01"},
                            {.kind = SearchKind::News,
                             .key = "8",
                             .itemId = 8,
                             .title = "运动会报名",
                             .dateLine = "王芳 2026-11-01",
                             .date = "2026-12-01"}}),
              2);
    EXPECT_EQ(search.newsEntry(7)->text, std::nullopt);
    ASSERT_EQ(search.storeNewsText(7, "下周二举行秋季运动会。"), 1);
    ASSERT_EQ(search.store({{.kind = SearchKind::Notice,
                             .key = "7",
                             .itemId = 7,
                             .flag = 1,
                             .title = "秋季运动会",
                             .dateLine = "陈静 2026-12-09",
                             .date = "2026-11-01"}}),
              1);

    const std::optional<SearchEntry> notice = search.newsEntry(7);
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->title, "秋季运动会");
    EXPECT_EQ(notice->flag, 1);
    EXPECT_EQ(notice->text, "下周二举行秋季运动会。");
    EXPECT_THAT(keysOf(search.find("下周二", headlines)), ElementsAre("7"));
    EXPECT_THAT(keysOf(search.find("运动", headlines)), ElementsAre("8", "7"));
    EXPECT_THAT(keysOf(search.find("运动", {SearchKind::Chat})), IsEmpty());
    EXPECT_EQ(search.newsEntry(9), std::nullopt);
}

// The rows go with the lists when another account signs in, and a late store of the earlier
// sign-in never reaches the next account's search.
TEST_F(CacheTest, AnotherAccountNeverFindsTheRowsOfTheLast)
{
    const auto first = signIn(account);
    ASSERT_EQ(SearchDao().store({entry(SearchKind::Chat, "1", "家长会", "明天开家长会")}), 1);
    signIn(account);
    EXPECT_THAT(keysOf(SearchDao().find("家长会", {SearchKind::Chat})), ElementsAre("1"));

    const auto next = signIn("1:2001");
    EXPECT_THAT(SearchDao().find("家长会", {SearchKind::Chat}), IsEmpty());
    EXPECT_THAT(SearchDao().find("家长", {SearchKind::Chat}), IsEmpty());
    const HsDbThreadBinding lateWorker(first);
    EXPECT_EQ(SearchDao().store({entry(SearchKind::Chat, "2", "家长会", "迟到的消息")}), -1);
    EXPECT_EQ(SearchDao().storeNewsText(1, "迟到的全文"), -1);
    const HsDbThreadBinding nextAccount(next);
    EXPECT_THAT(SearchDao().find("家长会", {SearchKind::Chat}), IsEmpty());
}
