// The palette box's colour rules without the box: picks and spins against the controller's colour
// and mode, and the hue, saturation and value the box remembers.
#include "SPaletteModel.h"

#include "SHsv.h"
#include "SHuedraneController.h"

#include <gtest/gtest.h>

#include <random>

using namespace ulib;
using namespace palette;

namespace {

TEST(PaletteModel, AnEditOutsideColourModeSwitchesToItAndSaysSo)
{
    for (const SColourMode mode : {SColourMode::Eraser, SColourMode::Bitmap, SColourMode::Texture}) {
        SHuedraneController c;
        SPaletteModel model;
        c.SetColourMode(mode);
        EXPECT_EQ(model.Pick(c, BoxRed, 10), main_refresh::StatusBar | main_refresh::ToolMenu);
        EXPECT_EQ(c.Tools().colourMode, SColourMode::Colour);
        EXPECT_EQ(model.Pick(c, BoxRed, 20), main_refresh::StatusBar);

        c.SetColourMode(mode);
        EXPECT_EQ(model.Spin(c, BoxGreen, 30), main_refresh::StatusBar | main_refresh::ToolMenu);
        EXPECT_EQ(c.Tools().colourMode, SColourMode::Colour);
        EXPECT_EQ(c.Tools().currentColour, SColor(20, 30, c.Tools().currentColour.b));
    }
}

TEST(PaletteModel, PicksNeverMakeTheColourFullyTransparentAndKeepItsAlpha)
{
    SHuedraneController c;
    SPaletteModel model;
    model.Pick(c, BoxAlpha, 0);
    EXPECT_EQ(c.Tools().currentColour.t, 254);
    model.Pick(c, BoxAlpha, 100);
    EXPECT_EQ(c.Tools().currentColour.t, 155);
    // Hue, saturation and value set the colour from the remembered three, alpha kept.
    model.Pick(c, BoxValue, 255);
    model.Pick(c, BoxSaturation, 255);
    model.Pick(c, BoxHue, 120);
    EXPECT_EQ(c.Tools().currentColour, HsvToColour(120, 255, 100, 255));
}

TEST(PaletteModel, GreysKeepTheRememberedHueButSpinsAndFollowsDifferAsTheBoxAlwaysDid)
{
    SHuedraneController c;
    SPaletteModel model;
    model.Pick(c, BoxHue, 200);
    ASSERT_EQ(model.Hue(), 200);
    // A channel pick that gives a grey keeps the hue; one with a hue takes it.
    c.SetCurrentColour(SColor(50, 50, 0));
    model.Pick(c, BoxBlue, 50);
    EXPECT_EQ(model.Hue(), 200);
    EXPECT_EQ(model.Saturation(), 0);
    EXPECT_EQ(model.Value(), 50);
    model.Pick(c, BoxGreen, 255);
    EXPECT_EQ(model.Hue(), 120);

    // Following a grey keeps the hue too; a spin edit takes the grey's hue 0.
    model.Pick(c, BoxHue, 90);
    model.Follow(SColor(7, 7, 7));
    EXPECT_EQ(model.Hue(), 90);
    EXPECT_EQ(model.Value(), 7);
    c.SetCurrentColour(SColor(80, 80, 0));
    model.Spin(c, BoxBlue, 80);
    EXPECT_EQ(model.Hue(), 0);
    // The alpha spin changes only the transparency.
    model.Pick(c, BoxHue, 45);
    model.Spin(c, BoxAlpha, 1);
    EXPECT_EQ(model.Hue(), 45);
    EXPECT_EQ(c.Tools().currentColour.t, 254);
}

TEST(PaletteModel, AfterAnyChannelEditTheRememberedSaturationAndValueAreTheColours)
{
    std::mt19937 random(7);
    SHuedraneController c;
    SPaletteModel model;
    for (int i = 0; i < 2000; ++i) {
        const int index = int(random() % BoxCount);
        const int level = index == BoxHue ? int(random() % 360) : int(random() % 256);
        const bool spin = index >= BoxRed && random() % 2;
        if (spin)
            model.Spin(c, index, index == BoxAlpha ? 1 + level % 255 : level);
        else
            model.Pick(c, index, level);
        const SColor colour = c.Tools().currentColour;
        ASSERT_NE(colour.t, 255);
        if (index >= BoxRed && index != BoxAlpha) {
            const SHsv hsv = ColourToHsv(colour);
            ASSERT_EQ(model.Saturation(), hsv.saturation);
            ASSERT_EQ(model.Value(), hsv.value);
        }
    }
}

}  // namespace
