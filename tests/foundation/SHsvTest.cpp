// The integer HSV conversions: exact bytes at the sector boundaries, wrapping and clamping of the
// inputs, and what survives a round trip.
#include "SHsv.h"

#include <gtest/gtest.h>

using ulib::ColourToHsv;
using ulib::HsvToColour;
using ulib::SColor;
using ulib::SHsv;

TEST(Hsv, FullySaturatedHuesAtEverySectorBoundary)
{
    struct Case { int hue; SColor colour; };
    const Case cases[] = {
        {0, SColor(255, 0, 0)},     {59, SColor(255, 250, 0)},  {60, SColor(255, 255, 0)},
        {119, SColor(4, 255, 0)},   {120, SColor(0, 255, 0)},   {179, SColor(0, 255, 250)},
        {180, SColor(0, 255, 255)}, {239, SColor(0, 4, 255)},   {240, SColor(0, 0, 255)},
        {299, SColor(250, 0, 255)}, {300, SColor(255, 0, 255)}, {330, SColor(255, 0, 127)},
        {359, SColor(255, 0, 4)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HsvToColour(c.hue, 255, 255, 255), c.colour) << "hue " << c.hue;
}

TEST(Hsv, HueWrapsAndSaturationAndValueAreClamped)
{
    EXPECT_EQ(HsvToColour(-30, 255, 255, 255), HsvToColour(330, 255, 255, 255));
    EXPECT_EQ(HsvToColour(360, 255, 255, 255), SColor(255, 0, 0));
    EXPECT_EQ(HsvToColour(-360 * 3 + 60, 255, 255, 255), SColor(255, 255, 0));
    EXPECT_EQ(HsvToColour(780, 255, 255, 255), HsvToColour(60, 255, 255, 255));
    EXPECT_EQ(HsvToColour(200, 999, 255, 255), HsvToColour(200, 255, 255, 255));
    EXPECT_EQ(HsvToColour(200, -7, 255, 255), HsvToColour(200, 0, 255, 255));
    EXPECT_EQ(HsvToColour(200, 128, 255, 300), HsvToColour(200, 128, 255, 255));
    EXPECT_EQ(HsvToColour(200, 128, 255, -1), SColor(0, 0, 0));
}

TEST(Hsv, PartialSaturationAndAlpha)
{
    // Saturation 0 leaves the smallest channels one below value: not an exact grey.
    EXPECT_EQ(HsvToColour(120, 0, 255, 200), SColor(199, 200, 199));
    // min = (127 * 200) >> 8 = 99, span doubled = 202: red (202 * 30 + 1) / 120 + 99.
    EXPECT_EQ(HsvToColour(90, 128, 255, 200), SColor(149, 200, 99));
    EXPECT_EQ(HsvToColour(0, 255, 200, 255), SColor(255, 0, 0, 55));
    EXPECT_EQ(HsvToColour(0, 255, 0, 255).t, 255);
}

TEST(Hsv, ColourToHsvOfGreysPrimariesAndMixtures)
{
    EXPECT_EQ(ColourToHsv(SColor(0, 0, 0)), (SHsv{0, 0, 0, 255}));
    EXPECT_EQ(ColourToHsv(SColor(90, 90, 90, 10)), (SHsv{0, 0, 90, 245}));
    // 256 * 255 / 255 is limited to 255.
    EXPECT_EQ(ColourToHsv(SColor(255, 128, 0)), (SHsv{30, 255, 255, 255}));
    EXPECT_EQ(ColourToHsv(SColor(0, 255, 0)), (SHsv{120, 255, 255, 255}));
    EXPECT_EQ(ColourToHsv(SColor(0, 0, 255)), (SHsv{240, 255, 255, 255}));
    // (0 - 127) * 60 / 255 truncates toward zero to -29, then wraps: 331, not 330.
    EXPECT_EQ(ColourToHsv(SColor(255, 0, 127)).hue, 331);
    // Ties between the largest channels go to red first, then green.
    EXPECT_EQ(ColourToHsv(SColor(200, 200, 0)).hue, 60);
    EXPECT_EQ(ColourToHsv(SColor(0, 200, 200)).hue, 180);
    EXPECT_EQ(ColourToHsv(SColor(200, 0, 200)).hue, 300);
    // d * 256 / max: (100 - 50) * 256 / 100.
    EXPECT_EQ(ColourToHsv(SColor(50, 100, 50)).saturation, 128);
}

TEST(Hsv, RoundTripsKeepValueAlphaAndThePrimaryHues)
{
    for (int hue : {0, 60, 120, 180, 240, 300})
        EXPECT_EQ(ColourToHsv(HsvToColour(hue, 255, 255, 255)), (SHsv{hue, 255, 255, 255})) << hue;
    for (int hue = -360; hue < 720; hue += 7)
        for (int s = 0; s <= 255; s += 15)
            for (int v = 0; v <= 255; v += 15) {
                const SHsv back = ColourToHsv(HsvToColour(hue, s, 77, v));
                ASSERT_EQ(back.value, v) << hue << " " << s << " " << v;
                ASSERT_EQ(back.alpha, 77);
                ASSERT_GE(back.hue, 0);
                ASSERT_LT(back.hue, 360);
                if (v > 0 && s == 255) {
                    ASSERT_EQ(back.saturation, 255);
                }
            }
    // A colour read into HSV and back lands within a step of itself.
    for (const SColor colour : {SColor(255, 128, 0), SColor(12, 200, 99), SColor(250, 10, 240)}) {
        const SHsv hsv = ColourToHsv(colour);
        const SColor back = HsvToColour(hsv.hue, hsv.saturation, hsv.alpha, hsv.value);
        EXPECT_NEAR(back.r, colour.r, 5);
        EXPECT_NEAR(back.g, colour.g, 5);
        EXPECT_NEAR(back.b, colour.b, 5);
    }
}
