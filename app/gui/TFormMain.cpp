// The main window: construction, the client area (canvas, split bar, reference pane, status bar),
// applying control states, refreshing after commands, and the window's own events (first show,
// closing, resizing, keys, dropped files).
#include "TFormMain.h"

#include "SCheckView.h"
#include "SHeldKeyFilter.h"
#include "SHuedraneController.h"
#include "SHuedraneSettings.h"
#include "SMessage.h"
#include "SUiText.h"
#include "TCanvas.h"
#include "TFormMemo.h"
#include "TFormPalette.h"
#include "TReferencePane.h"
#include "TStatusBar.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QScreen>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QSplitter>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

#include <algorithm>

using namespace ulib;

namespace {

QString FromUtf8(const SString& text)
{
    return QString::fromStdString(text.Str());
}

// How long a command's report stays in the status bar, in milliseconds.
constexpr int StatusMessageTime = 10000;
// The split bar's width, and the narrowest the reference pane is dragged to, in pixels.
constexpr int SplitHandleWidth = 6;
constexpr int NarrowestPane = 2;

}  // namespace

char MainKeyCharacter(const QKeyEvent& event)
{
    // Only plain keys and Shift: Ctrl and Alt combinations belong to the shortcuts.
    const Qt::KeyboardModifiers others = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    if (event.modifiers() & others)
        return 0;
    const int key = event.key();
    if ((key >= Qt::Key_0 && key <= Qt::Key_9) || (key >= Qt::Key_A && key <= Qt::Key_Z))
        return static_cast<char>(key);
    if (!(event.modifiers() & Qt::ShiftModifier))
        return 0;
    // Shift turns a digit key into a symbol whose key code depends on the layout. The X server's
    // key codes of the digit row (10 for 1 .. 19 for 0) do not, so they come first.
    const quint32 scanCode = event.nativeScanCode();
    if (scanCode >= 10 && scanCode <= 19)
        return scanCode == 19 ? '0' : static_cast<char>('1' + (scanCode - 10));
    // Without an X key code (a display server other than X, a synthetic event): the US layout's shifted digits.
    static const std::pair<int, char> shifted[] = {
        {Qt::Key_Exclam, '1'}, {Qt::Key_At, '2'},        {Qt::Key_NumberSign, '3'}, {Qt::Key_Dollar, '4'},
        {Qt::Key_Percent, '5'}, {Qt::Key_AsciiCircum, '6'}, {Qt::Key_Ampersand, '7'}, {Qt::Key_Asterisk, '8'},
        {Qt::Key_ParenLeft, '9'}, {Qt::Key_ParenRight, '0'},
    };
    for (const auto& [code, digit] : shifted)
        if (key == code)
            return digit;
    return 0;
}

TFormMain::TFormMain(SHuedraneController& controller, SHeldKeyFilter& keyFilter, const SString& programPath,
                     QWidget* parent)
    : QMainWindow(parent), controller_(controller), keyFilter_(keyFilter), programPath_(programPath)
{
    setObjectName("FormMain");
    setAcceptDrops(true);
    LoadSettings(controller_);
    controller_.SetUpFileDialogs();

    BuildMenus();
    BuildToolBar();
    BuildClientArea();
    BuildToolBoxes();
    ConnectReferenceMenu();
    keyFilter_.SetToolWindow(this);
    ShowCaption();
    resize(960, 720);
    RestoreLayout();
}

void TFormMain::ShowAsLastTime()
{
    const SMainWindowState& w = controller_.Window();
    const SRect& r = w.normalRect;
    const QRect last(r.left, r.top, r.right - r.left, r.bottom - r.top);
    const QScreen* shown = screen();
    // A place on a screen that is no longer there counts as none.
    const bool remembered = w.hasNormalRect && last.isValid() &&
                            (shown == nullptr || shown->availableVirtualGeometry().intersects(last));
    if (remembered) {
        setGeometry(last);
    } else if (shown != nullptr) {
        // Restoring from maximised later gives a window that fits the screen with a margin.
        const QRect free = shown->availableGeometry();
        setGeometry(free.adjusted(free.width() / 16, free.height() / 16, -free.width() / 16, -free.height() / 16));
    }
    if (!remembered || w.maximized)
        showMaximized();
    else
        show();
}

