#pragma once

#include "AppTestSupport.h"
#include "ScreenPortTestSupport.h"
#include "ServerProcess.h"
#include "cache/HsPreferences.h"
#include "cache/NewsTypeDao.h"
#include "cache/ResourceTypeDao.h"
#include "screens/HsPaging.h"
#include "screens/HsUserSession.h"
#include "services/LoginService.h"
#include "services/NewsService.h"
#include "services/ResourceService.h"
#include "settings/HsDefaults.h"
#include "transport/HsServiceConfig.h"
#include "widgets/RefreshHeaderView.h"

#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

// A demo school of the suite's own, a recording port and a fresh data folder; calls can be sent
// to a refusing port for a while to see how a screen bears a call that gets no answer.
class DemoSchoolTest : public testing::Test
{
protected:
    static void SetUpTestSuite() { server = std::make_unique<ServerProcess>(); }
    static void TearDownTestSuite() { server.reset(); }

    void SetUp() override
    {
        HsServiceConfig::setEndpoint(server->endpoint());
        HsPreferences::setCurrent(nullptr);
    }

    void TearDown() override
    {
        EXPECT_TRUE(waitUntil([this] { return port.idle(); }));
        HsPreferences::setCurrent(nullptr);
        HsServiceConfig::setEndpoint(server->endpoint());
    }

    // Signs in to the demo school; teachers with login type 0, parents with 1.
    void signIn(const std::string &account, bool teacher)
    {
        LoginService service;
        const LoginServiceResponse response = teacher ? service.LoginTeacher(account, "teacher123")
                                                      : service.LoginStudent(account, "parent123");
        ASSERT_TRUE(response.answered && response.code == 0 && response.item) << account;
        session.setLoginItem(*response.item);
        session.setLoginType(teacher ? 0 : 1);
    }

    // Runs `calls` against a port that refuses every connection, then points back at the school.
    static void unanswered(const std::function<void()> &calls)
    {
        const ClosedPort closed;
        HsServiceConfig::setEndpoint(closed.url());
        calls();
        HsServiceConfig::setEndpoint(server->endpoint());
    }

    // How many calls of the SOAP method (for example "getNews") the server has answered so far.
    static int callsOf(const QString &method)
    {
        QFile log(QString::fromStdString(server->logPath()));
        if (!log.open(QIODevice::ReadOnly))
            return 0;
        return static_cast<int>(log.readAll().count((QLatin1Char(' ') + method + QLatin1Char(' ')).toUtf8()));
    }

    // Runs `calls` against a stand-in service answering every call with `document`, then points
    // back at the demo school; the calls must have reached the stand-in.
    static void answering(const QString &document, const std::function<void()> &calls)
    {
        EventLoopSoapServer service(document);
        HsServiceConfig::setEndpoint(service.url());
        calls();
        EXPECT_GT(service.callCount(), 0);
        HsServiceConfig::setEndpoint(server->endpoint());
    }

    // Runs `fetch` once refused by the service and once with the school down; `kept` checks after
    // each that what the screen showed is still there.
    static void refusedThenUnanswered(const std::function<void()> &fetch, const std::function<void()> &kept)
    {
        answering(kRefusal, fetch);
        kept();
        unanswered(fetch);
        kept();
    }

    bool waitForOverlays(int finished) const
    {
        return waitUntil([this, finished] { return port.overlaysFinished() >= finished && port.idle(); });
    }

    static std::unique_ptr<ServerProcess> server;
    QTemporaryDir dir;
    HsUserSession session;
    RecordingPort port;
};

inline std::unique_ptr<ServerProcess> DemoSchoolTest::server;

// The ground of every test of a main-screen area: a fresh cache database holding the category
// tables as the login screen leaves them, and a defaults store.
class AreaTest : public DemoSchoolTest
{
protected:
    void SetUp() override
    {
        DemoSchoolTest::SetUp();
        auto preferences = std::make_shared<HsPreferences>();
        ASSERT_TRUE(preferences->load(dir.path().toStdString()));
        HsPreferences::setCurrent(preferences);
        NewsTypeDao().replaceAll(NewsService().GetNewsTypes().items);
        ResourceTypeDao().replaceAll(ResourceService().GetResourceTypes().items);
    }

    HsDefaults defaults{dir.filePath(QStringLiteral("defaults.ini"))};
};

// An area's interface file in a window of phone size over the signed-in account's own cache, as
// the main screen shows it; `networkUp` is what the area's check of the network says.
class ShownAreaTest : public DemoSchoolTest
{
protected:
    void TearDown() override
    {
        closeArea();
        DemoSchoolTest::TearDown();
    }

