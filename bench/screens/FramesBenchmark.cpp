// bench_frames: the time of every frame of the application's own window while a hand works it,
// with the software renderer and with OpenGL. The application signs in to a canned school served
// from a thread of its own, and a hand plays three scenes on the window with mouse events:
//
//   pull to refresh   the school notices pulled down past the threshold, held, let go, and the
//                     list's reload (the school answers after 1 s with 1,000 notices) until the
//                     header is back at rest;
//   fling 1000        the 1,000 notices flung upward again and again, as fast as a thumb goes,
//                     until the list has reached its end and asked for the next page;
//   photo table       the resources area's photo table (200 photos, 1200 x 800 JPEG, each
//                     answered 150 ms after it was asked for) dragged upward stroke by stroke to
//                     its end while the pictures load.
//
// A frame's time is the interface thread's busy time from the previous frame's swap to its own
// (see FrameMeter.h): frameSwapped marks the frames, and every event the thread handles in
// between (the hand's events, animation ticks, rows created for the new position, arrived
// pictures, then polish, sync, render and swap) counts, while the time it sleeps waiting for the
// next event does not. The scene graph's own render timing would leave out the rows and bindings
// that a scroll creates before the frame starts, and the intervals between frames only show the
// 60 Hz pacing of the animation timer, not what a frame costs. The table gives the percentiles of
// that time on the clock (what a user sees), the frames over 16.7 ms and over 50 ms, and the p99
// and max of the same time in the thread's processor time, which a machine busy with other work
// does not stretch: a frame slow on the clock but not in processor time waited for a processor.
//
// Renderers, as found to work on a machine without a graphics card:
//   software  the offscreen platform with Qt Quick's software renderer;
//   opengl    Mesa's llvmpipe through GLX, on an Xvfb display of its own (started by this program
//             with -displayfd) and the xcb platform. Qt Quick runs its basic render loop there,
//             so that rendering happens on the interface thread where it is timed (the threaded
//             loop would only move it to a thread of its own), and vblank_mode=0, since Xvfb's
//             emulated vertical blank would otherwise count as time spent swapping. The offscreen
//             platform offers no OpenGL of its own here, and EGL without a display found none.
//
// Run: build/default/bench/screens/bench_frames   (both renderers, each in a process of its own)
//      bench_frames --renderer=software|opengl [--scenes=pull,fling,photos]   (one, in this
//      process; opengl needs DISPLAY to name an X server)

#include "FrameMeter.h"
#include "FramesSchool.h"
#include "Hand.h"
#include "VirtualDisplay.h"
#include "app/HsAppDelegate.h"
#include "app/HsAppSetup.h"
#include "app/HsQuickScreenPort.h"
#include "common/HsLog.h"
#include "screens/CheckButton.h"
#include "screens/HsLoginController.h"
#include "screens/HsNewsListActivity.h"
#include "screens/HsPaging.h"
#include "screens/MainController.h"
#include "screens/MainTabModel.h"
#include "services/HsServiceLink.h"
#include "widgets/HsTaskRunner.h"
#include "widgets/RefreshHeaderView.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QQuickItem>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

namespace {

constexpr int kWaitMilliseconds = 120000;

// Runs the event loop until `done` holds or the time is up; true when it holds.
bool waitUntil(const std::function<bool()> &done, int milliseconds = kWaitMilliseconds)
{
    return QTest::qWaitFor(done, milliseconds);
}

// The shown item called `objectName` below `item`: areas share their interface files.
QQuickItem *shownItem(QQuickItem *item, const QString &objectName)
{
    if (!item->isVisible())
        return nullptr;
    if (item->objectName() == objectName)
        return item;
    for (QQuickItem *child : item->childItems())
        if (QQuickItem *found = shownItem(child, objectName))
            return found;
    return nullptr;
}

struct SceneResult
{
    QString name;
    FrameMeter::Frames frames;
    bool completed = false;
};

// The application signed in to the canned school as a teacher, its window on screen.
class SignedInApplication
{
public:
    explicit SignedInApplication(const QString &dataDirectory) : m_app(dataDirectory) {}

