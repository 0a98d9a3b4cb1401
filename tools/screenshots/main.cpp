// hsschool-screenshots OUTDIR [WIDTHxHEIGHT]: starts a demo school server, runs the application offscreen
// against it and saves a PNG of each screen: the guide, the filled-in login screen, the main
// screen after signing in (and after three notifications), the help pages, and then every
// registered scene and gesture.
#include "AnnouncingChild.h"
#include "ScreenshotScenes.h"
#include "app/HsAppDelegate.h"
#include "app/HsAppSetup.h"
#include "screens/CheckButton.h"
#include "screens/HsLoginController.h"
#include "screens/MainController.h"
#include "services/HsServiceLink.h"
#include "settings/HsPasswordStore.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <functional>

namespace {

constexpr int kSettleMilliseconds = 700;
constexpr int kWaitMilliseconds = 60000;

void processEventsFor(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

bool waitFor(const std::function<bool()> &done, int milliseconds = kWaitMilliseconds)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > milliseconds)
            return false;
        processEventsFor(20);
    }
    return true;
}

// The demo school, on a free loopback port, with a fresh database in `folder`.
class DemoServer
{
public:
    bool start(const QString &folder)
    {
        const QString binary =
            qEnvironmentVariable("HSSCHOOL_SERVER_BINARY", QStringLiteral(HSSCHOOL_SERVER_BINARY));
        const std::optional<QString> firstLine =
            m_process.start(binary,
                            {QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--seed"),
                             QStringLiteral("--db"), QDir(folder).filePath(QStringLiteral("school.sqlite3"))},
                            kWaitMilliseconds, QDir(folder).filePath(QStringLiteral("server.log")));
        const qsizetype at = firstLine ? firstLine->indexOf(QStringLiteral("http://")) : -1;
        if (at < 0)
            return false;
        m_baseUrl = firstLine->mid(at);
        return true;
    }

    QString endpoint() const { return m_baseUrl + QStringLiteral("/school/services/schoolSvc"); }

private:
    AnnouncingChild m_process;
    QString m_baseUrl;
};

class Photographer
{
public:
    Photographer(HsAppDelegate &app, const QString &outDir) : m_app(app), m_outDir(outDir) {}

    // Waits until nothing moves: no overlay, no toast, no navigation under way.
    bool settle()
    {
        const bool quiet = waitFor([this] { return !busy(); });
        processEventsFor(kSettleMilliseconds);
        return quiet;
    }

    // Saves the window once it is quiet.
    bool save(const QString &name)
    {
        settle();
        return shoot(name);
    }

    // Saves the window as it is now.
    bool shoot(const QString &name)
    {
        const QImage image = m_app.window()->grabWindow();
        const QString path = QDir(m_outDir).filePath(name + QStringLiteral(".png"));
        const bool saved = !image.isNull() && image.save(path);
        std::printf("%s %s\n", saved ? "saved" : "FAILED", qPrintable(path));
        m_failures += saved ? 0 : 1;
        return saved;
    }

    int depth() const { return navigation()->property("depth").toInt(); }
    // The controller of the screen on top of the navigation stack.
    QObject *topController() const
    {
        const auto *top = navigation()->property("currentItem").value<QObject *>();
        return top ? top->property("controller").value<QObject *>() : nullptr;
    }
    int failures() const { return m_failures; }
    void fail(const char *what)
    {
        std::printf("FAILED %s\n", what);
        ++m_failures;
    }

private:
    QObject *navigation() const { return m_app.window()->findChild<QObject *>(QStringLiteral("navigation")); }

    bool busy() const
    {
        QObject *port = dynamic_cast<QObject *>(&m_app.port());
        const auto *overlay = port->property("overlay").value<QObject *>();
        const auto *toast = port->property("toast").value<QObject *>();
        return navigation()->property("busy").toBool() || overlay->property("shown").toBool() ||
               toast->property("shown").toBool();
    }

    HsAppDelegate &m_app;
    QString m_outDir;
    int m_failures = 0;
};

// Pushes a screen, photographs it and goes back.
void photographPushed(Photographer &camera, HsAppDelegate &app, const ScreenshotScene &scene)
{
    const int depthBefore = camera.depth();
    scene.push(app.port(), app.session(), app.defaults());
    if (!waitFor([&] { return camera.depth() > depthBefore; })) {
        camera.fail(qPrintable(scene.name));
        return;
    }
    camera.save(scene.name);
    app.port().pop();
    waitFor([&] { return camera.depth() == depthBefore; });
}

