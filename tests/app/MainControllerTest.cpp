#include "screens/MainController.h"

#include "AppTestSupport.h"
#include "ScreenPortTestSupport.h"
#include "screens/HsSettingActivity.h"

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

    int markedTab()
    {
        QStringList names;
        for (int row = 0; row < main.tabs()->rowCount(); ++row)
            names << main.tabs()->index(row).data(MainTabModel::BackgroundRole).toString();
        EXPECT_EQ(names.count("tablehost.png"), 1) << names.join(' ').toStdString();
        return static_cast<int>(names.indexOf("tablehost.png"));
    }

    QTemporaryDir dir;
    HsDefaults defaults{dir.filePath(QStringLiteral("defaults.ini"))};
    HsUserSession session;
    RecordingPort port;
    MainController main{port, session, defaults};
    QAbstractItemModelTester tester{main.tabs(), QAbstractItemModelTester::FailureReportingMode::Fatal};
};

} // namespace

TEST_F(MainControllerTest, OpensOnTheStudentAreaWithAllFiveAreasBuilt)
{
    const QList<HsAreaActivity *> areas{main.viewStudent(), main.viewSchool(), main.viewNews(),
                                        main.viewResource(), main.viewContact()};
    const QStringList titles{"学生动态", "学校通知", "新闻资讯", "本地资源", "通讯录"};
    for (int i = 0; i < areas.size(); ++i) {
        ASSERT_NE(areas[i], nullptr);
        EXPECT_EQ(areas[i]->parent(), &main);
        EXPECT_EQ(areas[i]->title(), titles[i]);
        EXPECT_EQ(main.tabs()->index(i).data(MainTabModel::TagRole).toInt(), 1000 + i);
    }
    EXPECT_EQ(main.shownTag(), 1000);
    EXPECT_EQ(main.viewType(), 0);
    EXPECT_EQ(markedTab(), 0);

    // The areas share the settings button.
    main.viewNews()->pressSetting();
    EXPECT_EQ(port.events().filter(QStringLiteral("push:")), QStringList{"push:HsSettingActivity"});
    EXPECT_NE(qobject_cast<HsSettingActivity *>(port.pushed().back().get()), nullptr);
}

TEST_F(MainControllerTest, TabsSwitchAreasAndIgnoreRepeatsAndUnknownTags)
{
    QSignalSpy typeChanges(&main, &MainController::viewTypeChanged);
    QSignalSpy backgroundChanges(main.tabs(), &QAbstractItemModel::dataChanged);
    HsAreaActivity *const school = main.viewSchool();
    // Tag pressed, then the area type, the shown tag and the marked tab.
    for (const auto [tag, type, shown, marked] : std::vector<std::array<int, 4>>{{1000, 1, 1000, 0},
                                                                                 {1003, 4, 1003, 3},
                                                                                 {1003, 4, 1003, 3},
                                                                                 {999, 4, 1003, 3},
                                                                                 {1005, 4, 1003, 3},
                                                                                 {1001, 2, 1001, 1}}) {
        main.toolbarPress(tag);
        EXPECT_EQ(main.viewType(), type) << tag;
        EXPECT_EQ(main.shownTag(), shown) << tag;
        EXPECT_EQ(markedTab(), marked) << tag;
    }
    EXPECT_EQ(typeChanges.count(), 3);
    EXPECT_EQ(main.viewSchool(), school);
    EXPECT_EQ(backgroundChanges.count(), 4);
}
