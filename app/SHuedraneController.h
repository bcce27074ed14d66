// The application controller: owns the working cel, its undo buffer, the document's identity and the
// tool state for the program's whole run. Windows and the converter reach the cel only through it.
#pragma once

#include "SArray.h"
#include "SAutosave.h"
#include "SBitmap.h"
#include "SCarry.h"
#include "SCarryMarks.h"
#include "SCelCheck.h"
#include "SCel.h"
#include "SColor.h"
#include "SFileDialog.h"
#include "SHuedraneOptions.h"
#include "SHuedraneUndoBuffer.h"
#include "SMainRefresh.h"
#include "SMainWindowState.h"
#include "SPaintContext.h"
#include "SRecoveryFiles.h"
#include "SSpiAccess.h"
#include "SString.h"
#include "STools.h"
#include "SWholeCel.h"

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

enum class SDocumentState : int { None = 0, Saved = 1, Modified = 2 };

class SHuedraneController
{
public:
    static constexpr std::int32_t HistoryLimit = 10;

    SHuedraneController();

    // ---- What the windows and the converter read ----

    // The cel: layers, held container, memo, under layer and its offset, visibility, silhouette.
    const SCel& Cel() const { return cel_; }
    // The main view's zoom step, -4..4.
    std::int32_t Zoom() const { return zoom_; }
    // Document identity: the path (empty until the cel is saved), the title, the name offered
    // while the path is empty, and whether the cel is loaded and saved.
    const ulib::SString& Path() const { return path_; }
    const ulib::SString& Title() const { return title_; }
    const ulib::SString& DefaultFileName() const { return defaultFileName_; }
    SDocumentState State() const { return state_; }
    // Tool state: colour mode, current colour, brush, trace pen; and the quick palette.
    const SToolState& Tools() const { return tools_; }
    const std::array<ulib::SColor, 16>& QuickPalette() const { return quickPalette_; }
    // Reference images (referenceIndex outside the list counts as 0) and the picture shown.
    const ulib::SArray<ulib::SString>& ReferenceList() const { return referenceList_; }
    std::int32_t ReferenceIndex() const { return referenceIndex_; }
    std::int32_t ReferenceZoom() const { return referenceZoom_; }
    const ulib::SBitmap& ReferenceImage() const { return referenceImage_; }
    // File history, most recent first, at most HistoryLimit.
    const ulib::SArray<ulib::SString>& History() const { return history_; }
    const SHuedraneUndoBuffer& UndoBuffer() const { return undo_; }
    const SHuedraneOptions& Options() const { return options_; }
    // The main window's own remembered state (position, tool, split bar, bars).
    const SMainWindowState& Window() const { return window_; }

    // ---- Changes. Those that return bits give the main_refresh parts left out of date ----

    // The working cel and what paints on it: the tools of the canvas and of scripts go through
    // this context (strokes, fills, whole-cel operations), recording their undo steps in it.
    SPaintContext PaintContext() { return {cel_, undo_, tools_, referenceImage_}; }
    // Makes cel the working cel with a cleared undo buffer of its size; the identity stays.
    void TakeCel(SCel cel);
    // A zoom step outside -4..4 is refused (0).
    std::uint32_t SetZoom(std::int32_t zoom);
    // Silhouette mode on or off; the display is recomposed.
    std::uint32_t SetSilhouette(bool on);
    // The memo's lines; a memo that differs marks the document modified (0 when it is the same).
    std::uint32_t SetMemo(ulib::SArray<ulib::SString> memo);
    std::uint32_t SetColourMode(SColourMode mode);
    // Colour, eraser, bitmap, colour again: the cycle of the palette's centre and the status bar.
    std::uint32_t CycleColourMode();
    std::uint32_t SetCurrentColour(ulib::SColor colour);
    // The colour becomes current in colour mode (a pick from a palette, chart or picture).
    std::uint32_t TakeColour(ulib::SColor colour);
    // Trace pen index 0..4; others refused (0).
    std::uint32_t SetTracePen(std::int32_t pen);
    // Openings of the borders up to `gap` pixels wide (0..LargestFillGap) that the paint tool's
    // fill closes; 0 fills as always. Another value changes nothing.
    std::uint32_t SetFillGap(std::int32_t gap);
    // The view of the openings the fill's gap size closes (FindGapSeams), drawn over the canvas.
    std::uint32_t ShowGapSeams(bool shown);
    bool GapSeamsShown() const { return gapSeamsShown_; }
    // The seams to draw: found again when the layers or the gap size changed since they were last
    // found; none while hidden, at gap 0, or when their maps could not be had.
    const std::vector<ulib::SRect>& GapSeams();

