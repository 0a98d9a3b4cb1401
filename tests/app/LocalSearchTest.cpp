// Searching what the account has loaded, by hand through the areas' interface files: Chinese
// words of two and three characters found with the school out of reach, and a result opening its
// detail from what was kept.

#include "AreaTestSupport.h"
#include "screens/HsNewsDetail.h"
#include "screens/HsRecordDetail.h"
#include "screens/HsSchoolActivity.h"
#include "screens/HsStudentActivity.h"

#include <QSignalSpy>

namespace {

// A headline published on the given day of December 2026.
QString notice(int id, int day, const char *title)
{
    return QStringLiteral("<News><NewsId>%1</NewsId><NewsTitle>%2</NewsTitle><ForceReturn>0</ForceReturn>"
                          "<PublicDate>2026-12-%3 09:00</PublicDate></News>")
        .arg(id)
        .arg(QString::fromUtf8(title))
        .arg(day, 2, 10, QLatin1Char('0'));
}

// A stand-in school: three notices, the first one's text, a homework and a chat message.
QString schoolAnswer(const SentCall &call)
{
    if (call.method == "getNews")
        return resultDocument({notice(77, 5, "关于召开家长会的通知"), notice(76, 4, "寒假作业安排"),
                               notice(75, 3, "冬季运动会")});
    if (call.method == "getNewsById")
        return resultDocument({QStringLiteral("<NewsId>77</NewsId><NewsTitle>关于召开家长会的通知</NewsTitle>"
                                              "<NewsContent>周五下午三点在礼堂开会。</NewsContent>")});
    if (call.method == "getHomeWorks")
        return resultDocument(
            {QStringLiteral("<HomeWork><HomeWorkId>5</HomeWorkId><Content>背诵古诗，明天交作业"
                            "</Content><HomeWorkDate>2026-12-03</HomeWorkDate></HomeWork>")});
    if (call.method == "getChats")
        return resultDocument(
            {QStringLiteral("<Chat><UserName>李雨桐家长</UserName><Content>请问家长会几点开始？"
                            "</Content><ChatDate>2026-12-06 20:15</ChatDate></Chat>")});
    return kRefusal;
}

class LocalSearchTest : public ShownAreaTest
{
protected:
    void useStandIn(const std::string &account, bool teacher)
    {
        useAccount(account, teacher);
        HsServiceConfig::setEndpoint(school.url());
    }

    // The school can no longer be reached.
    void goOffline() { HsServiceConfig::setEndpoint(closed.url()); }

    // Clears the field if it holds text, and types the words.
    void search(const QString &words)
    {
        if (host->isShown(QStringLiteral("localSearchClear")))
            host->tap(host->find(QStringLiteral("localSearchClear")));
        host->commit(QStringLiteral("localSearchField"), words);
    }

    // The titles of the result rows shown, in order.
    QStringList resultTitles() const
    {
        if (!host->isShown(QStringLiteral("localSearchResults")))
            return {};
        QStringList titles;
        for (int row = 0; row < host->find(QStringLiteral("localSearchResults"))->property("count").toInt();
             ++row)
            titles << host->cell(QStringLiteral("localSearchResults"), row)->property("title").toString();
        return titles;
    }

    // A hand taps the result row once the window has drawn the rows the search just made.
    template <class Detail> Detail *openResult(int row)
    {
        QSignalSpy drawn(&host->window, &QQuickWindow::frameSwapped);
        host->window.requestUpdate();
        EXPECT_TRUE(drawn.wait(kWaitMilliseconds));
        const size_t before = port.pushed().size();
        host->tap(host->cell(QStringLiteral("localSearchResults"), row));
        EXPECT_EQ(port.pushed().size(), before + 1);
        auto *detail =
            port.pushed().size() > before ? qobject_cast<Detail *>(port.pushed().back().get()) : nullptr;
        EXPECT_NE(detail, nullptr);
        EXPECT_TRUE(waitUntil([&] { return port.idle(); }));
        return detail;
    }

