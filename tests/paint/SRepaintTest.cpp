#include "SRepaint.h"
#include "ToolFixture.h"

using namespace ulib;

namespace {

const Art RepaintPaint = {"...#RRR",
                          "...#...",
                          "###rgb#",
                          "RR.#..."};
const Art RepaintTrace = {"...#...",
                          "...#...",
                          "###rgb#",
                          "R......"};

void Prepare(PaintDesk& desk, SColourMode mode = SColourMode::Colour)
{
    DrawTrace(desk.cel.trace, RepaintTrace);
    desk.cel.trace.Row32(1)[0] = 0x80FF0000u;  // a converted red line of density 128
    desk.tools.colourMode = mode;
    desk.tools.currentColour = ArtColour('Y');
}

}  // namespace

TEST(Repaint, UnpaintedPixelPaintsEveryUnpaintedPixelAndConvertsEveryColouredLine)
{
    PaintDesk desk(RepaintPaint);
    Prepare(desk);
    EXPECT_EQ(Drag(desk, ToolRepaint, {{1, 0}}), desk.cel.display.Bounds());
    EXPECT_EQ(PaintArt(desk.cel), Art({"YYY#RRR",
                                       "YYY#YYY",
                                       "###rgb#",
                                       "RRY#YYY"}));
    EXPECT_EQ(TraceArt(desk.cel), Art({"...#...",
                                       "?..#...",
                                       "###YYY#",
                                       "R......"}));
    EXPECT_EQ(TraceAt(desk.cel, 0, 1), 0x80FF0000u);  // converted lines of other colours stay
    EXPECT_EQ(desk.undo.UndoCaption(), SString("塗り替え"));
    EXPECT_TRUE(DisplayIsFresh(desk.cel));
}

TEST(Repaint, PaintedColourRecoloursItsAreasAndItsConvertedLinesKeepingDensity)
{
    PaintDesk desk(RepaintPaint);
    Prepare(desk, SColourMode::Eraser);  // paint pass erases; the lines still take the current colour
    Drag(desk, ToolRepaint, {{5, 0}});
    const Art erased = {"...#...",
                        "...#...",
                        "###rgb#",
                        "...#..."};
    EXPECT_EQ(PaintArt(desk.cel), erased);
    EXPECT_EQ(TraceArt(desk.cel), Art({"...#...", "?..#...", "###rgb#", "Y......"}));
    EXPECT_EQ(TraceAt(desk.cel, 0, 1), 0x80FFFF00u);

    // A converted line gives the target too, made opaque; in bitmap mode without a picture the
    // lines turn opaque black.
    PaintDesk fromLine(RepaintPaint);
    Prepare(fromLine, SColourMode::Bitmap);
    Drag(fromLine, ToolRepaint, {{0, 1}});
    EXPECT_EQ(PaintArt(fromLine.cel), erased);  // without a picture the bitmap mode erases
    EXPECT_EQ(TraceArt(fromLine.cel), Art({"...#...", "?..#...", "###rgb#", "K......"}));
    EXPECT_EQ(TraceAt(fromLine.cel, 0, 1), 0x80000000u);
}

TEST(Repaint, BlackLinesAndBlackOrRedBordersGiveNoTarget)
{
    PaintDesk desk(RepaintPaint);
    Prepare(desk);
    const LayerSnapshot before = LayerSnapshot::Of(desk.cel);
    EXPECT_TRUE(Drag(desk, ToolRepaint, {{3, 0}}).IsEmpty());  // black line
    desk.cel.visible[LayerTrace] = false;
    EXPECT_TRUE(Drag(desk, ToolRepaint, {{3, 0}}).IsEmpty());  // black border
    EXPECT_TRUE(Drag(desk, ToolRepaint, {{3, 2}}).IsEmpty());  // red border
    EXPECT_TRUE(Drag(desk, ToolRepaint, {{7, 0}}).IsEmpty());  // outside
    EXPECT_EQ(LayerSnapshot::Of(desk.cel), before);

    // A green border gives the unpainted target; the lines are still recoloured while hidden.
    EXPECT_FALSE(Drag(desk, ToolRepaint, {{4, 2}}).IsEmpty());
    EXPECT_EQ(PaintArt(desk.cel)[1], "YYY#YYY");
    EXPECT_EQ(TraceArt(desk.cel)[2], "###YYY#");
}
