// Choosing the tool in effect and driving one drag with it.
#include "STools.h"

#include "SBoundary.h"
#include "SBrush.h"
#include "SRegionFill.h"
#include "SRepaint.h"
#include "SSpuit.h"
#include "STraceConversion.h"
#include "SGapFill.h"
#include "STraceRecolour.h"

using namespace ulib;

namespace {

struct SKeyRow
{
    bool SHeldKeys::*key;
    STool left;
    STool right;
};

// Tested in this order; an empty cell (ToolNone) falls through to the next row.
constexpr SKeyRow KeyRows[] = {
    {&SHeldKeys::space, ToolTracePen, ToolSpuit},
    {&SHeldKeys::tab, ToolBrush, ToolNone},
    {&SHeldKeys::backSpace, ToolBoundaryFix, ToolBoundaryDelete},
    {&SHeldKeys::shift, ToolHand, ToolNone},
    {&SHeldKeys::ctrl, ToolZoomIn, ToolZoomOut},
    {&SHeldKeys::insert, ToolRepaint, ToolSpuit},
    {&SHeldKeys::del, ToolBlackToRed, ToolColouredToBlack},
    {&SHeldKeys::enter, ToolPaint, ToolSpuit},
};

// Left and right button by selected tool 0..14; 12 is reached only through keys.
constexpr STool SelectedRows[15][2] = {
    {ToolNone, ToolNone},
    {ToolPaint, ToolSpuit},
    {ToolSpuit, ToolSpuit},
    {ToolTracePen, ToolSpuit},
    {ToolBrush, ToolSpuit},
    {ToolBoundaryFix, ToolBoundaryDelete},
    {ToolBoundaryDelete, ToolBoundaryDelete},
    {ToolHand, ToolNone},
    {ToolZoomIn, ToolZoomOut},
    {ToolZoomOut, ToolZoomOut},
    {ToolRepaint, ToolSpuit},
    {ToolBlackToRed, ToolColouredToBlack},
    {ToolNone, ToolNone},
    {ToolExtraBrush, ToolSpuit},
    {ToolKnife, ToolBoundaryDelete},
};

}  // namespace

STool ChooseTool(const SHeldKeys& keys, SMouseButton button, std::int32_t selectedTool)
{
    if (button == SMouseButton::Other)
        return ToolNone;
    const bool left = button == SMouseButton::Left;
    for (const SKeyRow& row : KeyRows) {
        const STool tool = left ? row.left : row.right;
        if (keys.*row.key && tool != ToolNone)
            return tool;
    }
    if (selectedTool < 1 || selectedTool > 14)
        return ToolNone;
    return SelectedRows[selectedTool][left ? 0 : 1];
}

const char* SStroke::UndoCaption(STool tool)
{
    switch (tool) {
    case ToolPaint:
        return "ペイント";
    case ToolTracePen:
        return "トレース";
    case ToolBrush:
        return "ブラシ";
    case ToolExtraBrush:
        return "拡張レイヤーブラシ";
    case ToolBoundaryFix:
    case ToolBoundaryDelete:
        return "修正";
    case ToolRepaint:
        return "塗り替え";
    case ToolBlackToRed:
    case ToolColouredToBlack:
        return "トレス線変換";
    case ToolKnife:
        return "切れ込みツール";
    default:
        return nullptr;
    }
}

SRect SStroke::MouseDown(SPaintContext& context, STool tool, SPoint at)
{
    tool_ = tool;
    previous_ = at;
    // The step opens even when the tool then changes nothing (a hidden layer, a point outside).
    if (const char* caption = UndoCaption(tool))
        context.undo.BeginStep(SString(caption));

    switch (tool) {
    case ToolPaint: {
        SError err = 0;  // the fill's errors are not shown; what it painted stays recorded
        return FillRegionClosingGaps(context, at, context.tools.fillGap, true, err);
    }
    case ToolSpuit:
        PickColour(context.cel, context.tools, at);
        return {};
    case ToolTracePen:
        return TracePenDab(context, at);
    case ToolBrush:
        return BrushDab(context, SBrushLayer::Paint, at);
    case ToolExtraBrush:
        return BrushDab(context, SBrushLayer::Extra, at);
    case ToolBoundaryFix:
        return BoundaryLine(context, SBoundaryMode::Fix, at, at);
    case ToolBoundaryDelete:
        return BoundaryLine(context, SBoundaryMode::Delete, at, at);
    case ToolRepaint:
        return Repaint(context, at);
    case ToolBlackToRed:
        return ConversionDab(context, SConversion::BlackToRed, at);
    case ToolColouredToBlack:
        return ConversionDab(context, SConversion::ColouredToBlack, at);
    default:
        return {};  // hand and zoom act on the view; the knife only remembers the point
    }
}

SRect SStroke::MouseMove(SPaintContext& context, SPoint at)
{
    SRect changed;
    switch (tool_) {
    case ToolSpuit:
        PickColour(context.cel, context.tools, at);
        break;
    case ToolTracePen:
        changed = TracePenDab(context, at);
        break;
    case ToolBrush:
        changed = BrushStroke(context, SBrushLayer::Paint, previous_, at);
        break;
    case ToolExtraBrush:
        changed = BrushStroke(context, SBrushLayer::Extra, previous_, at);
        break;
    case ToolBoundaryFix:
        changed = BoundaryLine(context, SBoundaryMode::Fix, previous_, at);
        break;
    case ToolBoundaryDelete:
        changed = BoundaryLine(context, SBoundaryMode::Delete, previous_, at);
        break;
    case ToolBlackToRed:
        changed = ConversionDab(context, SConversion::BlackToRed, at);
        break;
    case ToolColouredToBlack:
        changed = ConversionDab(context, SConversion::ColouredToBlack, at);
        break;
    case ToolKnife:
        changed = KnifeCut(context, previous_, at);
        break;
    default:
        break;  // paint and repaint act once; hand and zoom act on the view
    }
    previous_ = at;
    return changed;
}

void SStroke::MouseUp() { tool_ = ToolNone; }
