#include "AppTestSupport.h"
#include "RecordingPort.h"
#include "screens/HsSettingActivity.h"
#include "screens/MainController.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class MainControllerTest : public testing::Test
{
protected:
    // The areas' start-up fetches run on the port's workers; the port must outlive them.
    void TearDown() override
    {
        EXPECT_TRUE(waitUntil([this] { return port.idle(); }));
    }

    QStringList backgrounds()
    {
        QStringList names;
        for (int row = 0; row < main.tabs()->rowCount(); ++row)
            names << main.tabs()->index(row).data(MainTabModel::BackgroundRole).toString();
        return names;
    }

    QTemporaryDir dir;
    HsDefaults defaults{dir.filePath(QStringLiteral("defaults.ini"))};
    HsUserSession session;
    RecordingPort port;
    MainController main{port, session, defaults};
};

const QString marked = QStringLiteral("tablehost.png");
const QString plain = QStringLiteral("bg_bottom.png");

} // namespace

TEST_F(MainControllerTest, OpensOnTheStudentAreaWithAllFiveAreasBuilt)
{
    QAbstractItemModelTester tester(main.tabs(), QAbstractItemModelTester::FailureReportingMode::Fatal);

    const QList<HsAreaActivity *> areas{main.viewStudent(), main.viewSchool(), main.viewNews(),
                                        main.viewResource(), main.viewContact()};
    const QStringList titles{"学生动态", "学校通知", "新闻资讯", "本地资源", "通讯录"};
    for (int i = 0; i < areas.size(); ++i) {
        ASSERT_NE(areas[i], nullptr);
        EXPECT_EQ(areas[i]->parent(), &main);
        EXPECT_EQ(areas[i]->title(), titles[i]);
    }
    EXPECT_EQ(main.shownTag(), 1000);
    EXPECT_EQ(main.viewType(), 0);
    EXPECT_EQ(backgrounds(), (QStringList{marked, plain, plain, plain, plain}));
    for (int row = 0; row < main.tabs()->rowCount(); ++row)
        EXPECT_EQ(main.tabs()->index(row).data(MainTabModel::TagRole).toInt(), 1000 + row);

    // The areas share the settings button.
    main.viewNews()->pressSetting();
    EXPECT_EQ(port.events().filter(QStringLiteral("push:")), QStringList{"push:HsSettingActivity"});
    ASSERT_EQ(port.pushed().size(), 1u);
    EXPECT_NE(qobject_cast<HsSettingActivity *>(port.pushed().front().get()), nullptr);
}

TEST_F(MainControllerTest, TabsSwitchAreasAndIgnoreRepeatsAndUnknownTags)
{
    QAbstractItemModelTester tester(main.tabs(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy typeChanges(&main, &MainController::viewTypeChanged);
    QSignalSpy backgroundChanges(main.tabs(), &QAbstractItemModel::dataChanged);
    HsAreaActivity *const school = main.viewSchool();

    main.toolbarPress(1000);
    EXPECT_EQ(main.viewType(), 1);
    EXPECT_EQ(main.shownTag(), 1000);
    main.toolbarPress(1003);
    EXPECT_EQ(main.viewType(), 4);
    EXPECT_EQ(main.shownTag(), 1003);
    EXPECT_EQ(backgrounds(), (QStringList{plain, plain, plain, marked, plain}));
    main.toolbarPress(1003);
    main.toolbarPress(999);
    main.toolbarPress(1005);
    EXPECT_EQ(typeChanges.count(), 2);
    EXPECT_EQ(main.shownTag(), 1003);

    main.toolbarPress(1001);
    EXPECT_EQ(main.viewType(), 2);
    EXPECT_EQ(main.viewSchool(), school);
    EXPECT_EQ(backgrounds(), (QStringList{plain, marked, plain, plain, plain}));
    EXPECT_EQ(backgroundChanges.count(), 4);
}
