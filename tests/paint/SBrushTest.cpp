#include "SBrush.h"
#include "ToolFixture.h"

using namespace ulib;

namespace {

void SetBrush(PaintDesk& desk, std::int32_t radius, std::int32_t shape, std::int32_t density, SColor colour)
{
    desk.tools.brush = {radius, shape, density};
    desk.tools.colourMode = SColourMode::Colour;
    desk.tools.currentColour = colour;
}

}  // namespace

// Figures worked by hand from the 12-bit weights e(v) = (v << 4) | (v >> 4).
TEST(ColourMix, MatchesHandWorkedFigures)
{
    const SColor b(200, 100, 0);
    const SColor c(0, 50, 255);
    // Same transparency: e(128) = 2056, e(127) = 2039; (2039 * 200) >> 12 = 99 ...
    EXPECT_EQ(MixColour(b, c, 128), SColor(99, 74, 127, 0));
    // Different: K = 2039 * e(200) = 6549268, F = (4095 * 2056) >> 12 = 2055, G = 2055 + 1598 = 3653,
    // d = 2304, k = 1598 * 4096 / 3653 = 1791, transparency (3653 >> 4) ^ 255 = 27.
    EXPECT_EQ(MixColour(SColor(200, 100, 0, 55), c, 128), SColor(87, 71, 143, 27));
    // Over an unpainted pixel the colour keeps its own and the transparency follows the weight.
    EXPECT_EQ(MixColour(SColor(255, 255, 255, 255), c, 128), SColor(0, 50, 255, 127));
    // G = 0: e(5) * e(1) = 1280 has nothing above its low 12 bits and the eraser brings no weight.
    EXPECT_EQ(MixColour(SColor(10, 20, 30, 254), SColor(255, 255, 255, 255), 250), SColor(0, 0, 0, 255));
    // The ends and equal colours.
    EXPECT_EQ(MixColour(b, c, 255), c);
    EXPECT_EQ(MixColour(b, c, 0), b);
    EXPECT_EQ(MixColour(c, c, 77), c);
}

TEST(Brush, RadiusZeroChangesOnlyTheClickedPixelAtTheDensity)
{
    PaintDesk desk({"...",
                    "...",
                    "..."});
    SetBrush(desk, 0, 0, 100, ArtColour('B'));
    EXPECT_EQ(Drag(desk, ToolBrush, {{1, 1}}), (SRect{1, 1, 2, 2}));
    EXPECT_EQ(PaintArt(desk.cel), Art({"...", ".?.", "..."}));
    EXPECT_EQ(PaintAt(desk.cel, 1, 1), 0x640000FFu);  // blue at alpha 100
    EXPECT_EQ(desk.undo.UndoCaption(), SString("ブラシ"));
    EXPECT_TRUE(DisplayIsFresh(desk.cel));
}

TEST(Brush, ShapeSetsTheFullDensityDiscAndBordersAreLeftAlone)
{
    PaintDesk desk({".....",
                    ".....",
                    "..#..",
                    ".....",
                    "....."});
    SetBrush(desk, 2, 100, 255, ArtColour('B'));
    EXPECT_EQ(Drag(desk, ToolBrush, {{2, 2}}), (SRect{0, 0, 5, 5}));
    EXPECT_EQ(PaintArt(desk.cel), Art({"..B..",
                                       ".BBB.",
                                       "BB#BB",
                                       ".BBB.",
                                       "..B.."}));

    // Shape 0: full density up to distance 1, then 255 * (2 - 2 + 1) / 2 = 127 at distance 2.
    PaintDesk soft({".....",
                    ".....",
                    ".....",
                    ".....",
                    "....."});
    SetBrush(soft, 2, 0, 255, ArtColour('B'));
    Drag(soft, ToolBrush, {{2, 2}});
    EXPECT_EQ(PaintArt(soft.cel), Art({"..?..",
                                       ".BBB.",
                                       "?BBB?",
                                       ".BBB.",
                                       "..?.."}));
    EXPECT_EQ(PaintAt(soft.cel, 0, 2), 0x7F0000FFu);
}

