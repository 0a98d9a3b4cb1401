#include "ScreenshotScenes.h"
#include "screens/HsNewsListActivity.h"
#include "services/HsServiceLink.h"
#include "widgets/RefreshHeaderView.h"

#include <QQuickItem>
#include <QTest>
#include <cstdio>
#include <string>

namespace {

// A port on the loopback that nothing listens on: every call to it is refused at once.
constexpr auto kRefusingEndpoint = "http://127.0.0.1:1/school/services/schoolSvc";

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

// The school notices pulled down by a hand while the school cannot be reached: the stored list stays, and
// the line under the category bar says when it was stored.
void pullNoticesWithoutTheSchool(MainController &main, QQuickWindow &window, const ScreenshotShooter &shoot)
{
    QQuickItem *list = shownItem(window.contentItem(), QStringLiteral("tableNews"));
    if (!list)
        return;
    const std::string school = HsServiceLink::endpoint();
    HsServiceLink::setEndpoint(kRefusingEndpoint);
    const QPoint from = list->mapToScene(QPointF(list->width() / 2, 30)).toPoint();
    QTest::mousePress(&window, Qt::LeftButton, {}, from);
    for (int moved = 10; moved <= 200; moved += 10)
        QTest::mouseMove(&window, from + QPoint(0, moved), 16);
    QTest::mouseRelease(&window, Qt::LeftButton, {}, from + QPoint(0, 200), 16);
    const RefreshHeaderView &header = *main.viewSchool()->refreshHeader();
    const bool atRest = QTest::qWaitFor(
        [&] {
            return header.state() == RefreshHeaderView::Normal && !list->property("moving").toBool() &&
                   list->property("contentY") == list->property("originY");
        },
        30000);
    if (!atRest)
        std::fprintf(stderr,
                     "hsschool-screenshots: the notices pulled without the school did not come to rest\n");
    shoot(QStringLiteral("notices-updated-line"));
    HsServiceLink::setEndpoint(school);
}

const AreaGestureSceneRegistration noticesWithoutTheSchool{{1001, pullNoticesWithoutTheSchool}};

} // namespace