    // The check of the cel (SCelCheck.h), drawn over the canvas while shown.
    std::uint32_t ShowCheck(bool shown);
    bool CheckShown() const { return checkShown_; }
    // The findings: checked again when the layers changed since they were found; none while hidden
    // or without a cel, or when the check could not run.
    const std::vector<SFinding>& CheckFindings();
    // Moves to the next (+1) or the previous (-1) finding, from the last back to the first; its
    // index, or -1 when there is none.
    std::int32_t StepFinding(std::int32_t direction);
    // The finding the view was last moved to; -1 before the first step and after a new check.
    std::int32_t CurrentFinding() const { return findingIndex_; }
    // What the check view looks for (the speck size, 0..LargestMinSpeck, clamped; the edge rule).
    const SCheckOptions& CheckOptions() const { return checkOptions_; }
    std::uint32_t SetCheckOptions(const SCheckOptions& options);
    // Whether the export dialog is preceded by a check of the cel, with a question when it finds
    // anything (off by default).
    bool CheckBeforeExport() const { return checkBeforeExport_; }
    void SetCheckBeforeExport(bool check) { checkBeforeExport_ = check; }
    // How many steps can be undone (SRecovery::SlotCount..MostSteps) and the memory they may hold
    // in megabytes (LeastUndoMegabytes..MostUndoMegabytes), past which the oldest are dropped.
    static constexpr std::int32_t DefaultUndoMegabytes = 1024;
    static constexpr std::int32_t LeastUndoMegabytes = 64;
    static constexpr std::int32_t MostUndoMegabytes = 65536;
    std::int32_t UndoSteps() const { return undo_.StepLimit(); }
    std::int32_t UndoMegabytes() const { return undoMegabytes_; }
    // Values outside the ranges are held to them.
    void SetUndoLimits(std::int32_t steps, std::int32_t megabytes);
    // Autosave (SAutosave.h): recovery copies go to folder from now on (the program's entry starts
    // it; converters and tests never write copies unless they start it).
    void StartAutosave(const ulib::SString& folder) { autosave_.Start(folder); }
    // Steps and seconds before a copy (0..SAutosave::MostSteps, 0..SAutosave::MostSeconds, held to
    // them); 0 turns a trigger off.
    void SetAutosaveLimits(std::int32_t steps, std::int32_t seconds) { autosave_.SetLimits(steps, seconds); }
    std::int32_t AutosaveSteps() const { return autosave_.Steps(); }
    std::int32_t AutosaveSeconds() const { return autosave_.Seconds(); }
    // The interface's timer calls it: the next part of the autosave's work (SAutosave::Tick).
    SAutosave::STick AutosaveTick(SAutosave::Clock::time_point now);
    const SAutosave& Autosave() const { return autosave_; }
    // Waits for a recovery copy being written.
    void WaitForAutosave() { autosave_.Wait(); }
    // Opens a copy found at start-up: the cel is modified, under the document's own path and name
    // (untitled with its proposed name when it had no file), and the copy becomes this program's.
    // A copy that cannot be read is marked damaged in the list and the cel stays as it was.
    ulib::SError OpenRecoveryCopy(SOrphanCopies& copies, std::size_t index);
    // Whether file names a recovery copy's document in the autosave's folder: such a file, handed
    // over by the recovery dialog of another window, is opened by OpenRecoveryFile.
    bool IsRecoveryFile(const ulib::SString& file) const;
    // Opens the copy as OpenRecoveryCopy does; "file_not_found" when it is no copy left by a crash
    // (one a running program owns, or one another program took first).
    ulib::SError OpenRecoveryFile(const ulib::SString& file);

    // The next trace pen, after the last (or an unknown one) the first.
    std::uint32_t CycleTracePen();
    void SetBrush(const SBrushSettings& brush);
    // Colour mode, colour, brush and pen at once (the remembered settings).
    void SetTools(const SToolState& tools);
    std::uint32_t SetQuickPalette(const std::array<ulib::SColor, 16>& palette);
    // Entry 0..15 of the quick palette; others refused (0).
    std::uint32_t SetQuickColour(std::int32_t entry, ulib::SColor colour);
    void SetOptions(const SHuedraneOptions& options);
    void SetWindow(const SMainWindowState& window);
    // The list as it is, cut to its first HistoryLimit entries.
    void SetHistory(const ulib::SArray<ulib::SString>& history);
    // The current entry of the reference list; LoadReference loads it.
    void SetReferenceIndex(std::int32_t index);
    // Clamped to -4..4.
    std::uint32_t SetReferenceZoom(std::int32_t zoom);
    // The picture the reference pane shows (loading a list entry puts it here).
    std::uint32_t SetReferenceImage(ulib::SBitmap picture);
    // The cel now matches its file: state saved.
    void MarkSaved();
    // The identity of a document read from or written to file: path, title, no default name.
    void TakePath(const ulib::SString& file);

