// The main window's menu tree and tool bar: every item with its caption, shortcut and hint, the
// hidden items the form keeps, and the handler each item runs.
#include "TFormMain.h"

#include "SHelp.h"
#include "SGapSplit.h"
#include "SHuedraneController.h"
#include "SMessage.h"
#include "SToolIcons.h"
#include "SUiText.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>
#include <QSpinBox>
#include <QToolBar>

using namespace ulib;

struct TFormMain::SItem
{
    const char* name;
    const char* caption;
    const char* shortcut;  // Qt's notation; "" for none
    const char* hint;
    std::function<void()> handler;  // empty: the item does nothing
    bool checkable = false;
    bool hidden = false;
};

namespace {

// Hints of the whole-cel items, in the order of WholeCelMenuItems().
const char* WholeCelCaption(std::string_view name)
{
    static const std::pair<const char*, const char*> captions[] = {
        {"MenuFullFillPaint", "ペイント面を塗りつぶし(&1)"},
        {"MenuFullFillTrace", "トレース面を塗りつぶし(&2)"},
        {"MenuFullFillExtra", "拡張レイヤーを塗りつぶし(&3)"},
        {"MenuFullFillBoth", "両面塗りつぶし(&3)"},
        {"MenuFullFillTraceBlackToRed", "一括色トレース線変換(&4)"},
        {"MenuGundress", "ガンドレス塗り(&G)"},
    };
    for (const auto& [item, caption] : captions)
        if (name == item)
            return caption;
    return "";
}

const char* WholeCelHint(std::string_view name)
{
    static const std::pair<const char*, const char*> hints[] = {
        {"MenuFullFillPaint", "ペイント面全体を現在の色で塗りつぶします。"},
        {"MenuFullFillTrace", "トレース面全体を現在の色で塗りつぶします。"},
        {"MenuFullFillExtra", "拡張レイヤー全体を現在の色で塗りつぶします。"},
        {"MenuFullFillBoth", "トレース面とペイント面を現在の色で塗りつぶします。"},
        {"MenuFullFillTraceBlackToRed", "黒トレース線を、全て赤トレス線に変換します。"},
        {"MenuGundress", "閉領域とトレス面を塗りつぶします。"},
    };
    for (const auto& [item, hint] : hints)
        if (name == item)
            return hint;
    return "";
}

}  // namespace

QAction* TFormMain::AddAction(QMenu* menu, const SItem& item)
{
    QAction* action = menu->addAction(UiText(item.caption));
    action->setObjectName(QString::fromUtf8(item.name));
    if (*item.shortcut)
        action->setShortcut(QKeySequence(QString::fromLatin1(item.shortcut)));
    action->setStatusTip(UiText(item.hint));
    action->setToolTip(UiText(item.hint));
    action->setCheckable(item.checkable);
    action->setVisible(!item.hidden);
    if (item.handler)
        connect(action, &QAction::triggered, this, item.handler);
    actions_.emplace(item.name, action);
    return action;
}

