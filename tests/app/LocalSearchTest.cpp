// Searching what the account has loaded, by hand through the areas' interface files: Chinese
// words of two and three characters found with the school out of reach, a result opening its
// detail from what was kept, and nothing of another account's.

#include "AreaTestSupport.h"
#include "screens/HsNewsDetail.h"
#include "screens/HsRecordDetail.h"
#include "screens/HsSchoolActivity.h"
#include "screens/HsStudentActivity.h"

#include <QInputMethodEvent>
#include <QSignalSpy>

namespace {

const QString kNotices = resultDocument(
    {QStringLiteral(
         "<News><NewsId>77</NewsId><NewsTitle>关于召开家长会的通知</NewsTitle><ForceReturn>0</ForceReturn>"
         "<PublicDate>2026-12-05 09:00</PublicDate></News>"),
     QStringLiteral("<News><NewsId>78</NewsId><NewsTitle>寒假作业安排</NewsTitle><ForceReturn>0</ForceReturn>"
                    "<PublicDate>2026-12-04 09:00</PublicDate></News>"),
     QStringLiteral("<News><NewsId>79</NewsId><NewsTitle>冬季运动会</NewsTitle><ForceReturn>0</ForceReturn>"
                    "<PublicDate>2026-12-03 09:00</PublicDate></News>")});
const QString kNoticeText = QStringLiteral("周五下午三点在礼堂开会，请准时参加。");
const QString kNoticeDetail = resultDocument({QStringLiteral(
    "<NewsId>77</NewsId><NewsTitle>关于召开家长会的通知</NewsTitle><PublicDate>2026-12-05 09:00</PublicDate>"
    "<NewsContent>周五下午三点在礼堂开会，请准时参加。</NewsContent><ForceReturn>0</ForceReturn>")});
const QString kHomework =
    resultDocument({QStringLiteral("<HomeWork><HomeWorkId>5</HomeWorkId><TeacherName>王芳</"
                                   "TeacherName><Content>背诵古诗，明天交作业</Content>"
                                   "<HomeWorkDate>2026-12-03</HomeWorkDate></HomeWork>")});
const QString kChats = resultDocument({QStringLiteral(
    "<Chat><UserId>7</UserId><UserName>李雨桐家长</UserName><Content>请问家长会几点开始？</Content>"
    "<ChatDate>2026-12-06 20:15</ChatDate></Chat>")});

// The school as a stand-in answers it: the notices, a notice's text, homework and chat.
QString schoolAnswer(const SentCall &call)
{
    if (call.method == "getNews")
        return kNotices;
    if (call.method == "getNewsById")
        return kNoticeDetail;
    if (call.method == "getHomeWorks")
        return kHomework;
    if (call.method == "getChats")
        return kChats;
    return kRefusal;
}

class LocalSearchTest : public DemoSchoolTest
{
protected:
    // Signs in as `account` with its own cache, as the login screen does, against the stand-in.
    void signInWithCache(const std::string &account, bool teacher)
    {
        HsServiceConfig::setEndpoint(server->endpoint());
        signIn(account, teacher);
        auto preferences = std::make_shared<HsPreferences>();
        ASSERT_TRUE(preferences->load(dir.path().toStdString(), session.accountKey()));
        HsPreferences::setCurrent(preferences);
        NewsTypeDao().replaceAll(NewsService().GetNewsTypes().items);
        HsServiceConfig::setEndpoint(school.url());
    }

    template <class Area> Area &show()
    {
        host = std::make_unique<ScreenHost>();
        auto *area = new Area(port, session, defaults);
        shownArea.reset(area);
        area->setNetworkCheck([] { return true; });
        area->viewDidLoad();
        EXPECT_TRUE(waitUntil([this] { return port.idle(); }));
        host->show(area);
        return *area;
    }

    // The school can no longer be reached.
    void goOffline() { HsServiceConfig::setEndpoint(closed.url()); }

    // Types `text` into the search field as an input method hands over a finished word.
    void typeWords(const QString &text)
    {
        QQuickItem *field = host->find(QStringLiteral("localSearchField"));
        ASSERT_NE(field, nullptr);
        host->tap(field);
        ASSERT_TRUE(waitUntil([field] { return field->hasActiveFocus(); }));
        QInputMethodEvent commit;
        commit.setCommitString(text);
        QCoreApplication::sendEvent(host->window.focusObject(), &commit);
    }

    void clearSearch() { host->tap(host->find(QStringLiteral("localSearchClear"))); }

    // The titles of the result rows shown, in order.
    QStringList resultTitles() const
    {
        QQuickItem *results = host->find(QStringLiteral("localSearchResults"));
        if (!results || !results->isVisible())
            return {};
        QStringList titles;
        for (int row = 0; row < results->property("count").toInt(); ++row)
            titles << host->cell(QStringLiteral("localSearchResults"), row)->property("title").toString();
        return titles;
    }

    bool shown(const QString &objectName) const
    {
        QQuickItem *item = host->find(objectName);
        return item && item->isVisible();
    }

    template <class Detail> Detail *openResult(int row)
    {
        // A hand taps what the window has drawn: the rows the search just made are laid out for
        // the next frame.
        QSignalSpy drawn(&host->window, &QQuickWindow::frameSwapped);
        host->window.requestUpdate();
        EXPECT_TRUE(drawn.wait(kWaitMilliseconds));
        const size_t before = port.pushed().size();
        host->tap(host->cell(QStringLiteral("localSearchResults"), row));
        EXPECT_EQ(port.pushed().size(), before + 1);
        return port.pushed().size() > before ? qobject_cast<Detail *>(port.pushed().back().get()) : nullptr;
    }