void TFormMain::ShowCaption()
{
    const QString caption = FromUtf8(WindowCaption(controller_));
    if (caption != windowTitle())
        setWindowTitle(caption);
}

TFormMain::~TFormMain() = default;

void TFormMain::BuildClientArea()
{
    splitter_ = new QSplitter(Qt::Horizontal, this);
    splitter_->setObjectName("SplitterMain");
    splitter_->setChildrenCollapsible(false);
    canvas_ = new TCanvas(controller_, keyFilter_.Keys(), splitter_);
    canvas_->setObjectName("ScrollMain");
    BuildReferencePane();
    splitter_->addWidget(canvas_);
    splitter_->addWidget(referencePane_);
    splitter_->setStretchFactor(0, 1);
    splitter_->setStretchFactor(1, 0);
    // Without references the pane closes up to nothing; the bar stays wide and shaded to be found.
    splitter_->setCollapsible(1, true);
    splitter_->setHandleWidth(SplitHandleWidth);
    splitter_->setStyleSheet(QStringLiteral("QSplitter::handle { background: palette(mid); }"
                                            "QSplitter::handle:hover { background: palette(highlight); }"));
    setCentralWidget(splitter_);
    connect(splitter_, &QSplitter::splitterMoved, this, [this](int position, int) {
        if (!placingSplitBar_)
            MoveSplitBar(controller_, position, splitter_->width());
    });

    statusBar_ = new TStatusBar(controller_, keyFilter_.Keys(), this);
    statusBar_->setObjectName("StatusBar");
    setStatusBar(statusBar_);

    using namespace main_refresh;
    connect(canvas_, &TCanvas::DocumentEdited, this, [this] {
        Refresh(EditMenu);
        if (controller_.CheckShown())
            statusBar_->showMessage(FromUtf8(CheckSummary(controller_.CheckFindings())), StatusMessageTime);
    });
    connect(canvas_, &TCanvas::ZoomChanged, this, [this] { Refresh(ViewMenu | DocumentPanel); });
    connect(canvas_, &TCanvas::ColourChanged, this, [this] { Refresh(ToolMenu | StatusBar | PaletteBox); });
    connect(canvas_, &TCanvas::PointerMoved, statusBar_, &TStatusBar::SetPosition);
    connect(statusBar_, &TStatusBar::ColourChanged, this, [this] { Refresh(ToolMenu | StatusBar | PaletteBox); });
    connect(statusBar_, &TStatusBar::PenChanged, this, [this] { Refresh(ToolMenu | StatusBar); });
}

QAction* TFormMain::Action(std::string_view name) const
{
    const auto found = actions_.find(name);
    return found == actions_.end() ? nullptr : found->second;
}

QMenu* TFormMain::Menu(std::string_view name) const
{
    const auto found = menus_.find(name);
    return found == menus_.end() ? nullptr : found->second;
}

void TFormMain::ApplyStates(const SControlStates& states)
{
    for (const auto& [name, state] : states.All()) {
        QAction* action = Action(name);
        // A name the window has no control for is a mistake in the state table (the GUI tests
        // check every name); a release build leaves the other controls as they are.
        Q_ASSERT_X(action, "TFormMain::ApplyStates", name.c_str());
        if (!action)
            continue;
        action->setEnabled(state.enabled);
        action->setVisible(state.visible);
        if (action->isCheckable())
            action->setChecked(state.checked);
        if (!state.caption.IsEmpty())
            action->setText(UiText(state.caption.Str().c_str()));
    }
}

