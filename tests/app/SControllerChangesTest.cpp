// The controller's plain state changes: their ranges, cycles and the refresh bits they give.
#include "SHuedraneController.h"
#include "SMainWindowRules.h"

#include <gtest/gtest.h>

using namespace ulib;
namespace refresh = main_refresh;

namespace {

TEST(ControllerChanges, ModeAndPenCyclesWrapAndRefuseNothing)
{
    SHuedraneController c;
    const SColourMode modes[] = {SColourMode::Eraser, SColourMode::Bitmap, SColourMode::Colour, SColourMode::Eraser};
    for (const SColourMode mode : modes) {
        EXPECT_EQ(c.CycleColourMode(), refresh::ToolChange | refresh::PaletteBox);
        EXPECT_EQ(c.Tools().colourMode, mode);
    }
    c.SetColourMode(SColourMode::Texture);  // a mode the cycle does not hold leads back to colour
    c.CycleColourMode();
    EXPECT_EQ(c.Tools().colourMode, SColourMode::Colour);

    ASSERT_EQ(c.Tools().tracePen, 2);
    for (const std::int32_t pen : {3, 4, 0, 1}) {
        EXPECT_EQ(c.CycleTracePen(), refresh::ToolChange);
        EXPECT_EQ(c.Tools().tracePen, pen);
    }
    EXPECT_EQ(c.SetTracePen(TracePenCount), 0u);
    EXPECT_EQ(c.SetTracePen(-1), 0u);
    EXPECT_EQ(c.Tools().tracePen, 1);
}

TEST(ControllerChanges, ZoomStaysInItsStepsAndOnlyAChangeRefreshes)
{
    SHuedraneController c;
    EXPECT_EQ(c.SetZoom(0), 0u);
    EXPECT_EQ(c.SetZoom(4), refresh::CanvasSize | refresh::Canvas | refresh::StatusBar | refresh::ViewMenu);
    EXPECT_EQ(c.SetZoom(5), 0u);
    EXPECT_EQ(c.SetZoom(-5), 0u);
    EXPECT_EQ(c.Zoom(), 4);
    c.SetZoom(-4);
    EXPECT_EQ(c.Zoom(), -4);

    c.SetReferenceZoom(9);
    EXPECT_EQ(c.ReferenceZoom(), 4);
    c.SetReferenceZoom(-9);
    EXPECT_EQ(c.ReferenceZoom(), -4);
}

TEST(ControllerChanges, QuickPaletteClicksStoreOnlyInColourModeAndTakeOtherwise)
{
    SHuedraneController c;
    c.SetCurrentColour(SColor(1, 2, 3));
    EXPECT_EQ(ClickQuickColour(c, 5, true), refresh::StatusBar);
    EXPECT_EQ(c.QuickPalette()[5], SColor(1, 2, 3));

    // In eraser mode a stored click takes the entry instead, as a plain click does.
    c.SetQuickColour(6, SColor(7, 8, 9));
    c.SetColourMode(SColourMode::Eraser);
    EXPECT_EQ(ClickQuickColour(c, 6, true), refresh::ToolChange | refresh::PaletteBox);
    EXPECT_EQ(c.Tools().currentColour, SColor(7, 8, 9));
    EXPECT_EQ(c.Tools().colourMode, SColourMode::Colour);
    EXPECT_EQ(c.QuickPalette()[5], SColor(1, 2, 3));

    EXPECT_EQ(ClickQuickColour(c, 16, true), 0u);
    EXPECT_EQ(ClickQuickColour(c, -1, false), 0u);
}

TEST(ControllerChanges, TheWindowKeepsOnlyARealRestoredRectangle)
{
    SHuedraneController c;
    KeepNormalRect(c, {0, 0, 0, 0});
    EXPECT_FALSE(c.Window().hasNormalRect);
    KeepNormalRect(c, {10, 20, 810, 620});
    EXPECT_TRUE(c.Window().hasNormalRect);
    EXPECT_EQ(c.Window().normalRect, (SRect{10, 20, 810, 620}));
    KeepNormalRect(c, {5, 5, 5, 90});
    EXPECT_EQ(c.Window().normalRect, (SRect{10, 20, 810, 620}));
}

}  // namespace
