#pragma once

#include "AppTestSupport.h"
#include "app/HsAppDelegate.h"

#include <QQuickWindow>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// The application's own window with its navigation stack, over a data folder of its own.
class AppWindowTest : public testing::Test
{
protected:
    void SetUp() override
    {
        app.didFinishLaunchingWithOptions();
        window = app.window();
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window, kWaitMilliseconds));
        navigation = window->findChild<QObject *>(QStringLiteral("navigation"));
        ASSERT_NE(navigation, nullptr);
    }

    bool settledAt(int depth) const
    {
        return navigation->property("depth").toInt() == depth && !navigation->property("busy").toBool();
    }

    QTemporaryDir dir;
    HsAppDelegate app{dir.path()};
    QQuickWindow *window = nullptr;
    QObject *navigation = nullptr;
};