    // Brings what depends on the options up to date: the plug-in list (found at start-up only).
    void ApplyOptions();
    // Switches a layer (0 under .. 4 extra) on or off; the genga and extra layers are made or
    // freed as the cel needs them.
    void SetLayerSwitch(std::int32_t layer, bool on);
    // The layer menu's toggle of layer 0..4. Showing the genga decodes it from the kept container
    // and hiding frees it; showing the extra layer creates it at document size when its size
    // differs, hiding keeps it. The display is recomposed. A layer outside 0..4 is refused (0).
    std::uint32_t ToggleLayer(std::int32_t layer);
    // Takes the reference-image list remembered from the last run; the first entry is current and
    // loaded (a picture that cannot be read leaves the image empty and the list as it is).
    void SetReferenceList(const ulib::SArray<ulib::SString>& list);

    // Saved becomes modified; none and modified stay as they are. Every editing command calls it.
    void MarkModified();
    // Drops the working cel: every layer 0 by 0, memo empty, under-layer offset (0, 0).
    void ClearCel();
    // State none, no path, default name "無題.hdq", title "無題 - Huedrane".
    void ResetIdentity();

    // Opens a document file as the working cel: on success the state is saved, the path is the
    // file's, the title its display name with " - Huedrane", there is no default name and the undo
    // buffer is cleared; a failure leaves the working cel, its identity and its undo steps as they
    // were.
    ulib::SError OpenDocumentFile(const ulib::SString& file);

    // A drag with the tool in effect (chosen by the window from held keys, button and selected
    // tool). Each returns the changed rectangle of document pixels to repaint.
    ulib::SRect MouseDown(STool tool, ulib::SPoint at);
    ulib::SRect MouseMove(ulib::SPoint at);
    void MouseUp();

    // One undoable step over whole layers; returns the rectangle to repaint (the whole cel).
    ulib::SRect RunWholeCel(SWholeCelOperation operation);

    // Undo and redo recompose the whole display.
    void Undo();
    void Redo();
    // The Edit menu's captions: the step's caption joined to "を元に戻す(&U)" / "のやり直し(&R)".
    ulib::SString UndoMenuCaption() const;
    ulib::SString RedoMenuCaption() const;

    // Document commands. Each returns 0 or an error identifier's value; "cancel" means the user
    // cancelled (the window shows every other error). Dialogs and questions go through the seam.
    // The file dialogs, set up with their filters (after the settings and ApplyOptions).
    void SetUpFileDialogs();
    // Modified: asks yes / no / cancel; yes saves (dialog when there is no path). Gives 0 for no,
    // "cancel" for cancel, Save's result for yes. Any other state gives 0 without asking.
    ulib::SError AskToSave();
    // Asks to save, then drops the cel, resets the identity and clears the undo buffer.
    ulib::SError Clear();
    // Asks to save, then loads the file (empty: the document dialog). A failure leaves the cel as it
    // was (OpenDocumentFile). Success puts the path in the history.
    ulib::SError Open(const ulib::SString& file);
    // A file handed over by a drop or the command line: asks to save (once), then opens it as a
    // document or, when it is none, imports it as a picture, marked modified (the import's error is
    // the result then). "cancel" and "abort" from the question or the open end it there; any
    // failure leaves the cel as it was.
    ulib::SError OpenOrImport(const ulib::SString& file);
    // Writes to the path (empty: the document dialog with the default name as ".hdq"). State none
    // gives "cancel" without a dialog; a failed write leaves state and path as they were.
    ulib::SError Save();
    // Writes to a name chosen in the document dialog; the same rules as Save.
    ulib::SError SaveAs();
    // Converts a picture into a new cel (empty: the import dialog), asking to save first when ask
    // is set. Afterwards the cel is untitled without a path; success leaves the state saved (the
    // caller marks it modified) and the picture's name with ".hdq" as the default name; a failure
    // leaves the working cel, its identity and undo as they were. "file_not_found" for an empty path.
    ulib::SError Import(const ulib::SString& file, bool ask);
    // Renders the cel into a picture file (empty file: the export dialog with the single filter
    // of the export format, proposing the document's name with the format's extension, or with
    // "_export" added when that is the cel's own scan (IsOwnScan); choosing the scan needs a second
    // yes). The chosen path is handed back through chosen (may be null); a
    // cancelled dialog or a declined warning gives 0 and an empty path.
    ulib::SError Export(const ulib::SString& file, ulib::SString* chosen);
    // Converts every picture into a document beside it. An empty list shows the batch import
    // dialog (its cancel gives 0) and asks before overwriting; a given list is taken as it is.
    ulib::SError BatchImport(const ulib::SArray<ulib::SString>& files);
    // Renders every document into a picture of the export format beside it; as BatchImport.
    ulib::SError BatchExport(const ulib::SArray<ulib::SString>& files);
    // Asks to save; "cancel" keeps the program open.
    ulib::SError QueryClose();
    // Saves a modified cel (showing its error), then opens the document that follows (+1) or
    // precedes (-1) the current one in its folder; 0 when there is none.
    ulib::SError NextFile(std::int32_t direction);
    // Puts the path first; the oldest entry beyond HistoryLimit is dropped; no de-duplication.
    void AddHistory(const ulib::SString& file);

