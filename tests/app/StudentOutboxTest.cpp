// Nothing typed is lost: a post without a usable answer waits in the outbox, marked in its list,
// and is sent again, once, when the area starts or at a tap, even after the process was killed.

#include "AreaTestSupport.h"
#include "cache/OutboxDao.h"
#include "screens/HsStudentActivity.h"
#include "screens/HsStudentOutbox.h"

#include <QAbstractItemModelTester>
#include <QDateTime>
#include <QInputMethodEvent>
#include <QProcess>

namespace {

// One kind of post: who may write it, and the calls that post and list it.
struct PostKind
{
    const char *name;
    int category;
    bool teacher;
    std::string postMethod;
    std::string listMethod;
};

const PostKind kHomework{"homework", HsStudentActivity::homeworkCategory, true, "createHomeWork",
                         "getHomeWorks"};
const PostKind kState{"state", HsStudentActivity::statesCategory, true, "createStdState", "getStdStates"};
const PostKind kChat{"chat", HsStudentActivity::chatCategory, false, "postChat", "getChats"};
const std::vector<PostKind> kKinds{kHomework, kState, kChat};

void PrintTo(const PostKind &kind, std::ostream *out)
{
    *out << kind.name;
}

const LoginResultItem kTeacher{
    .userId = 1, .userName = "wangfang", .realName = "王芳", .classId = 1, .schoolCode = "hs001"};
const LoginResultItem kParent{
    .userId = 1002, .userName = "jz1002", .realName = "李雨桐", .classId = 1, .schoolCode = "hs001"};

// A school that keeps the posts it gets and lists them newest first, as the service does: each
// stamped with the minute it came, its author named by the account or, for homework, the
// teacher's name. It can keep a post and lose its answer, or lose both.
class StandInSchool
{
public:
    enum class Posts
    {
        Answered,
        KeptButAnswerLost,
        Lost,
    };

    StandInSchool() : service([this](const SentCall &call) { return answer(call); }) {}

    int postsOf(const PostKind &kind) const { return service.callsOf(kind.postMethod); }
    int kept(const std::string &text) const
    {
        return static_cast<int>(texts.count(QString::fromStdString(text)));
    }

    Posts posts = Posts::Answered;
    EventLoopSoapServer service;

private:
    QString answer(const SentCall &call)
    {
        for (const PostKind &kind : kKinds) {
            if (call.method == kind.listMethod)
                return resultDocument(lists[kind.category].mid(0, 20));
            if (call.method == kind.postMethod)
                return post(kind, call);
        }
        return kRefusal;
    }

    QString post(const PostKind &kind, const SentCall &call)
    {
        if (posts != Posts::Lost)
            keep(kind, call);
        return posts == Posts::Answered ? QStringLiteral("<Result><Code>0</Code><Error></Error></Result>")
                                        : QStringLiteral("<Result><Code>0</Code><Err");
    }

    void keep(const PostKind &kind, const SentCall &call)
    {
        const QString now = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
        QString item;
        QString text;
        if (kind.category == HsStudentActivity::chatCategory) {
            text = QString::fromStdString(argumentOf(call, 3));
            item = QStringLiteral("<Chat><UserId>1002</UserId><UserName>%1</UserName><Content>%2</Content>"
                                  "<ChatDate>%3</ChatDate></Chat>")
                       .arg(QString::fromStdString(argumentOf(call, 0)), text, now);
        } else if (kind.category == HsStudentActivity::statesCategory) {
            text = QString::fromStdString(argumentOf(call, 3));
            item = QStringLiteral(
                       "<State><TeacherName>%1</TeacherName><Content>%2</Content><Date>%3</Date></State>")
                       .arg(QString::fromStdString(argumentOf(call, 0)), text, now);
        } else {
            text = QString::fromStdString(argumentOf(call, 0));
            item = QStringLiteral("<HomeWork><HomeWorkId>%1</HomeWorkId><TeacherName>王芳</TeacherName>"
                                  "<Content>%2</Content><HomeWorkDate>%3</HomeWorkDate></HomeWork>")
                       .arg(lists[kind.category].size() + 1)
                       .arg(text, now);
        }
        texts << text;
        lists[kind.category].prepend(item);
    }

    QMap<int, QStringList> lists;
    QStringList texts;
};

class OutboxAreaTest : public DemoSchoolTest
{
protected:
    void SetUp() override
    {
        DemoSchoolTest::SetUp();
        HsServiceConfig::setEndpoint(school.service.url());
    }

