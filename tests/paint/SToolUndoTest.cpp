// Every tool that changes layers records all it changes in one step: undo gives back the layers
// exactly and redo the edited ones, and the display was kept up to date along the drag.
#include "ToolFixture.h"

#include <ostream>
#include <vector>

using namespace ulib;

namespace {

struct ToolCase
{
    const char* name;
    STool tool;
    std::vector<SPoint> drag;
    SToolState tools;
};

SToolState Tools(std::int32_t radius, std::int32_t shape, std::int32_t density, std::int32_t pen,
                 SColourMode mode = SColourMode::Colour)
{
    SToolState t;
    t.brush = {radius, shape, density};
    t.tracePen = pen;
    t.colourMode = mode;
    t.currentColour = SColor(20, 180, 90, 60);
    return t;
}

void PrintTo(const ToolCase& c, std::ostream* os) { *os << c.name; }

class ToolUndo : public testing::TestWithParam<ToolCase>
{
};

}  // namespace

TEST_P(ToolUndo, UndoRestoresTheCelExactlyAndRedoTheEdit)
{
    const ToolCase& c = GetParam();
    PaintDesk desk({"RR#....#GG",
                    "RR#..r.#GG",
                    "###rrr####",
                    "..b...#BBB",
                    "..b.H.#BBB"});
    DrawTrace(desk.cel.trace, {"..#....#..",
                               ".b#..r.#R.",
                               "###rrr####",
                               "..b...#...",
                               "..g...#..."});
    desk.cel.SetLayerVisible(LayerExtra, 1);
    desk.cel.extra.Row32(1)[1] = 0x80336699u;
    desk.tools = c.tools;
    desk.reference.Create(3, 2, 32);
    desk.reference.FillRect(SColor(10, 200, 30, 0));
    desk.cel.ComposeAll();
    desk.undo.BeginStep(SString("earlier"));
    const LayerSnapshot before = LayerSnapshot::Of(desk.cel);

    SPaintContext context = desk.Context();
    SStroke stroke;
    stroke.MouseDown(context, c.tool, c.drag.front());
    for (std::size_t i = 1; i < c.drag.size(); ++i)
        stroke.MouseMove(context, c.drag[i]);
    stroke.MouseUp();
    EXPECT_EQ(stroke.ToolInEffect(), ToolNone);

    const LayerSnapshot after = LayerSnapshot::Of(desk.cel);
    EXPECT_NE(after, before) << "the case should change something";
    EXPECT_TRUE(DisplayIsFresh(desk.cel));
    EXPECT_EQ(desk.undo.UndoCaption(), SString(SStroke::UndoCaption(c.tool)));

    desk.undo.Undo();
    EXPECT_EQ(LayerSnapshot::Of(desk.cel), before);
    EXPECT_EQ(desk.undo.UndoCaption(), SString("earlier"));
    desk.undo.Redo();
    EXPECT_EQ(LayerSnapshot::Of(desk.cel), after);
}

INSTANTIATE_TEST_SUITE_P(
    EveryTool, ToolUndo,
    testing::Values(ToolCase{"paint", ToolPaint, {{3, 0}}, Tools(2, 0, 255, 1)},
                    ToolCase{"tracepen", ToolTracePen, {{2, 1}, {5, 2}, {8, 1}}, Tools(2, 0, 255, 1)},
                    ToolCase{"tracepenoff", ToolTracePen, {{8, 1}}, Tools(2, 0, 255, 1, SColourMode::Eraser)},
                    ToolCase{"brush", ToolBrush, {{1, 1}, {6, 3}, {8, 4}}, Tools(2, 50, 200, 0)},
                    ToolCase{"bigbrush", ToolBrush, {{4, 2}, {7, 2}}, Tools(5, 20, 255, 0, SColourMode::Bitmap)},
                    ToolCase{"extra", ToolExtraBrush, {{0, 0}, {9, 4}}, Tools(1, 0, 128, 0, SColourMode::Eraser)},
                    ToolCase{"fix", ToolBoundaryFix, {{0, 3}, {9, 1}}, Tools(2, 0, 255, 1)},
                    ToolCase{"delete", ToolBoundaryDelete, {{0, 2}, {9, 2}, {9, 0}}, Tools(2, 0, 255, 1)},
                    ToolCase{"repaint", ToolRepaint, {{3, 0}}, Tools(2, 0, 255, 1)},
                    ToolCase{"repaintline", ToolRepaint, {{8, 1}}, Tools(2, 0, 255, 1, SColourMode::Bitmap)},
                    ToolCase{"blacktored", ToolBlackToRed, {{2, 0}, {7, 3}}, Tools(2, 0, 255, 1)},
                    ToolCase{"colouredtoblack", ToolColouredToBlack, {{4, 2}, {2, 4}}, Tools(2, 0, 255, 2)},
                    ToolCase{"knife", ToolKnife, {{8, 0}, {4, 4}, {0, 1}, {-2, 1}}, Tools(2, 0, 255, 1)}),
    [](const testing::TestParamInfo<ToolCase>& info) { return std::string(info.param.name); });

TEST(ToolUndo, HiddenLayersAndOutsidePointsLeaveAnEmptyStep)
{
    PaintDesk desk({"...",
                    "..."});
    desk.cel.visible[LayerPaint] = false;
    for (STool tool : {ToolPaint, ToolBrush, ToolBoundaryFix, ToolBoundaryDelete, ToolKnife}) {
        EXPECT_TRUE(Drag(desk, tool, {{1, 1}, {0, 0}}).IsEmpty()) << tool;
        EXPECT_EQ(desk.undo.UndoCaption(), SString(SStroke::UndoCaption(tool)));
    }
    desk.cel.visible[LayerPaint] = true;
    for (STool tool : {ToolPaint, ToolBrush, ToolRepaint, ToolTracePen, ToolBlackToRed})
        EXPECT_TRUE(Drag(desk, tool, {{-50, 7}}).IsEmpty()) << tool;
    EXPECT_EQ(desk.undo.UndoCaption(), SString("トレス線変換"));
    EXPECT_EQ(PaintArt(desk.cel), Art({"...", "..."}));

    for (STool tool : {ToolHand, ToolZoomIn, ToolZoomOut, ToolNone})
        EXPECT_TRUE(Drag(desk, tool, {{1, 1}, {0, 0}}).IsEmpty()) << tool;
    EXPECT_EQ(desk.undo.UndoCaption(), SString("トレス線変換"));  // those begin no step
}
