#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <utility>
#include <vector>

#include "app/HsDefaults.h"
#include "screens/HsUserSession.h"
#include "screens/ScreenPort.h"

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
    explicit ScreenshotSceneRegistration(ScreenshotScene scene) { screenshotScenes().push_back(std::move(scene)); }
};
