#include "SWholeCel.h"
#include "ToolFixture.h"

#include <gtest/gtest.h>

using namespace ulib;

namespace {

void RunOperation(PaintDesk& desk, SWholeCelOperation operation)
{
    desk.undo.BeginStep(SString(WholeCelCaption(operation)));
    SPaintContext context = desk.Context();
    RunWholeCelOperation(context, operation);
}

TEST(WholeCel, FillAllPaintRepaintsEveryNonBorderPixelAndEraserClearsThem)
{
    PaintDesk desk({"#R.r",
                    "H#gB"});
    desk.tools.currentColour = ArtColour('Y');
    RunOperation(desk, SWholeCelOperation::FillPaint);
    EXPECT_EQ(PaintArt(desk.cel), (Art{"#YYr",
                                       "Y#gY"}));
    desk.tools.colourMode = SColourMode::Eraser;
    RunOperation(desk, SWholeCelOperation::FillPaint);
    EXPECT_EQ(PaintArt(desk.cel), (Art{"#..r",
                                       ".#g."}));
    EXPECT_TRUE(DisplayIsFresh(desk.cel));
}

TEST(WholeCel, FillAllTraceColoursOnlyLinesThatCanTakeAColourAndEraserGivesTheCodesBack)
{
    PaintDesk desk({"....",
                    "...."});
    DrawTrace(desk.cel.trace, {"#rgb",
                               "0#.#"});
    desk.tools.currentColour = ArtColour('C');
    RunOperation(desk, SWholeCelOperation::FillTrace);
    EXPECT_EQ(TraceArt(desk.cel), (Art{"#CCC",
                                       "0#.#"}));
    desk.tools.currentColour = ArtColour('M');
    RunOperation(desk, SWholeCelOperation::FillTrace);
    EXPECT_EQ(TraceArt(desk.cel), (Art{"#MMM",
                                       "0#.#"}));
    desk.tools.colourMode = SColourMode::Eraser;
    RunOperation(desk, SWholeCelOperation::FillTrace);
    EXPECT_EQ(TraceArt(desk.cel), (Art{"#rgb",
                                       "0#.#"}));
}

TEST(WholeCel, BlackLinesTurnRedKeepingDensityAndBorders)
{
    PaintDesk desk({"##..",
                    "...."});
    desk.cel.trace.Row32(0)[0] = 0x00000080u;  // black, density 128
    desk.cel.trace.Row32(0)[1] = 0xFF102030u;  // converted: stays
    desk.cel.trace.Row32(0)[2] = 0x00FF0100u;  // blue line: stays
    desk.cel.trace.Row32(1)[0] = 0;            // nothing
    RunOperation(desk, SWholeCelOperation::BlackToRed);
    EXPECT_EQ(desk.cel.trace.Row32(0)[0], 0x00800000u);
    EXPECT_EQ(desk.cel.trace.Row32(0)[1], 0xFF102030u);
    EXPECT_EQ(desk.cel.trace.Row32(0)[2], 0x00FF0100u);
    EXPECT_EQ(desk.cel.trace.Row32(1)[0], 0u);
    EXPECT_EQ(PaintAt(desk.cel, 0, 0), 0x00000000u);  // the border stays black

    desk.tools.currentColour = ArtColour('G');  // now fill-all trace reaches the former black line
    RunOperation(desk, SWholeCelOperation::FillTrace);
    EXPECT_EQ(desk.cel.trace.Row32(0)[0], 0x8000FF00u);
}

TEST(WholeCel, BlackToRedLeavesPixelsWithoutALineAsTheyAre)
{
    // "No line" has a low byte of 255 like a dense black line, but is none: it must not turn red.
    PaintDesk desk({"........",
                    "........"});
    DrawTrace(desk.cel.trace, {"##...#0#",
                               "........"});
    RunOperation(desk, SWholeCelOperation::BlackToRed);
    EXPECT_EQ(TraceArt(desk.cel), (Art{"rr...r0r",
                                       "........"}));
}

TEST(WholeCel, FillAllExtraCreatesTheLayerAndTilesTheReference)
{
    PaintDesk desk(Art(120, std::string(250, '.')));
    desk.tools.colourMode = SColourMode::Bitmap;
    desk.reference.Create(100, 50, 32);
    for (std::int32_t y = 0; y < 50; ++y)
        for (std::int32_t x = 0; x < 100; ++x)
            desk.reference.Row32(y)[x] = 0x80000000u | std::uint32_t(x) << 8 | std::uint32_t(y);
    ASSERT_TRUE(desk.cel.extra.IsEmpty());
    RunOperation(desk, SWholeCelOperation::FillExtra);
    ASSERT_EQ(desk.cel.extra.Dimensions(), (SPoint{250, 120}));
    EXPECT_EQ(desk.cel.extra.Row32(0)[0], 0x80000000u);
    EXPECT_EQ(desk.cel.extra.Row32(51)[203], 0x80000301u);    // copy at (200, 50)
    EXPECT_EQ(desk.cel.extra.Row32(119)[249], 0x80003113u);  // the last copies are cut at the edge

    desk.undo.Undo();
    EXPECT_TRUE(desk.cel.ExtraLayerIsEmpty());  // undo leaves the created layer transparent

    desk.reference.Release();
    RunOperation(desk, SWholeCelOperation::FillExtra);
    EXPECT_EQ(desk.cel.extra.Row32(3)[3], 0x00000000u);  // no reference: black, fully transparent
    desk.tools.colourMode = SColourMode::Colour;
    desk.tools.currentColour = SColor(1, 2, 3, 4);
    RunOperation(desk, SWholeCelOperation::FillExtra);
    EXPECT_EQ(desk.cel.extra.Row32(3)[3], 0xFB010203u);
}

TEST(WholeCel, GundressColoursTheFigureAndClearsItsSurroundings)
{
    const Art art{"..........",
                  "..........",
                  "..#####...",
                  "..#R..#...",
                  "..#####...",
                  ".........."};
    PaintDesk desk(art);
    desk.tools.currentColour = ArtColour('B');
    RunOperation(desk, SWholeCelOperation::Gundress);
    EXPECT_EQ(PaintArt(desk.cel), (Art{"..........",
                                       "..........",
                                       "..#####...",
                                       "..#BBB#...",
                                       "..#####...",
                                       ".........."}));
    EXPECT_EQ(desk.tools.colourMode, SColourMode::Colour);  // the eraser was only borrowed
    EXPECT_EQ(desk.tools.currentColour, ArtColour('B'));

    PaintDesk touching({"......",
                        ".#....",
                        "......"});  // pixel (1, 1) is a border: nothing is erased
    touching.tools.currentColour = ArtColour('G');
    RunOperation(touching, SWholeCelOperation::Gundress);
    EXPECT_EQ(PaintArt(touching.cel), (Art{"GGGGGG",
                                           "G#GGGG",
                                           "GGGGGG"}));
}

}  // namespace
