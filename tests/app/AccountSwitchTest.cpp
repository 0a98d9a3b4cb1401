// Several children on one device, in the application's own window: the accounts signed in with
// "记住密码" are listed under "切换账号" in the settings, a tap switches to one without typing,
// each account's homework, chat, cached notices and search stay its own, an account can be
// forgotten, and what an earlier version remembered carries over.

#include "AppTestSupport.h"
#include "AppWindowTestSupport.h"
#include "app/HsQuickScreenPort.h"
#include "cache/HsPreferences.h"
#include "cache/NewsDao.h"
#include "screens/HsLoginController.h"
#include "screens/HsSettingActivity.h"
#include "screens/HsStudentRecordModel.h"
#include "screens/MainController.h"
#include "settings/HsPasswordStore.h"
#include "transport/HsServiceConfig.h"
#include "widgets/HsProgressOverlay.h"
#include "widgets/HsTaskRunner.h"
#include "widgets/HsToast.h"

#include <QAbstractItemModel>
#include <QPointer>
#include <gtest/gtest.h>

namespace {

const QString kPassword = QStringLiteral("parent123");

// A school of two classes: the child of the parent account jzN001 is in class N, and every notice
// and homework names its class. While `noticesAnswered` is off the notices get no usable answer,
// so the screen can show only what the account has cached.
struct TwoClassSchool
{
    bool refuseSignIn = false;
    bool noticesAnswered = true;

    QString answer(const SentCall &call) const
    {
        const auto argument = [&](size_t index) { return QString::fromStdString(call.arguments.at(index)); };
        if (call.method == "loginStudent" && !refuseSignIn && argument(3) == kPassword)
            return QStringLiteral("<Result><Code>0</Code><Error></Error><StudentId>%1</StudentId><ClassId>%2"
                                  "</ClassId><SchoolCode>1</SchoolCode><StudentName>%3</"
                                  "StudentName><RealName>%2班孩子</RealName></Result>")
                .arg(argument(2).mid(2), argument(2).mid(2, 1), argument(2));
        if (call.method == "getNewsTypes")
            return QStringLiteral(
                "<Result><Code>0</Code><Error></Error><NewsType><TypeId>2</TypeId><TypeCode>"
                "bjtz</TypeCode><TypeName>班级通知</TypeName><TypeType>0</TypeType></NewsType></Result>");
        if (call.method == "getNews" && argument(5) == "1")
            return noticesAnswered ? list(argument(3),
                                          "<News><NewsId>%1</NewsId><NewsTitle>%2班通知%3</NewsTitle></News>")
                                   : QString();
        if (call.method == "getHomeWorks" && argument(3) == "1")
            return list(argument(2),
                        "<HomeWork><HomeWorkId>%1</HomeWorkId><Content>%2班作业%3</Content></HomeWork>");
        return call.method == "loginStudent" ? kRefusal : kEmptyAnswer;
    }

    // Three rows of the class, each naming it.
    static QString list(const QString &classId, const char *row)
    {
        QString document = QStringLiteral("<Result><Code>0</Code><Error></Error>");
        for (int id = 3; id >= 1; --id)
            document += QString::fromUtf8(row).arg(classId.toInt() * 100 + id).arg(classId).arg(id);
        return document + QStringLiteral("</Result>");
    }
};

// The texts a list model shows in the role named `role`.
QStringList shownTexts(const QAbstractItemModel *model, const QByteArray &role)
{
    QStringList texts;
    for (int row = 0; model && row < model->rowCount(); ++row)
        texts << model->index(row, 0).data(model->roleNames().key(role)).toString();
    return texts;
}

bool allOfClass(const QStringList &texts, int classId)
{
    const QString mark = QStringLiteral("%1班").arg(classId);
    return !texts.isEmpty() && std::all_of(texts.begin(), texts.end(),
                                           [&](const QString &text) { return text.startsWith(mark); });
}

class AccountSwitchTest : public AppWindowTest
{
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(AppWindowTest::SetUp());
        app.closeUserGuide();
        HsServiceConfig::setEndpoint(service.url());
        QObject::connect(static_cast<HsQuickScreenPort *>(&app.port()), &HsQuickScreenPort::pushRequested,
                         window, [this](const QUrl &, QObject *controller) {
                             if (auto *pushed = qobject_cast<MainController *>(controller))
                                 main = pushed;
                             if (auto *pushed = qobject_cast<HsSettingActivity *>(controller))
                                 settings = pushed;
                         });
        HsToast *toast = static_cast<HsQuickScreenPort *>(&app.port())->toast();
        QObject::connect(toast, &HsToast::textChanged, window, [this, toast] { toasts << toast->text(); });
    }

    void TearDown() override
    {
        HsTaskRunner::waitForAllTasks();
        HsPreferences::setCurrent(nullptr);
    }

    // Signs in as the parent from the login screen with "记住密码" ticked.
    void signInRemembered(const QString &account)
    {
        main.clear();
        if (!app.loginController()->cbRemember()->isChecked())
            tap(button(QStringLiteral("记住密码")));
        ASSERT_NO_FATAL_FAILURE(signInByHand(false, account));
        ASSERT_TRUE(waitUntil([this] { return main; }));
    }

