#include "ScreenshotScenes.h"
#include "screens/HsNewsDetail.h"
#include "screens/HsNewsListActivity.h"
#include "screens/HsRecordDetail.h"
#include "screens/HsStudentActivity.h"
#include "services/HsServiceLink.h"
#include "services/LoginService.h"
#include "services/NewsService.h"
#include "widgets/RefreshHeaderView.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QQuickItem>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <string>

namespace {

// Stands between the client and the demo school and holds whatever the client sends for a while
// before passing it on, so that a refresh stays loading long enough to be seen. The bytes pass
// unchanged both ways.
class SlowRelay : public QObject
{
public:
    SlowRelay(const QUrl &school, int holdMilliseconds)
        : m_school(school), m_holdMilliseconds(holdMilliseconds)
    {
        m_server.listen(QHostAddress::LocalHost);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *client = m_server.nextPendingConnection())
                relay(client);
        });
    }

    // The school's address with the relay's port.
    std::string endpoint() const
    {
        QUrl url = m_school;
        url.setPort(m_server.serverPort());
        return url.toString().toStdString();
    }

private:
    void relay(QTcpSocket *client)
    {
        auto *school = new QTcpSocket(client);
        school->connectToHost(m_school.host(), static_cast<quint16>(m_school.port()));
        connect(client, &QTcpSocket::readyRead, school, [this, client, school] {
            QTimer::singleShot(m_holdMilliseconds, school,
                               [school, bytes = client->readAll()] { school->write(bytes); });
        });
        connect(school, &QTcpSocket::readyRead, client,
                [client, school] { client->write(school->readAll()); });
        connect(school, &QTcpSocket::disconnected, client, &QTcpSocket::disconnectFromHost);
        connect(client, &QTcpSocket::disconnected, client, &QObject::deleteLater);
    }

    QUrl m_school;
    int m_holdMilliseconds;
    QTcpServer m_server;
};

// Runs the event loop until `milliseconds` have passed on `clock`.
void waitUntilElapsed(const QElapsedTimer &clock, int milliseconds)
{
    QTest::qWait(static_cast<int>(std::max<qint64>(0, milliseconds - clock.elapsed())));
}

// The school notices pulled down and let go by a hand, against a school that takes 1.5 s to
// answer: the finger held past the threshold, the list loading 0.2 s and 1 s after the release,
// and back at rest once the load and its end are over.
void pullNoticesToRefresh(MainController &main, QQuickWindow &window, const ScreenshotShooter &shoot)
{
    QQuickItem *list = shownItem(window.contentItem(), QStringLiteral("tableNews"));
    if (!list)
        return;
    const std::string school = HsServiceLink::endpoint();
    SlowRelay relay(QUrl(QString::fromStdString(school)), 1500);
    HsServiceLink::setEndpoint(relay.endpoint());

    const QPoint at = pressAndPull(window, *list, 200);
    shoot(QStringLiteral("notices-pull-1-pulling"));
    QTest::mouseRelease(&window, Qt::LeftButton, {}, at, 300);
    QElapsedTimer sinceRelease;
    sinceRelease.start();
    waitUntilElapsed(sinceRelease, 200);
    shoot(QStringLiteral("notices-pull-2-loading-0.2s"));
    waitUntilElapsed(sinceRelease, 1000);
    shoot(QStringLiteral("notices-pull-3-loading-1s"));
    if (!pulledListCameToRest(*main.viewSchool()->refreshHeader(), *list))
        std::fprintf(stderr, "hsschool-screenshots: the pulled notices did not come back to rest\n");
    shoot(QStringLiteral("notices-pull-4-at-rest"));
    HsServiceLink::setEndpoint(school);
}

void showStudentCategory(MainController &main, int category)
{
    main.viewStudent()->updateCategory(category);
}

// A parent of the demo school, signed in; the session outlives the screens made for it.
HsUserSession &signedInParent(const std::string &account)
{
    static std::map<std::string, HsUserSession> parents;
    HsUserSession &parent = parents[account];
    const LoginServiceResponse answer = LoginService().LoginStudent(account, "parent123");
    if (answer.item)
        parent.setLoginItem(*answer.item);
    parent.setLoginType(1);
    return parent;
}

// A parent's chat, with a message typed into the post box.
HsStudentActivity *parentChat(ScreenPort &port, HsUserSession &, HsDefaults &defaults)
{
    auto *student = new HsStudentActivity(port, signedInParent("jz1001"), defaults);
    student->setNetworkCheck([] { return true; });
    student->updateCategory(HsStudentActivity::chatCategory);
    student->setPostText(QStringLiteral("收到，谢谢老师！周五我们准时参加家长会。"));
    return student;
}

