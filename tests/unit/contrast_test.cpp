#include <gtest/gtest.h>

#include "base/contrast.h"

TEST(CaptionColour, BlackOnLightWhiteOnDarkByContrastNotByChannelSum) {
    EXPECT_EQ(contrast::CaptionColourOn(0xFFFFFF), 0x000000u);
    EXPECT_EQ(contrast::CaptionColourOn(0x800000), 0xFFFFFFu);  // navy (0x00BBGGRR)
    EXPECT_EQ(contrast::CaptionColourOn(0x000000), 0xFFFFFFu);
    EXPECT_EQ(contrast::CaptionColourOn(0x00FFFF), 0x000000u);  // yellow
    // Pure green is bright to the eye though one channel of three: black reads better.
    EXPECT_EQ(contrast::CaptionColourOn(0x00FF00), 0x000000u);
    EXPECT_EQ(contrast::CaptionColourOn(0x0000FF), 0x000000u);  // red: 5.25 against black, 4.0 against white
    EXPECT_TRUE(contrast::IsLight(0xFFFFFF));
    EXPECT_FALSE(contrast::IsLight(0x000000));
}
