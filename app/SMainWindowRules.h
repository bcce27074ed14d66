// The main window's rules without the window: which menu items and tool buttons are enabled,
// checked, shown and captioned how; the commands the window hands straight to the controller (layer
// toggles, colour mode, trace pen, tool, keys, dropped files, closing); the split bar's arithmetic;
// and which parts of the window each command leaves out of date. The window applies the results.
#pragma once

#include "SArray.h"
#include "SError.h"
#include "SHuedraneController.h"
#include "SMainRefresh.h"
#include "SMainWindowState.h"
#include "SString.h"
#include "SWholeCel.h"

#include <cstdint>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <string_view>

// ---- Menu items and tool buttons ----

struct SControlState
{
    bool enabled = true;
    bool checked = false;  // a menu item's check mark, a tool button held down
    bool visible = true;
    ulib::SString caption;  // empty: the caption the form gives the control
};

// Control states by the form's control names ("MenuSave", "ToolUndo", ...).
class SControlStates
{
public:
    void Set(std::string_view name, SControlState state);
    bool Has(std::string_view name) const;
    // A name not set gives the default state: enabled, shown, unchecked, the form's caption.
    const SControlState& operator[](std::string_view name) const;
    const std::map<std::string, SControlState, std::less<>>& All() const { return states_; }

private:
    std::map<std::string, SControlState, std::less<>> states_;
};

// The state of every control of the given menu groups (main_refresh menu bits) and of their tool
// buttons, from the controller and its window state. The history submenu asks the platform seam
// for display names.
SControlStates ControlStates(const SHuedraneController& controller, std::uint32_t groups = main_refresh::AllMenus);

// The tool menu's radio items; tools 9 and 12 have none.
struct SToolMenuItem
{
    std::int32_t tool;
    const char* name;     // "MenuPaintTool", ...
    const char* caption;  // without the key hint
    const char* keyHint;  // appended at start-up ("\tEnter+Click"), or ""
};
std::span<const SToolMenuItem> ToolMenuItems();

// The Edit menu's whole-cel items and the operation each runs.
struct SWholeCelMenuItem
{
    const char* name;
    SWholeCelOperation operation;
};
std::span<const SWholeCelMenuItem> WholeCelMenuItems();

// The history submenu's item for a tag 1..10: "MenuHistory1" .. "MenuHistory9", "MenuHistory0".
std::string HistoryItemName(std::int32_t tag);

// ---- Commands ----

// Layer toggle by tag: 3 trace, 2 paint, 1 genga, 4 extra, 0 under (SHuedraneController::ToggleLayer).
std::uint32_t ToggleLayer(SHuedraneController& controller, std::int32_t tag);

// Silhouette mode on or off; the display is recomposed. Returns the refresh bits.
std::uint32_t ToggleSilhouette(SHuedraneController& controller);

// The memo box's lines become the cel's memo; a memo that differs marks the document modified.
// Returns the refresh bits, 0 when the memo was the same.
std::uint32_t StoreMemo(SHuedraneController& controller, ulib::SArray<ulib::SString> memo);

// Shows or hides a bar: 0 the tool bar, 1 the reference pane's tool bar, else the status bar.
// Returns the refresh bits.
std::uint32_t ToggleBar(SHuedraneController& controller, std::int32_t bar);

// Colour mode 1 colour, 2 eraser, 3 bitmap; texture (4) and any other value are refused (0).
std::uint32_t SelectColourMode(SHuedraneController& controller, std::int32_t mode);
// Trace pen index 0..4; others refused (0).
std::uint32_t SelectTracePen(SHuedraneController& controller, std::int32_t pen);
// The selected tool 1..14; others refused (0).
std::uint32_t SelectTool(SHuedraneController& controller, std::int32_t tool);
// The quick palette entry 0..15 becomes the current colour and the colour mode colour.
std::uint32_t TakeQuickColour(SHuedraneController& controller, std::int32_t entry);
// A click on quick palette entry 0..15: with store (Space held) in colour mode the current colour
// goes into the entry, else the entry is taken (TakeQuickColour).
std::uint32_t ClickQuickColour(SHuedraneController& controller, std::int32_t entry, bool store);