    EventLoopSoapServer school{schoolAnswer};
    ClosedPort closed;
};

} // namespace

// Notices are found by words of their titles and of a text that was fetched; a result opens with
// the text kept, one never fetched opens blank, and a search with no match says so.
TEST_F(LocalSearchTest, NoticesAreFoundOfflineByTwoAndThreeCharacterWordsAndOpenWithTheirKeptText)
{
    useStandIn("wangfang", true);
    HsSchoolActivity &area = show<HsSchoolActivity>();
    ASSERT_EQ(area.newses()->rowCount(), 3);
    area.didSelectRow(0);
    ASSERT_TRUE(waitUntil([&] { return port.idle(); }));

    goOffline();
    EXPECT_FALSE(host->isShown(QStringLiteral("localSearchResults")));
    const struct
    {
        QString words;
        QStringList titles;
    } cases[] = {{"作业", {"寒假作业安排"}},
                 {"家长会", {"关于召开家长会的通知"}},
                 {"礼堂", {"关于召开家长会的通知"}},
                 {"运动 冬季", {"冬季运动会"}},
                 {"运动会报名", {}}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.words.toStdString());
        search(c.words);
        EXPECT_EQ(resultTitles(), c.titles);
        EXPECT_FALSE(host->isShown(QStringLiteral("tableNews")));
        EXPECT_EQ(host->isShown(QStringLiteral("nothingFound")), c.titles.isEmpty());
    }
    EXPECT_EQ(host->find(QStringLiteral("nothingFound"))->property("text").toString(), "没有找到相关内容");
    host->tap(host->find(QStringLiteral("localSearchClear")));
    EXPECT_TRUE(host->isShown(QStringLiteral("tableNews")));
    EXPECT_FALSE(host->isShown(QStringLiteral("localSearchResults")));

    search("家长会");
    auto *kept = openResult<HsNewsDetail>(0);
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->newsId(), 77);
    EXPECT_FALSE(kept->succeeded());
    EXPECT_EQ(kept->newsTitle(), "关于召开家长会的通知");
    EXPECT_EQ(kept->newsContent(), "周五下午三点在礼堂开会。");
    search("作业");
    auto *neverFetched = openResult<HsNewsDetail>(0);
    ASSERT_NE(neverFetched, nullptr);
    EXPECT_TRUE(neverFetched->newsContent().isEmpty());
}

// Rows loaded while the field holds text join the results; offline, records of every category
// loaded are found and open their detail.
TEST_F(LocalSearchTest, RecordsOfEveryCategoryLoadedAreFoundOfflineAndOpenTheirDetail)
{
    useStandIn("jz1001", false);
    HsStudentActivity &area = show<HsStudentActivity>();
    ASSERT_EQ(area.datas()->rowCount(), 1);
    search("家长会");
    EXPECT_TRUE(host->isShown(QStringLiteral("nothingFound")));
    host->tap(buttonWithText(host->screen.get(), QStringLiteral("交流")));
    ASSERT_TRUE(waitUntil([&] { return port.idle() && area.datas()->kind() == HsStudentRecordModel::Chat; }));
    EXPECT_EQ(resultTitles(), QStringList{"请问家长会几点开始？"});

    goOffline();
    search("作业");
    EXPECT_EQ(resultTitles(), QStringList{"背诵古诗，明天交作业"});
    search("家长会");
    EXPECT_FALSE(host->isShown(QStringLiteral("tableShow")));
    auto *detail = openResult<HsRecordDetail>(0);
    ASSERT_NE(detail, nullptr);
    EXPECT_EQ(detail->title(), "交流详情");
    EXPECT_EQ(detail->text(), "请问家长会几点开始？");
    EXPECT_EQ(detail->dateLine(), "李雨桐家长 2026-12-06 20:15");
}
