// The main window's companions: the tool boxes made with it, docked or floating, toggled from the
// View menu and kept where they were between runs; the options and about dialogs, the reference
// pane with its tool bar and commands, and the under layer.
#include "TFormMain.h"

#include "SHeldKeyFilter.h"
#include "SHuedraneController.h"
#include "TCanvas.h"
#include "TFormBrush.h"
#include "TFormChart.h"
#include "TFormMemo.h"
#include "TFormOption.h"
#include "TFormPalette.h"
#include "TFormTexture.h"
#include "TFormToolbox.h"
#include "TFormVersion.h"
#include "TReferencePane.h"

#include <QAction>
#include <QDockWidget>
#include <QSplitter>
#include <QToolBar>

using namespace ulib;

void TFormMain::BuildToolBoxes()
{
    // In the order the program has always made them: palette, chart, brush, memo.
    palette_ = new TFormPalette(controller_, this);
    chart_ = new TFormChart(controller_, keyFilter_.Keys(), this);
    brush_ = new TFormBrush(controller_, this);
    memo_ = new TFormMemo(controller_, this);
    texture_ = new TFormTexture(this);
    toolbox_ = new TFormToolbox(this);
    // The first layout: every box docked on the right, hidden until it is opened; the palette and
    // chart above the others. A stored layout replaces it when the window is shown.
    for (TToolBox* box : std::initializer_list<TToolBox*>{palette_, chart_, brush_, memo_, texture_, toolbox_}) {
        auto* dock = new QDockWidget(box->windowTitle(), this);
        dock->setObjectName(box->objectName() + QStringLiteral("Dock"));
        box->SetDock(dock);
        addDockWidget(Qt::RightDockWidgetArea, dock);
        dock->hide();
    }
    const std::pair<TToolBox*, const char*> toggles[] = {
        {palette_, "PaletteBox"}, {chart_, "ChartBox"}, {brush_, "AirbrushBox"}, {memo_, "Memo"}};
    for (const auto& [box, name] : toggles) {
        const std::string item = std::string("Menu") + name;
        const std::string button = std::string("Tool") + name;
        box->SetToggles(Action(item), Action(button));
        for (QAction* action : {Action(item), Action(button)})
            connect(action, &QAction::triggered, box, [box] { box->Toggle(); });
        connect(box, &TToolBox::MainRefresh, this, [this](std::uint32_t parts) { Refresh(parts); });
        // Only the boxes a user can open hide around dialogs.
        RegisterToolBox(box->Frame());
    }
}

void TFormMain::RestoreLayout()
{
    const SMainWindowState& w = controller_.Window();
    // Stored bytes the window system does not accept leave the first layout.
    if (!w.layout.IsEmpty())
        restoreState(QByteArray::fromBase64(QByteArray::fromStdString(w.layout.Str())));
}

void TFormMain::KeepLayout()
{
    KeepWindowLayout(controller_, SString(saveState().toBase64().toStdString()), isMaximized());
}

void TFormMain::BuildReferencePane()
{
    reference_ = new TReferencePane(controller_, keyFilter_.Keys(), splitter_);
    referencePane_ = reference_;
    QToolBar* bar = reference_->ToolSub();
    SHuedraneController& c = controller_;
    auto trigger = [this](const char* item) { return [this, item] { Action(item)->trigger(); }; };
    AddToolButton("ToolAppendReference", "参照画像リストに登録", trigger("MenuAppendReference"), false, bar);
    AddToolButton("ToolDeleteReference", "参照画像リストから抹消", trigger("MenuDeleteReference"), false, bar);
    bar->addSeparator();
    AddToolButton("ToolReferencePrev", "前の参照画像", trigger("MenuReferencePrev"), false, bar)->setData(-1);
    AddToolButton("ToolReferenceNext", "次の参照画像", trigger("MenuReferenceNext"), false, bar)->setData(1);
    AddToolButton("ToolReferenceUpdate", "参照画像の再読み込み", trigger("MenuReferenceUpdate"), false, bar)->setData(0);
    bar->addSeparator();
    AddToolButton("ToolReferenceZoomIn", "参照画像の拡大", trigger("MenuReferenceZoomIn"), false, bar)->setData(1);
    AddToolButton("ToolReferenceZoomOut", "参照画像の縮小", trigger("MenuReferenceZoomOut"), false, bar)->setData(-1);
    bar->setVisible(c.Window().subToolBarVisible);

    using namespace main_refresh;
    connect(reference_, &TReferencePane::ColourPicked, this, [this] { Refresh(ToolMenu | StatusBar | PaletteBox); });
    connect(reference_, &TReferencePane::MouseReleased, this, [this] { Refresh(ReferenceMenu); });
    connect(reference_, &TReferencePane::ZoomChanged, this, [this] { Refresh(ReferenceMenu); });
}

