// Nothing typed is lost: a post without a usable answer waits in the outbox, marked in its list,
// and is sent again, once, when the area starts or at a tap, even after the process was killed.

#include "AreaTestSupport.h"
#include "cache/OutboxDao.h"
#include "screens/HsStudentActivity.h"
#include "screens/HsStudentOutbox.h"

#include <QAbstractItemModelTester>
#include <QDateTime>
#include <QProcess>

namespace {

// One kind of post: who may write it, the calls that post and list it, where a post call carries
// its author and text, and the row a list gives for it.
struct PostKind
{
    const char *name;
    int category;
    bool teacher;
    std::string postMethod;
    std::string listMethod;
    size_t authorArgument;
    size_t textArgument;
    // The row of a kept post: {author} and {text} from the call, {time} the minute it came, {id}
    // its number. Homework is listed under the teacher's name, as the service lists it.
    const char *row;
};

const std::vector<PostKind> kKinds{
    {"homework", HsStudentActivity::homeworkCategory, true, "createHomeWork", "getHomeWorks", 0, 0,
     "<HomeWork><HomeWorkId>{id}</HomeWorkId><TeacherName>王芳</TeacherName><Content>{text}</Content>"
     "<HomeWorkDate>{time}</HomeWorkDate></HomeWork>"},
    {"state", HsStudentActivity::statesCategory, true, "createStdState", "getStdStates", 0, 3,
     "<State><TeacherName>{author}</TeacherName><Content>{text}</Content><Date>{time}</Date></State>"},
    {"chat", HsStudentActivity::chatCategory, false, "postChat", "getChats", 0, 3,
     "<Chat><UserId>1002</UserId><UserName>{author}</UserName><Content>{text}</Content>"
     "<ChatDate>{time}</ChatDate></Chat>"}};
const PostKind &kChat = kKinds.back();

void PrintTo(const PostKind &kind, std::ostream *out)
{
    *out << kind.name;
}

const LoginResultItem kTeacher{
    .userId = 1, .userName = "wangfang", .realName = "王芳", .classId = 1, .schoolCode = "hs001"};
const LoginResultItem kParent{
    .userId = 1002, .userName = "jz1002", .realName = "李雨桐", .classId = 1, .schoolCode = "hs001"};

// A school that keeps the posts it gets and lists them newest first, stamped with the minute they
// came, as the service does. It can keep a post and lose its answer, lose both, or refuse it.
class StandInSchool
{
public:
    enum class Posts
    {
        Answered,
        KeptButAnswerLost,
        Lost,
        Refused,
    };

    StandInSchool() : service([this](const SentCall &call) { return answer(call); }) {}

    int postsOf(const PostKind &kind) const { return service.callsOf(kind.postMethod); }
    int kept(const QString &text) const { return static_cast<int>(texts.count(text)); }

    Posts posts = Posts::Answered;
    EventLoopSoapServer service;

private:
    QString answer(const SentCall &call)
    {
        for (const PostKind &kind : kKinds) {
            if (call.method == kind.listMethod)
                return resultDocument(lists[kind.category].mid(0, 20));
            if (call.method == kind.postMethod && posts == Posts::Refused)
                return kRefusal;
            if (call.method == kind.postMethod) {
                if (posts != Posts::Lost)
                    keep(kind, call);
                return posts == Posts::Answered ? kEmptyAnswer : QStringLiteral("<Result><Code>0</Code><Err");
            }
        }
        return kRefusal;
    }