// A key pressed on the main window, as the unshifted character of the key ('1' also while Shift is
// held; letters in either case). Digits 1..9, 0 take quick palette entries 0..9 and Q W E R T Y
// entries 10..15; A S D F G choose trace pens 0..4; Z X C colour modes 1..3. Returns the refresh
// bits, 0 for every other key (it did nothing).
std::uint32_t PressMainKey(SHuedraneController& controller, char key);

// A whole-cel item's command; nothing happens without a document. Returns the refresh bits.
std::uint32_t RunWholeCelCommand(SHuedraneController& controller, SWholeCelOperation operation);

// Import followed by marking the document modified on success, so that it is offered for saving.
ulib::SError ImportCommand(SHuedraneController& controller, const ulib::SString& file, bool ask);

// Opens history entry tag (1..10). A tag without an entry does nothing and returns 0.
ulib::SError OpenHistoryEntry(SHuedraneController& controller, std::int32_t tag);
// MenuHistoryClear.
void ClearHistory(SHuedraneController& controller);

// Files dropped on the window (empty names are passed over). The first is opened or imported
// (SHuedraneController::OpenOrImport). Every further file is handed to a new instance of
// programPath; one error box says when any did not start. Errors are shown through the seam.
// Returns the refresh bits (0 when no file was named).
std::uint32_t DropFiles(SHuedraneController& controller, const ulib::SArray<ulib::SString>& files,
                        const ulib::SString& programPath);

// The close query: true when the window may close. "cancel" keeps it; so does any other failure of
// the save question, which is shown, since closing then would lose the unsaved cel.
bool QueryCloseWindow(SHuedraneController& controller);

// ---- Split bar ----

// The split bar moved: its left edge becomes the stored percentage of the client width (0..100).
// A client width of 0 or less keeps the stored value.
void MoveSplitBar(SHuedraneController& controller, std::int32_t leftEdge, std::int32_t clientWidth);
// On every resize: raises the stored percentage to at least 10 and gives the reference pane's
// width, clientWidth * (100 - percentage) / 100, or 2 when that is below 10.
std::int32_t ReferencePaneWidth(SHuedraneController& controller, std::int32_t clientWidth);

// The reference pane's width on the screen: none while the reference list is empty, so the canvas
// has the whole client area, else ReferencePaneWidth.
std::int32_t ShownReferencePaneWidth(SHuedraneController& controller, std::int32_t clientWidth);

// ---- Window position ----

// The window's restored rectangle on closing, remembered for the next start; an empty one (a
// window never shown) keeps what was remembered.
void KeepNormalRect(SHuedraneController& controller, const ulib::SRect& normal);
// The tool boxes' arrangement (opaque text, see SMainWindowState) and the maximised state on
// closing, for the next start.
void KeepWindowLayout(SHuedraneController& controller, ulib::SString layout, bool maximized);

// The window's caption: the document's title, after a "*" while the cel has unsaved changes.
ulib::SString WindowCaption(const SHuedraneController& controller);

// ---- After-command rules ----

enum class SMainCommand {
    Clear, Open, Save, SaveAs, Import, Export, BatchImport, BatchExport, ExportToReference,
    PreviousFile, NextFile, OpenHistory, DropFiles, Undo, Redo, WholeCel, CarryFromPrevious, CarryFrom,
};

struct SCommandEffects
{
    std::uint32_t refresh = 0;  // main_refresh bits, after the error (if any) was shown
    bool hidesBoxes = false;    // the visible palette, chart, brush and memo boxes hide around it
    bool showsCancel = false;   // "cancel" is shown like any other error
};
SCommandEffects CommandEffects(SMainCommand command);
