#pragma once

#include "EventLoopSoapServer.h"
#include "LogCapture.h"
#include "LoopbackPorts.h"
#include "app/HsQuickScreenPort.h"
#include "common/HsLog.h"

#include <QInputMethodEvent>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// Result documents: a refusal, and an accepting answer that carries nothing.
inline const QString kRefusal = QStringLiteral("<Result><Code>5</Code><Error>拒绝</Error></Result>");
inline const QString kEmptyAnswer = QStringLiteral("<Result><Code>0</Code><Error></Error></Result>");

// Generous, because the machine running the tests may be slow and busy.
inline constexpr int kWaitMilliseconds = 30000;

// Runs the event loop until `done` holds or the time is up; true when it holds.
inline bool waitUntil(const std::function<bool()> &done, int milliseconds = kWaitMilliseconds)
{
    return QTest::qWaitFor(done, milliseconds);
}

// The first shown item below `from`, depth first, that `wanted` picks: screens that share an
// interface file (the areas) are all in the tree, and only the shown one counts.
inline QQuickItem *firstShownItem(QQuickItem *from, const std::function<bool(QQuickItem *)> &wanted)
{
    if (!from->isVisible())
        return nullptr;
    if (wanted(from))
        return from;
    for (QQuickItem *child : from->childItems()) {
        if (QQuickItem *found = firstShownItem(child, wanted))
            return found;
    }
    return nullptr;
}

// A finger taps the middle of `item`.
inline void tapItem(QQuickWindow &window, QQuickItem *item)
{
    ASSERT_NE(item, nullptr);
    const QPointF centre = item->mapToScene(QPointF(item->width() / 2, item->height() / 2));
    QTest::mouseClick(&window, Qt::LeftButton, {}, centre.toPoint());
}

// Taps `field` and hands it `text` as an input method hands over a finished phrase, the way
// Chinese words are typed.
inline void commitText(QQuickWindow &window, QQuickItem *field, const QString &text)
{
    ASSERT_NE(field, nullptr);
    tapItem(window, field);
    ASSERT_TRUE(waitUntil([field] { return field->hasActiveFocus(); }));
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QCoreApplication::sendEvent(window.focusObject(), &commit);
}

// One screen's interface file in an offscreen window of phone size, driven by its controller, so
// taps and typing go through the interface file to the controller.
class ScreenHost
{
public:
    // Shows the interface file that the controller's class names, as the application's port does.
    template <class Controller> void show(Controller *controller, QSize size = {320, 568})
    {
        QQmlComponent component(
            &engine, HsQuickScreenPort::interfaceUrl(QString::fromLatin1(Controller::interfaceFile)));
        screen.reset(qobject_cast<QQuickItem *>(component.createWithInitialProperties(
            {{QStringLiteral("controller"), QVariant::fromValue<QObject *>(controller)}})));
        ASSERT_NE(screen, nullptr) << component.errorString().toStdString();
        // The screen goes with its controller, as a pushed screen does, so no binding of the
        // screen reads a controller that is gone.
        QObject::connect(controller, &QObject::destroyed, &window, [this] { screen.reset(); });
        window.resize(size);
        screen->setSize(size);
        screen->setParentItem(window.contentItem());
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    // Searches the visual tree below `from` (the screen by default), which also holds the items
    // that repeaters and views made.
    QQuickItem *find(const QString &objectName, QQuickItem *from = nullptr) const
    {
        QQuickItem *item = from ? from : screen.get();
        if (item->objectName() == objectName)
            return item;
        for (QQuickItem *child : item->childItems()) {
            if (QQuickItem *found = find(objectName, child))
                return found;
        }
        return nullptr;
    }

    // The delegate a list made for `row`, if it has one now; scrolled into view first if asked.
    QQuickItem *cell(const QString &listName, int row, bool scroll = false) const
    {
        QQuickItem *list = find(listName);
        if (scroll)
            QMetaObject::invokeMethod(list, "positionViewAtIndex", Q_ARG(int, row), Q_ARG(int, 0));
        QQuickItem *item = nullptr;
        QMetaObject::invokeMethod(list, "itemAtIndex", Q_RETURN_ARG(QQuickItem *, item), Q_ARG(int, row));
        return item;
    }

    void tap(QQuickItem *item) { tapItem(window, item); }

    void commit(const QString &fieldName, const QString &text) { commitText(window, find(fieldName), text); }

    bool isShown(const QString &objectName) const
    {
        QQuickItem *item = find(objectName);
        return item && item->isVisible();
    }

    void type(const QString &fieldName, const QString &text)
    {
        QQuickItem *field = find(fieldName);
        ASSERT_NE(field, nullptr) << fieldName.toStdString();
        tap(field);
        ASSERT_TRUE(waitUntil([field] { return field->hasActiveFocus(); }));
        for (const char key : text.toLatin1())
            QTest::keyClick(&window, key);
    }

    QQmlEngine engine;
    QQuickWindow window;
    std::unique_ptr<QQuickItem> screen;
};