void TFormMain::Refresh(std::uint32_t parts)
{
    using namespace main_refresh;
    if (parts & Title)
        SetApplicationTitle(controller_.Title().Str());
    // Any refresh may follow a first change or a save: the marker is checked every time.
    ShowCaption();
    if (parts & (CanvasSize | main_refresh::Canvas))
        canvas_->DocumentReplaced();
    if (parts & (DocumentPanel | StatusBar))
        statusBar_->Refresh();
    // A document replaced under an open memo box: the box shows the new document's memo.
    if ((parts & CanvasSize) && memo_->isVisible())
        memo_->LoadMemo();
    if (parts & PaletteBox)
        palette_->Update();
    if (parts & main_refresh::ReferencePane) {
        reference_->ImageChanged();
        // The pane opens with the first reference and closes with the last.
        PlaceSplitBar();
    }
    if (parts & AllMenus)
        ApplyStates(ControlStates(controller_, parts & AllMenus));
    if ((parts & ToolMenu) && fillGap_ && fillGap_->value() != controller_.Tools().fillGap) {
        const QSignalBlocker quiet(fillGap_);
        fillGap_->setValue(controller_.Tools().fillGap);
    }
}

void TFormMain::RegisterToolBox(QWidget* box)
{
    if (box)
        toolBoxes_.push_back(box);
}

SError TFormMain::RunHidingBoxes(bool hidesBoxes, const std::function<SError()>& action)
{
    // Dialogs of the command would otherwise open under the tool boxes that float on top; docked
    // boxes cover nothing.
    std::vector<QWidget*> hidden;
    if (hidesBoxes)
        for (QWidget* box : toolBoxes_)
            if (box->isVisible() && box->isWindow()) {
                box->hide();
                hidden.push_back(box);
            }
    const SError err = action();
    for (QWidget* box : hidden)
        box->show();
    return err;
}

void TFormMain::RunCommand(SMainCommand command, const std::function<SError()>& action)
{
    const SCommandEffects effects = CommandEffects(command);
    KeepMemo();
    ReportFailure(RunHidingBoxes(effects.hidesBoxes, action), effects.showsCancel);
    Refresh(effects.refresh);
}

void TFormMain::KeepMemo()
{
    // Text typed into an open memo box belongs to the document before it is saved or replaced.
    if (memo_->isVisible())
        memo_->StoreMemo();
}

void TFormMain::WholeCel(SWholeCelOperation operation)
{
    Refresh(RunWholeCelCommand(controller_, operation));
}

void TFormMain::Carry(SMainCommand command, const std::function<SError()>& action)
{
    // A shortcut may fire while the item last showed enabled.
    if (controller_.State() == SDocumentState::None)
        return;
    SError result = 0;
    RunCommand(command, [&] { return result = action(); });
    if (result == 0)
        statusBar_->showMessage(FromUtf8(CarrySummary(controller_.LastCarry())), StatusMessageTime);
}

void TFormMain::CheckView()
{
    Refresh(controller_.ShowCheck(!controller_.CheckShown()));
    if (controller_.CheckShown())
        statusBar_->showMessage(FromUtf8(CheckSummary(controller_.CheckFindings())), StatusMessageTime);
}