    // The colour carry (SCarry.h) from a painted document onto the working cel. The source is read
    // and the carry planned while the progress box shows (its abort gives "abort"); only then is
    // the plan painted, as one undo step "色を写す" (none when there is nothing to paint), and the
    // document marked modified. A failure before that (the source unreadable or no document,
    // "carry_size", "carry_unpainted") leaves the cel, its undo steps and the marks of the last
    // carry as they were. Without a cel nothing happens (0).
    // From the document before this one in its folder, in NextFile's order; "carry_no_previous"
    // when there is none (the first document of the folder, or a cel without a path).
    ulib::SError CarryFromPrevious();
    // From a document file; empty: the carry dialog, which opens at the previous document.
    ulib::SError CarryFrom(const ulib::SString& file);
    // What the last carry did.
    const SCarryReport& LastCarry() const { return lastCarry_; }
    // The regions the last carry left unpainted, in its order; dropped as soon as the layers change
    // (a tool's stroke, a whole-cel command, undo, redo, another cel).
    const std::vector<SLeftRegion>& LeftRegions() const { return leftRegions_; }
    // The left region the view was last moved to; -1 before the first step.
    std::int32_t CurrentLeftRegion() const { return leftIndex_; }
    // Moves on to the next left region, from the last back to the first, and gives its index; -1
    // when none is listed.
    std::int32_t StepLeftRegion();

