#include "ScreenshotScenes.h"
#include "screens/HsAboutUs.h"
#include "screens/HsAdvice.h"
#include "screens/HsModifyPass.h"
#include "screens/HsSettingActivity.h"
#include "screens/HsUserInfo.h"
#include "services/LoginService.h"

namespace {

QObject *filledPasswordChange(ScreenPort &port, HsUserSession &session, HsDefaults &defaults)
{
    auto *screen = new HsModifyPass(port, session, defaults);
    screen->setTextOldPass(QStringLiteral("teacher123"));
    screen->setTextNewPass(QStringLiteral("Spring2027"));
    screen->setTextChkPass(QStringLiteral("Spring2027"));
    return screen;
}

// The profile of a parent of the demo school, whose record fills every row. The screen copies
// the record when it is made, so a session of its own leaves the signed-in teacher in place.
QObject *parentProfile(ScreenPort &port, HsUserSession &, HsDefaults &)
{
    HsUserSession parent;
    const LoginServiceResponse answer = LoginService().LoginStudent("jz1001", "parent123");
    if (answer.item)
        parent.setLoginItem(*answer.item);
    return new HsUserInfo(port, parent);
}

QObject *typedFeedback(ScreenPort &port, HsUserSession &session, HsDefaults &)
{
    auto *screen = new HsAdvice(port, session);
    screen->setTextAdvice(QStringLiteral("希望作业通知能增加提醒功能，方便家长按时查看。"));
    return screen;
}

const ScreenshotSceneRegistration settingsList{
    {QStringLiteral("settings"), QStringLiteral("HsSettingActivity"),
     [](ScreenPort &port, HsUserSession &session, HsDefaults &defaults) -> QObject * {
         return new HsSettingActivity(port, session, defaults);
     }}};

const ScreenshotSceneRegistration profile{
    {QStringLiteral("settings-profile"), QStringLiteral("HsUserInfo"),
     [](ScreenPort &port, HsUserSession &session, HsDefaults &) -> QObject * {
         return new HsUserInfo(port, session);
     }}};

const ScreenshotSceneRegistration parentsProfile{
    {QStringLiteral("settings-profile-parent"), QStringLiteral("HsUserInfo"), parentProfile}};

const ScreenshotSceneRegistration passwordChange{
    {QStringLiteral("settings-password"), QStringLiteral("HsModifyPass"), filledPasswordChange}};

const ScreenshotSceneRegistration about{{QStringLiteral("settings-about"), QStringLiteral("HsAboutUs"),
                                         [](ScreenPort &port, HsUserSession &, HsDefaults &) -> QObject * {
                                             return new HsAboutUs(port, HsAboutUs::aboutType);
                                         }}};

const ScreenshotSceneRegistration contact{{QStringLiteral("settings-contact"), QStringLiteral("HsAboutUs"),
                                           [](ScreenPort &port, HsUserSession &, HsDefaults &) -> QObject * {
                                               return new HsAboutUs(port, HsAboutUs::contactType);
                                           }}};

const ScreenshotSceneRegistration version{{QStringLiteral("settings-version"), QStringLiteral("HsAboutUs"),
                                           [](ScreenPort &port, HsUserSession &, HsDefaults &) -> QObject * {
                                               return new HsAboutUs(port, HsAboutUs::versionType);
                                           }}};

const ScreenshotSceneRegistration feedback{
    {QStringLiteral("settings-feedback"), QStringLiteral("HsAdvice"), typedFeedback}};

} // namespace
