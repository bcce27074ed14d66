// The main window's rules on cels built in memory: control states, captions, keys, layer toggles,
// the split bar and the history submenu.
#include "SMainWindowRules.h"
#include "ControllerEdits.h"

#include "../document/CelFixture.h"
#include "SScriptedPlatform.h"

#include <gtest/gtest.h>

#include <utility>

using namespace ulib;
using ulib::test::ScopedPlatform;
using ulib::test::SScriptedPlatform;

namespace {

// A loaded 16 by 12 cel whose genga layer is kept in the container as an open leaves it.
void LoadCel(SHuedraneController& c)
{
    SCel cel = MakeCel(16, 12);
    cel.held.Append(cel.genga);
    cel.ComposeAll();
    c.TakeCel(std::move(cel));
    c.MarkSaved();
    c.TakePath(SString("/tmp/cel.hdq"));
}

TEST(MainWindowStates, WithoutADocumentOnlyTheCommandsThatMakeOneAreEnabled)
{
    SHuedraneController c;
    const SControlStates s = ControlStates(c);
    for (const char* name : {"MenuNew", "ToolNew", "MenuSave", "ToolSave", "MenuSaveAs", "ToolSaveAs", "MenuExport",
                             "ToolExport", "MenuPrevFile", "ToolNextFile", "MenuHistory", "MenuUndo", "ToolRepeat"})
        EXPECT_FALSE(s[name].enabled) << name;
    for (const SWholeCelMenuItem& item : WholeCelMenuItems())
        EXPECT_FALSE(s[item.name].enabled) << item.name;
    for (const char* name : {"MenuOpen", "ToolOpen", "MenuImport", "ToolImport", "MenuBatchImport", "MenuBatchExport",
                             "MenuExit"})
        EXPECT_TRUE(s[name].enabled) << name;
    EXPECT_EQ(s["MenuUndo"].caption, SString("元に戻す(&U)"));
    EXPECT_EQ(s["MenuRepeat"].caption, SString("やり直し(&R)"));
}

TEST(MainWindowStates, ALoadedDocumentEnablesFileAndWholeCelItemsAndPathlessOnesStayOff)
{
    SHuedraneController c;
    LoadCel(c);
    c.AddHistory(SString("/tmp/cel.hdq"));
    SControlStates s = ControlStates(c);
    for (const char* name : {"MenuNew", "MenuSave", "ToolSaveAs", "MenuExport", "MenuPrevFile", "ToolNextFile",
                             "MenuHistory", "MenuGundress"})
        EXPECT_TRUE(s[name].enabled) << name;
    EXPECT_FALSE(s["MenuHistory"].visible);
    EXPECT_FALSE(s["MenuToReference"].enabled);

    c.ResetIdentity();  // an imported cel: saved state, no path yet
    c.MarkSaved();
    s = ControlStates(c);
    EXPECT_TRUE(s["MenuSave"].enabled);
    EXPECT_FALSE(s["MenuPrevFile"].enabled);
    EXPECT_FALSE(s["ToolNextFile"].enabled);
}

TEST(MainWindowStates, UndoAndRedoCaptionsFollowABrushStroke)
{
    SHuedraneController c;
    LoadCel(c);
    c.MouseDown(ToolBrush, {5, 5});
    c.MouseUp();
    SControlStates s = ControlStates(c, main_refresh::EditMenu);
    EXPECT_TRUE(s["MenuUndo"].enabled);
    EXPECT_TRUE(s["ToolUndo"].enabled);
    EXPECT_EQ(s["MenuUndo"].caption, SString("ブラシを元に戻す(&U)"));
    EXPECT_FALSE(s["MenuRepeat"].enabled);

    c.Undo();
    s = ControlStates(c, main_refresh::EditMenu);
    EXPECT_FALSE(s["MenuUndo"].enabled);
    EXPECT_EQ(s["MenuUndo"].caption, SString("元に戻す(&U)"));
    EXPECT_TRUE(s["ToolRepeat"].enabled);
    EXPECT_EQ(s["MenuRepeat"].caption, SString("ブラシのやり直し(&R)"));
}

TEST(MainWindowStates, ZoomItemsStopAtTheEndsOfTheRange)
{
    SHuedraneController c;
    struct Row
    {
        std::int32_t zoom;
        bool in, out, equal;
    };
    for (const Row row : {Row{-4, true, false, true}, Row{-3, true, true, true}, Row{0, true, true, false},
                          Row{3, true, true, true}, Row{4, false, true, true}}) {
        c.SetZoom(row.zoom);
        const SControlStates s = ControlStates(c, main_refresh::ViewMenu);
        EXPECT_EQ(s["MenuZoomIn"].enabled, row.in) << row.zoom;
        EXPECT_EQ(s["ToolZoomIn"].enabled, row.in) << row.zoom;
        EXPECT_EQ(s["MenuZoomOut"].enabled, row.out) << row.zoom;
        EXPECT_EQ(s["ToolZoomOut"].enabled, row.out) << row.zoom;
        EXPECT_EQ(s["MenuZoomEqual"].enabled, row.equal) << row.zoom;
    }
}

TEST(MainWindowStates, ChecksFollowToolModePenLayersBarsAndSilhouette)
{
    SHuedraneController c;
    EditWindow(c, [&](SMainWindowState& w) {
        w.toolMode = ToolKnife;
        w.statusBarVisible = false;
    });
    c.SetColourMode(SColourMode::Eraser);
    c.SetTracePen(4);
    c.PaintContext().cel.visible[LayerGenga] = false;
    c.PaintContext().cel.silhouette = true;
    const SControlStates s = ControlStates(c);

    EXPECT_TRUE(s["MenuKnifeTool"].checked);
    EXPECT_FALSE(s["MenuPaintTool"].checked);
    EXPECT_TRUE(s["MenuColorModeEraser"].checked);
    EXPECT_TRUE(s["ToolColorModeEraser"].checked);
    EXPECT_FALSE(s["ToolColorModeColor"].checked);
    EXPECT_TRUE(s["MenuTracePen5"].checked);
    EXPECT_FALSE(s["MenuTracePen3"].checked);
    EXPECT_FALSE(s["MenuGengaLayer"].checked);
    EXPECT_FALSE(s["ToolGengaLayer"].checked);
    EXPECT_TRUE(s["ToolTraceLayer"].checked);
    EXPECT_TRUE(s["MenuToolBar"].checked);
    EXPECT_FALSE(s["MenuStatusBar"].checked);
    EXPECT_TRUE(s["ToolSilhouette"].checked);
    EXPECT_FALSE(s["ToolColorModeTexture"].visible);
    EXPECT_FALSE(s["MenuDebug"].visible);
    // Only tools with an item can carry the mark; every tool item has one name.
    std::int32_t marked = 0;
    for (const SToolMenuItem& item : ToolMenuItems())
        marked += s[item.name].checked;
    EXPECT_EQ(marked, 1);
}

TEST(MainWindowStates, UnderLayerItemsNeedALoadedUnderLayer)
{
    SHuedraneController c;
    SControlStates s = ControlStates(c, main_refresh::LayerMenu);
    EXPECT_FALSE(s["MenuUnderLayer"].enabled);
    EXPECT_FALSE(s["MenuDestroyUnderLayer"].enabled);
    EXPECT_TRUE(s["MenuLoadUnderLayer"].enabled);
    c.PaintContext().cel.under.Create(3, 3, 24);
    c.PaintContext().cel.visible[LayerUnder] = true;
    s = ControlStates(c, main_refresh::LayerMenu);
    EXPECT_TRUE(s["MenuUnderLayer"].enabled);
    EXPECT_TRUE(s["MenuUnderLayer"].checked);
    EXPECT_TRUE(s["MenuDestroyUnderLayer"].enabled);
}

TEST(MainWindowStates, ReferenceItemsFollowTheListAndItsZoom)
{
    SHuedraneController c;
    c.SetReferenceList({SString("/tmp/a.png")});
    c.SetReferenceZoom(4);
    const SControlStates s = ControlStates(c, main_refresh::ReferenceMenu);
    EXPECT_TRUE(s["ToolDeleteReference"].enabled);
    EXPECT_FALSE(s["MenuReferencePrev"].enabled);  // moving needs two entries
    EXPECT_FALSE(s["ToolReferenceZoomIn"].enabled);
    EXPECT_TRUE(s["MenuReferenceZoomReset"].enabled);
}

TEST(MainWindowStates, HistorySubmenuListsEntriesAfterTheCurrentFileWithDigitMnemonics)
{
    SScriptedPlatform platform;
    ScopedPlatform scope(platform);
    platform.SetDisplayName("/w/b.hdq", "b");
    SHuedraneController c;
    c.SetHistory({SString("/w/current.hdq"), SString("/w/b.hdq"), SString("/w/i.hdq")});

    SControlStates s = ControlStates(c, main_refresh::FileMenu);
    EXPECT_TRUE(s["MenuHistoryClear"].visible);
    EXPECT_TRUE(s["MenuHistory1"].visible);
    EXPECT_EQ(s["MenuHistory1"].caption, SString("(&1)b"));
    EXPECT_EQ(s["MenuHistory2"].caption, SString("(&2)i.hdq"));
    for (const char* name : {"MenuHistory3", "MenuHistory9", "MenuHistory0"})
        EXPECT_FALSE(s[name].visible) << name;

    // Tag 10 reads entry 10, which a history cut to ten entries never holds.
    SArray<SString> eleven;
    for (int i = 0; i < 11; ++i)
        eleven.Append(SString("/w/" + std::to_string(i)));
    c.SetHistory(eleven);
    EXPECT_EQ(c.History().Count(), SHuedraneController::HistoryLimit);
    s = ControlStates(c, main_refresh::FileMenu);
    EXPECT_EQ(s["MenuHistory9"].caption, SString("(&9)9"));
    EXPECT_FALSE(s["MenuHistory0"].visible);

    ClearHistory(c);
    s = ControlStates(c, main_refresh::FileMenu);
    EXPECT_FALSE(s["MenuHistory"].enabled);
    EXPECT_FALSE(s["MenuHistory1"].visible);
}

TEST(MainWindowKeys, RowsOfTheKeyboardPickColoursPensAndModesWithOrWithoutShift)
{
    SHuedraneController c;
    for (std::int32_t i = 0; i < 16; ++i)
        c.SetQuickColour(i, SColor(std::uint8_t(i), 0, 0));

    c.SetColourMode(SColourMode::Eraser);
    EXPECT_NE(PressMainKey(c, 'Q'), 0u);
    EXPECT_EQ(c.Tools().currentColour, SColor(10, 0, 0));
    EXPECT_EQ(c.Tools().colourMode, SColourMode::Colour);
    c.SetCurrentColour(SColor(99, 99, 99));
    EXPECT_NE(PressMainKey(c, 'q'), 0u);  // the same key with Shift released or held
    EXPECT_EQ(c.Tools().currentColour, SColor(10, 0, 0));

    const std::pair<char, std::uint8_t> colours[] = {{'1', 0}, {'9', 8}, {'0', 9}, {'W', 11}, {'Y', 15}};
    for (const auto& [key, entry] : colours) {
        PressMainKey(c, key);
        EXPECT_EQ(c.Tools().currentColour, SColor(entry, 0, 0)) << key;
    }
    const std::pair<char, std::int32_t> pens[] = {{'A', 0}, {'S', 1}, {'D', 2}, {'F', 3}, {'G', 4}};
    for (const auto& [key, pen] : pens) {
        PressMainKey(c, key);
        EXPECT_EQ(c.Tools().tracePen, pen) << key;
    }
    PressMainKey(c, 'X');
    EXPECT_EQ(c.Tools().colourMode, SColourMode::Eraser);
    PressMainKey(c, 'C');
    EXPECT_EQ(c.Tools().colourMode, SColourMode::Bitmap);
    PressMainKey(c, 'Z');
    EXPECT_EQ(c.Tools().colourMode, SColourMode::Colour);
    EXPECT_EQ(SelectColourMode(c, 4), 0u);  // texture mode exists but cannot be chosen
    EXPECT_EQ(c.Tools().colourMode, SColourMode::Colour);

    const SToolState before = c.Tools();
    for (char key : {'U', 'H', 'V', ' ', '!', '\0', '\t'})
        EXPECT_EQ(PressMainKey(c, key), 0u) << int(key);
    EXPECT_EQ(c.Tools().currentColour, before.currentColour);
    EXPECT_EQ(c.Tools().tracePen, before.tracePen);
}

TEST(MainWindowCommands, GengaToggleDecodesFromTheKeptContainerAndFrees)
{
    SHuedraneController c;
    LoadCel(c);
    c.PaintContext().cel.genga.SetColor(3, 4, SColor(10, 20, 30));
    c.PaintContext().cel.held.Clear();
    c.PaintContext().cel.held.Append(c.Cel().genga);

    EXPECT_EQ(ToggleLayer(c, LayerGenga), main_refresh::Canvas | main_refresh::LayerMenu);
    EXPECT_FALSE(c.Cel().visible[LayerGenga]);
    EXPECT_TRUE(c.Cel().genga.IsEmpty());
    EXPECT_EQ(c.Cel().display.Row32(4)[3], 0u);  // nothing shows where the genga was

    ToggleLayer(c, LayerGenga);
    EXPECT_TRUE(c.Cel().visible[LayerGenga]);
    ASSERT_EQ(c.Cel().genga.Dimensions(), (SPoint{16, 12}));
    EXPECT_EQ(c.Cel().genga.GetColor(3, 4), SColor(10, 20, 30));
    EXPECT_EQ(c.Cel().display.Row32(4)[3], 0xFF0A141Eu);
}

TEST(MainWindowCommands, ExtraToggleCreatesAtDocumentSizeAndHidingKeepsIt)
{
    SHuedraneController c;
    LoadCel(c);
    c.PaintContext().cel.visible[LayerExtra] = false;
    ASSERT_TRUE(c.Cel().extra.IsEmpty());

    ToggleLayer(c, LayerExtra);
    EXPECT_TRUE(c.Cel().visible[LayerExtra]);
    ASSERT_EQ(c.Cel().extra.Dimensions(), (SPoint{16, 12}));
    EXPECT_TRUE(c.Cel().ExtraLayerIsEmpty());

    // Hidden, the layer stays (even empty) and no longer shows; shown again it is the same layer.
    c.PaintContext().cel.extra.Row32(2)[2] = 0xFF00FF00u;
    c.PaintContext().cel.ComposeAll();
    ToggleLayer(c, LayerExtra);
    EXPECT_FALSE(c.Cel().visible[LayerExtra]);
    EXPECT_EQ(c.Cel().extra.Row32(2)[2], 0xFF00FF00u);
    EXPECT_NE(c.Cel().display.Row32(2)[2], 0xFF00FF00u);
    c.PaintContext().cel.extra.Row32(2)[2] = 0;
    ToggleLayer(c, LayerExtra);
    ToggleLayer(c, LayerExtra);
    EXPECT_EQ(c.Cel().extra.Dimensions(), (SPoint{16, 12}));
}

TEST(MainWindowCommands, OtherLayerTogglesInvertAndRecomposeAndBadTagsDoNothing)
{
    SHuedraneController c;
    LoadCel(c);
    c.PaintContext().cel.trace.Row32(1)[1] = 0x000000FFu;  // a black line of full density
    c.PaintContext().cel.ComposeAll();
    ASSERT_EQ(c.Cel().display.Row32(1)[1], 0xFF000000u);
    ToggleLayer(c, LayerTrace);
    EXPECT_FALSE(c.Cel().visible[LayerTrace]);
    EXPECT_NE(c.Cel().display.Row32(1)[1], 0xFF000000u);
    ToggleLayer(c, LayerUnder);
    EXPECT_TRUE(c.Cel().visible[LayerUnder]);

    const auto before = c.Cel().visible;
    EXPECT_EQ(ToggleLayer(c, 5), 0u);
    EXPECT_EQ(ToggleLayer(c, -1), 0u);
    EXPECT_EQ(c.Cel().visible, before);
}

TEST(MainWindowCommands, MemoSilhouetteAndBarsChangeThroughTheRules)
{
    SHuedraneController c;
    LoadCel(c);
    // The same memo changes nothing; another marks the document modified and retitles it.
    EXPECT_EQ(StoreMemo(c, {}), 0u);
    EXPECT_EQ(c.State(), SDocumentState::Saved);
    EXPECT_EQ(StoreMemo(c, {SString("一行目"), SString("")}), main_refresh::Title | main_refresh::DocumentPanel);
    EXPECT_EQ(c.Cel().memo, (SArray<SString>{SString("一行目"), SString("")}));
    EXPECT_EQ(c.State(), SDocumentState::Modified);

    // Silhouette hides unconverted coloured lines, recomposed at once.
    c.PaintContext().cel.trace.Row32(2)[3] = 0x00FF0000u;  // a red pencil line
    c.PaintContext().cel.ComposeAll();
    const std::uint32_t shown = c.Cel().display.Row32(2)[3];
    EXPECT_EQ(ToggleSilhouette(c), main_refresh::Canvas | main_refresh::ViewMenu);
    EXPECT_TRUE(c.Cel().silhouette);
    EXPECT_NE(c.Cel().display.Row32(2)[3], shown);
    ToggleSilhouette(c);
    EXPECT_EQ(c.Cel().display.Row32(2)[3], shown);

    for (std::int32_t bar : {0, 1, 2}) {
        const SMainWindowState before = c.Window();
        EXPECT_EQ(ToggleBar(c, bar), main_refresh::ViewMenu);
        EXPECT_EQ(c.Window().toolBarVisible, before.toolBarVisible != (bar == 0)) << bar;
        EXPECT_EQ(c.Window().subToolBarVisible, before.subToolBarVisible != (bar == 1)) << bar;
        EXPECT_EQ(c.Window().statusBarVisible, before.statusBarVisible != (bar == 2)) << bar;
    }
}

TEST(MainWindowCommands, CaptionMarksUnsavedChanges)
{
    SHuedraneController c;
    EXPECT_EQ(WindowCaption(c), SString("無題 - Huedrane"));
    LoadCel(c);
    EXPECT_EQ(WindowCaption(c), c.Title());
    c.MarkModified();
    EXPECT_EQ(WindowCaption(c), SString("*" + c.Title().Str()));
}

TEST(MainWindowCommands, WholeCelCommandNeedsADocument)
{
    SHuedraneController c;
    EXPECT_EQ(RunWholeCelCommand(c, SWholeCelOperation::Gundress), 0u);
    EXPECT_FALSE(c.UndoBuffer().CanUndo());
    LoadCel(c);
    EXPECT_NE(RunWholeCelCommand(c, SWholeCelOperation::FillPaint), 0u);
    EXPECT_EQ(c.State(), SDocumentState::Modified);
    EXPECT_EQ(ControlStates(c, main_refresh::EditMenu)["MenuUndo"].caption, SString("塗りつぶしを元に戻す(&U)"));
}

TEST(MainWindowSplitBar, ShareIsRaisedToTenAndNarrowPanesBecomeTwoPixels)
{
    SHuedraneController c;
    const auto share = [&](std::int32_t percent) { EditWindow(c, [&](SMainWindowState& w) { w.splitBar = percent; }); };
    share(50);
    EXPECT_EQ(ReferencePaneWidth(c, 801), 400);  // 801 * 50 / 100, rounded down
    share(0);
    EXPECT_EQ(ReferencePaneWidth(c, 1000), 900);
    EXPECT_EQ(c.Window().splitBar, 10);
    share(95);
    EXPECT_EQ(ReferencePaneWidth(c, 100), 2);  // 5 pixels is too narrow
    EXPECT_EQ(ReferencePaneWidth(c, 200), 10);
    EXPECT_EQ(ReferencePaneWidth(c, 0), 2);

    MoveSplitBar(c, 300, 1000);
    EXPECT_EQ(c.Window().splitBar, 30);
    MoveSplitBar(c, 5, 1000);
    EXPECT_EQ(c.Window().splitBar, 0);
    EXPECT_EQ(ReferencePaneWidth(c, 1000), 900);
    MoveSplitBar(c, 300, 0);  // a window without width keeps the share
    EXPECT_EQ(c.Window().splitBar, 10);

    // Without references the pane takes no width, and its share is kept for the first one.
    EXPECT_EQ(ShownReferencePaneWidth(c, 1000), 0);
    c.SetReferenceList({SString("/tmp/a.png")});
    EXPECT_EQ(ShownReferencePaneWidth(c, 1000), 900);
}

}  // namespace