void TFormMain::StepFinding(int direction)
{
    const std::int32_t index = controller_.StepFinding(direction);
    if (index < 0)
        return;
    const SRect& bounds = controller_.CheckFindings()[std::size_t(index)].bounds;
    canvas_->CentreOn({(bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2});
    // The frame of the finding stepped to is drawn heavier, wherever it is.
    canvas_->RedrawDocument(controller_.Cel().display.Bounds());
    statusBar_->showMessage(FromUtf8(FindingText(controller_.CheckFindings(), index)), StatusMessageTime);
}

void TFormMain::NextLeftRegion()
{
    const std::int32_t index = controller_.StepLeftRegion();
    if (index < 0)
        return;
    const SRect& bounds = controller_.LeftRegions()[std::size_t(index)].bounds;
    canvas_->CentreOn({(bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2});
    statusBar_->showMessage(FromUtf8(LeftRegionText(index, std::int32_t(controller_.LeftRegions().size()))),
                            StatusMessageTime);
}

void TFormMain::UndoRedo(bool redo)
{
    // A shortcut may fire while the item last showed enabled.
    if (redo ? !controller_.UndoBuffer().CanRedo() : !controller_.UndoBuffer().CanUndo())
        return;
    if (redo)
        controller_.Redo();
    else
        controller_.Undo();
    Refresh(CommandEffects(redo ? SMainCommand::Redo : SMainCommand::Undo).refresh);
}

void TFormMain::Layer(std::int32_t tag)
{
    Refresh(ToggleLayer(controller_, tag));
}

void TFormMain::Zoom(std::int32_t tag)
{
    canvas_->ZoomClick(tag);
    Refresh(main_refresh::ViewMenu | main_refresh::DocumentPanel);
}

void TFormMain::Silhouette()
{
    Refresh(ToggleSilhouette(controller_));
}

void TFormMain::ToggleBar(int bar)
{
    const std::uint32_t parts = ::ToggleBar(controller_, bar);
    const SMainWindowState& w = controller_.Window();
    toolBar_->setVisible(w.toolBarVisible);
    reference_->ToolSub()->setVisible(w.subToolBarVisible);
    statusBar_->setVisible(w.statusBarVisible);
    Refresh(parts);
}

void TFormMain::PlaceSplitBar()
{
    const int clientWidth = splitter_->width();
    const int paneWidth = ShownReferencePaneWidth(controller_, clientWidth);
    // The pane keeps two pixels while it has pictures and closes up completely without any.
    referencePane_->setMinimumWidth(paneWidth == 0 ? 0 : NarrowestPane);
    placingSplitBar_ = true;
    splitter_->setSizes({std::max(0, clientWidth - paneWidth - splitter_->handleWidth()), paneWidth});
    placingSplitBar_ = false;
}

void TFormMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (shown_)
        return;
    shown_ = true;
    // After the show has finished: the command line may open dialogs and boxes.
    QTimer::singleShot(0, this, [this] { FirstShow(); });
}

void TFormMain::FirstShow()
{
    const SMainWindowState& w = controller_.Window();
    toolBar_->setVisible(w.toolBarVisible);
    reference_->ToolSub()->setVisible(w.subToolBarVisible);
    statusBar_->setVisible(w.statusBarVisible);

    switch (RunCommandLine(controller_, commandLine_, programPath_)) {
    case SCommandLineOutcome::Continue:
        break;
    case SCommandLineOutcome::ExitNow:
        // The settings were removed: the entry must not write them back.
        exitRequested_ = true;
        QCoreApplication::exit(0);
        return;
    case SCommandLineOutcome::CloseWindow:
        QTimer::singleShot(0, this, [this] { close(); });
        break;
    }
    namespace refresh = main_refresh;
    Refresh(refresh::Title | refresh::CanvasSize | refresh::Canvas | refresh::StatusBar | refresh::ReferencePane |
            refresh::AllMenus);
    PlaceSplitBar();
    StartAutosave();
}

void TFormMain::closeEvent(QCloseEvent* event)
{
    KeepMemo();
    if (!QueryCloseWindow(controller_)) {
        event->ignore();
        return;
    }
    const QRect normal = normalGeometry();
    KeepNormalRect(controller_, {normal.left(), normal.top(), normal.left() + normal.width(), normal.top() + normal.height()});
    KeepLayout();
    event->accept();
}

void TFormMain::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    PlaceSplitBar();
}

void TFormMain::keyPressEvent(QKeyEvent* event)
{
    if (const char key = MainKeyCharacter(*event)) {
        if (const std::uint32_t parts = PressMainKey(controller_, key)) {
            Refresh(parts);
            event->accept();
            return;
        }
    }
    QMainWindow::keyPressEvent(event);
}

void TFormMain::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TFormMain::dropEvent(QDropEvent* event)
{
    // Anything that is not a local file stays in the list as an empty name, which is passed over.
    SArray<SString> files;
    for (const QUrl& url : event->mimeData()->urls())
        files.Append(url.isLocalFile() ? SString(url.toLocalFile().toStdString()) : SString());
    event->acceptProposedAction();
    // Opening may ask questions; the drag source is released first.
    QTimer::singleShot(0, this, [this, files] {
        KeepMemo();
        if (const std::uint32_t parts = DropFiles(controller_, files, programPath_))
            Refresh(parts);
    });
}
