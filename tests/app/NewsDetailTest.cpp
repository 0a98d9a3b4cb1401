#include "AreaTestSupport.h"
#include "screens/HsNewsDetail.h"

namespace {

// Replies `first`, `first` + 1, ..., each by a parent of its own.
QStringList replies(int first, int count)
{
    QStringList items;
    for (int id = first; id < first + count; ++id)
        items << QStringLiteral(
                     "<return><returnId>%1</returnId><returnContent>已阅%1</returnContent>"
                     "<userId>%1</userId><userName>家长%1</userName><returnDate>2026-12-02</returnDate>"
                     "</return>")
                     .arg(id);
    return items;
}

const QString kNoticeAskingForReplies = resultDocument(
    {QStringLiteral("<NewsId>77</NewsId><NewsTitle>家长会通知</NewsTitle><NewsContent>周五下午开家长会。"
                    "</NewsContent><ForceReturn>1</ForceReturn>")});

class NewsDetailTest : public AreaTest
{
protected:
    void SetUp() override
    {
        AreaTest::SetUp();
        signIn("wangfang", true);
    }
};

} // namespace

// Replies are read until a shorter page, each once though a new one pushed it onto the next
// page; replies that could not be fetched are not "0 people" but a line that fetches them again.
TEST_F(NewsDetailTest, TheRepliersLineCountsEveryPageOrOffersARetryThatFetchesTheRepliesAlone)
{
    enum Service
    {
        Refused,
        NeverShort,
        TwelvePagesOneMoved,
    } replying = Refused;
    EventLoopSoapServer service([&](const SentCall &call) {
        if (call.method == "getNewsById")
            return kNoticeAskingForReplies;
        const int page = pageOf(call);
        switch (replying) {
        case Refused:
            return kRefusal;
        case NeverShort:
            return resultDocument(replies(page * 20, 20));
        case TwelvePagesOneMoved: {
            // Replies 230 down to 1; one more came after the second page was read.
            const int newest = page <= 2 ? 230 : 231;
            const int top = newest - (page - 1) * 20;
            QStringList items;
            for (int id = top; id > std::max(top - 20, 0); --id)
                items << replies(id, 1);
            return resultDocument(items);
        }
        }
        return kRefusal;
    });
    HsServiceConfig::setEndpoint(service.url());
    HsNewsDetail detail(port, session);
    detail.setNewsId(77);
    detail.setForceReturn(1);
    ScreenHost host;
    host.show(&detail);
    detail.viewDidLoad();
    ASSERT_TRUE(waitUntil([&] { return port.idle() && detail.succeeded(); }));

    for (const auto &[next, line] :
         {std::pair{NeverShort, "回复加载失败，点击重试"}, std::pair{TwelvePagesOneMoved, "已回复 230 人"}}) {
        QQuickItem *retry = host.find("retryReplies");
        ASSERT_TRUE(retry && retry->isVisible());
        EXPECT_FALSE(host.find("repliersLine")->isVisible());
        EXPECT_EQ(retry->property("text").toString(), "回复加载失败，点击重试");
        replying = next;
        const int finished = port.overlaysFinished();
        host.tap(retry);
        ASSERT_TRUE(waitForOverlays(finished + 1));
        EXPECT_EQ(detail.repliersText(), line);
    }
    EXPECT_EQ(service.callsOf("getNewsById"), 1);
    EXPECT_EQ(service.callsOf("getReturns"), 1 + 250 + 12);
    EXPECT_EQ(detail.replies()->rowCount(), 230);
    QQuickItem *repliersLine = host.find("repliersLine");
    ASSERT_TRUE(repliersLine && repliersLine->isVisible());
    EXPECT_EQ(repliersLine->property("text").toString(), "已回复 230 人");
    EXPECT_FALSE(host.find("retryReplies")->isVisible());
}
