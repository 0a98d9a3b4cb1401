#pragma once

#include "AppTestSupport.h"
#include "app/HsAppDelegate.h"

#include <QQuickWindow>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// The application's own window with its navigation stack, over a data folder of its own, and the
// hand that uses it: it finds what the window shows, taps it and types into it.
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

    // The first shown item of the window that `wanted` picks.
    QQuickItem *shown(const std::function<bool(QQuickItem *)> &wanted) const
    {
        return firstShownItem(window->contentItem(), wanted);
    }

    QQuickItem *shownNamed(const QString &objectName) const
    {
        return shown([&](QQuickItem *item) { return item->objectName() == objectName; });
    }

    QQuickItem *button(const QString &text) const
    {
        return shown([&](QQuickItem *item) {
            return item->inherits("QQuickAbstractButton") && item->property("text").toString() == text;
        });
    }

    void tap(QQuickItem *item) { tapItem(*window, item); }

    // Replaces the text of the shown field with this placeholder, key by key.
    void typeInto(const QString &placeholder, const QString &text)
    {
        QQuickItem *field = shown([&](QQuickItem *item) {
            return item->inherits("QQuickTextField") &&
                   item->property("placeholderText").toString() == placeholder;
        });
        ASSERT_NE(field, nullptr) << placeholder.toStdString();
        tap(field);
        ASSERT_TRUE(waitUntil([field] { return field->hasActiveFocus(); }));
        QTest::keyClick(window, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(window, Qt::Key_Delete);
        for (const char key : text.toLatin1())
            QTest::keyClick(window, key);
    }

    // Signs in from the login screen as a teacher or a parent of the demo school and waits until
    // the main screen has come in.
    void signInByHand(bool teacher, const QString &account)
    {
        tap(button(teacher ? QStringLiteral("教师") : QStringLiteral("家长")));
        typeInto(QStringLiteral("请输入邮箱"), account);
        typeInto(QStringLiteral("请输入密码"),
                 teacher ? QStringLiteral("teacher123") : QStringLiteral("parent123"));
        tap(button(QStringLiteral("登  录")));
        ASSERT_TRUE(waitUntil([this] { return settledAt(2); }));
    }

    QTemporaryDir dir;
    HsAppDelegate app{dir.path()};
    QQuickWindow *window = nullptr;
    QObject *navigation = nullptr;
};
