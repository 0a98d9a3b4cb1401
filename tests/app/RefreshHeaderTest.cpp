#include "AppWindowTestSupport.h"
#include "ServerProcess.h"
#include "app/HsQuickScreenPort.h"
#include "cache/HsPreferences.h"
#include "transport/HsServiceConfig.h"
#include "widgets/HsTaskRunner.h"
#include "widgets/RefreshHeaderView.h"

#include <QElapsedTimer>
#include <QSignalSpy>
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

// Two headlines, as the notices service answers a refresh.
const QString kTwoNotices = QStringLiteral(
    "<Result><Code>0</Code><Error></Error>"
    "<News><NewsId>901</NewsId><NewsTitle>期末考试安排</NewsTitle><ForceReturn>0</ForceReturn>"
    "<PublicDate>2026-12-08 08:00</PublicDate></News>"
    "<News><NewsId>900</NewsId><NewsTitle>冬季作息时间调整</NewsTitle><ForceReturn>0</ForceReturn>"
    "<PublicDate>2026-12-07 08:00</PublicDate></News></Result>");

// The application's own window, signed in to the demo school as a teacher and showing the school
// notices, whose list a hand drags with the mouse.
class PullInWindowTest : public AppWindowTest
{
protected:
    static constexpr int kFrameMilliseconds = 16;
    // A finger that rests this long before it lets go does not fling the list.
    static constexpr int kRestMilliseconds = 300;

    void SetUp() override
    {
        HsServiceConfig::setEndpoint(school.endpoint());
        ASSERT_NO_FATAL_FAILURE(AppWindowTest::SetUp());
        app.closeUserGuide();
        ASSERT_NO_FATAL_FAILURE(signInByHand(true, QStringLiteral("wangfang")));
        ASSERT_TRUE(waitUntil([this] { return !busy(); }));
        tap(button(QStringLiteral("通知")));
        ASSERT_TRUE(waitUntil([this] {
            list = shownNamed(QStringLiteral("tableNews"));
            return list && !busy() && list->property("count").toInt() > 0;
        }));
        header = list->property("refreshHeader").value<RefreshHeaderView *>();
        ASSERT_NE(header, nullptr);
        label = shownNamed(QStringLiteral("statusLabel"));
        arrow = shownNamed(QStringLiteral("arrow"));
        spinner = list->findChild<QQuickItem *>(QStringLiteral("activityIndicator"));
        ASSERT_TRUE(label && arrow && spinner);
    }

    void TearDown() override
    {
        HsTaskRunner::waitForAllTasks();
        HsPreferences::setCurrent(nullptr);
        HsServiceConfig::setEndpoint(school.endpoint());
    }

    bool busy()
    {
        return static_cast<HsQuickScreenPort &>(app.port()).overlay()->isShown() ||
               navigation->property("busy").toBool();
    }

    // A finger pressed near the top of the list and moved down `distance` points, a few points a
    // frame; it stays on the list where it stopped.
    QPoint pressAndPull(int distance)
    {
        const QPoint start = list->mapToScene(QPointF(list->width() / 2, 30)).toPoint();
        QTest::mousePress(window, Qt::LeftButton, {}, start);
        QPoint at = start;
        for (int moved = 8; moved <= distance; moved += 8) {
            at = start + QPoint(0, moved);
            QTest::mouseMove(window, at, kFrameMilliseconds);
            QTest::qWait(kFrameMilliseconds);
        }
        return at;
    }
    // The finger, resting where it stopped, lets go.
    void letGo(QPoint at) { QTest::mouseRelease(window, Qt::LeftButton, {}, at, kRestMilliseconds); }

    qreal pullOffset() const
    {
        return list->property("contentY").toReal() - list->property("originY").toReal();
    }
    qreal topInset() const { return list->property("topMargin").toReal(); }

    bool insideTheList(QQuickItem *item) const
    {
        const QRectF frame = item->mapRectToItem(list, QRectF(0, 0, item->width(), item->height()));
        return frame.top() >= 0 && frame.bottom() <= list->height();
    }

    // What the window shows while the list loads: the header loading with the list's top inset
    // at 60, "加载中..." and the running spinner inside the shown part of the list, no arrow.
    testing::AssertionResult showsLoading() const
    {
        if (header->state() != RefreshHeaderView::Loading)
            return testing::AssertionFailure() << "state " << header->state();
        if (topInset() != RefreshHeaderView::loadingInset)
            return testing::AssertionFailure() << "top inset " << topInset();
        if (label->property("text").toString() != QStringLiteral("加载中...") || !insideTheList(label))
            return testing::AssertionFailure() << "label out of view, list pulled by " << -pullOffset();
        if (!spinner->isVisible() || !spinner->property("running").toBool() || !insideTheList(spinner))
            return testing::AssertionFailure() << "spinner hidden or out of view";
        if (arrow->isVisible())
            return testing::AssertionFailure() << "arrow shown";
        return testing::AssertionSuccess();
    }

    // Looks at the window every frame while `going` holds (at most `milliseconds`); every look
    // must show the header loading.
    void expectLoadingShownWhile(const std::function<bool()> &going, int milliseconds)
    {
        QElapsedTimer timer;
        timer.start();
        int looks = 0;
        int misses = 0;
        while (going() && timer.elapsed() < milliseconds) {
            ++looks;
            const testing::AssertionResult look = showsLoading();
            if (!look && misses++ == 0)
                ADD_FAILURE() << "after " << timer.elapsed() << " ms: " << look.message();
            QTest::qWait(kFrameMilliseconds);
        }
        EXPECT_GT(looks, 5);
        EXPECT_EQ(misses, 0) << "of " << looks << " looks";
    }

