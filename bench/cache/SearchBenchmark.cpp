// Searching what an account has loaded: 10,000 entries of Chinese titles and texts, looked up by
// a two-character word (a scan of titles and texts) and a three-character word (the index of
// three-character runs).

#include "cache/HsPreferences.h"
#include "cache/SearchDao.h"
#include "common/HsLog.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int entryCount = 10000;

// Common characters of a school's notices and records; the words searched for are not made of them.
const std::vector<std::string> characters = {
    "请", "各", "位", "本", "周", "五", "下", "午", "召", "开", "按", "时", "完", "成", "注",
    "意", "交", "通", "安", "全", "校", "园", "科", "技", "节", "期", "末", "考", "试", "排",
    "体", "育", "锻", "炼", "餐", "费", "用", "秋", "季", "运", "动", "图", "书", "馆", "放",
    "防", "溺", "水", "教", "课", "外", "阅", "读", "数", "学", "练", "习", "语", "文", "背",
    "诵", "英", "听", "写", "班", "级", "卫", "生", "间", "调", "整", "冬", "作", "息", "同",
    "们", "老", "师", "明", "天", "今", "日", "上", "的", "了", "和", "在", "是", "我", "有"};

// A reproducible stream of numbers, so that every run searches the same entries.
class Scatter
{
public:
    std::size_t next(std::size_t below)
    {
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<std::size_t>(m_state >> 33) % below;
    }

private:
    unsigned long long m_state = 20261208;
};

std::string textOf(Scatter &scatter, std::size_t length)
{
    std::string text;
    for (std::size_t at = 0; at < length; ++at)
        text += characters[scatter.next(characters.size())];
    return text;
}

// Entry `n`: a title of about 15 characters and a text of about 80, in which one entry in 25 has
// "作业" and one in 40 "家长会".
SearchEntry entryAt(int n, Scatter &scatter)
{
    SearchEntry entry;
    entry.kind = static_cast<SearchKind>(1 + n % 6);
    entry.key = std::to_string(n);
    entry.itemId = n;
    entry.title = textOf(scatter, 10 + scatter.next(10));
    std::string text = textOf(scatter, 40 + scatter.next(40));
    if (scatter.next(25) == 0)
        text += "作业";
    if (scatter.next(40) == 0)
        text += "家长会";
    entry.text = text + textOf(scatter, 20);
    entry.dateLine = "2026-" + std::to_string(10 + n % 3) + "-" + std::to_string(10 + n % 18) + " 08:00";
    return entry;
}

// A database in a temporary directory holding the entries, made current.
class LoadedEntries
{
public:
    LoadedEntries()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "hssearch-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            std::abort();
        m_directory = pattern;
        m_preferences = std::make_shared<HsPreferences>();
        if (!m_preferences->load(m_directory.string(), "1:1001"))
            std::abort();
        HsPreferences::setCurrent(m_preferences);
        std::vector<SearchEntry> entries;
        Scatter scatter;
        for (int n = 0; n < entryCount; ++n)
            entries.push_back(entryAt(n, scatter));
        hsSetLogSink([](const std::string &) {});
        if (SearchDao().store(entries) != entryCount)
            std::abort();
        hsSetLogSink({});
    }

    ~LoadedEntries()
    {
        HsPreferences::setCurrent(nullptr);
        m_preferences.reset();
        std::filesystem::remove_all(m_directory);
    }

private:
    std::filesystem::path m_directory;
    std::shared_ptr<HsPreferences> m_preferences;
};

const std::vector<SearchKind> everyKind = {SearchKind::Notice,      SearchKind::News,
                                           SearchKind::HomeWork,    SearchKind::TestScore,
                                           SearchKind::StateReport, SearchKind::Chat};

void searchFor(benchmark::State &state, const std::string &words, const std::vector<SearchKind> &kinds)
{
    static LoadedEntries entries;
    std::size_t found = 0;
    for (auto _ : state) {
        const std::vector<SearchEntry> results = SearchDao().find(words, kinds);
        found = results.size();
        benchmark::DoNotOptimize(results.data());
    }
    state.counters["found"] = static_cast<double>(found);
}

void BM_TwoCharacterWordInEveryKind(benchmark::State &state)
{
    searchFor(state, "作业", everyKind);
}

void BM_ThreeCharacterWordInEveryKind(benchmark::State &state)
{
    searchFor(state, "家长会", everyKind);
}

void BM_TwoCharacterWordInTheNotices(benchmark::State &state)
{
    searchFor(state, "作业", {SearchKind::Notice});
}

void BM_ThreeCharacterWordInTheNotices(benchmark::State &state)
{
    searchFor(state, "家长会", {SearchKind::Notice});
}

void BM_TwoWordsThreeAndTwoCharacters(benchmark::State &state)
{
    searchFor(state, "家长会 作业", everyKind);
}

} // namespace

BENCHMARK(BM_TwoCharacterWordInEveryKind)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ThreeCharacterWordInEveryKind)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TwoCharacterWordInTheNotices)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ThreeCharacterWordInTheNotices)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TwoWordsThreeAndTwoCharacters)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
