#include "ScreenshotScenes.h"
#include "screens/HsNewsDetail.h"
#include "screens/HsNewsListActivity.h"
#include "screens/HsRecordDetail.h"
#include "screens/HsStudentActivity.h"
#include "services/LoginService.h"
#include "services/NewsService.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QQuickItem>
#include <functional>
#include <map>
#include <string>

namespace {

// The shown item called `objectName` below `item`: the areas share their interface files, so pick
// the visible one.
QQuickItem *visibleItem(QQuickItem *item, const QString &objectName)
{
    if (!item->isVisible())
        return nullptr;
    if (item->objectName() == objectName)
        return item;
    for (QQuickItem *child : item->childItems())
        if (QQuickItem *found = visibleItem(child, objectName))
            return found;
    return nullptr;
}

// Holds the shown headline list pulled down by `distance`, as a finger would, and tells its
// header; with `release`, lets go there, so that the list reloads with the header in view.
void pullNotices(MainController &main, QQuickWindow &window, qreal distance, bool release)
{
    HsNewsListActivity *area = main.viewSchool();
    QQuickItem *list = visibleItem(window.contentItem(), QStringLiteral("tableNews"));
    if (!list)
        return;
    RefreshHeaderView &header = *area->refreshHeader();
    header.refreshScrollViewDidScroll(-distance, true);
    if (release)
        header.refreshScrollViewDidEndDragging(-distance);
    const qreal shown = release ? RefreshHeaderView::loadingInset : distance;
    list->setProperty("contentY", list->property("originY").toReal() - shown);
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
QObject *parentChat(ScreenPort &port, HsUserSession &, HsDefaults &defaults)
{
    auto *student = new HsStudentActivity(port, signedInParent("jz1001"), defaults);
    student->setNetworkCheck([] { return true; });
    student->updateCategory(HsStudentActivity::chatCategory);
    student->setPostText(QStringLiteral("收到，谢谢老师！周五我们准时参加家长会。"));
    return student;
}

// The first notice of the school's first category that asks for a reply, with the replies given
// so far (a teacher) or the reply box (a parent).
QObject *noticeDetail(ScreenPort &port, HsUserSession &session, HsDefaults &)
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

QObject *parentNoticeDetail(ScreenPort &port, HsUserSession &, HsDefaults &defaults)
{
    auto *detail = qobject_cast<HsNewsDetail *>(noticeDetail(port, signedInParent("jz1003"), defaults));
    detail->setReplyText(QStringLiteral("收到，孩子会按时参加。"));
    return detail;
}

// The news list scrolled to its end once every page has loaded.
void newsAtTheEnd(MainController &main, QQuickWindow &window)
{
    HsNewsListActivity *area = main.viewNews();
    QQuickItem *list = visibleItem(window.contentItem(), QStringLiteral("tableNews"));
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

QObject *homeworkDetail(ScreenPort &port, HsUserSession &, HsDefaults &)
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
const AreaScreenshotSceneRegistration noticesPulling{
    {QStringLiteral("notices-pulling"), 1001,
     [](MainController &main, QQuickWindow &window) { pullNotices(main, window, 80, false); }, false}};
const AreaScreenshotSceneRegistration noticesLoading{
    {QStringLiteral("notices-loading"), 1001,
     [](MainController &main, QQuickWindow &window) { pullNotices(main, window, 70, true); }, false}};
const AreaScreenshotSceneRegistration news{
    {QStringLiteral("news"), 1002, [](MainController &, QQuickWindow &) {}}};
const AreaScreenshotSceneRegistration newsEnd{{QStringLiteral("news-end"), 1002, newsAtTheEnd}};

const ScreenshotSceneRegistration chatAsParent{
    {QStringLiteral("student-chat-parent"), QStringLiteral("HsStudentActivity"), parentChat}};
const ScreenshotSceneRegistration detail{
    {QStringLiteral("notice-detail"), QStringLiteral("HsNewsDetail"), noticeDetail}};
const ScreenshotSceneRegistration parentDetail{
    {QStringLiteral("notice-detail-parent"), QStringLiteral("HsNewsDetail"), parentNoticeDetail}};
const ScreenshotSceneRegistration recordDetail{
    {QStringLiteral("student-record-detail"), QStringLiteral("HsRecordDetail"), homeworkDetail}};

} // namespace
