// Signing in again from the settings screen, in the application's own window, as a hand does it:
// the screens close at once even while calls wait on the network, and the next account sees
// nothing that the last one left in the cache.

#include "AppWindowTestSupport.h"
#include "AreaTestSupport.h"
#include "app/HsQuickScreenPort.h"
#include "cache/HsPreferences.h"
#include "cache/NewsDao.h"
#include "screens/MainController.h"
#include "transport/HsServiceConfig.h"
#include "widgets/HsTaskRunner.h"
#include "widgets/RefreshHeaderView.h"

#include <QElapsedTimer>
#include <QPointer>

namespace {

// The longest a close with calls in flight may take; generous for a busy machine.
constexpr int kCloseMilliseconds = 5000;

class ReloginTest : public AppWindowTest
{
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(AppWindowTest::SetUp());
        app.closeUserGuide();
        QObject::connect(static_cast<HsQuickScreenPort *>(&app.port()), &HsQuickScreenPort::pushRequested,
                         window, [this](const QUrl &, QObject *controller) {
                             if (auto *pushed = qobject_cast<MainController *>(controller))
                                 main = pushed;
                         });
    }

    void TearDown() override
    {
        HsTaskRunner::waitForAllTasks();
        HsPreferences::setCurrent(nullptr);
    }

    // Signs in as a parent from the login screen and waits for the main screen.
    void signInAsParent(const QString &account)
    {
        main.clear();
        ASSERT_NO_FATAL_FAILURE(signInByHand(false, account));
        ASSERT_TRUE(waitUntil([this] { return main; }));
    }

    // The titles the notices list shows.
    QStringList shownNotices() const
    {
        QStringList titles;
        const QAbstractItemModel *model = main ? main->viewSchool()->newses() : nullptr;
        for (int row = 0; model && row < model->rowCount(); ++row)
            titles << model->index(row, 0).data(model->roleNames().key("newsTitle")).toString();
        return titles;
    }

    void openSettings()
    {
        tap(shownNamed(QStringLiteral("settings")));
        ASSERT_TRUE(waitUntil([this] { return settledAt(3); }));
        ASSERT_TRUE(waitUntil([this] { return button(QStringLiteral("重新登陆")) != nullptr; }));
    }

    QPointer<MainController> main;
};

QString parentLogin(int studentId, int classId)
{
    return QStringLiteral(
               "<Result><Code>0</Code><Error></Error><StudentId>%1</StudentId><ClassId>%2</ClassId>"
               "<SchoolCode>330106001</SchoolCode><StudentName>学生%1</StudentName></Result>")
        .arg(studentId)
        .arg(classId);
}

// The titles of a full first page of class notices that name the class, newest (highest id) first.
QStringList noticeTitles(int classId)
{
    QStringList titles;
    for (int id = 20; id >= 1; --id)
        titles << QStringLiteral("%1班通知%2").arg(classId).arg(classId * 100 + id);
    return titles;
}

// That page as the service answers it.
QString classNotices(int classId)
{
    QStringList items;
    for (const QString &title : noticeTitles(classId))
        items << QStringLiteral("<News><NewsId>%1</NewsId><NewsTitle>%2</NewsTitle></News>")
                     .arg(title.section(QStringLiteral("通知"), 1), title);
    return resultDocument(items);
}

} // namespace

// The parent of a child in class 1 sees class 1's notices; a pull and a page load then wait on a
// service that holds their answers when the user signs in again: the screens close at once, the
// parent of a child in class 2 sees class 2's notices (never the ones class 1 left in the cache),
// the answers that come after go nowhere, and the pull's list of the last account is stored in
// that account's file, not the next one's.
TEST_F(ReloginTest, ClosingDuringHeldCallsIsImmediateAndTheNextAccountSeesNothingOfTheLast)
{
    EventLoopSoapServer service(kEmptyAnswer);
    service.answerMethod("loginStudent", parentLogin(1001, 1));
    service.answerMethod("getNewsTypes",
                         QStringLiteral("<Result><Code>0</Code><Error></Error><NewsType><TypeId>2</TypeId>"
                                        "<TypeCode>bjtz</TypeCode><TypeName>班级通知</TypeName>"
                                        "<TypeType>0</TypeType></NewsType></Result>"));
    service.answerMethod("getNews", classNotices(1));
    HsServiceConfig::setEndpoint(service.url());

    signInAsParent(QStringLiteral("jz1001"));
    tap(button(QStringLiteral("通知")));
    ASSERT_TRUE(waitUntil([&] { return shownNotices() == noticeTitles(1); }));

    service.holdAnswers(EventLoopSoapServer::nextCallsTo("getNews", 2));
    QQuickItem *list = shownNamed(QStringLiteral("tableNews"));
    ASSERT_NE(list, nullptr);
    // Pulled down past the threshold, against the list's resistance.
    dragList(*window, list, 300);
    ASSERT_TRUE(waitUntil([&] { return service.held() == 1; }));
    ASSERT_EQ(main->viewSchool()->refreshHeader()->state(), RefreshHeaderView::Loading);
    main->viewSchool()->loadMore();
    ASSERT_TRUE(waitUntil([&] { return service.held() == 2; }));

    // The close is timed from the moment the main screen's controller goes until its last area
    // (each with its calls in flight) has gone, on the interface thread.
    QElapsedTimer clock;
    qint64 closeStarted = -1;
    qint64 closeEnded = -1;
    clock.start();
    QObject::connect(main, &QObject::destroyed, [&] { closeStarted = clock.elapsed(); });
    for (QObject *area : main->children())
        QObject::connect(area, &QObject::destroyed, [&] { closeEnded = clock.elapsed(); });
    openSettings();
    const qint64 tapped = clock.elapsed();
    tap(button(QStringLiteral("重新登陆")));
    ASSERT_TRUE(waitUntil([this] { return settledAt(1) && !main; }));
    EXPECT_LT(clock.elapsed() - tapped, kCloseMilliseconds);
    ASSERT_GE(closeStarted, 0);
    EXPECT_LT(closeEnded - closeStarted, 100);

    service.answerMethod("loginStudent", parentLogin(2001, 2));
    service.answerMethod("getNews", classNotices(2));
    signInAsParent(QStringLiteral("jz2001"));
    tap(button(QStringLiteral("通知")));
    ASSERT_TRUE(waitUntil([&] { return shownNotices() == noticeTitles(2); }));

    // The held answers come; the last account's pull goes to its own file.
    service.releaseHeldAnswers();
    ASSERT_TRUE(waitUntil([] { return HsTaskRunner::tasksRunning() == 0; }));
    const auto firstCached = [] {
        const std::vector<NewsItem> cached = NewsDao().initSelects("bjtz");
        return cached.size() == 20u ? cached.front().newsId : -1;
    };
    EXPECT_EQ(firstCached(), 220);
    EXPECT_EQ(shownNotices(), noticeTitles(2));
    auto last = std::make_shared<HsPreferences>();
    ASSERT_TRUE(
        last->load(dir.path().toStdString(), "1:1001", HsPreferences::accountFileName(false, "jz1001")));
    const HsDbThreadBinding lastAccount(last);
    EXPECT_EQ(firstCached(), 120);
}
