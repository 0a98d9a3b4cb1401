#include "ScreenshotScenes.h"
#include "screens/HsNewsListActivity.h"
#include "services/HsServiceLink.h"
#include "widgets/RefreshHeaderView.h"

#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QQuickItem>
#include <QTest>
#include <cstdio>
#include <string>

namespace {

// A port on the loopback that nothing listens on: every call to it is refused at once.
constexpr auto kRefusingEndpoint = "http://127.0.0.1:1/school/services/schoolSvc";

// The school notices pulled down by a hand while the school cannot be reached: the stored list stays, and
// the line under the category bar says when it was stored.
void pullNoticesWithoutTheSchool(MainController &main, QQuickWindow &window, const ScreenshotShooter &shoot)
{
    QQuickItem *list = shownItem(window.contentItem(), QStringLiteral("tableNews"));
    if (!list)
        return;
    const std::string school = HsServiceLink::endpoint();
    HsServiceLink::setEndpoint(kRefusingEndpoint);
    QTest::mouseRelease(&window, Qt::LeftButton, {}, pressAndPull(window, *list, 200), 16);
    if (!pulledListCameToRest(*main.viewSchool()->refreshHeader(), *list))
        std::fprintf(stderr,
                     "hsschool-screenshots: the notices pulled without the school did not come to rest\n");
    shoot(QStringLiteral("notices-updated-line"));
    HsServiceLink::setEndpoint(school);
}

// Types `words` into the shown search field as an input method hands over a finished word.
void typeIntoSearch(QQuickWindow &window, const QString &words)
{
    QQuickItem *field = shownItem(window.contentItem(), QStringLiteral("localSearchField"));
    if (!field)
        return;
    const QPoint centre = field->mapToScene(QPointF(field->width() / 2, field->height() / 2)).toPoint();
    QTest::mouseClick(&window, Qt::LeftButton, {}, centre);
    QInputMethodEvent commit;
    commit.setCommitString(words);
    QCoreApplication::sendEvent(window.focusObject(), &commit);
    QTest::qWait(100);
}

void clearSearch(QQuickWindow &window)
{
    if (QQuickItem *clear = shownItem(window.contentItem(), QStringLiteral("localSearchClear")))
        QTest::mouseClick(&window, Qt::LeftButton, {},
                          clear->mapToScene(QPointF(clear->width() / 2, clear->height() / 2)).toPoint());
}

// The notices searched with the school out of reach: a word found in several, and one found
// nowhere.
void searchNoticesWithoutTheSchool(MainController &, QQuickWindow &window, const ScreenshotShooter &shoot)
{
    const std::string school = HsServiceLink::endpoint();
    HsServiceLink::setEndpoint(kRefusingEndpoint);
    typeIntoSearch(window, QStringLiteral("家长"));
    shoot(QStringLiteral("notices-search-results"));
    clearSearch(window);
    typeIntoSearch(window, QStringLiteral("运动会报名"));
    shoot(QStringLiteral("notices-search-nothing-found"));
    clearSearch(window);
    HsServiceLink::setEndpoint(school);
}

const AreaGestureSceneRegistration noticesWithoutTheSchool{{1001, pullNoticesWithoutTheSchool}};
const AreaGestureSceneRegistration noticesSearched{{1001, searchNoticesWithoutTheSchool}};

} // namespace
