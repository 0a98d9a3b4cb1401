#include "ScreenshotScenes.h"
#include "screens/HsStudentActivity.h"
#include "services/HsServiceLink.h"

#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QTest>
#include <cstdio>
#include <string>

namespace {

// A port on the loopback that nothing listens on: every call to it is refused at once.
constexpr auto kRefusingEndpoint = "http://127.0.0.1:1/school/services/schoolSvc";

void tapCentre(QQuickWindow &window, QQuickItem *item)
{
    if (item)
        QTest::mouseClick(&window, Qt::LeftButton, {},
                          item->mapToScene(QPointF(item->width() / 2, item->height() / 2)).toPoint());
}

QQuickItem *shownButton(QQuickItem *from, const QString &text)
{
    if (!from->isVisible())
        return nullptr;
    if (from->inherits("QQuickAbstractButton") && from->property("text").toString() == text)
        return from;
    for (QQuickItem *child : from->childItems())
        if (QQuickItem *found = shownButton(child, text))
            return found;
    return nullptr;
}

bool firstRowIs(const HsStudentRecordModel &rows, HsStudentRecordModel::OutboxState state)
{
    return QTest::qWaitFor(
        [&] {
            return rows.rowCount() > 0 &&
                   rows.index(0).data(HsStudentRecordModel::OutboxStateRole).toInt() == state;
        },
        30000);
}

// A chat message posted while the school cannot be reached heads the chat, marked "未发送" with its
// button; a tap on the button once the school is back sends it.
void postChatWithoutTheSchool(MainController &main, QQuickWindow &window, const ScreenshotShooter &shoot)
{
    HsStudentActivity &area = *main.viewStudent();
    tapCentre(window, shownButton(window.contentItem(), QStringLiteral("交流")));
    if (!QTest::qWaitFor([&] { return area.datas()->kind() == HsStudentRecordModel::Chat; }, 30000))
        return;
    QTest::qWait(600);
    const std::string school = HsServiceLink::endpoint();
    HsServiceLink::setEndpoint(kRefusingEndpoint);
    tapCentre(window, shownItem(window.contentItem(), QStringLiteral("tfPost")));
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("王老师，明天的家长会几点开始？"));
    QCoreApplication::sendEvent(window.focusObject(), &commit);
    tapCentre(window, shownItem(window.contentItem(), QStringLiteral("postButton")));
    if (!firstRowIs(*area.datas(), HsStudentRecordModel::Unsent))
        std::fprintf(stderr, "hsschool-screenshots: the chat post without the school was not marked\n");
    QTest::qWait(2500);
    shoot(QStringLiteral("chat-unsent-post"));
    HsServiceLink::setEndpoint(school);
    tapCentre(window, shownButton(window.contentItem(), QStringLiteral("重新发送")));
    if (!firstRowIs(*area.datas(), HsStudentRecordModel::Delivered))
        std::fprintf(stderr, "hsschool-screenshots: the chat post was not sent again\n");
}

const AreaGestureSceneRegistration chatWithoutTheSchool{{1000, postChatWithoutTheSchool}};

} // namespace
