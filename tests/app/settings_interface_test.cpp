#include "AppTestSupport.h"
#include "RecordingPort.h"
#include "screens/HsAboutUs.h"
#include "screens/HsAdvice.h"
#include "screens/HsModifyPass.h"
#include "screens/HsSettingActivity.h"
#include "screens/HsUserInfo.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

// Shows one settings screen, driven by its controller, in an offscreen window of phone size, so
// taps and typing go through the interface file to the controller.
class SettingsInterfaceTest : public testing::Test
{
protected:
    void show(const QString &interfaceFile, QObject *controller)
    {
        QQmlComponent component(&engine, QUrl(QStringLiteral("qrc:/HsSchool/%1.qml").arg(interfaceFile)));
        screen.reset(qobject_cast<QQuickItem *>(component.createWithInitialProperties(
            {{QStringLiteral("controller"), QVariant::fromValue(controller)}})));
        ASSERT_NE(screen, nullptr) << component.errorString().toStdString();
        window.resize(320, 568);
        screen->setSize(QSizeF(320, 568));
        screen->setParentItem(window.contentItem());
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    // Searches the visual tree, which also holds the items that repeaters and views made.
    QQuickItem *find(const char *objectName) const
    {
        return findIn(screen.get(), QString::fromLatin1(objectName));
    }

    static QQuickItem *findIn(QQuickItem *item, const QString &objectName)
    {
        if (item->objectName() == objectName)
            return item;
        for (QQuickItem *child : item->childItems()) {
            if (QQuickItem *found = findIn(child, objectName))
                return found;
        }
        return nullptr;
    }

    void tap(QQuickItem *item)
    {
        ASSERT_NE(item, nullptr);
        const QPointF centre = item->mapToScene(QPointF(item->width() / 2, item->height() / 2));
        QTest::mouseClick(&window, Qt::LeftButton, {}, centre.toPoint());
    }

    void type(const char *objectName, const QString &text)
    {
        QQuickItem *field = find(objectName);
        ASSERT_NE(field, nullptr) << objectName;
        tap(field);
        ASSERT_TRUE(waitUntil([field] { return field->hasActiveFocus(); }));
        for (const char key : text.toLatin1())
            QTest::keyClick(&window, key);
    }

    // The list's delegate for `row`, scrolled into view.
    QQuickItem *rowOf(const char *listName, int row)
    {
        QQuickItem *list = find(listName);
        QMetaObject::invokeMethod(list, "positionViewAtIndex", Q_ARG(int, row), Q_ARG(int, 0));
        QQuickItem *item = nullptr;
        QMetaObject::invokeMethod(list, "itemAtIndex", Q_RETURN_ARG(QQuickItem *, item), Q_ARG(int, row));
        return item;
    }

    QTemporaryDir dir;
    HsDefaults defaults{dir.filePath(QStringLiteral("defaults.ini"))};
    HsUserSession session;
    RecordingPort port;
    QQmlEngine engine;
    QQuickWindow window;
    std::unique_ptr<QQuickItem> screen;
};

} // namespace

TEST_F(SettingsInterfaceTest, SettingsRowsOpenTheirScreens)
{
    HsSettingActivity settings(port, session, defaults);
    show("HsSettingActivity", &settings);

    tap(rowOf("tableSetting", 0));
    tap(rowOf("tableSetting", 4));
    tap(rowOf("tableSetting", 6));

    EXPECT_EQ(port.events(), (QStringList{"push:HsUserInfo", "push:HsAboutUs", "popToRoot"}));
}

TEST_F(SettingsInterfaceTest, ProfileShowsSevenRowsAndGoesBack)
{
    LoginResultItem user;
    user.realName = "王芳";
    user.className = "三年级（1）班";
    session.setLoginItem(user);
    HsUserInfo profile(port, session);
    show("HsUserInfo", &profile);

    EXPECT_EQ(find("tableUser")->property("count").toInt(), 7);
    // The first row's school is empty, yet its caption says what the row is.
    QQuickItem *caption = find("caption");
    QQuickItem *value = find("value");
    ASSERT_NE(caption, nullptr);
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(caption->property("text").toString(), "学校");
    EXPECT_EQ(value->property("text").toString(), "");
    EXPECT_GE(value->x(), caption->x() + caption->width());
    EXPECT_GT(caption->property("contentWidth").toReal(), 0);
    tap(find("back"));
    EXPECT_EQ(port.events(), QStringList{"pop"});
}

TEST_F(SettingsInterfaceTest, PasswordFieldsReachTheChecks)
{
    HsModifyPass change(port, session, defaults);
    show("HsModifyPass", &change);

    type("textOldPass", "old-secret");
    type("textNewPass", "Abc123");
    type("textChkPass", "abc123");
    tap(find("submit"));

    EXPECT_EQ(change.textOldPass(), "old-secret");
    EXPECT_EQ(change.textNewPass(), "Abc123");
    EXPECT_EQ(port.toasts(), QStringList{"密码不一致！"});
    tap(find("back"));
    EXPECT_EQ(port.events().last(), "pop");
}

TEST_F(SettingsInterfaceTest, FeedbackTextFollowsTheController)
{
    HsAdvice advice(port, session);
    show("HsAdvice", &advice);

    tap(find("submit"));
    EXPECT_EQ(port.toasts(), QStringList{"请输入！"});

    type("textAdvice", "good");
    EXPECT_EQ(advice.textAdvice(), "good");
    advice.setTextAdvice(QString());
    EXPECT_EQ(find("textAdvice")->property("text").toString(), "");
}

TEST_F(SettingsInterfaceTest, AboutShowsTheTextOfItsType)
{
    HsAboutUs about(port, HsAboutUs::contactType);
    show("HsAboutUs", &about);

    EXPECT_TRUE(find("textAbout")->property("text").toString().startsWith("服务热线"));
}
