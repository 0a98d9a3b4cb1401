#include "screens/CheckButton.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

// The style picks the image pair (styles other than the two known keep it) and the tap rule:
// a box flips, a radio button only turns on. Taps tell the owner; setting the state does not.
TEST(CheckButtonTest, StylePicksImagesAndTapRuleAndOnlyTapsTellTheOwner)
{
    CheckButton box(QStringLiteral("记住密码")), radio;
    radio.setStyle(CheckButton::radioStyle);
    radio.setStyle(7);
    EXPECT_EQ(box.icon(), "cb_unselect.png");
    EXPECT_EQ(radio.checkName(), "bt_select.png");
    EXPECT_EQ(radio.uncheckName(), "bt_unselect.png");
    QSignalSpy boxTaps(&box, &CheckButton::checkButtonClicked);
    QSignalSpy radioTaps(&radio, &CheckButton::checkButtonClicked);

    box.clicked();
    EXPECT_TRUE(box.isChecked());
    EXPECT_EQ(box.icon(), "cb_select.png");
    box.clicked();
    EXPECT_FALSE(box.isChecked());
    radio.clicked();
    radio.clicked();
    EXPECT_TRUE(radio.isChecked());

    box.setChecked(true);
    radio.setChecked(false);
    EXPECT_EQ(boxTaps.count(), 2);
    EXPECT_EQ(radioTaps.count(), 2);
    EXPECT_EQ(radioTaps.first().first().value<CheckButton *>(), &radio);
}