    void signOut()
    {
        ASSERT_NO_FATAL_FAILURE(openSettings());
        tap(button(QStringLiteral("重新登陆")));
        ASSERT_TRUE(waitUntil([this] { return settledAt(1) && !main; }));
    }

    // Opens the settings once no progress overlay covers the screen.
    void openSettings()
    {
        ASSERT_TRUE(
            waitUntil([this] { return !static_cast<HsQuickScreenPort &>(app.port()).overlay()->isShown(); }));
        tap(shownNamed(QStringLiteral("settings")));
        ASSERT_TRUE(waitUntil([this] { return settledAt(3) && settings; }));
    }

    // The two children's parents, both remembered, the second one signed in.
    void signInBothChildren()
    {
        ASSERT_NO_FATAL_FAILURE(signInRemembered(QStringLiteral("jz1001")));
        ASSERT_NO_FATAL_FAILURE(signOut());
        ASSERT_NO_FATAL_FAILURE(signInRemembered(QStringLiteral("jz2001")));
    }

    // The remembered accounts the settings list shows: caption, second line and the signed-in mark.
    QStringList listedAccounts() const
    {
        const QAbstractItemModel *rows = settings ? settings->tableSetting() : nullptr;
        QStringList listed;
        for (int row = 0; rows && row < rows->rowCount(); ++row) {
            const QModelIndex index = rows->index(row, 0);
            if (index.data(HsSettingRows::SectionKeyRole).toString() !=
                QLatin1String(HsSettingActivity::accountsKey))
                continue;
            listed << index.data(HsSettingRows::CaptionRole).toString() + " " +
                          index.data(HsSettingRows::DetailRole).toString() +
                          (index.data(HsSettingRows::CurrentRole).toBool() ? " *" : "");
        }
        return listed;
    }

    // The button in the row of the settings list captioned `caption` that forgets the account.
    QQuickItem *forgetButtonOf(const QString &caption) const
    {
        QQuickItem *row = button(caption);
        return row ? firstShownItem(row,
                                    [](QQuickItem *item) {
                                        return item->inherits("QQuickAbstractButton") &&
                                               item->property("text").toString() == "删除";
                                    })
                   : nullptr;
    }

    // Switches by a tap on the account's row and waits for its main screen.
    void switchTo(const QString &caption)
    {
        const QPointer<MainController> before = main;
        tap(button(caption));
        ASSERT_TRUE(waitUntil([&] { return main && main != before && settledAt(2) && !before; }));
    }

    QStringList homework() const { return shownTexts(main->viewStudent()->datas(), "content"); }
    QStringList notices() const { return shownTexts(main->viewSchool()->newses(), "newsTitle"); }

    // The titles a search of the notices tab finds for `words`.
    QStringList searchNotices(const QString &words)
    {
        QQuickItem *field = shown([](QQuickItem *item) {
            return item->objectName() == QLatin1String("localSearchField") && item->isVisible() &&
                   item->width() > 0;
        });
        commitText(*window, field, words);
        const QAbstractItemModel *results = main->viewSchool()->search()->results();
        EXPECT_TRUE(waitUntil([&] { return results->rowCount() > 0; }));
        return shownTexts(results, "title");
    }

    TwoClassSchool school;
    EventLoopSoapServer service{[this](const SentCall &call) { return school.answer(call); }};
    QPointer<MainController> main;
    QPointer<HsSettingActivity> settings;
    QStringList toasts;
};

} // namespace