// "414x896" as a size; an empty size when the text is not of that form.
QSize parseSize(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char('x'));
    bool widthRead = false;
    bool heightRead = false;
    const QSize size =
        parts.size() == 2 ? QSize(parts[0].toInt(&widthRead), parts[1].toInt(&heightRead)) : QSize();
    return widthRead && heightRead ? size : QSize();
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    hsSetUpApplication();
    // The demo's passwords stay in the tool's throwaway folder, never in the desktop's keyring.
    HsPasswordStore::setSecretServiceName(std::nullopt);
    const QSize windowSize = argc == 3 ? parseSize(QString::fromLocal8Bit(argv[2])) : QSize();
    if (argc < 2 || argc > 3 || (argc == 3 && windowSize.isEmpty())) {
        std::fprintf(stderr, "usage: hsschool-screenshots OUTDIR [WIDTHxHEIGHT]\n");
        return 2;
    }
    const QString outDir = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(outDir);

    QTemporaryDir work;
    DemoServer server;
    if (!work.isValid() || !server.start(work.path())) {
        std::fprintf(stderr, "hsschool-screenshots: the demo school server did not start\n");
        return 1;
    }
    HsServiceLink::setEndpoint(server.endpoint().toStdString());

    HsAppDelegate app(QDir(work.path()).filePath(QStringLiteral("app")));
    app.didFinishLaunchingWithOptions();
    if (!app.window()) {
        std::fprintf(stderr, "hsschool-screenshots: the window was not created\n");
        return 1;
    }
    if (windowSize.isValid())
        app.window()->resize(windowSize);
    Photographer camera(app, outDir);
    camera.save(QStringLiteral("guide"));
    app.guideDidSelectPageAtIndex(app.numberOfGuidePages() - 1);

    HsLoginController &login = *app.loginController();
    login.cbLoginTeacher()->clicked();
    login.cbRemember()->clicked();
    login.setAccount(QStringLiteral("wangfang"));
    login.setPassword(QStringLiteral("teacher123"));
    camera.save(QStringLiteral("login"));

    login.pressButton(HsLoginController::Help);
    waitFor([&] { return camera.depth() == 2; });
    camera.save(QStringLiteral("login-help"));
    app.port().pop();
    waitFor([&] { return camera.depth() == 1; });
    login.pressButton(HsLoginController::ForgottenPassword);
    waitFor([&] { return camera.depth() == 2; });
    camera.save(QStringLiteral("login-forgotten-password"));
    app.port().pop();
    waitFor([&] { return camera.depth() == 1; });

    login.pressButton(HsLoginController::SignIn);
    if (!waitFor([&] { return camera.depth() == 2 && !login.isSigningIn(); })) {
        std::fprintf(stderr, "hsschool-screenshots: signing in to the demo school failed\n");
        return 1;
    }
    camera.save(QStringLiteral("main"));
    for (int badge = 1; badge <= 3; ++badge)
        app.didReceiveRemoteNotification(
            {{QStringLiteral("aps"), QVariantMap{{QStringLiteral("badge"), badge}}}});
    camera.save(QStringLiteral("main-notified"));

    auto *main = qobject_cast<MainController *>(camera.topController());
    if (!main) {
        std::fprintf(stderr, "hsschool-screenshots: the main screen is not on top after signing in\n");
        return 1;
    }
    for (const AreaScreenshotScene &scene : registeredScenes<AreaScreenshotScene>()) {
        main->toolbarPress(scene.tag);
        camera.settle();
        scene.prepare(*main, *app.window());
        camera.save(scene.name);
    }
    for (const AreaGestureScene &scene : registeredScenes<AreaGestureScene>()) {
        main->toolbarPress(scene.tag);
        camera.settle();
        scene.play(*main, *app.window(), [&camera](const QString &name) { camera.shoot(name); });
        camera.settle();
    }
    main->toolbarPress(MainTabModel::StudentTab);

    for (const ScreenshotScene &scene : registeredScenes<ScreenshotScene>())
        photographPushed(camera, app, scene);
    return camera.failures() == 0 ? 0 : 1;
}