    void keep(const PostKind &kind, const SentCall &call)
    {
        const QString text = QString::fromStdString(argumentOf(call, kind.textArgument));
        texts << text;
        lists[kind.category].prepend(
            QString::fromUtf8(kind.row)
                .replace(QStringLiteral("{id}"), QString::number(texts.size()))
                .replace(QStringLiteral("{author}"),
                         QString::fromStdString(argumentOf(call, kind.authorArgument)))
                .replace(QStringLiteral("{text}"), text)
                .replace(QStringLiteral("{time}"),
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"))));
    }

    QMap<int, QStringList> lists;
    QStringList texts;
};

class OutboxAreaTest : public ShownAreaTest
{
protected:
    void SetUp() override
    {
        ShownAreaTest::SetUp();
        HsServiceConfig::setEndpoint(school.service.url());
    }

    void TearDown() override
    {
        closeArea();
        ShownAreaTest::TearDown();
    }

    // Starts as the application does after a sign-in: the account's cache, then the area, shown,
    // then the kind's category opened by a tap when asked.
    void openArea(const PostKind &kind, bool openItsCategory = true)
    {
        session.setLoginItem(kind.teacher ? kTeacher : kParent);
        session.setLoginType(kind.teacher ? 0 : 1);
        openCache();
        area = &show<HsStudentActivity>();
        tester = std::make_unique<QAbstractItemModelTester>(
            area->datas(), QAbstractItemModelTester::FailureReportingMode::Fatal);
        if (openItsCategory && kind.category != HsStudentActivity::homeworkCategory)
            tapAndWait(buttonWithText(host->screen.get(), kind.category == HsStudentActivity::chatCategory
                                                              ? QStringLiteral("交流")
                                                              : QStringLiteral("状态")));
    }

    // The screen closes and the process ends, as far as the cache is concerned.
    void closeArea()
    {
        tester.reset();
        ShownAreaTest::closeArea();
        area = nullptr;
        HsPreferences::setCurrent(nullptr);
    }

    void tapAndWait(QQuickItem *item)
    {
        const int before = port.overlaysFinished();
        host->tap(item);
        ASSERT_TRUE(waitUntil([&] { return port.overlaysFinished() > before && port.idle(); }));
    }

    // Types the text into the post box and taps 发布.
    void postThroughTheBox(const QString &text)
    {
        host->find(QStringLiteral("tfPost"))->setProperty("text", QString());
        host->commit(QStringLiteral("tfPost"), text);
        ASSERT_EQ(area->postText(), text);
        tapAndWait(host->find(QStringLiteral("postButton")));
    }

    // How many rows of the shown list hold the text, and how many of them wait to be sent.
    std::pair<int, int> rowsOf(const QString &text) const
    {
        std::pair<int, int> rows;
        const HsStudentRecordModel &model = *area->datas();
        for (int row = 0; row < model.rowCount(); ++row) {
            const QModelIndex index = model.index(row);
            if (index.data(HsStudentRecordModel::ContentRole).toString() == text) {
                ++rows.first;
                rows.second += index.data(HsStudentRecordModel::OutboxStateRole).toInt() !=
                               HsStudentRecordModel::Delivered;
            }
        }
        return rows;
    }

    // The "重新发送" button the first row shows.
    QQuickItem *resendButton() const
    {
        QQuickItem *row = host->cell(QStringLiteral("tableShow"), 0);
        return row ? buttonWithText(row, QStringLiteral("重新发送")) : nullptr;
    }

    bool sentOnceAndShown(const QString &text)
    {
        return waitUntil([&] {
                   return OutboxDao().posts().empty() && rowsOf(text) == std::pair{1, 0};
               }) &&
               school.kept(text) == 1;
    }

    static QString uniqueText(const PostKind &kind)
    {
        return QStringLiteral("%1 %2 明天带尺子").arg(kind.name).arg(QDateTime::currentMSecsSinceEpoch());
    }

    StandInSchool school;
    HsStudentActivity *area = nullptr;
    std::unique_ptr<QAbstractItemModelTester> tester;
};

class StudentOutboxTest : public OutboxAreaTest, public testing::WithParamInterface<PostKind>
{};

} // namespace

// A post with the service down waits, marked, through a restart and is sent once when the school
// is back. A post whose answer was lost, or that was lost with it, is sent by a tap on 重新发送
// after a look at the first page, so the school ends with it once either way.
TEST_P(StudentOutboxTest, APostIsNeitherLostNorSentTwice)
{
    const PostKind &kind = GetParam();
    const QString text = uniqueText(kind);
    openArea(kind);
    unanswered([&] { postThroughTheBox(text); });
    HsServiceConfig::setEndpoint(school.service.url());
    EXPECT_TRUE(area->postText().isEmpty());
    EXPECT_EQ(port.toasts(), QStringList{"请检查网络状态！"});
    EXPECT_EQ(rowsOf(text), (std::pair{1, 1}));
    EXPECT_NE(resendButton(), nullptr);
    EXPECT_EQ(school.postsOf(kind), 0);
    closeArea();
    openArea(kind);
    EXPECT_TRUE(sentOnceAndShown(text));
    EXPECT_EQ(school.postsOf(kind), 1);

    for (const auto posts : {StandInSchool::Posts::KeptButAnswerLost, StandInSchool::Posts::Lost}) {
        const QString again = uniqueText(kind);
        const int postsBefore = school.postsOf(kind);
        school.posts = posts;
        postThroughTheBox(again);
        school.posts = StandInSchool::Posts::Answered;
        ASSERT_EQ(rowsOf(again), (std::pair{1, 1}));
        tapAndWait(resendButton());
        EXPECT_EQ(port.toasts().last(), "发布成功！");
        EXPECT_TRUE(sentOnceAndShown(again));
        EXPECT_EQ(school.postsOf(kind) - postsBefore, posts == StandInSchool::Posts::Lost ? 2 : 1);
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, StudentOutboxTest, testing::ValuesIn(kKinds),
                         [](const testing::TestParamInfo<PostKind> &info) { return info.param.name; });

// A post the school refuses is not lost. Refused at once, it stays in the post box and never
// enters the outbox. Refused when sent again, its text goes back into the post box when the box is
// empty, and otherwise stays marked in its own list until a later tap sends it.
TEST_F(OutboxAreaTest, ARefusedPostKeepsItsTextInTheBoxOrInTheList)
{
    openArea(kChat);
    const QString first = uniqueText(kChat) + "一";
    const QString second = uniqueText(kChat) + "二";
    school.posts = StandInSchool::Posts::Refused;
    postThroughTheBox(first);
    EXPECT_EQ(area->postText(), first);
    EXPECT_TRUE(OutboxDao().posts().empty());
    school.posts = StandInSchool::Posts::Lost;
    postThroughTheBox(first);
    postThroughTheBox(second);
    school.posts = StandInSchool::Posts::Refused;
    tapAndWait(resendButton());
    EXPECT_EQ(port.toasts().last(), "发布失败！");
    EXPECT_EQ(area->postText(), second);
    EXPECT_EQ(rowsOf(second), (std::pair{0, 0}));

    tapAndWait(resendButton());
    EXPECT_EQ(port.toasts().last(), "发布失败！");
    EXPECT_EQ(area->postText(), second);
    EXPECT_EQ(rowsOf(first), (std::pair{1, 1}));

    // Refused posts wait for a tap: the area shown again does not send them, nor shows them in
    // another category's list.
    closeArea();
    school.posts = StandInSchool::Posts::Answered;
    const int posted = school.postsOf(kChat);
    openArea(kChat, false);
    EXPECT_EQ(rowsOf(first), (std::pair{0, 0}));
    tapAndWait(buttonWithText(host->screen.get(), QStringLiteral("交流")));
    EXPECT_EQ(rowsOf(first), (std::pair{1, 1}));
    EXPECT_EQ(school.postsOf(kChat), posted);
    tapAndWait(resendButton());
    EXPECT_TRUE(sentOnceAndShown(first));
}

// The process is killed while its post waits for an answer, whether or not the school kept it;
// started again on the same folder, the area's start alone sends the post, and it reaches the
// school once.
TEST_F(OutboxAreaTest, APostOutlivesAKillWhileItIsSent)
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
        school.posts = StandInSchool::Posts::Answered;
        school.service.releaseHeldAnswers();

        openArea(kChat, false);
        EXPECT_TRUE(waitUntil([&] { return OutboxDao().posts().empty(); }));
        EXPECT_EQ(school.kept(text), 1);
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
