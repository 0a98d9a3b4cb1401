#include "screens/CheckButton.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

TEST(CheckButtonTest, StylePicksTheImagePairAndOtherStylesKeepIt)
{
    CheckButton button(QStringLiteral("记住密码"));
    EXPECT_EQ(button.style(), 0);
    EXPECT_FALSE(button.isChecked());
    EXPECT_EQ(button.icon(), "cb_unselect.png");

    button.setStyle(CheckButton::radioStyle);
    EXPECT_EQ(button.checkName(), "bt_select.png");
    EXPECT_EQ(button.uncheckName(), "bt_unselect.png");
    button.setStyle(7);
    EXPECT_EQ(button.checkName(), "bt_select.png");
    button.setStyle(1);
    EXPECT_EQ(button.checkName(), "cb_select.png");
    EXPECT_EQ(button.uncheckName(), "cb_unselect.png");
    button.setChecked(true);
    EXPECT_EQ(button.icon(), "cb_select.png");
}

TEST(CheckButtonTest, TapsFollowTheStyleAndTellTheOwnerButSettingDoesNot)
{
    CheckButton box;
    CheckButton radio;
    radio.setStyle(CheckButton::radioStyle);
    CheckButton other;
    other.setStyle(5);
    QSignalSpy boxTaps(&box, &CheckButton::checkButtonClicked);
    QSignalSpy radioTaps(&radio, &CheckButton::checkButtonClicked);

    box.clicked();
    EXPECT_TRUE(box.isChecked());
    box.clicked();
    EXPECT_FALSE(box.isChecked());
    radio.clicked();
    radio.clicked();
    EXPECT_TRUE(radio.isChecked());
    other.clicked();
    EXPECT_TRUE(other.isChecked());

    box.setChecked(true);
    radio.setChecked(false);
    EXPECT_EQ(boxTaps.count(), 2);
    EXPECT_EQ(radioTaps.count(), 2);
    EXPECT_EQ(radioTaps.first().first().value<CheckButton *>(), &radio);
}
