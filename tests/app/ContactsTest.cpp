#include "AreaTestSupport.h"
#include "screens/HsContactsActivity.h"

#include <QAbstractItemModelTester>

namespace {

const QString kTeachers = QStringLiteral("overlay:获取老师信息, 请稍候...");
const QString kStudents = QStringLiteral("overlay:获取同学信息, 请稍候...");

class ContactsTest : public AreaTest
{
protected:
    void SetUp() override
    {
        AreaTest::SetUp();
        signIn("wangfang", true);
        contacts = std::make_unique<HsContactsActivity>(port, session, defaults);
        tester = std::make_unique<QAbstractItemModelTester>(
            contacts->datas(), QAbstractItemModelTester::FailureReportingMode::Fatal);
        contacts->setNetworkCheck([this] { return networkUp; });
        contacts->viewDidLoad();
    }

    void choose(int tag)
    {
        contacts->pressCategory(tag);
        ASSERT_TRUE(waitForOverlays(++overlays));
    }

    QStringList names() const
    {
        QStringList shown;
        for (int row = 0; row < contacts->datas()->rowCount(); ++row)
            shown << contacts->datas()->index(row).data(HsContactListModel::NameRole).toString();
        return shown;
    }

    std::unique_ptr<HsContactsActivity> contacts;
    std::unique_ptr<QAbstractItemModelTester> tester;
    bool networkUp = true;
    int overlays = 0;
};

} // namespace

TEST_F(ContactsTest, NothingIsLoadedUntilACategoryIsChosenThenTeachersAndClassmatesAreShown)
{
    EXPECT_EQ(contacts->datas()->rowCount(), 0);
    EXPECT_EQ(contacts->serviceType(), HsContactListModel::NoContacts);
    EXPECT_EQ(contacts->categoryBar()->rowCount(), 2);
    networkUp = false;
    contacts->pressCategory(2);
    EXPECT_EQ(contacts->category(), 0);
    EXPECT_TRUE(port.events().isEmpty());

    networkUp = true;
    const int before = callsOf("getTeachers");
    choose(1);
    EXPECT_EQ(contacts->serviceType(), HsContactListModel::Teachers);
    EXPECT_TRUE(contacts->succeeded());
    EXPECT_TRUE(names().contains(QStringLiteral("王芳")));
    const QString avatar = contacts->datas()->index(0).data(HsContactListModel::AvatarRole).toString();
    EXPECT_TRUE(avatar.startsWith(QString::fromStdString(server->baseUrl()))) << avatar.toStdString();

    choose(2);
    choose(2);
    EXPECT_EQ(contacts->serviceType(), HsContactListModel::Students);
    EXPECT_GT(contacts->datas()->rowCount(), 2);
    EXPECT_FALSE(names().contains(QStringLiteral("王芳")));
    EXPECT_EQ(callsOf("getTeachers"), before + 1);
    EXPECT_EQ(port.events(), (QStringList{kTeachers, kStudents, kStudents}));
}

TEST_F(ContactsTest, OnlyAnAnsweredListReplacesTheShownOne)
{
    choose(1);
    const QStringList teachers = names();
    refusedThenUnanswered([this] { choose(2); },
                          [&] {
                              EXPECT_FALSE(contacts->succeeded());
                              EXPECT_EQ(contacts->category(), 2);
                              EXPECT_EQ(contacts->categoryBar()->pointerFrame(),
                                        contacts->categoryBar()->buttonFrame(2).adjusted(-8, -3, 8, 3));
                              EXPECT_EQ(contacts->serviceType(), HsContactListModel::Teachers);
                              EXPECT_EQ(names(), teachers);
                          });

    // A teacher without a name shows an empty name; an answered empty list empties the table.
    answering(
        QStringLiteral("<Result><Code>0</Code><Error></Error><Teacher><TeacherName>李老师</TeacherName>"
                       "</Teacher><Teacher><Avatar>http://127.0.0.1:1/a.png</Avatar></Teacher></Result>"),
        [this] { choose(1); });
    EXPECT_EQ(names(), (QStringList{QStringLiteral("李老师"), QString()}));
    EXPECT_EQ(contacts->datas()->index(0).data(HsContactListModel::AvatarRole).toString(), QString());
    answering(kEmptyAnswer, [this] { choose(2); });
    EXPECT_EQ(contacts->datas()->rowCount(), 0);
    EXPECT_EQ(contacts->serviceType(), HsContactListModel::Students);
}