    bool start()
    {
        m_app.didFinishLaunchingWithOptions();
        if (!window() || !QTest::qWaitForWindowExposed(window(), kWaitMilliseconds))
            return false;
        m_app.closeUserGuide();
        HsLoginController &login = *m_app.loginController();
        login.cbLoginTeacher()->clicked();
        login.setAccount(QStringLiteral("wangfang"));
        login.setPassword(QStringLiteral("teacher123"));
        login.pressButton(HsLoginController::SignIn);
        return waitUntil([&] { return depth() == 2 && !login.isSigningIn() && !busy(); }) && main();
    }

    QQuickWindow *window() const { return m_app.window(); }

    MainController *main() const
    {
        const auto *top = navigation()->property("currentItem").value<QObject *>();
        return top ? qobject_cast<MainController *>(top->property("controller").value<QObject *>()) : nullptr;
    }

    // Shows an area and waits until its list, named `listName`, holds `rows` rows and is quiet.
    QQuickItem *showArea(int tag, const QString &listName, int rows)
    {
        main()->toolbarPress(tag);
        QQuickItem *list = nullptr;
        const bool shown = waitUntil([&] {
            list = shownItem(window()->contentItem(), listName);
            return list && !busy() && list->property("count").toInt() == rows;
        });
        return shown ? list : nullptr;
    }

    bool busy()
    {
        auto &port = static_cast<HsQuickScreenPort &>(m_app.port());
        return port.overlay()->isShown() || navigation()->property("busy").toBool();
    }

private:
    QObject *navigation() const { return window()->findChild<QObject *>(QStringLiteral("navigation")); }
    int depth() const { return navigation()->property("depth").toInt(); }

    HsAppDelegate m_app;
};

bool atRest(const QQuickItem *list)
{
    return !list->property("moving").toBool() && !list->property("dragging").toBool();
}

QPoint inList(const QQuickItem *list, qreal x, qreal y)
{
    return list->mapToScene(QPointF(x, y)).toPoint();
}

// The notices pulled down 200 points a few points a report, held there, and let go; the school
// takes a second to answer, then the header goes back.
SceneResult pullToRefresh(FrameMeter &meter, Hand &hand, QQuickItem *list, const RefreshHeaderView &header)
{
    hand.then(hand.press(inList(list, list->width() / 2, 30)));
    for (int moved = 0; moved < 200; moved += 8)
        hand.then(hand.moveBy({0, 8}));
    hand.then(hand.rest(20));
    hand.then(hand.release());
    hand.then(Hand::waitFor([&header] { return header.state() == RefreshHeaderView::Loading; }));
    hand.then(Hand::waitFor([list, &header] {
        return header.state() == RefreshHeaderView::Normal && atRest(list) &&
               list->property("contentY") == list->property("originY") &&
               list->property("count").toInt() == kNotices;
    }));
    meter.start();
    const bool completed = hand.play();
    return {QStringLiteral("pull to refresh"), meter.stop(), completed};
}

// Flings upward as fast as a thumb goes, flinging again while the list still runs, until the
// list has reached its end and its paging has asked the school for more.
SceneResult flingThroughNotices(FrameMeter &meter, Hand &hand, QQuickItem *list, const HsPaging &paging)
{
    const QPoint start = inList(list, list->width() / 2, list->height() - 40);
    Hand::Step flingAgain = [&hand, list, start, &flingAgain] {
        if (list->property("atYEnd").toBool())
            return true;
        std::vector<Hand::Step> fling{hand.press(start)};
        for (int i = 0; i < 5; ++i)
            fling.push_back(hand.moveBy({0, -70}));
        fling.push_back(hand.release());
        fling.push_back(hand.rest(25));
        fling.push_back(flingAgain);
        hand.next(std::move(fling));
        return true;
    };
    hand.then(flingAgain);
    hand.then(Hand::waitFor([list, &paging] { return atRest(list) && paging.state() == HsPaging::End; }));
    meter.start();
    const bool completed = hand.play();
    return {QStringLiteral("fling 1000 notices"), meter.stop(), completed};
}

// Whether every picture view in sight holds its picture.
bool picturesInSightArrived(QQuickItem *item)
{
    if (!item->isVisible())
        return true;
    if (item->property("hasPicture").isValid() && item->property("loading").isValid())
        return item->property("hasPicture").toBool() && !item->property("loading").toBool();
    const auto children = item->childItems();
    return std::all_of(children.begin(), children.end(), picturesInSightArrived);
}

// The photo table dragged upward 360 points a stroke, let go while still moving (a gentle
// fling), stroke after stroke until its end, while the pictures arrive.
SceneResult scrollPhotoTable(FrameMeter &meter, Hand &hand, QQuickItem *table)
{
    const QPoint start = inList(table, table->width() / 2, table->height() - 40);
    Hand::Step strokeAgain = [&hand, table, start, &strokeAgain] {
        if (table->property("atYEnd").toBool())
            return true;
        std::vector<Hand::Step> stroke{hand.press(start)};
        for (int i = 0; i < 36; ++i)
            stroke.push_back(hand.moveBy({0, -10}));
        stroke.push_back(hand.release());
        stroke.push_back(hand.rest(10));
        stroke.push_back(strokeAgain);
        hand.next(std::move(stroke));
        return true;
    };
    hand.then(strokeAgain);
    hand.then(Hand::waitFor([table] { return atRest(table) && picturesInSightArrived(table); }));
    meter.start();
    const bool completed = hand.play();
    return {QStringLiteral("photo table"), meter.stop(), completed};
}

QString loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("?");
    return QString::fromLatin1(file.readAll()).section(QLatin1Char(' '), 0, 2);
}