// Both children's parents signed in with "记住密码" are listed; a tap switches to the other child
// without typing, and the homework (every row the student area ever holds), the notices (from the
// account's own cache when the school gives no list) and the search then show that child's class
// only, both ways. A switch the school refuses or does not answer leaves everything as it was, and
// "删除" forgets an account and its password.
TEST_F(AccountSwitchTest, ATapSwitchesChildrenAndEachSeesOnlyItsOwnRows)
{
    signInBothChildren();
    ASSERT_TRUE(waitUntil([&] { return allOfClass(homework(), 2); })) << homework().join(' ').toStdString();
    tap(button(QStringLiteral("通知")));
    ASSERT_TRUE(waitUntil([&] { return allOfClass(notices(), 2); }));
    openSettings();
    EXPECT_EQ(listedAccounts(), (QStringList{"1班孩子 家长 jz1001", "2班孩子 家长 jz2001 *"}));
    // A tap on the signed-in account signs nobody in.
    tap(button(QStringLiteral("2班孩子")));
    EXPECT_FALSE(app.loginController()->isSigningIn());

    for (const int classId : {1, 2, 1}) {
        SCOPED_TRACE(classId);
        // Class 1's notices come from its account's own file only.
        school.noticesAnswered = classId == 2;
        switchTo(QStringLiteral("%1班孩子").arg(classId));
        QStringList seen = homework();
        const QObject watching;
        const QAbstractItemModel *rows = main->viewStudent()->datas();
        QObject::connect(rows, &QAbstractItemModel::modelReset, &watching, [&] { seen << homework(); });
        QObject::connect(rows, &QAbstractItemModel::rowsInserted, &watching, [&] { seen << homework(); });
        EXPECT_TRUE(waitUntil([&] { return allOfClass(homework(), classId); }));
        EXPECT_TRUE(allOfClass(seen, classId)) << seen.join(' ').toStdString();
        tap(button(QStringLiteral("通知")));
        EXPECT_TRUE(waitUntil([&] { return allOfClass(notices(), classId); }))
            << notices().join(' ').toStdString();
        EXPECT_TRUE(allOfClass(searchNotices(QStringLiteral("通知")), classId));
        EXPECT_EQ(QString::fromStdString(app.session().accountName()),
                  QStringLiteral("jz%1").arg(classId * 1000 + 1));
        openSettings();
    }
    const QStringList listed{"1班孩子 家长 jz1001 *", "2班孩子 家长 jz2001"};
    EXPECT_EQ(listedAccounts(), listed);

    const QPointer<MainController> before = main;
    const ClosedPort closed;
    const struct
    {
        bool refuse;
        std::string endpoint;
        QString toast;
    } failures[] = {{true, service.url(), QStringLiteral("用户名或密码错误！")},
                    {false, closed.url(), QStringLiteral("请检查网络状态！")}};
    for (const auto &failure : failures) {
        school.refuseSignIn = failure.refuse;
        HsServiceConfig::setEndpoint(failure.endpoint);
        tap(button(QStringLiteral("2班孩子")));
        EXPECT_TRUE(waitUntil([&] { return toasts.contains(failure.toast); }))
            << toasts.join(' ').toStdString();
        EXPECT_TRUE(waitUntil([&] { return !app.loginController()->isSigningIn(); }));
        EXPECT_TRUE(settledAt(3));
        EXPECT_EQ(main, before);
        EXPECT_EQ(app.session().user().classId, 1);
        EXPECT_EQ(listedAccounts(), listed);
    }

    tap(forgetButtonOf(QStringLiteral("2班孩子")));
    EXPECT_TRUE(waitUntil([&] { return listedAccounts() == QStringList{"1班孩子 家长 jz1001 *"}; }));
    EXPECT_EQ(HsAccountBook(app.defaults()).accounts().size(), 1);
    std::optional<std::optional<QString>> stored;
    app.loginController()->passwordStore().read(
        QStringLiteral("parent:jz2001"), [&](const std::optional<QString> &password) { stored = password; });
    ASSERT_TRUE(waitUntil([&] { return stored.has_value(); }));
    EXPECT_EQ(*stored, std::nullopt);
    EXPECT_FALSE(app.defaults().contains(HsPasswordStore::fileKey(QStringLiteral("parent:jz2001"))));
}

namespace {

// An earlier version left the password of its last sign-in in the defaults file and the cache of
// that account in the one shared database file.
class EarlierVersionTest : public AccountSwitchTest
{
protected:
    void SetUp() override
    {
        for (const auto &[key, value] : {std::pair<QString, QString>{"loginTeacher", "0"},
                                         {"userName", "jz1001"},
                                         {"remember", "1"},
                                         {"passWord", kPassword},
                                         {"autologin", "0"}})
            app.defaults().setValue(key, value);
        auto earlier = std::make_shared<HsPreferences>();
        ASSERT_TRUE(earlier->load(dir.path().toStdString(), "1:1001"));
        HsPreferences::setCurrent(earlier);
        NewsDao().replaceCategory("bjtz", {NewsItem{.newsId = 9, .newsTitle = "1班通知 旧版保存"}});
        HsPreferences::setCurrent(nullptr);
        earlier.reset();
        ASSERT_NO_FATAL_FAILURE(AccountSwitchTest::SetUp());
    }
};

} // namespace

// The remembered password still signs in with a tap and the account is listed; its cached notices
// are there while the school gives no list, and the password has left the defaults file.
TEST_F(EarlierVersionTest, ItsRememberedPasswordAndCacheCarryOver)
{
    EXPECT_TRUE(waitUntil([&] { return app.loginController()->password() == kPassword; }));
    EXPECT_EQ(app.loginController()->account(), QStringLiteral("jz1001"));
    school.noticesAnswered = false;
    tap(button(QStringLiteral("登  录")));
    ASSERT_TRUE(waitUntil([this] { return main && settledAt(2); }));
    tap(button(QStringLiteral("通知")));
    EXPECT_TRUE(waitUntil([&] { return notices() == QStringList{"1班通知 旧版保存"}; }))
        << notices().join(' ').toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath(HsPreferences::databaseFileName)));
    EXPECT_TRUE(QFile::exists(dir.filePath("hsschool-parent-jz1001.slqite3")));
    EXPECT_TRUE(waitUntil([&] { return app.defaults().value("passWord") == QString(); }));

    openSettings();
    EXPECT_EQ(listedAccounts(), QStringList{"1班孩子 家长 jz1001 *"});
}