    void TearDown() override
    {
        closeArea();
        DemoSchoolTest::TearDown();
    }

    // Starts as the application does after a sign-in: the account's cache, then the area, shown.
    void openArea(const PostKind &kind, bool openItsCategory = true)
    {
        const LoginResultItem &user = kind.teacher ? kTeacher : kParent;
        session.setLoginItem(user);
        session.setLoginType(kind.teacher ? 0 : 1);
        auto preferences = std::make_shared<HsPreferences>();
        ASSERT_TRUE(preferences->load(dir.path().toStdString(), session.accountKey()));
        HsPreferences::setCurrent(preferences);
        area = std::make_unique<HsStudentActivity>(port, session, defaults);
        area->setNetworkCheck([] { return true; });
        tester = std::make_unique<QAbstractItemModelTester>(
            area->datas(), QAbstractItemModelTester::FailureReportingMode::Fatal);
        host.show(area.get());
        const int started = port.overlaysFinished();
        area->viewDidLoad();
        ASSERT_TRUE(waitUntil([&] { return port.overlaysFinished() > started && port.idle(); }));
        if (openItsCategory && kind.category != HsStudentActivity::homeworkCategory) {
            const int before = port.overlaysFinished();
            host.tap(buttonWithText(host.screen.get(), kind.category == HsStudentActivity::chatCategory
                                                           ? QStringLiteral("交流")
                                                           : QStringLiteral("状态")));
            ASSERT_TRUE(waitUntil([&] { return port.overlaysFinished() > before && port.idle(); }));
        }
    }

    // The screen closes and the process ends, as far as the cache is concerned.
    void closeArea()
    {
        host.screen.reset();
        tester.reset();
        area.reset();
        HsPreferences::setCurrent(nullptr);
    }

    // Types the text into the post box and taps 发布.
    void postThroughTheBox(const QString &text)
    {
        area->setPostText(QString());
        QQuickItem *field = host.find(QStringLiteral("tfPost"));
        ASSERT_NE(field, nullptr);
        field->setProperty("text", QString());
        host.tap(field);
        ASSERT_TRUE(waitUntil([field] { return field->hasActiveFocus(); }));
        // As an input method hands over a finished phrase.
        QInputMethodEvent commit;
        commit.setCommitString(text);
        QCoreApplication::sendEvent(host.window.focusObject(), &commit);
        ASSERT_EQ(area->postText(), text);
        const int before = port.overlaysFinished();
        host.tap(host.find(QStringLiteral("postButton")));
        ASSERT_TRUE(waitUntil([&] { return port.overlaysFinished() > before && port.idle(); }));
    }

    // How many rows of the shown list hold the text, and how many of them wait to be sent.
    std::pair<int, int> rowsOf(const QString &text) const
    {
        int rows = 0;
        int unsent = 0;
        const HsStudentRecordModel &model = *area->datas();
        for (int row = 0; row < model.rowCount(); ++row) {
            const QModelIndex index = model.index(row);
            if (index.data(HsStudentRecordModel::ContentRole).toString() != text)
                continue;
            ++rows;
            unsent +=
                index.data(HsStudentRecordModel::OutboxStateRole).toInt() != HsStudentRecordModel::Delivered;
        }
        return {rows, unsent};
    }

    // The "重新发送" button the first row shows.
    QQuickItem *resendButton() const
    {
        QQuickItem *row = host.cell(QStringLiteral("tableShow"), 0);
        return row ? buttonWithText(row, QStringLiteral("重新发送")) : nullptr;
    }

    bool sentOnceAndShown(const QString &text)
    {
        return waitUntil([&] { return OutboxDao().posts().empty() && rowsOf(text) == std::pair{1, 0}; });
    }

    static QString uniqueText(const PostKind &kind)
    {
        return QStringLiteral("%1 %2 明天带尺子").arg(kind.name).arg(QDateTime::currentMSecsSinceEpoch());
    }

    StandInSchool school;
    HsDefaults defaults{dir.filePath(QStringLiteral("defaults.ini"))};
    ScreenHost host;
    std::unique_ptr<HsStudentActivity> area;
    std::unique_ptr<QAbstractItemModelTester> tester;
};

class StudentOutboxTest : public OutboxAreaTest, public testing::WithParamInterface<PostKind>
{};

using StudentOutboxKillTest = OutboxAreaTest;

std::string kindName(const testing::TestParamInfo<PostKind> &info)
{
    return info.param.name;
}

} // namespace

