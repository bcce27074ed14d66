#include "SSpuit.h"
#include "ToolFixture.h"

using namespace ulib;

namespace {

constexpr SMouseButton L = SMouseButton::Left;
constexpr SMouseButton R = SMouseButton::Right;

SHeldKeys Keys(bool SHeldKeys::*key)
{
    SHeldKeys keys;
    keys.*key = true;
    return keys;
}

}  // namespace

TEST(ToolChoice, SelectedToolDecidesWithoutKeys)
{
    const SHeldKeys none;
    for (std::int32_t selected = 1; selected <= 14; ++selected) {
        // The left button uses the selected tool itself; 12 is reached through keys only.
        EXPECT_EQ(ChooseTool(none, L, selected), selected == 12 ? ToolNone : STool(selected));
        STool right = ToolSpuit;  // the right button picks, except:
        switch (selected) {
        case ToolBoundaryFix:
        case ToolBoundaryDelete:
        case ToolKnife:
            right = ToolBoundaryDelete;
            break;
        case ToolHand:
        case ToolColouredToBlack:
            right = ToolNone;
            break;
        case ToolZoomIn:
        case ToolZoomOut:
            right = ToolZoomOut;
            break;
        case ToolBlackToRed:
            right = ToolColouredToBlack;
            break;
        }
        EXPECT_EQ(ChooseTool(none, R, selected), right) << "selected " << selected;
        EXPECT_EQ(ChooseTool(none, SMouseButton::Other, selected), ToolNone);
    }
    for (std::int32_t selected : {0, 15, -1})
        EXPECT_EQ(ChooseTool(none, L, selected), ToolNone);
}

TEST(ToolChoice, HeldKeysComeFirstAndEmptyCellsFallThrough)
{
    struct Row
    {
        bool SHeldKeys::*key;
        STool left, right;
    };
    const Row rows[] = {
        {&SHeldKeys::space, ToolTracePen, ToolSpuit},      {&SHeldKeys::backSpace, ToolBoundaryFix, ToolBoundaryDelete},
        {&SHeldKeys::ctrl, ToolZoomIn, ToolZoomOut},       {&SHeldKeys::insert, ToolRepaint, ToolSpuit},
        {&SHeldKeys::del, ToolBlackToRed, ToolColouredToBlack}, {&SHeldKeys::enter, ToolPaint, ToolSpuit},
    };
    // Space with any selected tool uses the trace pen, and picks with the right button.
    for (std::int32_t selected = 0; selected <= 14; ++selected)
        for (const Row& row : rows) {
            EXPECT_EQ(ChooseTool(Keys(row.key), L, selected), row.left);
            EXPECT_EQ(ChooseTool(Keys(row.key), R, selected), row.right);
        }
    EXPECT_EQ(ChooseTool(Keys(&SHeldKeys::tab), L, ToolKnife), ToolBrush);
    EXPECT_EQ(ChooseTool(Keys(&SHeldKeys::shift), L, ToolPaint), ToolHand);

    // Tab and Shift have no right-button cell: the selected tool decides, so Shift + right with the
    // hand selected gives no tool at all.
    EXPECT_EQ(ChooseTool(Keys(&SHeldKeys::tab), R, ToolKnife), ToolBoundaryDelete);
    EXPECT_EQ(ChooseTool(Keys(&SHeldKeys::shift), R, ToolHand), ToolNone);
    EXPECT_EQ(ChooseTool(Keys(&SHeldKeys::shift), R, ToolPaint), ToolSpuit);
    // Selected tool 12 is reached through keys only.
    EXPECT_EQ(ChooseTool(Keys(&SHeldKeys::del), R, ToolColouredToBlack), ToolColouredToBlack);
    EXPECT_EQ(ChooseTool(Keys(&SHeldKeys::enter), SMouseButton::Other, ToolPaint), ToolNone);

    // Rows are tested in order: the first matching one wins, an empty cell lets a later row in.
    SHeldKeys several;
    several.enter = several.ctrl = several.tab = true;
    EXPECT_EQ(ChooseTool(several, L, ToolPaint), ToolBrush);
    EXPECT_EQ(ChooseTool(several, R, ToolPaint), ToolZoomOut);
    several.space = true;
    EXPECT_EQ(ChooseTool(several, R, ToolPaint), ToolSpuit);
}

