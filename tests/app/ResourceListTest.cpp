#include "AreaTestSupport.h"
#include "cache/ResourceDao.h"
#include "screens/HsResourceActivity.h"
#include "screens/HsResourceDetail.h"

#include <QAbstractItemModelTester>
#include <array>

namespace {

const QString kFetching = QStringLiteral("overlay:获取资源, 请稍候...");

ResourceItem resource(int32_t id, const char *title)
{
    return {.resId = id,
            .resTitle = title,
            .resThumb = "http://127.0.0.1:1/thumb.png",
            .updateDate = "2026-11-30"};
}

// Resources `first`, `first` + 1, ... as a service's answer holds them.
QString resourceDocument(int count, int first = 1)
{
    QStringList items;
    for (int id = first; id < first + count; ++id)
        items << QStringLiteral("<Resource><ResourceId>%1</ResourceId><ResourceTitle>资源%1</"
                                "ResourceTitle>"
                                "<ThumbImage>http://127.0.0.1:1/%1.png</ThumbImage></Resource>")
                     .arg(id);
    return resultDocument(items);
}

class ResourceListTest : public AreaTest
{
protected:
    void SetUp() override
    {
        AreaTest::SetUp();
        signIn("wangfang", true);
        types = ResourceTypeDao().initSelects();
        ASSERT_GE(types.size(), 2u);
    }

    HsResourceActivity &openArea()
    {
        area = std::make_unique<HsResourceActivity>(port, session, defaults);
        area->setNetworkCheck([this] { return networkUp; });
        testers.push_back(std::make_unique<QAbstractItemModelTester>(
            area->resourceTable(), QAbstractItemModelTester::FailureReportingMode::Fatal));
        testers.push_back(std::make_unique<QAbstractItemModelTester>(
            area->photoTable(), QAbstractItemModelTester::FailureReportingMode::Fatal));
        area->viewDidLoad();
        return *area;
    }

    HsResourceActivity &openAndShow()
    {
        openArea().viewDidAppear();
        EXPECT_TRUE(waitForOverlays(++overlays));
        return *area;
    }

    void choose(int tag)
    {
        const int before = static_cast<int>(port.events().size());
        area->pressCategory(tag);
        if (port.events().size() > before) {
            ASSERT_TRUE(waitForOverlays(++overlays));
        }
    }

    void search(const QString &text)
    {
        area->setSearchText(text);
        area->searchBarSearchButtonClicked();
        if (!text.isEmpty()) {
            ASSERT_TRUE(waitForOverlays(++overlays));
        }
    }

    std::string typeCode(int tag) const { return *types[static_cast<size_t>(tag - 2)].typeCode; }
    std::vector<ResourceItem> cached(int tag) const { return ResourceDao().initSelects(typeCode(tag)); }

    std::vector<ResourceTypeItem> types;
    std::unique_ptr<HsResourceActivity> area;
    std::vector<std::unique_ptr<QAbstractItemModelTester>> testers;
    bool networkUp = true;
    int overlays = 0;
};

} // namespace

// Shown in a window, the area fetches the recommended photos two to a row,
// once: taps on the selected category, past the last one or without a network
// change nothing, and a tap on a photo opens the half it lands on.
TEST_F(ResourceListTest, TheFirstShowingFetchesTheRecommendedPhotosTwoToARow)
{
    const int before = callsOf("getPhotoResources");
    HsResourceActivity &shown = openArea();
    EXPECT_TRUE(port.events().isEmpty());
    ASSERT_EQ(shown.categoryBar()->rowCount(), static_cast<int>(types.size()) + 1);
    ScreenHost host;
    host.show(&shown, QSize(320, 503));
    ASSERT_TRUE(waitForOverlays(1));
    shown.viewDidAppear();
    shown.pressCategory(1);
    shown.pressCategory(static_cast<int>(types.size()) + 2);
    networkUp = false;
    shown.pressCategory(2);
    networkUp = true;

    EXPECT_EQ(shown.category(), 1);
    EXPECT_TRUE(shown.photoTableShown());
    EXPECT_EQ(shown.categoryBar()->pointerFrame(),
              shown.categoryBar()->buttonFrame(1).adjusted(-8, -3, 8, 3));
    EXPECT_EQ(port.events(), QStringList{kFetching});
    EXPECT_EQ(callsOf("getPhotoResources"), before + 1);
    EXPECT_EQ(shown.serviceType(), HsResourceActivity::PhotoList);
    const HsResourceListModel &photos = *shown.photoTable();
    ASSERT_EQ(photos.resources().size(), 12u);
    EXPECT_EQ(photos.rowCount(), 6);
    EXPECT_EQ(photos.index(2).data(HsResourceListModel::ResTitle2Role).toString(),
              photos.resources()[5].resTitle->c_str());
    EXPECT_TRUE(photos.index(2).data(HsResourceListModel::ResThumbRole).toString().endsWith(".png"));

    const auto half = [&](int row, const char *name) {
        QQuickItem *cell = host.cell("tablePhoto", row);
        return cell ? host.find(name, cell) : nullptr;
    };
    ASSERT_TRUE(waitUntil([&] { return half(1, "ivImage2") != nullptr; }));
    host.tap(half(1, "ivImage2"));
    host.tap(half(0, "ivImage1"));
    ASSERT_EQ(port.pushed().size(), 2u);
    EXPECT_EQ(qobject_cast<HsResourceDetail *>(port.pushed()[0].get())->resourceId(),
              photos.resources()[3].resId);
    EXPECT_EQ(qobject_cast<HsResourceDetail *>(port.pushed()[1].get())->resourceId(),
              photos.resources()[0].resId);
}

