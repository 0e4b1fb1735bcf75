#include "platform/twips.h"

#include <gtest/gtest.h>

TEST(Twips, ToTheNearestPixelOnEitherSideOfZero)
{
    struct Case {
        int twips;
        int pixels;
    } cases[] = {
        {0, 0},     {7, 0},      {8, 1},      {15, 1},       {22, 1},       {23, 2},
        {45, 3},    {255, 17},   {398, 27},   {1493, 100},   {1395, 93},    {4380, 292},
        {-7, 0},    {-8, -1},    {-15, -1},   {-22, -1},     {-23, -2},     {-1493, -100},
    };
    for (const Case &c : cases)
        EXPECT_EQ(platform::twips(c.twips), c.pixels) << c.twips;
}

TEST(Twips, PixelsMeasuredComeBackWhole)
{
    for (const int pixels : {-40, -1, 0, 1, 3, 93, 600}) {
        EXPECT_EQ(platform::toTwips(pixels), pixels * 15);
        EXPECT_EQ(platform::twips(platform::toTwips(pixels)), pixels);
    }
}