void TFormMain::BuildMenus()
{
    QMenuBar* bar = menuBar();
    bar->setObjectName("MenuMain");
    auto addMenu = [&](QMenu* parent, const char* name, const char* caption) {
        QMenu* menu = parent ? parent->addMenu(UiText(caption)) : bar->addMenu(UiText(caption));
        menu->setObjectName(QString::fromUtf8(name));
        menu->menuAction()->setObjectName(QString::fromUtf8(name));
        menus_.emplace(name, menu);
        actions_.emplace(name, menu->menuAction());
        return menu;
    };
    auto add = [&](QMenu* menu, std::vector<SItem> items) {
        for (const SItem& item : items)
            AddAction(menu, item);
    };
    // Each menu recomputes its items' states when it opens.
    auto refreshOnOpen = [&](QMenu* menu, std::uint32_t group) {
        connect(menu, &QMenu::aboutToShow, this, [this, group] { ApplyStates(ControlStates(controller_, group)); });
    };
    SHuedraneController& c = controller_;

    QMenu* file = addMenu(nullptr, "MenuFileMain", "ファイル(&F)");
    refreshOnOpen(file, main_refresh::FileMenu);
    add(file, {
        {"MenuNew", "消去(&N)", "Ctrl+N", "現在の画像を破棄します。",
         [this, &c] { RunCommand(SMainCommand::Clear, [&c] { return c.Clear(); }); }},
        {"MenuOpen", "開く(&O)...", "Ctrl+O", "ファイルを開きます。",
         [this, &c] { RunCommand(SMainCommand::Open, [&c] { return c.Open(SString()); }); }},
        {"MenuSave", "上書き保存(&S)", "Ctrl+S", "現在の画像を上書き保存します。",
         [this, &c] { RunCommand(SMainCommand::Save, [&c] { return c.Save(); }); }},
        {"MenuSaveAs", "名前を付けて保存(&A)...", "Ctrl+T", "現在の画像に名前を付けて保存します。",
         [this, &c] { RunCommand(SMainCommand::SaveAs, [&c] { return c.SaveAs(); }); }},
    });
    file->addSeparator();
    add(file, {
        {"MenuImport", "インポート(&I)...", "Ctrl+I", "画像ファイルを読み込みます。",
         [this, &c] { RunCommand(SMainCommand::Import, [&c] { return ImportCommand(c, SString(), true); }); }},
        {"MenuExport", "エクスポート(&E)...", "Ctrl+E", "現在の画像を画像ファイルに出力します。",
         [this, &c] { RunCommand(SMainCommand::Export, [&c] { return c.Export(SString(), nullptr); }); }},
        {"MenuBatchImport", "一括インポート(J)...", "", "複数の画像ファイルをまとめて読み込みます。",
         [this, &c] { RunCommand(SMainCommand::BatchImport, [&c] { return c.BatchImport({}); }); }},
        {"MenuBatchExport", "一括エクスポート(&K)...", "", "複数のファイルをまとめて画像ファイルに出力します。",
         [this, &c] { RunCommand(SMainCommand::BatchExport, [&c] { return c.BatchExport({}); }); }},
        {"MenuExportToReference", "参照画像へ出力(&R)...", "", "現在の画像を出力して参照画像に加えます。", {}},
    });
    file->addSeparator();
    add(file, {
        {"MenuPrevFile", "保存して前のファイル(&P)", "Ctrl+Left", "保存して、同じフォルダの前のファイルを開きます。",
         [this, &c] { RunCommand(SMainCommand::PreviousFile, [&c] { return c.NextFile(-1); }); }},
        {"MenuNextFile", "保存して次のファイル(&Q)", "Ctrl+Right", "保存して、同じフォルダの次のファイルを開きます。",
         [this, &c] { RunCommand(SMainCommand::NextFile, [&c] { return c.NextFile(1); }); }},
        {"MenuToReference", "保存して色指定表に追加(&R)", "", "保存して、現在のファイルを参照画像に加えます。", {}, false, true},
    });
    QMenu* history = addMenu(file, "MenuHistory", "履歴(&H)");
    history->menuAction()->setVisible(false);
    refreshOnOpen(history, main_refresh::FileMenu);
    add(history, {{"MenuHistoryClear", "履歴のクリア(&C)", "", "ファイルの履歴を消去します。",
                   [this, &c] { ClearHistory(c); Refresh(main_refresh::FileMenu); }}});
    for (std::int32_t tag = 1; tag <= 10; ++tag) {
        const std::string name = HistoryItemName(tag);
        SItem item{name.c_str(), "", "", "履歴のファイルを開きます。",
                   [this, &c, tag] { RunCommand(SMainCommand::OpenHistory, [&c, tag] { return OpenHistoryEntry(c, tag); }); }};
        item.hidden = true;
        AddAction(history, item);
    }
    file->addSeparator();
    add(file, {{"MenuExit", "Huedraneの終了(&X)", "Alt+F4", "Huedraneを終了します。", [this] { close(); }}});

    QMenu* edit = addMenu(nullptr, "MenuEditMain", "編集(&E)");
    refreshOnOpen(edit, main_refresh::EditMenu);
    add(edit, {
        {"MenuUndo", "元に戻す(&U)", "Ctrl+Z", "直前の操作を取り消します。", [this] { UndoRedo(false); }},
        {"MenuRepeat", "やり直し(&R)", "Ctrl+Y", "取り消した操作をやり直します。", [this] { UndoRedo(true); }},
    });
    edit->addSeparator();
    for (const SWholeCelMenuItem& whole : WholeCelMenuItems()) {
        const SWholeCelOperation operation = whole.operation;
        const std::string_view name = whole.name;
        AddAction(edit, {whole.name, WholeCelCaption(name), name == "MenuGundress" ? "Ctrl+G" : "",
                         WholeCelHint(name), [this, operation] { WholeCel(operation); }});
        if (name == "MenuFullFillTraceBlackToRed")
            AddAction(edit, {"MenuFullRepaintTrace", "トレース面を塗り替え(&4)", "", "トレース面を塗り替えます。", {}, false, true});
    }
    edit->addSeparator();
    add(edit, {
        {"MenuCarryPrevious", "前のセルから色を写す(&C)", "Ctrl+Shift+V", "同じフォルダの前のセルの色を、現在の画像に写します。",
         [this, &c] { Carry(SMainCommand::CarryFromPrevious, [&c] { return c.CarryFromPrevious(); }); }},
        {"MenuCarryFrom", "色を写すセルを選ぶ(&S)...", "", "選んだセルの色を、現在の画像に写します。",
         [this, &c] { Carry(SMainCommand::CarryFrom, [&c] { return c.CarryFrom(SString()); }); }},
        {"MenuNextLeftRegion", "次の塗り残しへ(&L)", "Ctrl+L", "色を写せずに残した次の領域を表示します。",
         [this] { NextLeftRegion(); }},
    });
    edit->addSeparator();
    add(edit, {
        {"MenuPositioning", "イメージの位置調整(&M)...", "", "イメージの位置を調整します。", {}, false, true},
        {"MenuBrightness", "明度補正(&B)...", "", "明度を補正します。", {}, false, true},
        {"MenuRgbCalibration", "RGB補正(&Q)...", "", "RGBを補正します。", {}, false, true},
        {"MenuHsvCalibration", "HSV補正(&H)...", "", "HSVを補正します。", {}, false, true},
        {"MenuGammaCalibration", "γ補正(&G)...", "", "γを補正します。", {}, false, true},
    });

    QMenu* tool = addMenu(nullptr, "MenuToolMain", "ツール(&T)");
    refreshOnOpen(tool, main_refresh::ToolMenu);
    auto* tools = new QActionGroup(this);
    for (const SToolMenuItem& item : ToolMenuItems()) {
        const std::int32_t number = item.tool;
        // The key that chooses the tool while clicking is shown beside the caption.
        const std::string caption = UiText(item.caption).toStdString() + item.keyHint;
        QAction* action = AddAction(tool, {item.name, caption.c_str(), "", "ツールを選択します。",
                                           [this, &c, number] { Refresh(SelectTool(c, number)); }, true});
        tools->addAction(action);
    }
    tool->addSeparator();
    auto* modes = new QActionGroup(this);
    const char* const modeNames[] = {"MenuColorModeColor", "MenuColorModeEraser", "MenuColorModeBitmap"};
    const char* const modeCaptions[] = {"カラーモード(&C)", "消しゴムモード(&E)", "ビットマップモード(&X)"};
    const char* const modeHints[] = {"現在の色で塗ります。", "消しゴムで消します。", "参照画像で塗ります。"};
    for (int i = 0; i < 3; ++i)
        modes->addAction(AddAction(tool, {modeNames[i], modeCaptions[i], "", modeHints[i],
                                          [this, &c, i] { Refresh(SelectColourMode(c, i + 1)); }, true}));
    tool->addSeparator();
    auto* pens = new QActionGroup(this);
    const char* const penCaptions[] = {"トレースペン極細(&1)", "トレースペン細(&2)", "トレースペン中(&3)",
                                       "トレースペン太(&4)", "トレースペン極太(&5)"};
    for (int pen = 0; pen < 5; ++pen) {
        const std::string name = "MenuTracePen" + std::to_string(pen + 1);
        pens->addAction(AddAction(tool, {name.c_str(), penCaptions[pen], "", "トレースペンの太さを選択します。",
                                         [this, &c, pen] { Refresh(SelectTracePen(c, pen)); }, true}));
    }

    QMenu* layer = addMenu(nullptr, "MenuLayerMain", "レイヤー(&L)");
    refreshOnOpen(layer, main_refresh::LayerMenu);
    add(layer, {
        {"MenuTraceLayer", "トレス線レイヤー(&T)", "Shift+F1", "トレス線レイヤーの表示を切り替えます。",
         [this] { Layer(LayerTrace); }, true},
        {"MenuPaintLayer", "ペイント面レイヤー(&P)", "Shift+F2", "ペイント面レイヤーの表示を切り替えます。",
         [this] { Layer(LayerPaint); }, true},
        {"MenuGengaLayer", "原画レイヤー(&G)", "Shift+F3", "原画レイヤーの表示を切り替えます。",
         [this] { Layer(LayerGenga); }, true},
        {"MenuExtraLayer", "拡張レイヤー(&E)", "Shift+F4", "拡張レイヤーの表示を切り替えます。",
         [this] { Layer(LayerExtra); }, true},
        {"MenuUnderLayer", "下敷きレイヤー(&R)", "", "下敷きレイヤーの表示を切り替えます。",
         [this] { Layer(LayerUnder); }, true},
    });
    layer->addSeparator();
    add(layer, {
        {"MenuLoadUnderLayer", "下敷きレイヤーの読み込み(&F)", "", "下敷きレイヤーを読み込みます。", {}},
        {"MenuDestroyUnderLayer", "下敷きレイヤーの破棄(&D)", "", "下敷きレイヤーを破棄します。", {}},
    });

    QMenu* view = addMenu(nullptr, "MenuShowMain", "表示(&V)");
    refreshOnOpen(view, main_refresh::ViewMenu);
    add(view, {
        {"MenuToolBar", "ツールバー(&T)", "", "ツールバーの表示を切り替えます。", [this] { ToggleBar(0); }, true},
        {"MenuSubToolBar", "追加ツールバー(&A)", "", "追加ツールバーの表示を切り替えます。", [this] { ToggleBar(1); }, true},
        {"MenuStatusBar", "ステータスバー(&S)", "", "ステータスバーの表示を切り替えます。", [this] { ToggleBar(2); }, true},
    });
    view->addSeparator();
    add(view, {
        {"MenuZoomIn", "拡大(&+)", "", "表示を拡大します。", [this] { Zoom(1); }},
        {"MenuZoomOut", "縮小(&-)", "", "表示を縮小します。", [this] { Zoom(-1); }},
        {"MenuZoomEqual", "等倍(&R)", "", "等倍で表示します。", [this] { Zoom(0); }},
    });
    view->addSeparator();
    add(view, {
        {"MenuPaletteBox", "カラーパレット(&P)...", "F6", "カラーパレットの表示を切り替えます。", {}},
        {"MenuChartBox", "カラーチャート(&C)...", "F7", "カラーチャートの表示を切り替えます。", {}},
        {"MenuAirbrushBox", "ブラシボックス(&B)...", "F8", "ブラシボックスの表示を切り替えます。", {}},
        {"MenuTextureBox", "テクスチャー(&X)...", "F9", "テクスチャーボックスを表示します。", {}, false, true},
        {"MenuToolBox", "ツールボックス(&Y)...", "F10", "ツールボックスを表示します。", {}, false, true},
        {"MenuMemo", "メモ(&M)...", "", "メモの表示を切り替えます。", {}, false, true},
    });
    view->addSeparator();
    add(view, {
        {"MenuSilhouette", "シルエット(&H)", "Ctrl+H", "シルエット表示を切り替えます。", [this] { Silhouette(); }, true},
        {"MenuGapSeams", "閉じる隙間を表示(&G)", "", "塗りつぶしが閉じる線の隙間の表示を切り替えます。",
         [this, &c] { Refresh(c.ShowGapSeams(!c.GapSeamsShown())); }, true},
        {"MenuCheckView", "チェック表示(&K)", "", "塗り残し、ゴミ、未変換の色トレス線の表示を切り替えます。",
         [this] { CheckView(); }, true},
        {"MenuNextFinding", "次のチェック項目へ(&J)", "Ctrl+K", "チェックで見つかった次の箇所を表示します。",
         [this] { StepFinding(1); }},
        {"MenuPrevFinding", "前のチェック項目へ(&U)", "Ctrl+Shift+K", "チェックで見つかった前の箇所を表示します。",
         [this] { StepFinding(-1); }},
        {"MenuOption", "オプション(&O)...", "", "オプションを設定します。", {}},
    });

    QMenu* reference = addMenu(nullptr, "MenuReferenceMain", "参照画像(&R)");
    refreshOnOpen(reference, main_refresh::ReferenceMenu);
    add(reference, {
        {"MenuReferenceList", "参照画像の一覧(&L)...", "", "参照画像の一覧を編集します。", {}},
        {"MenuAppendReference", "参照画像リストに登録(&A)...", "", "参照画像をリストに登録します。", {}},
        {"MenuDeleteReference", "参照画像リストから抹消(&D)", "", "現在の参照画像をリストから抹消します。", {}},
    });
    reference->addSeparator();
    add(reference, {
        {"MenuReferencePrev", "前の参照画像(&P)", "Shift+Left", "前の参照画像を表示します。", {}},
        {"MenuReferenceNext", "次の参照画像(&N)", "Shift+Right", "次の参照画像を表示します。", {}},
        {"MenuReferenceUpdate", "参照画像の再読み込み(&U)", "", "参照画像を読み込み直します。", {}},
    });
    reference->addSeparator();
    add(reference, {
        {"MenuReferenceZoomIn", "参照画像の拡大(&+)", "", "参照画像を拡大表示します。", {}},
        {"MenuReferenceZoomOut", "参照画像の縮小(&-)", "", "参照画像を縮小表示します。", {}},
        {"MenuReferenceZoomReset", "参照画像の等倍表示(&Z)", "", "参照画像を等倍で表示します。", {}},
    });

    QMenu* help = addMenu(nullptr, "MenuHelpMain", "ヘルプ(&H)");
    add(help, {
        {"MenuHelpContents", "ヘルプの目次(&C)", "F1", "ヘルプの目次を表示します。",
         [] { if (const SError err = ShowHelpContents()) ReportError(err); }},
        {"MenuAbout", "バージョン情報(&A)...", "", "バージョン情報を表示します。", {}},
        {"MenuDebug", "デバッグ用", "", "デバッグ用の情報を表示します。", {}, false, true},
    });
}

