// The enabling, check marks, visibility and changing captions of the main window's menu items and
// tool buttons, recomputed from the controller whenever a menu opens or a command ends.
#include "SMainWindowRules.h"

#include "SPlatform.h"

#include <string>
#include <utility>

using namespace ulib;

namespace {

const SControlState DefaultState;

constexpr SToolMenuItem ToolItems[] = {
    {ToolPaint, "MenuPaintTool", "ペイントツール(&P)", "\tEnter+Click"},
    {ToolSpuit, "MenuSpuitTool", "スポイトツール(&S)", ""},
    {ToolTracePen, "MenuTraceTool", "トレースツール(&T)", "\tSpace+Click"},
    {ToolBrush, "MenuBrushTool", "ブラシツール(&A)", "\tTab+Click"},
    {ToolBoundaryFix, "MenuFixTool", "境界修正ツール(&F)", "\tBS+Click"},
    {ToolBoundaryDelete, "MenuDeleteFixTool", "境界削除ツール(&G)", ""},
    {ToolHand, "MenuHandTool", "手のひらツール(&H)", "\tShift+Click"},
    {ToolZoomIn, "MenuLupeTool", "虫眼鏡ツール(&L)", "\tCtrl+Click"},
    {ToolRepaint, "MenuRepaintTool", "塗り替えツール(&R)", "\tIns+Click"},
    {ToolBlackToRed, "MenuTraceConvertTool", "トレス線変換ツール(&U)", "\tDel+Click"},
    {ToolExtraBrush, "MenuExtentionBrushTool", "拡張レイヤーブラシ(Z)", ""},
    {ToolKnife, "MenuKnifeTool", "切れ込みツール(&K)", ""},
};

constexpr SWholeCelMenuItem WholeCelItems[] = {
    {"MenuFullFillPaint", SWholeCelOperation::FillPaint},
    {"MenuFullFillTrace", SWholeCelOperation::FillTrace},
    {"MenuFullFillExtra", SWholeCelOperation::FillExtra},
    {"MenuFullFillBoth", SWholeCelOperation::FillBoth},
    {"MenuFullFillTraceBlackToRed", SWholeCelOperation::BlackToRed},
    {"MenuGundress", SWholeCelOperation::Gundress},
};

// Controls that exist on the form but are never shown.
constexpr const char* HiddenControls[] = {
    "MenuPositioning", "MenuBrightness", "MenuRgbCalibration", "MenuHsvCalibration", "MenuGammaCalibration",
    "MenuFullRepaintTrace", "MenuTextureBox", "MenuToolBox", "MenuMemo", "MenuDebug",
    "ToolColorModeTexture", "ToolTextureBox", "ToolToolBox", "ToolMemo",
};

SControlState Enabled(bool enabled)
{
    SControlState state;
    state.enabled = enabled;
    return state;
}

SControlState Checked(bool checked)
{
    SControlState state;
    state.checked = checked;
    return state;
}

// A menu item and its tool button sharing one state.
void SetPair(SControlStates& states, std::string_view item, SControlState state)
{
    states.Set(std::string("Menu") + std::string(item), state);
    states.Set(std::string("Tool") + std::string(item), state);
}

void HistoryStates(const SHuedraneController& c, SControlStates& states)
{
    states.Set("MenuHistoryClear", SControlState{});
    for (std::int32_t tag = 1; tag <= 10; ++tag) {
        SControlState state;
        // Entry 0 is the current file and is never listed; SArray would wrap a tag past the end.
        state.visible = tag < c.History().Count();
        if (state.visible) {
            const std::string shown = Platform().DisplayName(c.History()[tag].Str());
            state.caption = SString("(&" + std::to_string(tag % 10) + ")" + shown);
        }
        states.Set(HistoryItemName(tag), state);
    }
}

void FileStates(const SHuedraneController& c, SControlStates& states)
{
    const bool loaded = c.State() != SDocumentState::None;
    for (const char* item : {"New", "Save", "SaveAs", "Export"})
        SetPair(states, item, Enabled(loaded));
    for (const char* item : {"PrevFile", "NextFile"})
        SetPair(states, item, Enabled(loaded && !c.Path().IsEmpty()));
    for (const char* item : {"Open", "Import"})
        SetPair(states, item, SControlState{});
    for (const char* name : {"MenuBatchImport", "MenuBatchExport", "MenuExportToReference", "MenuExit"})
        states.Set(name, SControlState{});

    SControlState toReference;
    toReference.enabled = false;
    toReference.visible = false;
    states.Set("MenuToReference", toReference);
    SControlState history;
    history.enabled = c.History().Count() > 0;
    history.visible = false;  // hidden, but kept up to date all the same
    states.Set("MenuHistory", history);
    HistoryStates(c, states);
}

void EditStates(const SHuedraneController& c, SControlStates& states)
{
    SControlState undo = Enabled(c.UndoBuffer().CanUndo());
    SetPair(states, "Undo", undo);
    undo.caption = c.UndoMenuCaption();
    states.Set("MenuUndo", undo);
    SControlState redo = Enabled(c.UndoBuffer().CanRedo());
    SetPair(states, "Repeat", redo);
    redo.caption = c.RedoMenuCaption();
    states.Set("MenuRepeat", redo);

    const bool loaded = c.State() != SDocumentState::None;
    for (const SWholeCelMenuItem& item : WholeCelItems)
        states.Set(item.name, Enabled(loaded));
    states.Set("MenuCarryPrevious", Enabled(loaded));
    states.Set("MenuCarryFrom", Enabled(loaded));
    states.Set("MenuNextLeftRegion", Enabled(!c.LeftRegions().empty()));
}

void ToolStates(const SHuedraneController& c, SControlStates& states)
{
    for (const SToolMenuItem& item : ToolItems)
        states.Set(item.name, Checked(c.Window().toolMode == item.tool));

    const int mode = static_cast<int>(c.Tools().colourMode);
    const char* const modes[] = {"Color", "Eraser", "Bitmap"};
    for (int i = 0; i < 3; ++i)
        SetPair(states, std::string("ColorMode") + modes[i], Checked(mode == i + 1));
    SControlState texture = Checked(mode == static_cast<int>(SColourMode::Texture));
    texture.visible = false;
    states.Set("ToolColorModeTexture", texture);

    for (std::int32_t pen = 0; pen < 5; ++pen)
        states.Set("MenuTracePen" + std::to_string(pen + 1), Checked(c.Tools().tracePen == pen));
}

void LayerStates(const SHuedraneController& c, SControlStates& states)
{
    SetPair(states, "TraceLayer", Checked(c.Cel().visible[LayerTrace]));
    SetPair(states, "PaintLayer", Checked(c.Cel().visible[LayerPaint]));
    SetPair(states, "GengaLayer", Checked(c.Cel().visible[LayerGenga]));
    SetPair(states, "ExtraLayer", Checked(c.Cel().visible[LayerExtra]));

    const bool underLoaded = !c.Cel().under.IsEmpty();
    SControlState under = Checked(c.Cel().visible[LayerUnder]);
    under.enabled = underLoaded;
    states.Set("MenuUnderLayer", under);
    states.Set("MenuLoadUnderLayer", SControlState{});
    states.Set("MenuDestroyUnderLayer", Enabled(underLoaded));
}

void ViewStates(const SHuedraneController& c, SControlStates& states)
{
    states.Set("MenuToolBar", Checked(c.Window().toolBarVisible));
    states.Set("MenuSubToolBar", Checked(c.Window().subToolBarVisible));
    states.Set("MenuStatusBar", Checked(c.Window().statusBarVisible));
    SetPair(states, "ZoomIn", Enabled(c.Zoom() < 4));
    SetPair(states, "ZoomOut", Enabled(c.Zoom() >= -3));
    states.Set("MenuZoomEqual", Enabled(c.Zoom() != 0));
    SetPair(states, "Silhouette", Checked(c.Cel().silhouette));
    states.Set("MenuGapSeams", Checked(c.GapSeamsShown()));
    states.Set("MenuCheckView", Checked(c.CheckShown()));
    states.Set("MenuNextFinding", Enabled(c.CheckShown()));
    states.Set("MenuPrevFinding", Enabled(c.CheckShown()));
}

void ReferenceStates(const SHuedraneController& c, SControlStates& states)
{
    const std::int32_t count = c.ReferenceList().Count();
    const std::int32_t zoom = c.ReferenceZoom();
    states.Set("MenuReferenceList", SControlState{});
    SetPair(states, "AppendReference", SControlState{});
    SetPair(states, "DeleteReference", Enabled(count > 0));
    SetPair(states, "ReferenceUpdate", Enabled(count > 0));
    SetPair(states, "ReferencePrev", Enabled(count >= 2));
    SetPair(states, "ReferenceNext", Enabled(count >= 2));
    SetPair(states, "ReferenceZoomIn", Enabled(count > 0 && zoom < 4));
    SetPair(states, "ReferenceZoomOut", Enabled(count > 0 && zoom > -4));
    states.Set("MenuReferenceZoomReset", Enabled(count > 0 && zoom != 0));
}

}  // namespace