void printHeader()
{
    std::printf("%-20s %-9s %6s | %7s %7s %7s %7s %7s %5s | %7s %7s   (ms)\n", "scene", "renderer", "frames",
                "p50", "p90", "p99", "max", ">16.7", ">50", "cpu p99", "cpu max");
}

void printResult(const SceneResult &scene, const char *renderer)
{
    const FrameSummary wall = summarise(scene.frames.wall);
    const FrameSummary processor = summarise(scene.frames.processor);
    std::printf("%-20s %-9s %6zu | %7.2f %7.2f %7.2f %7.2f %7zu %5zu | %7.2f %7.2f%s\n",
                qPrintable(scene.name), renderer, wall.frames, wall.p50, wall.p90, wall.p99, wall.max,
                wall.over16ms, wall.over50ms, processor.p99, processor.max,
                scene.completed ? "" : "  (did not finish)");
    std::fflush(stdout);
}

// Sets up the platform and renderer before the application object exists.
bool chooseRenderer(const QString &renderer)
{
    if (renderer == QLatin1String("software")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qputenv("QT_QUICK_BACKEND", "software");
        return true;
    }
    if (renderer == QLatin1String("opengl")) {
        qputenv("QT_QPA_PLATFORM", "xcb");
        qputenv("QT_XCB_GL_INTEGRATION", "xcb_glx");
        qputenv("QSG_RHI_BACKEND", "opengl");
        qputenv("QSG_RENDER_LOOP", "basic");
        qputenv("vblank_mode", "0");
        return true;
    }
    return false;
}

