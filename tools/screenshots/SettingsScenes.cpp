#include "ScreenshotScenes.h"
#include "screens/HsAboutUs.h"
#include "screens/HsAdvice.h"
#include "screens/HsModifyPass.h"
#include "screens/HsSettingActivity.h"
#include "screens/HsUserInfo.h"
#include "services/LoginService.h"
#include "settings/HsAccountBook.h"

namespace {

HsModifyPass *filledPasswordChange(ScreenPort &port, HsUserSession &session, HsDefaults &)
{
    auto *screen = new HsModifyPass(port, session);
    screen->setProperty("textOldPass", QStringLiteral("teacher123"));
    screen->setProperty("textNewPass", QStringLiteral("Spring2027"));
    screen->setProperty("textChkPass", QStringLiteral("Spring2027"));
    return screen;
}

// The profile of a parent of the demo school, whose record fills every row. The screen copies
// the record when it is made, so a session of its own leaves the signed-in teacher in place.
HsUserInfo *parentProfile(ScreenPort &port, HsUserSession &, HsDefaults &)
{
    HsUserSession parent;
    const LoginServiceResponse answer = LoginService().LoginStudent("jz1001", "parent123");
    if (answer.item)
        parent.setLoginItem(*answer.item);
    return new HsUserInfo(port, parent);
}

HsAdvice *typedFeedback(ScreenPort &port, HsUserSession &session, HsDefaults &)
{
    auto *screen = new HsAdvice(port, session);
    screen->setTextAdvice(QStringLiteral("希望作业通知能增加提醒功能，方便家长按时查看。"));
    return screen;
}

const ScreenshotSceneRegistration settingsList{
    {QStringLiteral("settings"), [](ScreenPort &port, HsUserSession &session, HsDefaults &defaults) {
         return new HsSettingActivity(port, session, defaults);
     }}};

// The signed-in teacher, who is also the parent of two children of the school, has remembered all
// three accounts.
const ScreenshotSceneRegistration accounts{
    {QStringLiteral("settings-accounts"), [](ScreenPort &port, HsUserSession &session, HsDefaults &defaults) {
         HsAccountBook book(defaults);
         book.remember({false, QStringLiteral("jz1001"), QStringLiteral("李雨桐")});
         book.remember({false, QStringLiteral("jz1002"), QStringLiteral("李雨航")});
         return new HsSettingActivity(port, session, defaults);
     }}};

const ScreenshotSceneRegistration profile{
    {QStringLiteral("settings-profile"),
     [](ScreenPort &port, HsUserSession &session, HsDefaults &) { return new HsUserInfo(port, session); }}};

const ScreenshotSceneRegistration parentsProfile{{QStringLiteral("settings-profile-parent"), parentProfile}};

const ScreenshotSceneRegistration passwordChange{{QStringLiteral("settings-password"), filledPasswordChange}};

const ScreenshotSceneRegistration about{
    {QStringLiteral("settings-about"), [](ScreenPort &port, HsUserSession &, HsDefaults &) {
         return new HsAboutUs(port, HsAboutUs::aboutType);
     }}};

const ScreenshotSceneRegistration contact{
    {QStringLiteral("settings-contact"), [](ScreenPort &port, HsUserSession &, HsDefaults &) {
         return new HsAboutUs(port, HsAboutUs::contactType);
     }}};

const ScreenshotSceneRegistration version{
    {QStringLiteral("settings-version"), [](ScreenPort &port, HsUserSession &, HsDefaults &) {
         return new HsAboutUs(port, HsAboutUs::versionType);
     }}};

const ScreenshotSceneRegistration feedback{{QStringLiteral("settings-feedback"), typedFeedback}};

} // namespace
