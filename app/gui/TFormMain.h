// The program's document window: the menu tree and tool bar, the canvas with the reference pane
// beside it behind a split bar, and the status bar. Its handlers hand every command to the
// controller and the main window rules (SMainWindowRules.h), then bring the window up to date.
#pragma once

#include "SCommandLine.h"
#include "SError.h"
#include "SMainWindowRules.h"
#include "SString.h"

#include <QMainWindow>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

class QAction;
class QKeyEvent;
class QMenu;
class QSpinBox;
class QSplitter;
class QTimer;
class QToolBar;
class SHeldKeyFilter;
class SHuedraneController;
class TCanvas;
class TFormBrush;
class TFormChart;
class TFormMemo;
class TFormPalette;
class TFormTexture;
class TFormToolbox;
class TReferencePane;
class TStatusBar;
class TToolBox;

// The character a key press stands for in the keyboard table: digits and letters (upper case) as
// the key is marked, also while Shift is held; 0 for other keys and for Ctrl or Alt combinations.
char MainKeyCharacter(const QKeyEvent& event);

class TFormMain : public QMainWindow
{
    Q_OBJECT

public:
    // Loads the settings into the controller and builds the window. programPath is the program
    // started for every file dropped after the first one. The key filter is installed on the
    // application by the caller and must outlive the window.
    TFormMain(SHuedraneController& controller, SHeldKeyFilter& keyFilter, const ulib::SString& programPath,
              QWidget* parent = nullptr);
    ~TFormMain() override;

    // The command line carried out when the window is first shown.
    void SetCommandLine(const SCommandLine& commandLine) { commandLine_ = commandLine; }
    // True after the command line asked to end at once (settings removed): the entry then
    // leaves without saving the settings.
    bool ExitRequested() const { return exitRequested_; }

    // A menu item, submenu or tool button by its control name ("MenuSave", "ToolUndo",
    // "MenuHistory"); nullptr for an unknown name.
    QAction* Action(std::string_view name) const;
    // A top-level menu or submenu by name ("MenuFileMain", "MenuHistory").
    QMenu* Menu(std::string_view name) const;
    TCanvas* Canvas() const { return canvas_; }
    TStatusBar* StatusPanels() const { return statusBar_; }
    QWidget* ReferencePane() const { return referencePane_; }
    TReferencePane* Reference() const { return reference_; }
    TFormPalette* Palette() const { return palette_; }
    TFormChart* Chart() const { return chart_; }
    TFormBrush* Brush() const { return brush_; }
    TFormMemo* Memo() const { return memo_; }

    // Brings the parts named by main_refresh bits up to date.
    void Refresh(std::uint32_t parts);

    // A tool box (palette, chart, brush, memo) that the dialog commands hide while they run and
    // show again afterwards, when it was floating in view.
    void RegisterToolBox(QWidget* box);

    // Shows the window where it stood when it last closed, maximised when it was; the first time
    // maximised over the screen's free area.
    void ShowAsLastTime();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    struct SItem;  // one row of the menu table

    void BuildMenus();
    void BuildToolBar();
    void BuildClientArea();
    QAction* AddAction(QMenu* menu, const SItem& item);
    // A tool button on the main tool bar, or on `bar` (the reference pane's).
    QAction* AddToolButton(const char* name, const char* hint, std::function<void()> handler,
                           bool checkable = false, QToolBar* bar = nullptr);
    void BuildToolBoxes();
    // The boxes' stored arrangement applied, and the current one kept for the settings.
    void RestoreLayout();
    void KeepLayout();
    void BuildReferencePane();
    void ConnectReferenceMenu();
    void ApplyStates(const SControlStates& states);

    // Runs a document command with the rules of its kind: the tool boxes hidden around dialogs,
    // the error shown (not "cancel", unless the command shows it), the parts refreshed.
    void RunCommand(SMainCommand command, const std::function<ulib::SError()>& action);
    // Runs the action with the visible tool boxes hidden when hidesBoxes is set; gives its error.
    ulib::SError RunHidingBoxes(bool hidesBoxes, const std::function<ulib::SError()>& action);
    // A reference command: the tool boxes hidden around its dialog when it has one, its error
    // shown (not "cancel"), the pane redrawn and the Reference menu refreshed.
    void RunReferenceCommand(bool hidesBoxes, const std::function<ulib::SError()>& action);
    void ZoomReference(std::int32_t tag);
    // Stores what was typed into an open memo box into the cel.
    void KeepMemo();
    void UnderLayer(bool load);
    void WholeCel(SWholeCelOperation operation);
    // A colour carry, run as a document command; its counts go to the status bar.
    void Carry(SMainCommand command, const std::function<ulib::SError()>& action);
    // Centres the view on the next region the last carry left unpainted.
    void NextLeftRegion();
    void UndoRedo(bool redo);
    void Layer(std::int32_t tag);
    void Zoom(std::int32_t tag);
    void Silhouette();
    // The check view on or off, and the steps through its findings (+1 next, -1 previous).
    void CheckView();
    void StepFinding(int direction);
    void ToggleBar(int bar);
    void PlaceSplitBar();
    // The title with the unsaved-changes marker, when it differs from the one shown.
    void ShowCaption();
    void FirstShow();
    // With autosave started: offers the copies a crash left (TFormRecovery) and starts the ticks.
    void StartAutosave();
    void AutosaveTick();

    SHuedraneController& controller_;
    SHeldKeyFilter& keyFilter_;
    ulib::SString programPath_;
    SCommandLine commandLine_;
    bool shown_ = false;
    bool exitRequested_ = false;
    bool placingSplitBar_ = false;

    std::map<std::string, QAction*, std::less<>> actions_;
    std::map<std::string, QMenu*, std::less<>> menus_;
    std::vector<QWidget*> toolBoxes_;
    QToolBar* toolBar_ = nullptr;
    QSpinBox* fillGap_ = nullptr;  // the tool bar's gap size of the fill
    QSplitter* splitter_ = nullptr;
    TCanvas* canvas_ = nullptr;        // ScrollMain
    QWidget* referencePane_ = nullptr; // PanelReference
    TReferencePane* reference_ = nullptr;
    TFormPalette* palette_ = nullptr;
    TFormChart* chart_ = nullptr;
    TFormBrush* brush_ = nullptr;
    TFormMemo* memo_ = nullptr;
    TFormTexture* texture_ = nullptr;
    TFormToolbox* toolbox_ = nullptr;
    TStatusBar* statusBar_ = nullptr;
    QTimer* autosaveTimer_ = nullptr;
};
