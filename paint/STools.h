// The tools, the choice of the tool in effect for a drag, and the strokes that apply it.
#pragma once

#include "SGeometry.h"
#include "SPaintContext.h"

#include <cstdint>

enum STool : std::int32_t {
    ToolNone = 0,
    ToolPaint = 1,
    ToolSpuit = 2,
    ToolTracePen = 3,
    ToolBrush = 4,
    ToolBoundaryFix = 5,
    ToolBoundaryDelete = 6,
    ToolHand = 7,
    ToolZoomIn = 8,
    ToolZoomOut = 9,
    ToolRepaint = 10,
    ToolBlackToRed = 11,
    ToolColouredToBlack = 12,
    ToolExtraBrush = 13,
    ToolKnife = 14,
};

enum class SMouseButton { Left, Right, Other };

struct SHeldKeys
{
    bool space = false;
    bool tab = false;
    bool backSpace = false;
    bool shift = false;
    bool ctrl = false;
    bool insert = false;
    bool del = false;
    bool enter = false;
};

// The tool in effect for a click: held keys first (Space, Tab, Back Space, Shift, Ctrl, Insert,
// Delete, Enter), then the selected tool; ToolNone when nothing applies.
STool ChooseTool(const SHeldKeys& keys, SMouseButton button, std::int32_t selectedTool);

// The settings name of a tool ("paint", "spuit", ... "knife"); empty for other numbers.
const char* ToolSettingsName(std::int32_t tool);

// One drag with the tool in effect. The caller begins nothing: MouseDown begins the tool's undo
// step (with its caption) and marks nothing; the controller marks the document modified when
// ChangesLayers(tool). Each call returns the changed rectangle of document pixels.
class SStroke
{
public:
    // Undo step caption of a tool that changes layers, else nullptr.
    static const char* UndoCaption(STool tool);
    static bool ChangesLayers(STool tool) { return UndoCaption(tool) != nullptr; }

    // Makes `tool` the tool in effect, begins its undo step (even when it then changes nothing: a
    // hidden layer, a point outside) and performs its first action at document pixel `at`.
    // Positions may lie anywhere; what falls outside the document is clipped or skipped. The spuit
    // changes only context.tools; hand and zoom do nothing here (the canvas scrolls and zooms).
    ulib::SRect MouseDown(SPaintContext& context, STool tool, ulib::SPoint at);
    // Continues the drag at `at`; the brushes, the boundary tools and the knife work from the
    // previous position (the press or the last move).
    ulib::SRect MouseMove(SPaintContext& context, ulib::SPoint at);
    // Ends the drag: no tool is in effect until the next press.
    void MouseUp();

    STool ToolInEffect() const { return tool_; }

private:
    STool tool_ = ToolNone;
    ulib::SPoint previous_{};
};
