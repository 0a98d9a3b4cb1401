// The resident memory of the application while a user scrolls the photo table through 200 large
// photos (2400 x 1600 JPEG, served by a hsschool-server on loopback): the table of the resources
// area, its real cells in a ListView in a phone-sized window, scrolled one row at a time, each
// step waiting until the pictures in view have arrived and drawing the window once. Reports the
// resident set before the first picture, after the first screen, its highest sample while
// scrolling, at the end, and the process's peak.

#include "BenchPhotos.h"
#include "ServerProcess.h"
#include "app/HsAppSetup.h"
#include "common/HsLog.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QGuiApplication>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

// Registers the application's QML module; generated, and left out of a static link unless named.
void qml_register_types_HsSchool();

namespace {

constexpr int kPictures = 200;
constexpr int kDistinctPictures = 8;
constexpr QSize kPictureSize(2400, 1600);
constexpr int kRowHeight = 118;

// A field of /proc/self/status ("VmRSS", "VmHWM") in MiB.
double statusMiB(const std::string &field)
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(field + ":", 0) == 0)
            return std::stod(line.substr(field.size() + 1)) / 1024.0;
    }
    return 0;
}

// 200 addresses of their own, over a few distinct photos linked under every name. Returns the
// mean size of a photo's file.
double writePictures(const QString &folder)
{
    qint64 bytes = 0;
    for (int i = 0; i < kDistinctPictures; ++i) {
        const QString path = QDir(folder).filePath(QStringLiteral("distinct-%1.jpg").arg(i));
        benchPhoto(i, kPictureSize).save(path, "JPG", 90);
        bytes += QFileInfo(path).size();
    }
    for (int i = 0; i < kPictures; ++i) {
        std::filesystem::create_hard_link(
            QDir(folder).filePath(QStringLiteral("distinct-%1.jpg").arg(i % kDistinctPictures)).toStdString(),
            QDir(folder).filePath(QStringLiteral("photo-%1.jpg").arg(i)).toStdString());
    }
    return static_cast<double>(bytes) / kDistinctPictures;
}

// Runs the event loop until `done` holds or the time is up; true when it holds.
bool runUntil(const std::function<bool()> &done, int milliseconds = 120000)
{
    QElapsedTimer elapsed;
    elapsed.start();
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done() || elapsed.hasExpired(milliseconds))
            loop.quit();
    });
    poll.start(5);
    if (!done())
        loop.exec();
    return done();
}

// Each picture view below `item`.
void forEachPictureView(QQuickItem *item, const std::function<void(QQuickItem *)> &visit)
{
    if (item->property("loading").isValid() && item->property("hasPicture").isValid())
        visit(item);
    for (QQuickItem *child : item->childItems())
        forEachPictureView(child, visit);
}

// Lays the table out for its position and tells whether every picture view it shows has its
// picture.
bool picturesInViewArrived(QQuickItem *table)
{
    QMetaObject::invokeMethod(table, "forceLayout");
    int shown = 0;
    bool arrived = true;
    forEachPictureView(table, [&](QQuickItem *view) {
        if (!view->isVisible())
            return;
        ++shown;
        arrived = arrived && view->property("hasPicture").toBool() && !view->property("loading").toBool();
    });
    return shown > 0 && arrived;
}

// The photo table as the resources area shows it; a base address in the application's module
// lets it use the module's cells by name.
const char *const kTable = R"(
import QtQuick

ListView {
    id: table

    property string picturesAddress

    width: 320
    height: 568
    clip: true
    reuseItems: true
    model: ListModel { id: rows }
    delegate: CellResourcePhoto {
        width: table.width
    }

    function fill(count) {
        for (let i = 0; i < count; i += 2) {
            rows.append({ resId: i + 1, resTitle: "资源 " + (i + 1),
                          resThumb: picturesAddress + "/images/photo-" + i + ".jpg",
                          hasSecond: true, resId2: i + 2, resTitle2: "资源 " + (i + 2),
                          resThumb2: picturesAddress + "/images/photo-" + (i + 1) + ".jpg" });
        }
    }
}
)";

void BM_ScrollPhotoTable(benchmark::State &state)
{
    QTemporaryDir pictures;
    const double pictureBytes = writePictures(pictures.path());
    ServerProcess server(pictures.path().toStdString());
    hsSetLogSink([](const std::string &) {});

    double before = 0, firstScreen = 0, highest = 0, end = 0;
    int steps = 0;
    for (auto _ : state) {
        QQmlEngine engine;
        QQmlComponent component(&engine);
        component.setData(kTable, QUrl(QStringLiteral("qrc:/HsSchool/PictureMemoryBench.qml")));
        std::unique_ptr<QQuickItem> table(qobject_cast<QQuickItem *>(component.create()));
        if (!table) {
            state.SkipWithError(component.errorString().toStdString().c_str());
            return;
        }
        QQuickWindow window;
        window.resize(320, 568);
        table->setParentItem(window.contentItem());
        window.show();
        before = statusMiB("VmRSS");

        table->setProperty("picturesAddress", QString::fromStdString(server.baseUrl()));
        QMetaObject::invokeMethod(table.get(), "fill", Q_ARG(QVariant, kPictures));
        const double lastY = (kPictures / 2) * kRowHeight - table->height();
        for (double y = 0;; y = std::min(y + kRowHeight, lastY)) {
            table->setProperty("contentY", y);
            if (!runUntil([&] { return picturesInViewArrived(table.get()); })) {
                state.SkipWithError("the pictures in view did not arrive");
                return;
            }
            window.grabWindow();
            const double resident = statusMiB("VmRSS");
            highest = std::max(highest, resident);
            if (steps++ == 0)
                firstScreen = resident;
            if (y >= lastY)
                break;
        }
        end = statusMiB("VmRSS");
    }
    state.counters["rss_before_MiB"] = before;
    state.counters["rss_first_screen_MiB"] = firstScreen;
    state.counters["rss_highest_MiB"] = highest;
    state.counters["rss_end_MiB"] = end;
    state.counters["vm_hwm_MiB"] = statusMiB("VmHWM");
    state.counters["steps"] = steps;
    state.counters["photo_file_KiB"] = pictureBytes / 1024;
    hsSetLogSink({});
}
BENCHMARK(BM_ScrollPhotoTable)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    hsSetUpApplication();
    qml_register_types_HsSchool();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