    EventLoopSoapServer school{schoolAnswer};
    ClosedPort closed;
    HsDefaults defaults{dir.filePath(QStringLiteral("defaults.ini"))};
    std::unique_ptr<QObject> shownArea;
    std::unique_ptr<ScreenHost> host;
};

} // namespace

TEST_F(LocalSearchTest, NoticesAreFoundOfflineByTwoAndThreeCharacterWordsAndOpenWithTheirKeptText)
{
    signInWithCache("wangfang", true);
    HsSchoolActivity &area = show<HsSchoolActivity>();
    ASSERT_EQ(area.newses()->rowCount(), 3);
    area.didSelectRow(0);
    auto *fetched = qobject_cast<HsNewsDetail *>(port.pushed().back().get());
    ASSERT_TRUE(waitUntil([&] { return port.idle() && fetched->succeeded(); }));

    goOffline();
    EXPECT_FALSE(shown(QStringLiteral("localSearchResults")));
    struct Case
    {
        QString words;
        QStringList titles;
    };
    for (const Case &search : {Case{"作业", {"寒假作业安排"}}, Case{"家长会", {"关于召开家长会的通知"}},
                               Case{"礼堂", {"关于召开家长会的通知"}}, Case{"运动 冬季", {"冬季运动会"}}}) {
        SCOPED_TRACE(search.words.toStdString());
        typeWords(search.words);
        EXPECT_EQ(resultTitles(), search.titles);
        EXPECT_FALSE(shown(QStringLiteral("tableNews")));
        EXPECT_FALSE(shown(QStringLiteral("nothingFound")));
        clearSearch();
        EXPECT_TRUE(shown(QStringLiteral("tableNews")));
        EXPECT_FALSE(shown(QStringLiteral("localSearchResults")));
    }

    typeWords("家长会");
    auto *detail = openResult<HsNewsDetail>(0);
    ASSERT_NE(detail, nullptr);
    EXPECT_EQ(detail->newsId(), 77);
    ASSERT_TRUE(waitUntil([&] { return port.idle(); }));
    EXPECT_FALSE(detail->succeeded());
    EXPECT_EQ(detail->newsContent(), kNoticeText);
    EXPECT_EQ(detail->newsTitle(), "关于召开家长会的通知");
    clearSearch();

    typeWords("运动会报名");
    EXPECT_TRUE(resultTitles().isEmpty());
    EXPECT_TRUE(shown(QStringLiteral("nothingFound")));
    EXPECT_EQ(host->find(QStringLiteral("nothingFound"))->property("text").toString(), "没有找到相关内容");
    // A notice whose text was never fetched opens blank offline.
    clearSearch();
    typeWords("作业");
    auto *blank = openResult<HsNewsDetail>(0);
    ASSERT_NE(blank, nullptr);
    ASSERT_TRUE(waitUntil([&] { return port.idle(); }));
    EXPECT_TRUE(blank->newsContent().isEmpty());
}

TEST_F(LocalSearchTest, RecordsOfEveryCategoryLoadedAreFoundOfflineAndOpenTheirDetail)
{
    signInWithCache("jz1001", false);
    HsStudentActivity &area = show<HsStudentActivity>();
    ASSERT_EQ(area.datas()->rowCount(), 1);
    // Rows loaded while the field holds text join the results.
    typeWords("家长会");
    EXPECT_TRUE(shown(QStringLiteral("nothingFound")));
    host->tap(buttonWithText(host->screen.get(), QStringLiteral("交流")));
    ASSERT_TRUE(waitUntil([&] { return port.idle() && area.datas()->kind() == HsStudentRecordModel::Chat; }));
    EXPECT_EQ(resultTitles(), QStringList{"请问家长会几点开始？"});
    clearSearch();

    goOffline();
    typeWords("作业");
    EXPECT_EQ(resultTitles(), QStringList{"背诵古诗，明天交作业"});
    clearSearch();
    typeWords("家长会");
    EXPECT_EQ(resultTitles(), QStringList{"请问家长会几点开始？"});
    EXPECT_FALSE(shown(QStringLiteral("tableShow")));
    auto *detail = openResult<HsRecordDetail>(0);
    ASSERT_NE(detail, nullptr);
    EXPECT_EQ(detail->title(), "交流详情");
    EXPECT_EQ(detail->text(), "请问家长会几点开始？");
    EXPECT_EQ(detail->dateLine(), "李雨桐家长 2026-12-06 20:15");
}

// One parent's notices stay in the cache file, yet the next parent's search never finds them.
TEST_F(LocalSearchTest, AnotherAccountNeverFindsTheLastOnesRows)
{
    signInWithCache("jz1001", false);
    show<HsSchoolActivity>();
    typeWords("家长会");
    ASSERT_EQ(resultTitles().size(), 1);

    host.reset();
    shownArea.reset();
    signInWithCache("jz2001", false);
    goOffline();
    show<HsSchoolActivity>();
    typeWords("家长会");
    EXPECT_TRUE(resultTitles().isEmpty());
    EXPECT_TRUE(shown(QStringLiteral("nothingFound")));
    clearSearch();
    typeWords("作业");
    EXPECT_TRUE(resultTitles().isEmpty());
}