TEST_P(StudentOutboxTest, APostWithTheServiceDownWaitsMarkedThroughARestartAndIsSentOnce)
{
    const PostKind &kind = GetParam();
    const QString text = uniqueText(kind);
    openArea(kind);
    {
        const ClosedPort down;
        HsServiceConfig::setEndpoint(down.url());
        postThroughTheBox(text);
        HsServiceConfig::setEndpoint(school.service.url());
    }
    EXPECT_TRUE(area->postText().isEmpty());
    EXPECT_EQ(port.toasts(), QStringList{"请检查网络状态！"});
    EXPECT_EQ(rowsOf(text), (std::pair{1, 1}));
    EXPECT_NE(resendButton(), nullptr);
    EXPECT_EQ(school.postsOf(kind), 0);

    // The screen closes and the application starts again with the school back.
    closeArea();
    openArea(kind);
    ASSERT_TRUE(sentOnceAndShown(text));
    EXPECT_EQ(school.postsOf(kind), 1);
    EXPECT_EQ(school.kept(text.toStdString()), 1);
}

// The school kept the post but its answer was lost, or lost both: a tap on 重新发送 looks for the
// post on the first page before sending it, so the school ends with it once either way.
TEST_P(StudentOutboxTest, TheResendButtonSendsAPostOnceWhateverBecameOfItsFirstSend)
{
    const PostKind &kind = GetParam();
    for (const auto posts : {StandInSchool::Posts::KeptButAnswerLost, StandInSchool::Posts::Lost}) {
        const QString text = uniqueText(kind);
        const int postsBefore = school.postsOf(kind);
        openArea(kind);
        school.posts = posts;
        postThroughTheBox(text);
        school.posts = StandInSchool::Posts::Answered;
        ASSERT_EQ(rowsOf(text), (std::pair{1, 1}));
        const int before = port.overlaysFinished();
        host.tap(resendButton());
        ASSERT_TRUE(waitUntil([&] { return port.overlaysFinished() > before && port.idle(); }));

        EXPECT_EQ(port.toasts().last(), "发布成功！");
        ASSERT_TRUE(sentOnceAndShown(text));
        EXPECT_EQ(school.kept(text.toStdString()), 1);
        EXPECT_EQ(school.postsOf(kind) - postsBefore, posts == StandInSchool::Posts::Lost ? 2 : 1);
        closeArea();
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, StudentOutboxTest, testing::ValuesIn(kKinds), kindName);

// The process is killed while its post waits for an answer, whether or not the school kept it;
// started again on the same folder, the post is still waiting and reaches the school once.
TEST_F(StudentOutboxKillTest, APostOutlivesAKillWhileItIsSent)
{
    for (const auto posts : {StandInSchool::Posts::Answered, StandInSchool::Posts::Lost}) {
        const QString text = uniqueText(kChat);
        const int postsBefore = school.postsOf(kChat);
        school.posts = posts;
        school.service.holdAnswers(EventLoopSoapServer::callsTo(kChat.postMethod));
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HSSCHOOL_OUTBOX_FOLDER"), dir.path());
        environment.insert(QStringLiteral("HSSCHOOL_OUTBOX_SCHOOL"),
                           QString::fromStdString(school.service.url()));
        environment.insert(QStringLiteral("HSSCHOOL_OUTBOX_TEXT"), text);
        child.setProcessEnvironment(environment);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--gtest_also_run_disabled_tests"),
                     QStringLiteral("--gtest_filter=StudentOutboxChild.DISABLED_PostsAndWaitsForItsAnswer")});
        ASSERT_TRUE(waitUntil([&] { return school.service.held() == 1; }))
            << child.readAllStandardOutput().toStdString();
        child.kill();
        ASSERT_TRUE(child.waitForFinished(kWaitMilliseconds));
        EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);
        school.posts = StandInSchool::Posts::Answered;
        school.service.releaseHeldAnswers();

        auto preferences = std::make_shared<HsPreferences>();
        ASSERT_TRUE(preferences->load(dir.path().toStdString(), "1:1002"));
        HsPreferences::setCurrent(preferences);
        const std::vector<OutboxPost> waiting = OutboxDao().posts();
        ASSERT_EQ(waiting.size(), 1u);
        EXPECT_EQ(waiting.front().text, text.toStdString());
        EXPECT_FALSE(waiting.front().sending);
        HsPreferences::setCurrent(nullptr);

        // Sent by the area's start alone, homework shown.
        openArea(kChat, false);
        ASSERT_TRUE(waitUntil([&] { return OutboxDao().posts().empty(); }));
        EXPECT_EQ(school.kept(text.toStdString()), 1);
        EXPECT_EQ(school.postsOf(kChat) - postsBefore, posts == StandInSchool::Posts::Lost ? 2 : 1);
        closeArea();
    }
}

