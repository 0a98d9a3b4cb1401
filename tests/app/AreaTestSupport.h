#pragma once

#include "AppTestSupport.h"
#include "RecordingPort.h"
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
#include "settings_canned_service.h"
#include "transport/HsServiceConfig.h"
#include "widgets/RefreshHeaderView.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

// A demo school of the suite's own, a recording port and a fresh data folder; the school can be
// taken down for a while to see how a screen bears a call that gets no answer.
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

    // Runs `calls` while the school is down, then brings it back (perhaps on another port).
    static void unanswered(const std::function<void()> &calls)
    {
        server->stop();
        HsServiceConfig::setEndpoint(server->endpoint());
        calls();
        server->restart();
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
        CannedService service(document);
        HsServiceConfig::setEndpoint(service.endpoint());
        calls();
        EXPECT_GT(service.requestCount(), 0);
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

// Asks for a further page and waits until it has come or failed.
inline bool loadMore(HsPaging &paging, const std::function<void()> &ask)
{
    ask();
    return waitUntil([&] { return paging.state() != HsPaging::Loading; });
}
