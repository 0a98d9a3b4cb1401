#include "app/HsQuickScreenPort.h"
#include "screens/EdBaseViewController.h"
#include "screens/HsAboutUs.h"
#include "screens/HsAdvice.h"
#include "screens/HsContactsActivity.h"
#include "screens/HsModifyPass.h"
#include "screens/HsNewsActivity.h"
#include "screens/HsNewsDetail.h"
#include "screens/HsRecordDetail.h"
#include "screens/HsResourceActivity.h"
#include "screens/HsResourceDetail.h"
#include "screens/HsSchoolActivity.h"
#include "screens/HsSettingActivity.h"
#include "screens/HsStudentActivity.h"
#include "screens/HsUserInfo.h"
#include "screens/MainController.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <gtest/gtest.h>

namespace {

// The interface files named by the controllers that are pushed onto the navigation stack: the
// screens the application opens, and the areas, which the screenshot tool also opens on their own.
template <class... Controllers> QStringList interfaceFilesOf()
{
    return {QString::fromLatin1(Controllers::interfaceFile)...};
}

} // namespace

TEST(ScreenFilesTest, EveryPushedControllerNamesAnInterfaceFileOfTheApplication)
{
    const QStringList files =
        interfaceFilesOf<EdHelpViewController, EdGetPassViewController, MainController, HsSettingActivity,
                         HsUserInfo, HsModifyPass, HsAboutUs, HsAdvice, HsNewsDetail, HsResourceDetail,
                         HsRecordDetail, HsStudentActivity, HsSchoolActivity, HsNewsActivity,
                         HsResourceActivity, HsContactsActivity>();
    QQmlEngine engine;
    for (const QString &file : files) {
        QQmlComponent component(&engine, HsQuickScreenPort::interfaceUrl(file));
        EXPECT_EQ(component.status(), QQmlComponent::Ready)
            << file.toStdString() << ": " << component.errorString().toStdString();
    }
}
