// The application controller: owns the working cel, its undo buffer, the document's identity and the
// tool state for the program's whole run. Windows and the converter reach the cel only through it.
#pragma once

#include "SArray.h"
#include "SBitmap.h"
#include "SCel.h"
#include "SColor.h"
#include "SHuedraneOptions.h"
#include "SHuedraneUndoBuffer.h"
#include "SMainWindowState.h"
#include "SPaintContext.h"
#include "SSpiAccess.h"
#include "SString.h"
#include "STools.h"
#include "SWholeCel.h"

#include <array>
#include <cstdint>

enum class SDocumentState : int { None = 0, Saved = 1, Modified = 2 };

class SHuedraneController
{
public:
    static constexpr std::int32_t HistoryLimit = 10;

    SHuedraneController();

    // The cel: layers, held container, memo, under layer and its offset, visibility, silhouette.
    SCel cel;
    ulib::SBitmap referenceImage;
    std::int32_t zoom = 0;  // main view zoom step, -4..4

    // Document identity.
    ulib::SString path;             // empty until the cel is saved
    ulib::SString title;
    ulib::SString defaultFileName;  // offered when the path is empty
    SDocumentState state = SDocumentState::None;

    // Tool state: colour mode, current colour, brush, trace pen; and the quick palette.
    SToolState tools;
    std::array<ulib::SColor, 16> quickPalette;

    // Reference images and file history (most recent first, at most HistoryLimit).
    ulib::SArray<ulib::SString> referenceList;
    std::int32_t referenceIndex = 0;
    std::int32_t referenceZoom = 0;
    ulib::SArray<ulib::SString> history;

    SHuedraneUndoBuffer undo{cel.trace, cel.paint, cel.extra};
    SHuedraneOptions options;
    // Picture plug-ins, found by ApplyOptions from the options' plug-in folder.
    ulib::SSpiAccess spi;
    // The main window's own remembered state (position, tool, split bar, bars).
    SMainWindowState window;

    // Brings what depends on the options up to date: the plug-in list (found at start-up only).
    void ApplyOptions();
    // Switches a layer (0 under .. 4 extra) on or off; the genga and extra layers are made or
    // freed as the cel needs them.
    void SetLayerSwitch(std::int32_t layer, bool on);
    // Takes the reference-image list remembered from the last run; the first entry is current.
    void SetReferenceList(const ulib::SArray<ulib::SString>& list);

    // Saved becomes modified; none and modified stay as they are. Every editing command calls it.
    void MarkModified();
    // Drops the working cel: every layer 0 by 0, memo empty, under-layer offset (0, 0).
    void ClearCel();
    // State none, no path, default name "無題.hdq", title "無題 - Huedrane".
    void ResetIdentity();

    // Opens a document file as the working cel: on success the state is saved, the path and title
    // are the file's, and the undo buffer is cleared; a failure leaves an empty cel in state none.
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

    SPaintContext PaintContext() { return {cel, undo, tools, referenceImage}; }

private:
    SStroke stroke_;
};