TEST(ToolChoice, RightClickWithPaintPicksInsteadOfFilling)
{
    PaintDesk desk({"###",
                    "#G#",
                    "#.#"});
    desk.tools.colourMode = SColourMode::Colour;
    desk.tools.currentColour = ArtColour('R');
    const STool tool = ChooseTool({}, R, ToolPaint);
    EXPECT_TRUE(Drag(desk, tool, {{1, 1}}).IsEmpty());
    EXPECT_EQ(desk.tools.currentColour, ArtColour('G'));
    EXPECT_EQ(PaintArt(desk.cel), Art({"###", "#G#", "#.#"}));
    EXPECT_FALSE(desk.undo.CanUndo());  // the spuit begins no step

    Drag(desk, tool, {{1, 0}, {1, 2}});  // picking again on the move: the unpainted pixel gives the eraser
    EXPECT_EQ(desk.tools.colourMode, SColourMode::Eraser);
}

TEST(ToolChoice, RightClickWithKnifeDeletesBoundaries)
{
    PaintDesk desk({".....",
                    "R#r#.",
                    "....."});
    const STool tool = ChooseTool({}, R, ToolKnife);
    ASSERT_EQ(tool, ToolBoundaryDelete);
    Drag(desk, tool, {{1, 1}, {3, 1}});
    EXPECT_EQ(PaintArt(desk.cel), Art({".....", "RRRR.", "....."}));
    EXPECT_EQ(desk.undo.UndoCaption(), SString("修正"));
}

TEST(Spuit, TakesTheTopmostVisibleLayerThatHasSomething)
{
    PaintDesk desk({"GGGGGG",
                    "H.#GG."});
    DrawTrace(desk.cel.trace, {"B#rb..",
                               "......"});
    SToolState& tools = desk.tools;
    auto pick = [&](std::int32_t x, std::int32_t y) {
        tools.colourMode = SColourMode::Bitmap;
        tools.currentColour = SColor(1, 2, 3, 4);
        return PickColour(desk.cel, tools, {x, y});
    };
    // Converted line: its colour, opaque; coloured line: eraser; black line: nothing at all.
    EXPECT_TRUE(pick(0, 0));
    EXPECT_EQ(tools.colourMode, SColourMode::Colour);
    EXPECT_EQ(tools.currentColour, SColor(0, 0, 255));
    EXPECT_TRUE(pick(2, 0));
    EXPECT_EQ(tools.colourMode, SColourMode::Eraser);
    EXPECT_EQ(tools.currentColour, SColor(1, 2, 3, 4));
    EXPECT_FALSE(pick(1, 0));
    EXPECT_EQ(tools.colourMode, SColourMode::Bitmap);
    // No line: the paint layer. Painted keeps its alpha; unpainted gives the eraser; a border nothing.
    EXPECT_TRUE(pick(0, 1));
    EXPECT_EQ(tools.colourMode, SColourMode::Colour);
    EXPECT_EQ(tools.currentColour, SColor(255, 0, 0, 127));
    EXPECT_TRUE(pick(1, 1));
    EXPECT_EQ(tools.colourMode, SColourMode::Eraser);
    EXPECT_FALSE(pick(2, 1));
    EXPECT_FALSE(pick(-1, 0));
    EXPECT_FALSE(pick(0, 2));

    // A hidden trace layer is looked through.
    desk.cel.visible[LayerTrace] = false;
    EXPECT_TRUE(pick(1, 0));
    EXPECT_EQ(tools.currentColour, ArtColour('G'));
    desk.cel.visible[LayerPaint] = false;
    EXPECT_FALSE(pick(1, 0));

    // The extra layer comes first where it is not fully transparent.
    desk.cel.visible[LayerTrace] = true;
    desk.cel.SetLayerVisible(LayerExtra, 1);
    desk.cel.extra.Row32(0)[3] = 0x40102030u;
    EXPECT_TRUE(pick(3, 0));
    EXPECT_EQ(tools.colourMode, SColourMode::Colour);
    EXPECT_EQ(tools.currentColour, SColor(0x10, 0x20, 0x30, 255 - 0x40));
    EXPECT_TRUE(pick(2, 0));  // alpha 0 there: the coloured line below
    EXPECT_EQ(tools.colourMode, SColourMode::Eraser);
}