// The process the test above kills: posts a chat message as the parent and waits for an answer
// that the school holds back. Runs only when that test starts it.
TEST(StudentOutboxChild, DISABLED_PostsAndWaitsForItsAnswer)
{
    const QString folder = qEnvironmentVariable("HSSCHOOL_OUTBOX_FOLDER");
    ASSERT_FALSE(folder.isEmpty());
    HsServiceConfig::setEndpoint(qEnvironmentVariable("HSSCHOOL_OUTBOX_SCHOOL").toStdString());
    HsUserSession session;
    session.setLoginItem(kParent);
    session.setLoginType(1);
    auto preferences = std::make_shared<HsPreferences>();
    ASSERT_TRUE(preferences->load(folder.toStdString(), session.accountKey()));
    HsPreferences::setCurrent(preferences);
    RecordingPort port;
    HsDefaults defaults{folder + QStringLiteral("/child-defaults.ini")};
    HsStudentActivity area(port, session, defaults);
    area.updateCategory(HsStudentActivity::chatCategory);
    ASSERT_TRUE(waitUntil([&] { return port.overlaysFinished() == 1; }));
    area.setPostText(qEnvironmentVariable("HSSCHOOL_OUTBOX_TEXT"));
    area.pressPost();
    waitUntil([&] { return port.overlaysFinished() == 2; });
    ADD_FAILURE() << "the answer was held back, and the process should have been killed meanwhile";
}

// A post is taken as one already on the page by its author (the account it was sent as, or the
// person's name with or without a title), its text and a list time not before it was written,
// at the precision the list gives; each record stands for one post only.
TEST(StudentOutboxMatchTest, APostIsFoundOnAPageByAuthorTextAndTime)
{
    const auto written =
        QDateTime::fromString(QStringLiteral("2026-12-08 10:23:40"), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    const auto writtenAt = HsStudentOutbox::Clock::from_time_t(written.toSecsSinceEpoch());
    OutboxPost post = HsStudentOutbox::postOf(HsStudentActivity::chatCategory, kParent, "好的", writtenAt);
    struct Case
    {
        const char *author;
        const char *text;
        const char *date;
        bool found;
    };
    for (const Case &c :
         {Case{"jz1002", "好的", "2026-12-08 10:23", true},
          Case{"李雨桐家长", "好的", "2026-12-08 10:25", true},
          Case{"李雨桐", "好的", "2026/12/08 10:23:40", true}, Case{"jz1002", "好的", "2026-12-08", true},
          Case{"jz1002", "好的", "2026-12-08 10:22", false},
          Case{"jz1002", "好的", "2026-12-08 10:23:39", false}, Case{"jz1002", "好的", "2026-12-07", false},
          Case{"jz1002", "好的", "昨天", false}, Case{"王芳老师", "好的", "2026-12-08 10:23", false},
          Case{"jz1002", "好的。", "2026-12-08 10:23", false}}) {
        const HsStudentRecords page(
            std::vector{ChatItem{.userName = c.author, .content = c.text, .chatDate = c.date}});
        EXPECT_EQ(HsStudentOutbox::foundOnPage({post}, page).size(), c.found ? 1u : 0u)
            << c.author << " " << c.text << " " << c.date;
    }

    // Two posts alike and one record: one of them is still to be sent. A homework page finds no chat.
    OutboxPost again = post;
    again.id = 2;
    const std::vector<ChatItem> one{
        {.userName = "jz1002", .content = "好的", .chatDate = "2026-12-08 10:24"}};
    EXPECT_EQ(HsStudentOutbox::foundOnPage({post, again}, HsStudentRecords(one)).size(), 1u);
    const std::vector<HomeWorkItem> homework{
        {.content = "好的", .teacherName = "jz1002", .hwDate = "2026-12-08 10:24"}};
    EXPECT_TRUE(HsStudentOutbox::foundOnPage({post}, HsStudentRecords(homework)).empty());
}
