#pragma once

#include "screens/HsUserSession.h"
#include "screens/MainController.h"
#include "screens/ScreenPort.h"
#include "settings/HsDefaults.h"
#include "widgets/RefreshHeaderView.h"

#include <QObject>
#include <QQuickItem>
#include <QQuickWindow>
#include <QString>
#include <QTest>
#include <functional>
#include <utility>
#include <vector>

// A screen to capture: once the screenshot tool has signed in to the demo school, it pushes the
// controller that `makeController` returns (shown by the interface file its class names), lets it
// settle, and saves "<name>.png".
using ScreenshotPush = std::function<void(ScreenPort &, HsUserSession &, HsDefaults &)>;

// The scenes of one kind, each added from a file of its own:
// `static SceneRegistration<Kind> r{{...}};`
template <class Scene> std::vector<Scene> &registeredScenes()
{
    static std::vector<Scene> scenes;
    return scenes;
}

template <class Scene> struct SceneRegistration
{
    explicit SceneRegistration(Scene scene) { registeredScenes<Scene>().push_back(std::move(scene)); }
};

struct ScreenshotScene
{
    template <class MakeController>
    ScreenshotScene(QString name, MakeController makeController)
        : name(std::move(name)),
          push([makeController](ScreenPort &port, HsUserSession &session, HsDefaults &defaults) {
              port.push(makeController(port, session, defaults));
          })
    {}

    QString name;
    ScreenshotPush push;
};

using ScreenshotSceneRegistration = SceneRegistration<ScreenshotScene>;

// An area of the main screen to capture: the tool shows the tab `tag` (1000 to 1004) of the
// signed-in teacher's main screen, lets `prepare` bring the area into the state to show, and saves
// "<name>.png" once the screen is quiet.
struct AreaScreenshotScene
{
    QString name;
    int tag;
    std::function<void(MainController &, QQuickWindow &)> prepare;
};

using AreaScreenshotSceneRegistration = SceneRegistration<AreaScreenshotScene>;

// A gesture on an area of the main screen, captured at chosen moments: the tool shows the tab
// `tag` of the signed-in teacher's main screen, then `play` acts on the window as a hand would and
// calls `shoot` with a name at each moment to keep, which saves "<name>.png" of the window as it
// is then.
using ScreenshotShooter = std::function<void(const QString &name)>;

struct AreaGestureScene
{
    int tag;
    std::function<void(MainController &, QQuickWindow &, const ScreenshotShooter &shoot)> play;
};

using AreaGestureSceneRegistration = SceneRegistration<AreaGestureScene>;

// The shown item called `objectName` below `item`: the areas share their interface files, so pick
// the visible one.
inline QQuickItem *shownItem(QQuickItem *item, const QString &objectName)
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

inline constexpr int kFrameMilliseconds = 16;

// A finger pressed on `item` near its top and moved down `distance` points, a few points a frame,
// then resting there; it stays on the window until let go.
inline QPoint pressAndPull(QQuickWindow &window, QQuickItem &item, int distance)
{
    const QPoint from = item.mapToScene(QPointF(item.width() / 2, 30)).toPoint();
    QTest::mousePress(&window, Qt::LeftButton, {}, from);
    QPoint at = from;
    for (int moved = 8; moved <= distance; moved += 8) {
        at = from + QPoint(0, moved);
        QTest::mouseMove(&window, at, kFrameMilliseconds);
        QTest::qWait(kFrameMilliseconds);
    }
    QTest::qWait(300);
    return at;
}

// Waits until a pulled list is back at rest, its header normal again; false when it is not within
// half a minute.
inline bool pulledListCameToRest(const RefreshHeaderView &header, const QQuickItem &list)
{
    return QTest::qWaitFor(
        [&] {
            return header.state() == RefreshHeaderView::Normal && !list.property("moving").toBool() &&
                   list.property("contentY") == list.property("originY");
        },
        30000);
}
