#include "AreaTestSupport.h"
#include "screens/HsResourceActivity.h"
#include "screens/HsResourceDetail.h"
#include "settings_canned_service.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <set>

namespace {

ResourceItem resource(int32_t id)
{
    ResourceItem item;
    item.resId = id;
    item.resTitle = "资源" + std::to_string(id);
    return item;
}

std::vector<ResourceItem> resources(int count)
{
    std::vector<ResourceItem> items;
    for (int32_t id = 1; id <= count; ++id)
        items.push_back(resource(id));
    return items;
}

// The resources area in an offscreen window of phone size, driven by its controller, so the
// first showing, the photo rows and the taps on them go through the interface files.
class ResourceInterfaceTest : public AreaTest
{
protected:
    void SetUp() override
    {
        AreaTest::SetUp();
        signIn("wangfang", true);
        area.viewDidLoad();
    }

    void show()
    {
        QQmlComponent component(&engine, QUrl(QStringLiteral("qrc:/HsSchool/HsResourceActivity.qml")));
        screen.reset(qobject_cast<QQuickItem *>(component.createWithInitialProperties(
            {{QStringLiteral("controller"), QVariant::fromValue(&area)}})));
        ASSERT_NE(screen, nullptr) << component.errorString().toStdString();
        window.resize(320, 503);
        screen->setSize(QSizeF(320, 503));
        screen->setParentItem(window.contentItem());
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    // The half (0 left, 1 right) of photo row `row` as the list shows it now.
    QQuickItem *half(int row, int which)
    {
        QQuickItem *list = find(screen.get(), QStringLiteral("tablePhoto"));
        QQuickItem *cell = nullptr;
        QMetaObject::invokeMethod(list, "itemAtIndex", Q_RETURN_ARG(QQuickItem *, cell), Q_ARG(int, row));
        return cell ? find(cell, which == 0 ? QStringLiteral("ivImage1") : QStringLiteral("ivImage2"))
                    : nullptr;
    }

    static QQuickItem *find(QQuickItem *item, const QString &objectName)
    {
        if (item->objectName() == objectName)
            return item;
        for (QQuickItem *child : item->childItems()) {
            if (QQuickItem *found = find(child, objectName))
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

    HsResourceActivity area{port, session, defaults};
    QQmlEngine engine;
    QQuickWindow window;
    std::unique_ptr<QQuickItem> screen;
};

} // namespace

TEST_F(ResourceInterfaceTest, ShownTheAreaFetchesTheRecommendedAndATapOpensTheHalfTouched)
{
    show();
    ASSERT_TRUE(waitForOverlays(1));
    const std::vector<ResourceItem> &photos = area.photoTable()->resources();
    ASSERT_GE(photos.size(), 4u);
    ASSERT_TRUE(waitUntil([&] { return half(1, 1) != nullptr; }));

    tap(half(1, 1));
    tap(half(0, 0));

    ASSERT_EQ(port.pushed().size(), 2u);
    EXPECT_EQ(qobject_cast<HsResourceDetail *>(port.pushed()[0].get())->resourceId(), photos[3].resId);
    EXPECT_EQ(qobject_cast<HsResourceDetail *>(port.pushed()[1].get())->resourceId(), photos[0].resId);
    EXPECT_EQ(port.events().first(), "overlay:获取资源, 请稍候...");
}

TEST_F(ResourceInterfaceTest, AReusedPhotoRowShowsBothHalvesAgain)
{
    CannedService refusing(QStringLiteral("<Result><Code>1</Code><Error>x</Error></Result>"));
    HsServiceConfig::setEndpoint(refusing.endpoint());
    show();
    ASSERT_TRUE(waitForOverlays(1));
    area.photoTable()->reloadData(resources(41));
    QQuickItem *list = find(screen.get(), QStringLiteral("tablePhoto"));

    QMetaObject::invokeMethod(list, "positionViewAtEnd");
    ASSERT_TRUE(waitUntil([&] { return half(20, 0) != nullptr; }));
    QQuickItem *lastRow = half(20, 0)->parentItem();
    EXPECT_TRUE(half(20, 0)->isVisible());
    EXPECT_FALSE(half(20, 1)->isVisible());

    // Scrolling back row by row, the cells pooled on the way reappear as earlier, full rows.
    for (int row = 19; row >= 0 && lastRow->property("index").toInt() == 20; --row) {
        QMetaObject::invokeMethod(list, "positionViewAtIndex", Q_ARG(int, row), Q_ARG(int, 1));
        QCoreApplication::processEvents();
    }
    const int reusedAs = lastRow->property("index").toInt();
    ASSERT_LT(reusedAs, 20) << "the last row's cell was not reused";
    ASSERT_EQ(half(reusedAs, 0)->parentItem(), lastRow);
    EXPECT_TRUE(half(reusedAs, 1)->isVisible());
    EXPECT_EQ(half(reusedAs, 1)->property("text").toString(),
              QString::fromStdString("资源" + std::to_string(2 * reusedAs + 2)));
}