TEST_F(ResourceListTest, FivePhotosGiveThreeRowsAndATapOpensTheHalfItLandsOn)
{
    EventLoopSoapServer five(resourceDocument(5));
    HsServiceConfig::setEndpoint(five.url());
    HsResourceActivity &shown = openAndShow();
    HsResourceListModel &photos = *shown.photoTable();
    ASSERT_EQ(photos.rowCount(), 3);
    EXPECT_FALSE(photos.index(2).data(HsResourceListModel::HasSecondRole).toBool());

    // Row, half, the resource it opens (0: none).
    for (const auto [row, half, opened] : std::vector<std::array<int, 3>>{
             {0, 0, 1}, {0, 1, 2}, {1, 1, 4}, {2, 0, 5}, {2, 1, 0}, {3, 0, 0}, {-1, 0, 0}, {0, 2, 0}}) {
        const size_t before = port.pushed().size();
        shown.didSelectPhoto(row, half);
        ASSERT_EQ(port.pushed().size(), before + (opened ? 1 : 0)) << row << "/" << half;
        if (opened) {
            EXPECT_EQ(qobject_cast<HsResourceDetail *>(port.pushed().back().get())->resourceId(), opened);
        }
    }
    photos.reloadData({resource(1, "一"), resource(2, "二"), resource(900003, "三"), resource(4, "四"),
                       resource(5, "五"), resource(6, "六")});
    EXPECT_TRUE(photos.index(2).data(HsResourceListModel::HasSecondRole).toBool());
    EXPECT_EQ(photos.index(2).data(HsResourceListModel::ResId2Role).toInt(), 6);
}

// Only an answered list replaces the table it fills. A type is fetched and
// stored while its cache is empty, and otherwise shown from the cache, highest
// first, without asking the server; the recommended photos are fetched every
// time. A search leaves the category.
TEST_F(ResourceListTest, OnlyAnAnsweredListReplacesItsTableAndATypeIsFetchedWhileNotCached)
{
    ResourceDao().replaceCategory(typeCode(2),
                                  {resource(900003, "三"), resource(900011, "十一"), resource(900007, "七")});
    HsResourceActivity &shown = openAndShow();
    const std::vector<int32_t> photos = idsOf(shown.photoTable()->resources());
    const std::vector<int32_t> stored{900011, 900007, 900003};
    const auto showsStored = [&] {
        EXPECT_FALSE(shown.photoTableShown());
        EXPECT_EQ(idsOf(shown.resources()), stored);
        EXPECT_EQ(shown.resourceTable()->index(0).data(HsResourceListModel::UpdateDateRole).toString(),
                  "2026-11-30");
    };
    choose(2);
    showsStored();
    refusedThenUnanswered(
        [&] {
            choose(3);
            EXPECT_EQ(idsOf(shown.resources()), stored);
            search(QStringLiteral("图书馆"));
            EXPECT_EQ(idsOf(shown.resources()), stored);
            choose(1);
            EXPECT_EQ(idsOf(shown.photoTable()->resources()), photos);
            choose(2);
        },
        [&] {
            EXPECT_TRUE(cached(3).empty());
            showsStored();
            EXPECT_EQ(cached(2).size(), 3u);
        });
    answering(kEmptyAnswer, [&] {
        search(QStringLiteral("没有这样的资源"));
        EXPECT_EQ(shown.resourceTable()->rowCount(), 0);
        choose(3);
        EXPECT_EQ(shown.resourceTable()->rowCount(), 0);
        choose(1);
        EXPECT_EQ(shown.photoTable()->rowCount(), 0);
    });

    const int before = callsOf("getResources");
    const int photoCalls = callsOf("getPhotoResources");
    for (int pass = 0; pass < 2; ++pass) {
        choose(3);
        ASSERT_EQ(shown.resourceTable()->rowCount(), 10);
        EXPECT_EQ(cached(3).size(), 10u);
        EXPECT_TRUE(pass > 0 || shown.serviceType() == HsResourceActivity::TypeList);
        choose(2);
        showsStored();
        choose(1);
    }
    EXPECT_EQ(callsOf("getResources"), before + 1);
    EXPECT_EQ(callsOf("getPhotoResources"), photoCalls + 2);

    // A search replaces the list and leaves the category, its pointer and its
    // cache; a tap on that category then does not bring the stored list back.
    choose(2);
    const QRectF pointer = shown.categoryBar()->pointerFrame();
    const qsizetype events = port.events().size();
    shown.searchBarTextDidBeginEditing();
    EXPECT_TRUE(shown.searchCancelShown());
    search(QString());
    EXPECT_EQ(port.events().size(), events);
    search(QStringLiteral("博物馆"));
    EXPECT_EQ(shown.serviceType(), HsResourceActivity::SearchList);
    ASSERT_GE(shown.resourceTable()->rowCount(), 3);
    for (const int32_t found : idsOf(shown.resources()))
        EXPECT_LT(found, 900000);
    EXPECT_EQ(shown.category(), 2);
    EXPECT_EQ(shown.categoryBar()->pointerFrame(), pointer);
    EXPECT_EQ(cached(2).size(), 3u);
    choose(2);
    EXPECT_EQ(shown.serviceType(), HsResourceActivity::SearchList);
    shown.searchBarCancelButtonClicked();
    EXPECT_FALSE(shown.searchCancelShown() || !shown.searchText().isEmpty());
}

