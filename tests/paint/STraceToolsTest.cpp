#include "STraceRecolour.h"
#include "ToolFixture.h"

using namespace ulib;

namespace {

PaintDesk& WithPen(PaintDesk& desk, std::int32_t pen, SColor colour)
{
    desk.tools.tracePen = pen;
    desk.tools.colourMode = SColourMode::Colour;
    desk.tools.currentColour = colour;
    return desk;
}

}  // namespace

TEST(TracePen, LeavesBlackLinesAndConvertsColouredOnesBackAndForth)
{
    PaintDesk desk({"#r.",
                    "..."});
    DrawTrace(desk.cel.trace, {"#r.",
                               "..."});
    WithPen(desk, 0, ArtColour('G'));

    EXPECT_EQ(Drag(desk, ToolTracePen, {{0, 0}}), (SRect{0, 0, 1, 1}));
    EXPECT_EQ(TraceArt(desk.cel), Art({"#r.", "..."}));

    Drag(desk, ToolTracePen, {{1, 0}});
    EXPECT_EQ(TraceArt(desk.cel), Art({"#G.", "..."}));
    EXPECT_EQ(desk.undo.UndoCaption(), SString("トレース"));
    // The converted line shows in its colour over the red border, slightly darkened.
    EXPECT_EQ(desk.cel.display.Row32(0)[1], 0xFF00EF00u);
    EXPECT_TRUE(DisplayIsFresh(desk.cel));

    // A second pass in eraser mode turns it back into a red line.
    desk.tools.colourMode = SColourMode::Eraser;
    Drag(desk, ToolTracePen, {{1, 0}});
    EXPECT_EQ(TraceArt(desk.cel), Art({"#r.", "..."}));
    EXPECT_TRUE(DisplayIsFresh(desk.cel));
}

TEST(TracePen, BlueAndGreenLinesKeepTheirCodeInTheFlagLayer)
{
    PaintDesk desk({"...."});
    DrawTrace(desk.cel.trace, {"bgrG"});
    desk.cel.flag.Row(0)[0] = 0xF0;  // the upper bits carry nothing and stay
    WithPen(desk, 4, ArtColour('Y'));
    Drag(desk, ToolTracePen, {{1, 0}});
    EXPECT_EQ(TraceArt(desk.cel), Art({"YYYY"}));
    EXPECT_EQ(desk.cel.flag.Row(0)[0], 0xF1);
    EXPECT_EQ(desk.cel.flag.Row(0)[1], 2);

    // A converted line takes a new colour and keeps its density.
    desk.cel.trace.Row32(0)[3] = 0x80FFFF00u;
    desk.tools.currentColour = ArtColour('C');
    Drag(desk, ToolTracePen, {{1, 0}});
    EXPECT_EQ(TraceAt(desk.cel, 3, 0), 0x8000FFFFu);

    desk.tools.colourMode = SColourMode::Eraser;
    Drag(desk, ToolTracePen, {{1, 0}});
    // Turned back with their codes; the one converted before had code 0 in the flag layer: red.
    EXPECT_EQ(TraceArt(desk.cel), Art({"bgr?"}));
    EXPECT_EQ(TraceAt(desk.cel, 3, 0), 0x00800000u);
    EXPECT_EQ(desk.cel.flag.Row(0)[0], 0xF0);
    EXPECT_EQ(desk.cel.flag.Row(0)[1], 0);
}

TEST(TracePen, DabCoversTheDiscAndSkipsHiddenLayers)
{
    PaintDesk desk({".......",
                    ".......",
                    ".......",
                    ".......",
                    "......."});
    const Art red(5, "rrrrrrr");
    DrawTrace(desk.cel.trace, red);
    WithPen(desk, 1, ArtColour('B'));  // radius 2
    EXPECT_EQ(Drag(desk, ToolTracePen, {{1, 2}}), (SRect{0, 0, 4, 5}));
    EXPECT_EQ(TraceArt(desk.cel), Art({"rBrrrrr",
                                       "BBBrrrr",
                                       "BBBBrrr",
                                       "BBBrrrr",
                                       "rBrrrrr"}));
    // Moves dab at each new position, nothing in between.
    Drag(desk, ToolTracePen, {{6, 0}, {6, 4}});
    EXPECT_EQ(TraceArt(desk.cel), Art({"rBrrBBB",
                                       "BBBrrBB",
                                       "BBBBrrB",
                                       "BBBrrBB",
                                       "rBrrBBB"}));

    DrawTrace(desk.cel.trace, red);
    desk.cel.visible[LayerTrace] = false;
    EXPECT_TRUE(Drag(desk, ToolTracePen, {{3, 2}, {4, 2}}).IsEmpty());
    EXPECT_EQ(TraceArt(desk.cel), red);
    // The drag began a step of its own, which is empty: undoing it leaves the layer alone.
    desk.undo.Undo();
    EXPECT_EQ(TraceArt(desk.cel), red);
}

