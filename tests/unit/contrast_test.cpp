#include <gtest/gtest.h>

#include "base/contrast.h"

TEST(CaptionColour, BlackOnLightWhiteOnDarkByContrastNotByChannelSum) {
    EXPECT_EQ(contrast::CaptionColourOn(0xFFFFFF), 0x000000u);
    EXPECT_EQ(contrast::CaptionColourOn(0x800000), 0xFFFFFFu);  // navy (0x00BBGGRR)
    EXPECT_EQ(contrast::CaptionColourOn(0x00FF00), 0x000000u);  // green: one channel, yet bright
    EXPECT_EQ(contrast::CaptionColourOn(0x0000FF), 0x000000u);  // red: 5.25 against black, 4.0 against white
}