// The first notice of the school's first category that asks for a reply, with the replies given
// so far (a teacher) or the reply box (a parent).
HsNewsDetail *noticeDetail(ScreenPort &port, HsUserSession &session, HsDefaults &)
{
    const LoginResultItem user = session.user();
    const auto notices = NewsService().GetNews(user.schoolCode.value_or(""), user.classId, "xxtz", 1).items;
    auto *detail = new HsNewsDetail(port, session);
    for (const NewsItem &notice : notices) {
        if (notice.forceReturn != 0 || &notice == &notices.back()) {
            detail->setNewsId(notice.newsId);
            detail->setForceReturn(notice.forceReturn);
            break;
        }
    }
    detail->viewDidLoad();
    return detail;
}

HsNewsDetail *parentNoticeDetail(ScreenPort &port, HsUserSession &, HsDefaults &defaults)
{
    HsNewsDetail *detail = noticeDetail(port, signedInParent("jz1003"), defaults);
    detail->setReplyText(QStringLiteral("收到，孩子会按时参加。"));
    return detail;
}

// The news list scrolled to its end once every page has loaded.
void newsAtTheEnd(MainController &main, QQuickWindow &window)
{
    HsNewsListActivity *area = main.viewNews();
    QQuickItem *list = shownItem(window.contentItem(), QStringLiteral("tableNews"));
    if (!list)
        return;
    const int32_t shownFirst = area->newses()->newses().empty() ? 0 : area->newses()->newses().front().newsId;
    area->pressCategory(3);
    QElapsedTimer timer;
    timer.start();
    const auto waitFor = [&timer](const std::function<bool()> &done) {
        while (!done() && timer.elapsed() < 30000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    };
    waitFor([area, shownFirst] {
        return area->newses()->rowCount() > 0 && area->newses()->newses().front().newsId != shownFirst;
    });
    while (area->paging()->state() != HsPaging::End && timer.elapsed() < 30000) {
        area->loadMore();
        waitFor([area] { return area->paging()->state() != HsPaging::Loading; });
    }
    QMetaObject::invokeMethod(list, "positionViewAtEnd");
}

HsRecordDetail *homeworkDetail(ScreenPort &port, HsUserSession &, HsDefaults &)
{
    return new HsRecordDetail(port, QStringLiteral("作业详情"),
                              QStringLiteral("背诵古诗《山行》，明天课上默写。注意“坐”与“座”的区别，"
                                             "家长请签字确认。"),
                              QStringLiteral("王芳 2026-12-03 16:20"));
}

const AreaScreenshotSceneRegistration studentScores{
    {QStringLiteral("student-scores"), 1000, [](MainController &main, QQuickWindow &) {
         showStudentCategory(main, HsStudentActivity::scoresCategory);
     }}};
const AreaScreenshotSceneRegistration studentStates{
    {QStringLiteral("student-states"), 1000, [](MainController &main, QQuickWindow &) {
         showStudentCategory(main, HsStudentActivity::statesCategory);
     }}};
const AreaScreenshotSceneRegistration studentChat{
    {QStringLiteral("student-chat"), 1000, [](MainController &main, QQuickWindow &) {
         showStudentCategory(main, HsStudentActivity::chatCategory);
     }}};
const AreaScreenshotSceneRegistration studentHomework{
    {QStringLiteral("student-homework"), 1000, [](MainController &main, QQuickWindow &) {
         showStudentCategory(main, HsStudentActivity::homeworkCategory);
     }}};
const AreaScreenshotSceneRegistration notices{
    {QStringLiteral("notices"), 1001, [](MainController &, QQuickWindow &) {}}};
const AreaGestureSceneRegistration noticesPulled{{1001, pullNoticesToRefresh}};
const AreaScreenshotSceneRegistration news{
    {QStringLiteral("news"), 1002, [](MainController &, QQuickWindow &) {}}};
const AreaScreenshotSceneRegistration newsEnd{{QStringLiteral("news-end"), 1002, newsAtTheEnd}};

const ScreenshotSceneRegistration chatAsParent{{QStringLiteral("student-chat-parent"), parentChat}};
const ScreenshotSceneRegistration detail{{QStringLiteral("notice-detail"), noticeDetail}};
const ScreenshotSceneRegistration parentDetail{{QStringLiteral("notice-detail-parent"), parentNoticeDetail}};
const ScreenshotSceneRegistration recordDetail{{QStringLiteral("student-record-detail"), homeworkDetail}};

} // namespace