TEST(TraceRecolour, BitmapModeTakesTheTiledPictureAndWhiteOrClearTakeTheColourOff)
{
    PaintDesk desk({"......"});
    DrawTrace(desk.cel.trace, {"rRrR#."});
    desk.reference.Create(3, 1, 32);
    desk.reference.Row32(0)[0] = 0xFF102030u;  // a colour
    desk.reference.Row32(0)[1] = 0xFFFFFFFFu;  // opaque white: no colour
    desk.reference.Row32(0)[2] = 0x00102030u;  // fully transparent: no colour
    desk.tools.colourMode = SColourMode::Bitmap;
    RecolourTraceSpan(desk.cel, desk.tools, desk.reference, 0, -5, 50);
    EXPECT_EQ(TraceAt(desk.cel, 0, 0), 0xFF102030u);
    EXPECT_EQ(TraceAt(desk.cel, 1, 0), 0x00FF0000u);
    EXPECT_EQ(TraceAt(desk.cel, 2, 0), 0x00FF0000u);
    EXPECT_EQ(TraceAt(desk.cel, 3, 0), 0xFF102030u);  // column 3 repeats column 0
    EXPECT_EQ(TraceArt(desk.cel).front().substr(4), "#.");

    // Without a picture the bitmap mode gives no colour; so does a fully transparent colour.
    desk.reference.Release();
    RecolourTraceSpan(desk.cel, desk.tools, desk.reference, 0, 0, 6);
    EXPECT_EQ(TraceArt(desk.cel), Art({"rrrr#."}));
    desk.tools.colourMode = SColourMode::Colour;
    desk.tools.currentColour = SColor(9, 9, 9, 255);
    RecolourTraceSpan(desk.cel, desk.tools, desk.reference, 0, 0, 6);
    EXPECT_EQ(TraceArt(desk.cel), Art({"rrrr#."}));
}

TEST(TraceConversion, BlackToRedTurnsTheBorderRedAndUndoRestoresBoth)
{
    PaintDesk desk({"..#..",
                    "..#..",
                    "..b.."});
    DrawTrace(desk.cel.trace, {"..#..",
                               "..#..",
                               "..#.."});
    desk.cel.trace.Row32(1)[2] = 0x00000080u;  // density 128
    const LayerSnapshot before = LayerSnapshot::Of(desk.cel);
    desk.tools.tracePen = 1;

    EXPECT_EQ(Drag(desk, ToolBlackToRed, {{2, 0}}), (SRect{0, 0, 5, 3}));
    EXPECT_EQ(TraceArt(desk.cel), Art({"..r..", "..?..", "..r.."}));
    EXPECT_EQ(TraceAt(desk.cel, 2, 1), 0x00800000u);
    EXPECT_EQ(PaintArt(desk.cel), Art({"..r..", "..r..", "..b.."}));  // blue borders stay
    EXPECT_EQ(desk.undo.UndoCaption(), SString("トレス線変換"));
    EXPECT_TRUE(DisplayIsFresh(desk.cel));
    const LayerSnapshot after = LayerSnapshot::Of(desk.cel);

    // The border change belongs to the same step: undo gives back the cel exactly.
    desk.undo.Undo();
    EXPECT_EQ(LayerSnapshot::Of(desk.cel), before);
    desk.undo.Redo();
    EXPECT_EQ(LayerSnapshot::Of(desk.cel), after);
}

TEST(TraceConversion, ColouredToBlackRestoresBlackBordersOnlyUnderRedOnes)
{
    PaintDesk desk({"rbrrr"});
    DrawTrace(desk.cel.trace, {"rbGr#"});
    desk.tools.tracePen = 1;
    const LayerSnapshot before = LayerSnapshot::Of(desk.cel);
    Drag(desk, ToolColouredToBlack, {{1, 0}});
    // The converted line and the red border under it stay; so does everything outside the disc.
    EXPECT_EQ(TraceArt(desk.cel), Art({"##G##"}));
    EXPECT_EQ(PaintArt(desk.cel), Art({"#br#r"}));
    desk.undo.Undo();
    EXPECT_EQ(LayerSnapshot::Of(desk.cel), before);

    desk.cel.visible[LayerTrace] = false;
    EXPECT_TRUE(Drag(desk, ToolColouredToBlack, {{1, 0}}).IsEmpty());
    EXPECT_EQ(LayerSnapshot::Of(desk.cel), before);
}