TEST(Brush, EraserClearsAndBitmapModeTilesThePictureFromTheOrigin)
{
    PaintDesk desk({"RRRRR",
                    "RRRRR",
                    "RRRRR"});
    desk.tools.brush = {1, 100, 255};
    desk.tools.colourMode = SColourMode::Eraser;
    Drag(desk, ToolBrush, {{2, 1}});
    EXPECT_EQ(PaintArt(desk.cel), Art({"RR.RR", "R...R", "RR.RR"}));

    desk.tools.colourMode = SColourMode::Bitmap;
    desk.reference.Create(2, 1, 24);
    desk.reference.SetColor(0, 0, SColor(0, 255, 0));
    desk.reference.SetColor(1, 0, SColor(0, 0, 255));
    Drag(desk, ToolBrush, {{2, 1}});
    EXPECT_EQ(PaintArt(desk.cel), Art({"RRGRR", "RBGBR", "RRGRR"}));

    desk.reference.Release();  // no picture: opaque black
    Drag(desk, ToolBrush, {{2, 1}});
    EXPECT_EQ(PaintArt(desk.cel), Art({"RRKRR", "RKKKR", "RRKRR"}));

    // A nearly clear pixel erased at high density mixes to nothing: written as unpainted.
    desk.cel.paint.Row32(0)[0] = 0x01102030u;
    desk.tools.colourMode = SColourMode::Eraser;
    desk.tools.brush = {0, 0, 250};
    Drag(desk, ToolBrush, {{0, 0}});
    EXPECT_EQ(PaintAt(desk.cel, 0, 0), 0x00FFFFFFu);
}

TEST(Brush, SmallBrushesDabInBetweenTruncatingTowardZero)
{
    PaintDesk desk({".........."});
    SetBrush(desk, 0, 0, 255, ArtColour('B'));
    // Down outside at -5, move to 4: dabs at 4, (12 - 5) / 4 = 1, -1 / 2 = 0, (4 - 15) / 4 = -2.
    EXPECT_EQ(Drag(desk, ToolBrush, {{-5, 0}, {4, 0}}), (SRect{0, 0, 5, 1}));
    EXPECT_EQ(PaintArt(desk.cel), Art({"BB..B....."}));

    // Radius 4 and more: one dab per move.
    PaintDesk wide({"..........................",
                    ".........................."});
    SetBrush(wide, 4, 100, 255, ArtColour('B'));
    EXPECT_EQ(Drag(wide, ToolBrush, {{0, 0}, {20, 0}}), (SRect{0, 0, 25, 2}));
    EXPECT_EQ(PaintArt(wide.cel), Art({"BBBBB...........BBBBBBBBB.", "BBBB.............BBBBBBB.."}));
    SetBrush(wide, 3, 100, 255, ArtColour('G'));
    Drag(wide, ToolBrush, {{0, 1}, {16, 1}});  // dabs at 16, 12, 8 and 4 close the gap
    EXPECT_EQ(PaintArt(wide.cel), Art({std::string(19, 'G') + "BBBBBB.", std::string(20, 'G') + "BBBB.."}));
}

TEST(ExtraBrush, PaintsTheExtraLayerIncludingOverBorders)
{
    PaintDesk desk({"#.#"});
    SetBrush(desk, 1, 100, 255, ArtColour('B'));
    EXPECT_TRUE(Drag(desk, ToolExtraBrush, {{1, 0}}).IsEmpty());  // no extra layer yet
    EXPECT_EQ(desk.undo.UndoCaption(), SString("拡張レイヤーブラシ"));

    desk.cel.SetLayerVisible(LayerExtra, 1);
    EXPECT_EQ(Drag(desk, ToolExtraBrush, {{1, 0}}), (SRect{0, 0, 3, 1}));
    EXPECT_EQ(PaintArt(desk.cel), Art({"#.#"}));
    for (std::int32_t x = 0; x < 3; ++x)
        EXPECT_EQ(desk.cel.extra.Row32(0)[x], 0xFF0000FFu);
    EXPECT_TRUE(DisplayIsFresh(desk.cel));

    desk.cel.visible[LayerExtra] = false;
    desk.tools.colourMode = SColourMode::Eraser;
    EXPECT_TRUE(Drag(desk, ToolExtraBrush, {{1, 0}}).IsEmpty());
    EXPECT_EQ(desk.cel.extra.Row32(0)[1], 0xFF0000FFu);
}