QAction* TFormMain::AddToolButton(const char* name, const char* hint, std::function<void()> handler, bool checkable,
                                  QToolBar* bar)
{
    QAction* action = (bar ? bar : toolBar_)->addAction(ToolIcon(name), UiText(hint));
    action->setObjectName(QString::fromUtf8(name));
    action->setToolTip(UiText(hint));
    action->setStatusTip(UiText(hint));
    action->setCheckable(checkable);
    if (handler)
        connect(action, &QAction::triggered, this, handler);
    actions_.emplace(name, action);
    return action;
}

void TFormMain::BuildToolBar()
{
    toolBar_ = addToolBar(UiText("ツールバー"));
    toolBar_->setObjectName("ToolBar");
    toolBar_->setMovable(false);
    toolBar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
    toolBar_->setIconSize(QSize(20, 20));
    auto trigger = [this](const char* item) { return [this, item] { Action(item)->trigger(); }; };
    AddToolButton("ToolNew", "消去", trigger("MenuNew"));
    AddToolButton("ToolOpen", "開く", trigger("MenuOpen"));
    AddToolButton("ToolSave", "上書き保存", trigger("MenuSave"));
    AddToolButton("ToolSaveAs", "名前を付けて保存", trigger("MenuSaveAs"));
    AddToolButton("ToolImport", "インポート", trigger("MenuImport"));
    AddToolButton("ToolExport", "エクスポート", trigger("MenuExport"));
    // Tags: previous and next file -1 and +1, colour modes 1..4, layers 3 2 1 4, zoom +1 and -1.
    AddToolButton("ToolPrevFile", "保存して前のファイル", trigger("MenuPrevFile"))->setData(-1);
    AddToolButton("ToolNextFile", "保存して次のファイル", trigger("MenuNextFile"))->setData(1);
    toolBar_->addSeparator();
    AddToolButton("ToolUndo", "元に戻す", [this] { UndoRedo(false); });
    AddToolButton("ToolRepeat", "やり直し", [this] { UndoRedo(true); });
    toolBar_->addSeparator();
    auto* modes = new QActionGroup(this);
    const char* const modeNames[] = {"ToolColorModeColor", "ToolColorModeEraser", "ToolColorModeBitmap",
                                     "ToolColorModeTexture"};
    const char* const modeHints[] = {"カラーモード", "消しゴムモード", "ビットマップモード", "テクスチャーモード"};
    for (int i = 0; i < 4; ++i) {
        QAction* button = AddToolButton(modeNames[i], modeHints[i],
                                        [this, i] { Refresh(SelectColourMode(controller_, i + 1) | main_refresh::ToolMenu); },
                                        true);
        button->setData(i + 1);
        modes->addAction(button);
    }
    Action("ToolColorModeColor")->setChecked(true);
    Action("ToolColorModeTexture")->setVisible(false);
    toolBar_->addSeparator();
    const std::pair<const char*, const char*> layers[] = {{"ToolTraceLayer", "トレス線レイヤー"},
                                                          {"ToolPaintLayer", "ペイント面レイヤー"},
                                                          {"ToolGengaLayer", "原画レイヤー"},
                                                          {"ToolExtraLayer", "拡張レイヤー"}};
    const std::int32_t layerTags[] = {LayerTrace, LayerPaint, LayerGenga, LayerExtra};
    for (int i = 0; i < 4; ++i) {
        const std::int32_t tag = layerTags[i];
        QAction* button = AddToolButton(layers[i].first, layers[i].second, [this, tag] { Layer(tag); }, true);
        button->setData(tag);
        button->setChecked(true);
    }
    toolBar_->addSeparator();
    AddToolButton("ToolSilhouette", "シルエット", [this] { Silhouette(); }, true);
    toolBar_->addSeparator();
    AddToolButton("ToolZoomIn", "拡大", [this] { Zoom(1); })->setData(1);
    AddToolButton("ToolZoomOut", "縮小", [this] { Zoom(-1); })->setData(-1);
    toolBar_->addSeparator();
    fillGap_ = new QSpinBox(toolBar_);
    fillGap_->setObjectName("SpinFillGap");
    fillGap_->setRange(0, LargestFillGap);
    fillGap_->setPrefix(UiText("隙間 "));
    fillGap_->setSpecialValueText(UiText("隙間 なし"));
    fillGap_->setToolTip(UiText("隙間を閉じる: 塗りつぶしが越えない線の隙間の幅 (ピクセル、0で無効)"));
    fillGap_->setValue(controller_.Tools().fillGap);
    connect(fillGap_, &QSpinBox::valueChanged, this, [this](int gap) { Refresh(controller_.SetFillGap(gap)); });
    toolBar_->addWidget(fillGap_)->setObjectName("ToolFillGap");
    toolBar_->addSeparator();
    AddToolButton("ToolPaletteBox", "カラーパレット", {});
    AddToolButton("ToolChartBox", "カラーチャート", {});
    AddToolButton("ToolAirbrushBox", "ブラシボックス", {});
    for (const char* hidden : {"ToolTextureBox", "ToolToolBox", "ToolMemo"})
        AddToolButton(hidden, "", {})->setVisible(false);
    toolBar_->addSeparator();
    AddToolButton("ToolHelp", "ヘルプ", trigger("MenuHelpContents"));
}