// Plays the chosen scenes in this process with one renderer.
int runScenes(int argc, char **argv, const QString &renderer, const QStringList &scenes)
{
    MeteredApplication application(argc, argv);
    hsSetUpApplication();
    hsSetLogSink([](const std::string &) {});
    std::printf("# %s: load average %s on %d cores\n", qPrintable(renderer), qPrintable(loadAverage()),
                QThread::idealThreadCount());

    SchoolThread school;
    HsServiceLink::setEndpoint(school.endpoint());
    QTemporaryDir data;
    int status = 1;
    {
        SignedInApplication app(data.path());
        if (!app.start()) {
            std::fprintf(stderr, "bench_frames: signing in to the canned school failed\n");
            return 1;
        }
        FrameMeter meter(application, *app.window());
        Hand hand(*app.window(), kWaitMilliseconds);
        std::vector<SceneResult> results;
        QQuickItem *notices = app.showArea(MainTabModel::NoticesTab, QStringLiteral("tableNews"), kNotices);
        HsNewsListActivity *noticesArea = app.main()->viewSchool();
        if (!notices) {
            std::fprintf(stderr, "bench_frames: the notices did not show\n");
            return 1;
        }
        if (scenes.contains(QLatin1String("pull")))
            results.push_back(pullToRefresh(meter, hand, notices, *noticesArea->refreshHeader()));
        if (scenes.contains(QLatin1String("fling")))
            results.push_back(flingThroughNotices(meter, hand, notices, *noticesArea->paging()));
        if (scenes.contains(QLatin1String("photos"))) {
            QQuickItem *photos =
                app.showArea(MainTabModel::ResourcesTab, QStringLiteral("tablePhoto"), kPhotos / 2);
            if (!photos) {
                std::fprintf(stderr, "bench_frames: the photo table did not show\n");
                return 1;
            }
            results.push_back(scrollPhotoTable(meter, hand, photos));
        }
        status = 0;
        for (const SceneResult &result : results) {
            printResult(result, qPrintable(renderer));
            status = result.completed ? status : 1;
        }
    }
    HsTaskRunner::waitForAllTasks();
    return status;
}

// Runs this program once per renderer, each in a process of its own, and passes on its table.
int runEveryRenderer(int argc, char **argv, const QStringList &passedOn)
{
    QCoreApplication application(argc, argv);
    printHeader();
    std::fflush(stdout);
    int status = 0;
    for (const QString &renderer : {QStringLiteral("software"), QStringLiteral("opengl")}) {
        VirtualDisplay display;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (renderer == QLatin1String("opengl")) {
            if (!display.start()) {
                std::printf("# opengl: skipped, Xvfb did not start\n");
                status = 1;
                continue;
            }
            environment.insert(QStringLiteral("DISPLAY"), display.name());
        }
        QProcess run;
        run.setProcessEnvironment(environment);
        run.setProcessChannelMode(QProcess::ForwardedChannels);
        run.start(QCoreApplication::applicationFilePath(),
                  QStringList{QStringLiteral("--renderer=") + renderer} + passedOn);
        run.waitForFinished(-1);
        status = run.exitStatus() == QProcess::NormalExit && run.exitCode() == 0 ? status : 1;
    }
    return status;
}

} // namespace

int main(int argc, char **argv)
{
    QString renderer;
    QStringList scenes{QStringLiteral("pull"), QStringLiteral("fling"), QStringLiteral("photos")};
    QStringList passedOn{QStringLiteral("--no-header")};
    bool partOfTable = false;
    for (int i = 1; i < argc; ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        if (argument.startsWith(QLatin1String("--renderer="))) {
            renderer = argument.section(QLatin1Char('='), 1);
        } else if (argument.startsWith(QLatin1String("--scenes="))) {
            scenes = argument.section(QLatin1Char('='), 1).split(QLatin1Char(','));
            passedOn << argument;
        } else if (argument == QLatin1String("--no-header")) {
            partOfTable = true;
        } else {
            std::fprintf(stderr,
                         "usage: bench_frames [--renderer=software|opengl] [--scenes=pull,fling,photos]\n");
            return 2;
        }
    }
    if (renderer.isEmpty())
        return runEveryRenderer(argc, argv, passedOn);
    if (!chooseRenderer(renderer)) {
        std::fprintf(stderr, "bench_frames: unknown renderer %s\n", qPrintable(renderer));
        return 2;
    }
    if (!partOfTable)
        printHeader();
    return runScenes(argc, argv, renderer, scenes);
}
