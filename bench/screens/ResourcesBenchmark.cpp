// Opening a resource type whose page of resources is cached (from the category tap to the table's
// model holding the rows, with no fetch), and loading the thumbnails of a page of 20 resources
// from the demo school: how long each picture takes to decode (done on worker threads) and the
// longest the interface thread goes without running its event loop meanwhile.

#include "ServerProcess.h"
#include "app/HsAppSetup.h"
#include "cache/HsPreferences.h"
#include "cache/ResourceDao.h"
#include "cache/ResourceTypeDao.h"
#include "screens/HsResourceActivity.h"
#include "common/HsLog.h"
#include "widgets/NetImage.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <memory>

namespace {

constexpr int resourcesPerPage = 20;

// A port that lets nothing through: opening a cached type must need none of it.
class NoScreenPort : public ScreenPort
{
public:
    void showToast(const QString &) override { ++calls; }
    void runUnderOverlay(const QString &, std::function<void()>, std::function<void()>) override { ++calls; }
    void pushScreen(const QString &, QObject *) override { ++calls; }
    void pop() override { ++calls; }
    void popToRoot() override { ++calls; }
    int calls = 0;
};

std::vector<ResourceItem> page(const std::string &typeCode)
{
    std::vector<ResourceItem> items;
    for (int32_t id = 1; id <= resourcesPerPage; ++id) {
        ResourceItem item;
        item.resId = id;
        item.resTitle = typeCode + " 资源 " + std::to_string(id);
        item.resThumb = "http://127.0.0.1:8080/images/resources/thumbs/park.png";
        item.updateDate = "2026-11-" + std::to_string(10 + id % 20);
        items.push_back(item);
    }
    return items;
}

void BM_OpenCachedResourceType(benchmark::State &state)
{
    QTemporaryDir folder;
    auto preferences = std::make_shared<HsPreferences>();
    if (!preferences->load(folder.path().toStdString()))
        std::abort();
    HsPreferences::setCurrent(preferences);
    hsSetLogSink([](const std::string &) {});
    ResourceTypeDao().replaceAll({{1, "cgzl", "场馆展览"}, {2, "hwsj", "户外实践"}});
    ResourceDao().replaceCategory("cgzl", page("cgzl"));
    ResourceDao().replaceCategory("hwsj", page("hwsj"));

    NoScreenPort port;
    HsUserSession session;
    HsDefaults defaults(folder.filePath(QStringLiteral("defaults.ini")));
    HsResourceActivity area(port, session, defaults);
    area.setNetworkCheck([] { return true; });
    area.viewDidLoad();
    int tag = 2;
    for (auto _ : state) {
        area.pressCategory(tag);
        benchmark::DoNotOptimize(area.resourceTable()->rowCount());
        tag = tag == 2 ? 3 : 2;
    }
    if (area.resourceTable()->rowCount() != resourcesPerPage || port.calls != 0)
        state.SkipWithError("the cached type did not open from the cache alone");
    state.counters["port_calls"] = port.calls;
    hsSetLogSink({});
    HsPreferences::setCurrent(nullptr);
}
BENCHMARK(BM_OpenCachedResourceType)->Repetitions(5)->Unit(benchmark::kMicrosecond);

// What a worker thread spends on one demo thumbnail.
void BM_DecodeThumbnail(benchmark::State &state)
{
    QFile file(QStringLiteral(HSSCHOOL_DEMO_THUMBNAIL));
    if (!file.open(QIODevice::ReadOnly)) {
        state.SkipWithError("no demo thumbnail");
        return;
    }
    const QByteArray bytes = file.readAll();
    for (auto _ : state) {
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer);
        benchmark::DoNotOptimize(reader.read());
    }
}
BENCHMARK(BM_DecodeThumbnail)->Unit(benchmark::kMicrosecond);

// Twenty thumbnails loaded at once from the demo school, as a table of 20 rows does: the longest
// time taken to start the 20 loads, then, while the pictures arrive and are decoded, the longest
// stretch the interface thread spends away from its event loop (measured by a 1 ms timer).
void BM_LoadTwentyThumbnails(benchmark::State &state)
{
    ServerProcess server;
    const QString address =
        QString::fromStdString(server.baseUrl()) + QStringLiteral("/images/resources/thumbs/park.png");
    // One load first, so the network manager and its connections are set up before timing.
    {
        NetImage warmUp;
        QEventLoop loop;
        QObject::connect(&warmUp, &NetImage::finished, &loop, &QEventLoop::quit);
        warmUp.getImageFromURL(address);
        loop.exec();
    }
    double longestStall = 0;
    double longestIssue = 0;
    for (auto _ : state) {
        std::vector<std::unique_ptr<NetImage>> pictures;
        int finished = 0;
        QEventLoop loop;
        QElapsedTimer sinceTick;
        QTimer ticker;
        ticker.setInterval(1);
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            longestStall = std::max(longestStall, sinceTick.nsecsElapsed() / 1e6);
            sinceTick.restart();
        });
        QElapsedTimer issuing;
        issuing.start();
        for (int i = 0; i < resourcesPerPage; ++i) {
            pictures.push_back(std::make_unique<NetImage>());
            QObject::connect(pictures.back().get(), &NetImage::finished, [&] {
                if (++finished == resourcesPerPage)
                    loop.quit();
            });
            pictures.back()->getImageFromURL(address);
        }
        longestIssue = std::max(longestIssue, issuing.nsecsElapsed() / 1e6);
        sinceTick.start();
        ticker.start();
        loop.exec();
        for (const auto &picture : pictures) {
            if (!picture->hasPicture())
                state.SkipWithError("a thumbnail did not load");
        }
    }
    state.counters["start_20_loads_ms"] = longestIssue;
    state.counters["longest_stall_ms"] = longestStall;
    // The benchmark's CPU time is the interface thread's; this is its share of one picture.
    state.counters["ui_cpu_per_picture"] =
        benchmark::Counter(static_cast<double>(state.iterations() * resourcesPerPage),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_LoadTwentyThumbnails)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    hsSetUpApplication();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