void SControlStates::Set(std::string_view name, SControlState state)
{
    states_.insert_or_assign(std::string(name), std::move(state));
}

bool SControlStates::Has(std::string_view name) const
{
    return states_.find(name) != states_.end();
}

const SControlState& SControlStates::operator[](std::string_view name) const
{
    const auto found = states_.find(name);
    return found == states_.end() ? DefaultState : found->second;
}

std::span<const SToolMenuItem> ToolMenuItems()
{
    return ToolItems;
}

std::span<const SWholeCelMenuItem> WholeCelMenuItems()
{
    return WholeCelItems;
}

std::string HistoryItemName(std::int32_t tag)
{
    return "MenuHistory" + std::to_string(tag % 10);
}

SControlStates ControlStates(const SHuedraneController& c, std::uint32_t groups)
{
    SControlStates states;
    for (const char* name : HiddenControls) {
        SControlState hidden;
        hidden.visible = false;
        states.Set(name, hidden);
    }
    if (groups & main_refresh::FileMenu)
        FileStates(c, states);
    if (groups & main_refresh::EditMenu)
        EditStates(c, states);
    if (groups & main_refresh::ToolMenu)
        ToolStates(c, states);
    if (groups & main_refresh::LayerMenu)
        LayerStates(c, states);
    if (groups & main_refresh::ViewMenu)
        ViewStates(c, states);
    if (groups & main_refresh::ReferenceMenu)
        ReferenceStates(c, states);
    return states;
}