TEST_F(ResourceListTest, ARowOpensItsDetailWhichShowsTextFirstAndThePictureWhenItArrives)
{
    HsResourceActivity &shown = openAndShow();
    choose(2);
    ASSERT_GT(shown.resourceTable()->rowCount(), 0);
    const ResourceItem first = shown.resourceTable()->resources().front();

    shown.didSelectRow(0);
    shown.didSelectRow(shown.resourceTable()->rowCount());
    ASSERT_EQ(port.pushed().size(), 1u);
    auto *detail = qobject_cast<HsResourceDetail *>(port.pushed().front().get());
    ASSERT_NE(detail, nullptr);
    EXPECT_EQ(detail->resourceId(), first.resId);
    EXPECT_EQ(port.events().last(), "overlay:获取中, 请稍候...");
    ASSERT_TRUE(waitUntil([&] { return detail->succeeded(); }));

    EXPECT_EQ(detail->resTitle().toStdString(), *first.resTitle);
    EXPECT_FALSE(detail->resContent().isEmpty());
    EXPECT_TRUE(detail->picture()->isLoading());
    EXPECT_FALSE(detail->picture()->hasPicture());
    ASSERT_TRUE(waitUntil([&] { return !detail->picture()->isLoading(); }));
    EXPECT_EQ(detail->picture()->image().size(), QSize(640, 400));

    // Refused, the detail stays blank and loads no picture.
    HsResourceDetail missing(port);
    answering(kRefusal, [&] {
        missing.setResourceId(424242);
        missing.viewDidLoad();
        ASSERT_TRUE(waitUntil([&] { return port.idle(); }));
    });
    EXPECT_FALSE(missing.succeeded());
    EXPECT_TRUE(missing.resTitle().isEmpty());
    EXPECT_FALSE(missing.picture()->isLoading());
}

// A search or type fetch that fails leaves the list shown with its further
// pages; a list that replaces it drops a page of the old one still on its way.
TEST_F(ResourceListTest, AFailedFetchLeavesTheShownListItsFurtherPages)
{
    EventLoopSoapServer service([](const SentCall &call) {
        const std::string keyword = argumentOf(call, 0);
        if (call.method != "SearchResource" || keyword == "拒绝")
            return kRefusal;
        // "甲" finds 25 resources from 1000, "乙" 40 from 2000.
        const int page = pageOf(call);
        const int first = (keyword == "甲" ? 1000 : 2000) + (page - 1) * 20;
        return resourceDocument(keyword == "甲" && page == 2 ? 5 : 20, first);
    });
    ResourceDao().replaceCategory(typeCode(2), {resource(900003, "三")});
    HsResourceActivity &shown = openArea();
    HsServiceConfig::setEndpoint(service.url());
    choose(2);
    search(QStringLiteral("甲"));
    ASSERT_EQ(shown.resourceTable()->rowCount(), 20);

    search(QStringLiteral("拒绝"));
    choose(3);
    const ClosedPort closed;
    HsServiceConfig::setEndpoint(closed.url());
    search(QStringLiteral("乙"));
    HsServiceConfig::setEndpoint(service.url());
    EXPECT_EQ(shown.paging()->state(), HsPaging::More);
    ASSERT_TRUE(loadMore(*shown.paging(), [&] { shown.loadMore(); }));
    EXPECT_EQ(shown.paging()->state(), HsPaging::End);
    ASSERT_EQ(shown.resourceTable()->rowCount(), 25);
    EXPECT_EQ(shown.resourceTable()->resources().back().resId, 1024);

    search(QStringLiteral("乙"));
    service.holdAnswers(
        [](const SentCall &call) { return call.method == "SearchResource" && pageOf(call) > 1; });
    shown.loadMore();
    ASSERT_TRUE(waitUntil([&] { return service.held() == 1; }));
    search(QStringLiteral("甲"));
    service.releaseHeldAnswers();
    ASSERT_TRUE(loadMore(*shown.paging(), [&] { shown.loadMore(); }));
    const std::vector<int32_t> ids = idsOf(shown.resourceTable()->resources());
    ASSERT_EQ(ids.size(), 25u);
    EXPECT_EQ(ids.front(), 1000);
    EXPECT_EQ(ids.back(), 1024);
}
