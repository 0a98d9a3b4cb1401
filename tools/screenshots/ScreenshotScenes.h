#pragma once

#include "screens/HsUserSession.h"
#include "screens/MainController.h"
#include "screens/ScreenPort.h"
#include "settings/HsDefaults.h"

#include <QObject>
#include <QQuickWindow>
#include <QString>
#include <functional>
#include <utility>
#include <vector>

// A screen to capture: once the screenshot tool has signed in to the demo school, it pushes
// `interfaceFile` driven by the controller that `makeController` returns, lets it settle, and
// saves "<name>.png".
using ScreenshotControllerFactory = std::function<QObject *(ScreenPort &, HsUserSession &, HsDefaults &)>;

struct ScreenshotScene
{
    QString name;
    QString interfaceFile;
    ScreenshotControllerFactory makeController;
};

inline std::vector<ScreenshotScene> &screenshotScenes()
{
    static std::vector<ScreenshotScene> scenes;
    return scenes;
}

// Adds a scene from a file of its own: `static ScreenshotSceneRegistration r{{...}};`
struct ScreenshotSceneRegistration
{
    explicit ScreenshotSceneRegistration(ScreenshotScene scene)
    {
        screenshotScenes().push_back(std::move(scene));
    }
};

// An area of the main screen to capture: the tool shows the tab `tag` (1000 to 1004) of the
// signed-in teacher's main screen, lets `prepare` bring the area into the state to show, and saves
// "<name>.png" once the screen is quiet.
struct AreaScreenshotScene
{
    QString name;
    int tag;
    std::function<void(MainController &, QQuickWindow &)> prepare;
};

inline std::vector<AreaScreenshotScene> &areaScreenshotScenes()
{
    static std::vector<AreaScreenshotScene> scenes;
    return scenes;
}

struct AreaScreenshotSceneRegistration
{
    explicit AreaScreenshotSceneRegistration(AreaScreenshotScene scene)
    {
        areaScreenshotScenes().push_back(std::move(scene));
    }
};

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

inline std::vector<AreaGestureScene> &areaGestureScenes()
{
    static std::vector<AreaGestureScene> scenes;
    return scenes;
}

struct AreaGestureSceneRegistration
{
    explicit AreaGestureSceneRegistration(AreaGestureScene scene)
    {
        areaGestureScenes().push_back(std::move(scene));
    }
};
