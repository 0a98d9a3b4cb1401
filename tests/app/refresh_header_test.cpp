#include "AppTestSupport.h"
#include "widgets/HsRefreshCycle.h"
#include "widgets/RefreshHeaderView.h"

#include <QSignalSpy>
#include <atomic>
#include <gtest/gtest.h>

namespace {

class FakeOwner : public RefreshHeaderDelegate
{
public:
    void refreshHeaderDidTriggerRefresh(RefreshHeaderView &) override { ++triggers; }
    bool refreshHeaderDataSourceIsLoading(const RefreshHeaderView &) const override { return loading; }

    int triggers = 0;
    bool loading = false;
};

class RefreshHeaderTest : public testing::Test
{
protected:
    void SetUp() override { header.setDelegate(&owner); }

    void pullAndRelease(const std::vector<qreal> &offsets)
    {
        for (qreal y : offsets)
            header.refreshScrollViewDidScroll(y, true);
        header.refreshScrollViewDidEndDragging(offsets.back());
    }

    FakeOwner owner;
    RefreshHeaderView header;
};

} // namespace

TEST_F(RefreshHeaderTest, PullPastTheThresholdTurnsTheArrowAndBackInsideItTurnsItBack)
{
    const QString normalText = header.statusText();
    header.refreshScrollViewDidScroll(-65, true);
    EXPECT_EQ(header.state(), RefreshHeaderView::Normal);
    header.refreshScrollViewDidScroll(-66, true);
    EXPECT_EQ(header.state(), RefreshHeaderView::Pulling);
    EXPECT_EQ(header.statusText(), "释放后返回前20条...");
    EXPECT_TRUE(header.isArrowTurned());

    header.refreshScrollViewDidScroll(-30, true);
    EXPECT_EQ(header.state(), RefreshHeaderView::Normal);
    EXPECT_EQ(header.statusText(), normalText);
    EXPECT_FALSE(header.isArrowTurned());
    // Without a finger on the list, scrolling changes nothing.
    header.refreshScrollViewDidScroll(-90, false);
    EXPECT_EQ(header.state(), RefreshHeaderView::Normal);
    EXPECT_EQ(owner.triggers, 0);
}

// A release at exactly the threshold triggers though the release text never showed; short of it,
// or while the owner loads, a release changes nothing.
TEST_F(RefreshHeaderTest, ReleaseTriggersAtTheThresholdUnlessTheOwnerLoads)
{
    const struct
    {
        std::vector<qreal> offsets;
        bool loading;
        int triggers;
    } cases[] = {{{-64}, false, 0}, {{-40, -80, -100}, true, 0}, {{-20, -65}, false, 1}};
    for (const auto &c : cases) {
        owner.loading = c.loading;
        QSignalSpy states(&header, &RefreshHeaderView::stateChanged);
        pullAndRelease(c.offsets);
        EXPECT_EQ(owner.triggers, c.triggers) << c.offsets.back();
        EXPECT_EQ(header.state(), c.triggers ? RefreshHeaderView::Loading : RefreshHeaderView::Normal);
        // Straight to loading, never through the release text.
        if (!c.loading) {
            EXPECT_EQ(states.count(), c.triggers);
        }
    }
}

TEST_F(RefreshHeaderTest, LoadingKeepsTheInsetBetweenZeroAndSixtyUntilTheOwnerFinishes)
{
    pullAndRelease({-70, -80});
    ASSERT_EQ(header.state(), RefreshHeaderView::Loading);
    EXPECT_EQ(header.statusText(), "加载中...");
    EXPECT_TRUE(header.isActivityRunning() && !header.isArrowVisible());
    EXPECT_EQ(header.topInset(), 60);
    EXPECT_EQ(header.insetAnimationMilliseconds(), 200);

    for (const auto &[y, inset] : {std::pair<qreal, qreal>{-20, 20}, {15, 0}, {-200, 60}, {-60, 60}}) {
        header.refreshScrollViewDidScroll(y, true);
        EXPECT_EQ(header.topInset(), inset) << "offset " << y;
        EXPECT_EQ(header.state(), RefreshHeaderView::Loading);
    }

    header.refreshScrollViewDataSourceDidFinishLoading();
    EXPECT_EQ(header.state(), RefreshHeaderView::Normal);
    EXPECT_EQ(header.topInset(), 0);
    EXPECT_EQ(header.insetAnimationMilliseconds(), 300);
    EXPECT_TRUE(!header.isActivityRunning() && header.isArrowVisible());
}

TEST(RefreshCycleTest, FetchRunsOffTheInterfaceThreadAndTheHeaderEndsAfterIt)
{
    std::atomic<bool> release = false;
    std::atomic<int> fetches = 0;
    bool applied = false;
    const auto fetch = [&] {
        ++fetches;
        release.wait(false);
    };
    HsRefreshCycle cycle([&] { return HsRefreshCycle::Fetch{fetch, [&] { applied = true; }}; });
    RefreshHeaderView &header = *cycle.header();

    header.refreshScrollViewDidScroll(-80, true);
    header.refreshScrollViewDidEndDragging(-80);
    // The interface thread is free while the fetch runs, and a second pull does not trigger.
    EXPECT_TRUE(cycle.isReloading());
    header.refreshScrollViewDidEndDragging(-90);
    EXPECT_TRUE(waitUntil([&] { return fetches == 1; }));
    QTest::qWait(50);
    EXPECT_EQ(header.state(), RefreshHeaderView::Loading);
    EXPECT_FALSE(applied);

    release = true;
    release.notify_all();
    EXPECT_TRUE(waitUntil([&] { return applied; }));
    EXPECT_EQ(header.state(), RefreshHeaderView::Loading);
    EXPECT_TRUE(waitUntil([&] { return header.state() == RefreshHeaderView::Normal; }));
    EXPECT_FALSE(cycle.isReloading());
    EXPECT_EQ(fetches, 1);
}
