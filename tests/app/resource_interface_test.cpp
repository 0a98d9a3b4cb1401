#include "AreaTestSupport.h"
#include "screens/HsResourceActivity.h"
#include "screens/HsResourceDetail.h"
#include "settings_canned_service.h"

namespace {

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

    void show() { host.show(QStringLiteral("HsResourceActivity"), &area, QSize(320, 503)); }

    // The half (0 left, 1 right) of photo row `row` as the list shows it now.
    QQuickItem *half(int row, int which) const
    {
        QQuickItem *cell = host.cell(QStringLiteral("tablePhoto"), row);
        return cell ? host.find(which == 0 ? QStringLiteral("ivImage1") : QStringLiteral("ivImage2"), cell)
                    : nullptr;
    }

    HsResourceActivity area{port, session, defaults};
    ScreenHost host;
};

} // namespace

TEST_F(ResourceInterfaceTest, ShownTheAreaFetchesTheRecommendedAndATapOpensTheHalfTouched)
{
    show();
    ASSERT_TRUE(waitForOverlays(1));
    const std::vector<ResourceItem> &photos = area.photoTable()->resources();
    ASSERT_GE(photos.size(), 4u);
    ASSERT_TRUE(waitUntil([&] { return half(1, 1) != nullptr; }));

    host.tap(half(1, 1));
    host.tap(half(0, 0));

    ASSERT_EQ(port.pushed().size(), 2u);
    EXPECT_EQ(qobject_cast<HsResourceDetail *>(port.pushed()[0].get())->resourceId(), photos[3].resId);
    EXPECT_EQ(qobject_cast<HsResourceDetail *>(port.pushed()[1].get())->resourceId(), photos[0].resId);
    EXPECT_EQ(port.events().first(), "overlay:获取资源, 请稍候...");
}

TEST_F(ResourceInterfaceTest, AReusedPhotoRowShowsBothHalvesAgain)
{
    CannedService refusing(kRefusal);
    HsServiceConfig::setEndpoint(refusing.endpoint());
    show();
    ASSERT_TRUE(waitForOverlays(1));
    std::vector<ResourceItem> items;
    for (int32_t id = 1; id <= 41; ++id)
        items.push_back({.resId = id, .resTitle = "资源" + std::to_string(id)});
    area.photoTable()->reloadData(items);
    QQuickItem *list = host.find(QStringLiteral("tablePhoto"));

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
