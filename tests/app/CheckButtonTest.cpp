#include "screens/CheckButton.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

// The style picks the image pair (styles other than the two known keep it) and the tap rule: a
// radio button only turns on, any other style flips. Taps tell the owner; setting the state does not.
TEST(CheckButtonTest, StylePicksImagesAndTapRuleAndOnlyTapsTellTheOwner)
{
    CheckButton box(QStringLiteral("记住密码")), radio;
    EXPECT_EQ(box.icon(), "cb_unselect.png");
    box.setStyle(CheckButton::radioStyle);
    box.setStyle(7);
    radio.setStyle(CheckButton::radioStyle);
    EXPECT_EQ(box.uncheckName(), "bt_unselect.png");
    QSignalSpy boxTaps(&box, &CheckButton::checkButtonClicked);
    QSignalSpy radioTaps(&radio, &CheckButton::checkButtonClicked);

    box.clicked();
    EXPECT_TRUE(box.isChecked());
    EXPECT_EQ(box.icon(), "bt_select.png");
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