void TFormMain::ConnectReferenceMenu()
{
    SHuedraneController& c = controller_;
    auto connectItem = [this](const char* item, std::function<void()> handler) {
        connect(Action(item), &QAction::triggered, this, std::move(handler));
    };
    connectItem("MenuReferenceList", [this, &c] { RunReferenceCommand(true, [&c] { return c.EditReferenceList(); }); });
    connectItem("MenuAppendReference", [this, &c] { RunReferenceCommand(true, [&c] { return c.AppendReferences(); }); });
    connectItem("MenuDeleteReference", [this, &c] { RunReferenceCommand(false, [&c] { c.RemoveReference(); return SError(); }); });
    connectItem("MenuReferencePrev", [this, &c] { RunReferenceCommand(false, [&c] { return c.MoveReference(-1); }); });
    connectItem("MenuReferenceNext", [this, &c] { RunReferenceCommand(false, [&c] { return c.MoveReference(1); }); });
    connectItem("MenuReferenceUpdate", [this, &c] { RunReferenceCommand(false, [&c] { return c.MoveReference(0); }); });
    connectItem("MenuReferenceZoomIn", [this] { ZoomReference(1); });
    connectItem("MenuReferenceZoomOut", [this] { ZoomReference(-1); });
    connectItem("MenuReferenceZoomReset", [this] { ZoomReference(0); });
    connectItem("MenuExportToReference",
                [this, &c] { RunCommand(SMainCommand::ExportToReference, [&c] { return c.ExportToReference(); }); });
    connectItem("MenuLoadUnderLayer", [this] { UnderLayer(true); });
    connectItem("MenuDestroyUnderLayer", [this] { UnderLayer(false); });
    connectItem("MenuOption", [this] {
        TFormOption dialog(controller_, this);
        dialog.exec();
        // The colour dialogs share the quick palette, shown in the status bar; the fill's gap size
        // is the tool bar's too.
        const bool marked = controller_.GapSeamsShown() || controller_.CheckShown();
        Refresh(main_refresh::ToolChange | (marked ? main_refresh::Canvas : 0));
    });
    connectItem("MenuAbout", [this] {
        TFormVersion about(this);
        about.exec();
    });
}

void TFormMain::RunReferenceCommand(bool hidesBoxes, const std::function<SError()>& action)
{
    ReportFailure(RunHidingBoxes(hidesBoxes, action), false);
    Refresh(main_refresh::ReferencePane | main_refresh::ReferenceMenu);
}

void TFormMain::ZoomReference(std::int32_t tag)
{
    controller_.ZoomReference(tag);
    Refresh(main_refresh::ReferencePane | main_refresh::ReferenceMenu);
}

void TFormMain::UnderLayer(bool load)
{
    SError err = 0;
    if (load)
        err = controller_.LoadUnderLayer(SString());
    else
        controller_.DestroyUnderLayer();
    ReportFailure(err, false);
    Refresh(main_refresh::Canvas | main_refresh::LayerMenu);
}