    // Reference images and the under layer. The add dialog (multiple selection) and the
    // under-layer dialog are set up by SetUpFileDialogs with the picture filters. Pictures are read
    // with the built-in readers, then the plug-ins. Each command returns 0 or an error identifier's
    // value for the window to show; a cancelled dialog is 0. referenceIndex outside the list counts
    // as 0 everywhere.
    // Reads the entry at the current index into the reference image; a read error leaves the image
    // empty and is returned. An empty list frees the image and gives "object_disabled".
    ulib::SError LoadReference();
    // Edits the list in the file-list dialog "参照画像の一覧"; OK replaces it, keeps the current path
    // current when it is still listed (else the first entry) and loads it. A failed load frees the
    // image and is returned (the entry stays listed); an emptied list frees the image.
    ulib::SError EditReferenceList();
    // Adds the files chosen in the add dialog at the current index (PutReferences).
    ulib::SError AppendReferences();
    // Inserts the files before the current entry (at 0 for an empty list); the first of them
    // becomes current and is loaded. When that load fails the entry is removed again
    // (RemoveReference) and the read error returned. No files: nothing happens.
    ulib::SError PutReferences(const ulib::SArray<ulib::SString>& files);
    // Exports the cel (the export dialog), then puts the exported picture into the list. The
    // export's error is returned as it is; a cancelled export dialog ends with 0 without touching
    // the list, the index or the image.
    ulib::SError ExportToReference();
    // Drops the current entry; the next one that loads becomes current (unloadable ones are
    // dropped silently); an index past the end becomes 0; an empty list frees the image.
    void RemoveReference();
    // Moves by n (-1, +1, or 0 to reload), wrapping around the list, and loads the entry. A load
    // failure is shown here at once (ReportError), the entry dropped as RemoveReference does, and 0
    // returned, so the window does not show it a second time. An empty list frees the image and
    // gives "object_disabled".
    ulib::SError MoveReference(std::int32_t n);
    // The reference zoom after a zoom command: tag +1 or -1 steps, 0 returns to actual size;
    // clamped to -4..4.
    void ZoomReference(std::int32_t tag);
    // Picks the reference pixel at an image point (no wrapping): a fully transparent pixel selects
    // the eraser, any other becomes the current colour (with its transparency) in the colour mode.
    // False, and nothing changed, outside the image or without one.
    bool PickReferenceColour(ulib::SPoint imagePoint);
    // Reads a picture into the under layer (empty file: the under-layer dialog), makes the layer
    // visible and recomposes the display. A read error frees the layer (its visibility stays) and
    // is returned; a picture without pixels frees it and gives "nodata".
    ulib::SError LoadUnderLayer(const ulib::SString& file);
    // Frees the under layer, hides it and recomposes the display.
    void DestroyUnderLayer();

private:
    // Runs load on a new cel and, when it succeeds, makes that the working cel with a cleared undo
    // buffer; a failure changes nothing. The identity is the caller's to set.
    ulib::SError ReplaceCel(const std::function<ulib::SError(SCel&)>& load);
    // Whether the file is the scan this cel came from: the picture imported in this run, or a
    // picture holding the cel's genga (PictureHoldsGenga).
    bool IsOwnScan(const ulib::SString& file) const;
    // The name the export dialog proposes for a format's extension (without the dot).
    ulib::SString ExportProposal(const char* extension) const;
    // Writes the cel to file; on success the state is saved and, when the file was chosen in the
    // dialog or differs from the path, it becomes the path (title, history, no default name).
    ulib::SError WriteDocumentTo(const ulib::SString& file, bool chosen);
    // Plans the carry from file onto the working cel, then paints the plan (CarryFrom).
    ulib::SError CarryFromFile(const ulib::SString& file);
    // With CheckBeforeExport, checks the cel and, when anything is found, asks whether to export
    // anyway; true to go on.
    bool ConfirmExportAfterCheck();
    // The layers changed: the last carry's left regions and the gap seams no longer describe them.
    void LayersChanged();

    SCel cel_;
    ulib::SBitmap referenceImage_;
    std::int32_t zoom_ = 0;
    ulib::SString path_;
    ulib::SString title_;
    ulib::SString defaultFileName_;
    ulib::SString sourcePicture_;  // the picture this cel was imported from in this run, else empty
    SDocumentState state_ = SDocumentState::None;
    SToolState tools_;
    std::array<ulib::SColor, 16> quickPalette_;
    ulib::SArray<ulib::SString> referenceList_;
    std::int32_t referenceIndex_ = 0;
    std::int32_t referenceZoom_ = 0;
    ulib::SArray<ulib::SString> history_;
    SHuedraneUndoBuffer undo_{cel_.trace, cel_.paint, cel_.extra};
    SAutosave autosave_{undo_};
    SHuedraneOptions options_;
    ulib::SSpiAccess spi_;  // picture plug-ins, found by ApplyOptions from the plug-in folder
    SMainWindowState window_;
    // The document, import, export, batch, reference-add, under-layer and carry-source dialogs.
    ulib::SFileDialog documentDialog_, importDialog_, exportDialog_, batchImportDialog_, batchExportDialog_;
    ulib::SFileDialog referenceDialog_, underLayerDialog_, carryDialog_;
    SStroke stroke_;
    SCarryReport lastCarry_;
    std::vector<SLeftRegion> leftRegions_;
    std::int32_t leftIndex_ = -1;
    bool gapSeamsShown_ = false;
    bool gapSeamsStale_ = true;  // the layers or the gap size may have changed since they were found
    std::vector<ulib::SRect> gapSeams_;
    std::vector<std::uint64_t> gapSeamsPrint_;  // BorderPrint of the layer they were found for
    std::int32_t gapSeamsGap_ = 0;              // and the gap size
    bool checkShown_ = false;
    bool checkStale_ = true;  // the layers may have changed since the findings were found
    SCelChecker checker_;  // its findings are the view's
    SCheckOptions checkOptions_;
    bool checkBeforeExport_ = false;
    std::int32_t undoMegabytes_ = DefaultUndoMegabytes;
    std::int32_t findingIndex_ = -1;
};
