// The list screens on the interface thread: opening a category whose page of 20 headlines is in
// the cache, from the controller's selection to the model holding the rows, and the
// pull-to-refresh header's handling of one scroll event.

#include "cache/HsPreferences.h"
#include "cache/NewsDao.h"
#include "cache/NewsTypeDao.h"
#include "screens/HsSchoolActivity.h"
#include "common/HsLog.h"
#include "transport/HsServiceConfig.h"
#include "widgets/RefreshHeaderView.h"

#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int headlinesPerPage = 20;

// A port that must never be asked for anything: a cached category shows without the overlay.
class SilentPort : public ScreenPort
{
public:
    void showToast(const QString &) override { fail("toast"); }
    void runUnderOverlay(const QString &, std::function<void()>, std::function<void()>) override
    {
        fail("overlay");
    }
    void pushScreen(const QString &, QObject *) override { fail("push"); }
    void pop() override { fail("pop"); }
    void popToRoot() override { fail("popToRoot"); }

private:
    static void fail(const char *what)
    {
        std::fprintf(stderr, "bench_lists: a cached category asked for %s\n", what);
        std::abort();
    }
};

NewsTypeItem category(int32_t id, const char *code, const char *name)
{
    NewsTypeItem type;
    type.typeId = id;
    type.typeCode = code;
    type.typeName = name;
    return type;
}

std::vector<NewsItem> headlines(int32_t firstId)
{
    std::vector<NewsItem> items;
    for (int32_t i = 0; i < headlinesPerPage; ++i) {
        NewsItem item;
        item.newsId = firstId + i;
        item.newsTitle = "关于做好第" + std::to_string(i + 1) + "周校园安全工作的通知";
        item.publicDate = "2026-11-" + std::to_string(10 + i) + " 08:30";
        item.forceReturn = i % 3 == 0 ? 1 : 0;
        items.push_back(item);
    }
    return items;
}

void BM_OpenCachedCategory(benchmark::State &state)
{
    QTemporaryDir dir;
    auto preferences = std::make_shared<HsPreferences>();
    if (!preferences->load(dir.path().toStdString()))
        std::abort();
    HsPreferences::setCurrent(preferences);
    // Nothing listens there: a request would fail, and the silent port would stop the run first.
    HsServiceConfig::setEndpoint("http://127.0.0.1:9/school/services/schoolSvc");
    NewsTypeDao().replaceAll({category(1, "xxtz", "学校通知"), category(2, "bjtz", "班级通知")});
    NewsDao().replaceCategory("xxtz", headlines(1000));
    NewsDao().replaceCategory("bjtz", headlines(2000));

    SilentPort port;
    HsUserSession session;
    HsDefaults defaults(dir.filePath(QStringLiteral("defaults.ini")));
    HsSchoolActivity school(port, session, defaults);
    school.setNetworkCheck([] { return true; });
    school.viewDidLoad();

    int next = 2;
    for (auto _ : state) {
        school.pressCategory(next);
        benchmark::DoNotOptimize(school.newses()->rowCount());
        next = 3 - next;
    }
    if (school.newses()->rowCount() != headlinesPerPage)
        state.SkipWithError("the category did not show its cached page");
    HsPreferences::setCurrent(nullptr);
}
BENCHMARK(BM_OpenCachedCategory)->Unit(benchmark::kMicrosecond);

class LoadingOwner : public RefreshHeaderDelegate
{
public:
    void refreshHeaderDidTriggerRefresh(RefreshHeaderView &) override {}
    bool refreshHeaderDataSourceIsLoading(const RefreshHeaderView &) const override { return false; }
};

// A finger moving the list up and down across the threshold, so the state changes now and then.
void BM_HeaderScrollEvent(benchmark::State &state)
{
    LoadingOwner owner;
    RefreshHeaderView header;
    header.setDelegate(&owner);
    qreal y = 0;
    for (auto _ : state) {
        header.refreshScrollViewDidScroll(y, true);
        y = y <= -90 ? 0 : y - 1;
    }
    benchmark::DoNotOptimize(header.state());
}
BENCHMARK(BM_HeaderScrollEvent)->Unit(benchmark::kNanosecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    hsSetLogSink([](const std::string &) {});
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
