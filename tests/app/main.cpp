#include "app/HsAppSetup.h"
#include "widgets/HsTaskRunner.h"

#include <QGuiApplication>
#include <gtest/gtest.h>

// The application tests run inside a real Qt event loop on the offscreen platform, so no
// display is needed.
int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    hsSetUpApplication();
    testing::InitGoogleTest(&argc, argv);
    const int status = RUN_ALL_TESTS();
    // Tasks that a test left running end before the objects of the process go away.
    HsTaskRunner::waitForAllTasks();
    return status;
}