    bool atRest() const
    {
        return pullOffset() == 0 && topInset() == 0 && header->state() == RefreshHeaderView::Normal &&
               !list->property("moving").toBool();
    }

    ServerProcess school;
    QQuickItem *list = nullptr;
    RefreshHeaderView *header = nullptr;
    QQuickItem *label = nullptr;
    QQuickItem *arrow = nullptr;
    QQuickItem *spinner = nullptr;
};

} // namespace

// A release short of the threshold triggers nothing; past it, the header stays shown while it
// loads (a second pull then triggers nothing) and the list comes back to rest after.
TEST_F(PullInWindowTest, TheHeaderStaysShownWhileItLoadsAndTheListComesBackToRestAfter)
{
    EventLoopSoapServer notices(kTwoNotices);
    notices.holdAnswers();
    HsServiceConfig::setEndpoint(notices.url());

    QPoint at = pressAndPull(72);
    ASSERT_TRUE(waitUntil([&] { return pullOffset() < -20; }));
    letGo(at);
    EXPECT_EQ(header->state(), RefreshHeaderView::Normal);
    EXPECT_TRUE(waitUntil([&] { return atRest(); })) << "pulled by " << -pullOffset();

    at = pressAndPull(200);
    ASSERT_TRUE(waitUntil([&] { return header->state() == RefreshHeaderView::Pulling; }));
    EXPECT_EQ(label->property("text").toString(), QStringLiteral("释放后返回前20条..."));
    EXPECT_TRUE(insideTheList(label) && insideTheList(arrow));
    EXPECT_TRUE(waitUntil([&] { return arrow->rotation() == 180; }));
    EXPECT_EQ(notices.callCount(), 0);

    // From the release on, the arrow never turns in view, and the inset goes only once the header
    // is back to normal, so no scroll event in between sets it again.
    std::vector<qreal> turns;
    QObject::connect(arrow, &QQuickItem::rotationChanged, list, [&] {
        if (arrow->isVisible() && arrow->rotation() != 0 && arrow->rotation() != 180)
            turns.push_back(arrow->rotation());
    });
    std::vector<int> statesWhenInsetCleared;
    QObject::connect(header, &RefreshHeaderView::topInsetChanged, list, [&] {
        if (header->topInset() == 0)
            statesWhenInsetCleared.push_back(header->state());
    });

    letGo(at);
    ASSERT_TRUE(waitUntil([&] { return notices.callCount() == 1; }));
    expectLoadingShownWhile([] { return true; }, 1200);
    letGo(pressAndPull(200));
    expectLoadingShownWhile([] { return true; }, 600);
    EXPECT_EQ(notices.callCount(), 1);

    // The header shows loading until its end, half a second after the answer.
    notices.releaseHeldAnswers();
    QElapsedTimer sinceAnswer;
    sinceAnswer.start();
    expectLoadingShownWhile([&] { return header->state() == RefreshHeaderView::Loading; }, kWaitMilliseconds);
    EXPECT_GE(sinceAnswer.elapsed(), 450);
    EXPECT_TRUE(waitUntil([&] { return atRest(); }))
        << "pulled by " << -pullOffset() << ", inset " << topInset();
    EXPECT_TRUE(arrow->isVisible() && arrow->rotation() == 0 && !header->isArrowTurned());
    EXPECT_EQ(label->property("text").toString(), QStringLiteral("下拉后返回前20条..."));
    EXPECT_EQ(turns, std::vector<qreal>{}) << "the arrow turned in view";
    EXPECT_EQ(statesWhenInsetCleared, std::vector<int>{RefreshHeaderView::Normal});
    EXPECT_EQ(list->property("count").toInt(), 2);
}

// A release at exactly the threshold triggers though the release text never showed; short of it,
// or while the owner loads, a release changes nothing. While loading, the inset follows the
// offset between zero and sixty until the owner finishes.
TEST(RefreshHeaderTest, ReleaseTriggersAtTheThresholdAndLoadingKeepsTheInsetUntilTheOwnerFinishes)
{
    FakeOwner owner;
    RefreshHeaderView header;
    header.setDelegate(&owner);
    const struct
    {
        std::vector<qreal> offsets;
        bool loading;
        int triggers;
    } cases[] = {{{-64}, false, 0}, {{-40, -80, -100}, true, 0}, {{-20, -65}, false, 1}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.offsets.back());
        owner.loading = c.loading;
        QSignalSpy states(&header, &RefreshHeaderView::stateChanged);
        for (qreal y : c.offsets)
            header.refreshScrollViewDidScroll(y, true);
        header.refreshScrollViewDidEndDragging(c.offsets.back());
        EXPECT_EQ(owner.triggers, c.triggers);
        EXPECT_EQ(header.state(), c.triggers ? RefreshHeaderView::Loading : RefreshHeaderView::Normal);
        // Straight to loading, never through the release text.
        EXPECT_TRUE(c.loading || states.count() == c.triggers) << states.count();
    }
    EXPECT_EQ(header.topInset(), 60);
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