    // Signs in to the demo school and opens the account's own cache with the categories stored,
    // as the login screen leaves them.
    void useAccount(const std::string &account, bool teacher)
    {
        HsServiceConfig::setEndpoint(server->endpoint());
        signIn(account, teacher);
        openCache();
        NewsTypeDao().replaceAll(NewsService().GetNewsTypes().items);
        ResourceTypeDao().replaceAll(ResourceService().GetResourceTypes().items);
    }

    // Opens the cache file of the session's account in the test's data folder.
    void openCache()
    {
        auto preferences = std::make_shared<HsPreferences>();
        ASSERT_TRUE(preferences->load(dir.path().toStdString(), session.accountKey()));
        HsPreferences::setCurrent(preferences);
    }

    // Loads a new area and shows it once its first fetches have ended.
    template <class Area> Area &show()
    {
        closeArea();
        host = std::make_unique<ScreenHost>();
        auto *area = new Area(port, session, defaults);
        shownArea.reset(area);
        area->setNetworkCheck([this] { return networkUp; });
        area->viewDidLoad();
        EXPECT_TRUE(waitUntil([this] { return port.idle(); }));
        host->show(area);
        return *area;
    }

    void closeArea()
    {
        host.reset();
        shownArea.reset();
    }

    bool networkUp = true;
    HsDefaults defaults{dir.filePath(QStringLiteral("defaults.ini"))};
    std::unique_ptr<QObject> shownArea;
    std::unique_ptr<ScreenHost> host;
};

// The ids of headlines or resources, in the order given.
template <typename Item> std::vector<int32_t> idsOf(const std::vector<Item> &items)
{
    std::vector<int32_t> ids;
    for (const Item &item : items) {
        if constexpr (requires { item.newsId; })
            ids.push_back(item.newsId);
        else
            ids.push_back(item.resId);
    }
    return ids;
}

// Pulls a list down past the threshold, lets go and waits for the header to come back.
inline void pullToRefresh(RefreshHeaderView &header)
{
    header.refreshScrollViewDidScroll(-80, true);
    header.refreshScrollViewDidEndDragging(-80);
    ASSERT_EQ(header.state(), RefreshHeaderView::Loading);
    ASSERT_TRUE(waitUntil([&] { return header.state() == RefreshHeaderView::Normal; }));
}

// The page a paged call asked for: its last arguments are the page and the page size.
inline int pageOf(const SentCall &call)
{
    const auto &arguments = call.arguments;
    return arguments.size() >= 2 ? std::atoi(arguments[arguments.size() - 2].c_str()) : 0;
}

// The text of a call's argument `n`, counted after the two access keys; empty when there is none.
inline std::string argumentOf(const SentCall &call, size_t n)
{
    return n + kAccessKeys.size() < call.arguments.size() ? call.arguments[n + kAccessKeys.size()]
                                                          : std::string();
}

// A result document of code 0 holding `items`, each already written as XML.
inline QString resultDocument(const QStringList &items)
{
    return QStringLiteral("<Result><Code>0</Code><Error></Error>") + items.join(QString()) +
           QStringLiteral("</Result>");
}

// The first button below `from` whose text is `text`.
inline QQuickItem *buttonWithText(QQuickItem *from, const QString &text)
{
    if (from->inherits("QQuickAbstractButton") && from->property("text").toString() == text)
        return from;
    for (QQuickItem *child : from->childItems())
        if (QQuickItem *found = buttonWithText(child, text))
            return found;
    return nullptr;
}

// Drags `list` in its window by `dy` (negative towards its end) as a hand does: press, move in
// steps, let go; then waits until the list has come to rest.
inline void dragList(QQuickWindow &window, QQuickItem *list, qreal dy)
{
    ASSERT_NE(list, nullptr);
    const QPointF start = list->mapToScene(QPointF(list->width() / 2, dy < 0 ? list->height() - 30 : 30));
    constexpr int steps = 10;
    QTest::mousePress(&window, Qt::LeftButton, {}, start.toPoint());
    for (int step = 1; step <= steps; ++step)
        QTest::mouseMove(&window, (start + QPointF(0, dy * step / steps)).toPoint(), 20);
    QTest::mouseRelease(&window, Qt::LeftButton, {}, (start + QPointF(0, dy)).toPoint(), 20);
    ASSERT_TRUE(waitUntil([list] { return !list->property("moving").toBool(); }));
}

// Drags `list` up until it sits at its end.
inline void dragToEnd(QQuickWindow &window, QQuickItem *list)
{
    for (int drag = 0; drag < 20 && !list->property("atYEnd").toBool(); ++drag)
        dragList(window, list, -list->height() * 0.6);
    ASSERT_TRUE(list->property("atYEnd").toBool());
}

// Asks for a further page and waits until it has come or failed.
inline bool loadMore(HsPaging &paging, const std::function<void()> &ask)
{
    ask();
    return waitUntil([&] { return paging.state() != HsPaging::Loading; });
}
