#include <gtest/gtest.h>

#include <limits>

#include "ui/prefs/PrefsValues.h"

namespace corvale {
namespace {

TEST(SliderSetting, StartsAtTheNearestEndAndSavesTheStoredValueUntilMoved) {
    SliderSetting interval{300, false};
    EXPECT_EQ(interval.StartPosition(10, 120), 120);
    EXPECT_EQ(interval.ValueToSave(120), 300) << "not moved: the stored value stays";
    interval.moved = true;
    EXPECT_EQ(interval.ValueToSave(120), 120);
    EXPECT_EQ((SliderSetting{-20, false}.StartPosition(0, 255)), 0);
    EXPECT_EQ((SliderSetting{44.5, false}.StartPosition(10, 120)), 45) << "rounded to a whole number";
    EXPECT_EQ((SliderSetting{std::numeric_limits<double>::quiet_NaN(), false}.StartPosition(10, 120)), 10);
}

TEST(StartupBox, OnlyZeroOneAndTwoShowAsThemselves) {
    EXPECT_EQ(StartupBoxFor(0), StartupBox::Unchecked);
    EXPECT_EQ(StartupBoxFor(1), StartupBox::Checked);
    EXPECT_EQ(StartupBoxFor(2), StartupBox::Greyed);
    EXPECT_EQ(StartupBoxFor(7), StartupBox::Unchecked);
    EXPECT_EQ(StartupBoxFor(-1), StartupBox::Unchecked);
    EXPECT_EQ(StartupBoxAfterClick(StartupBox::Unchecked), StartupBox::Checked);
    EXPECT_EQ(StartupBoxAfterClick(StartupBox::Checked), StartupBox::Unchecked);
    EXPECT_EQ(StartupBoxAfterClick(StartupBox::Greyed), StartupBox::Unchecked);
}

}  // namespace
}  // namespace corvale
