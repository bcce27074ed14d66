// The application controller: owns the working cel, the document's identity and the tool state for
// the program's whole run. Windows and the converter reach the cel only through it.
#pragma once

#include "SArray.h"
#include "SBitmap.h"
#include "SCel.h"
#include "SColor.h"
#include "SHuedraneOptions.h"
#include "SString.h"

#include <array>
#include <cstdint>

enum class SDocumentState : int { None = 0, Saved = 1, Modified = 2 };

enum class SColourMode : int { Colour = 1, Eraser = 2, Bitmap = 3, Texture = 4 };

struct SBrushSettings
{
    std::int32_t radius = 16;
    std::int32_t shape = 0;
    std::int32_t density = 255;
};

class SHuedraneController
{
public:
    static constexpr std::int32_t HistoryLimit = 10;

    SHuedraneController();

    // The cel: layers, memo, under layer and its offset, visibility and silhouette mode.
    SCel cel;
    ulib::SBitmap referenceImage;
    std::int32_t zoom = 0;  // main view zoom step, -4..4

    // Document identity.
    ulib::SString path;             // empty until the cel is saved
    ulib::SString title;
    ulib::SString defaultFileName;  // offered when the path is empty
    SDocumentState state = SDocumentState::None;

    // Tool state.
    std::array<ulib::SColor, 16> quickPalette;
    SColourMode colourMode = SColourMode::Colour;
    ulib::SColor currentColour{255, 192, 128};
    SBrushSettings brush;
    std::int32_t tracePen = 2;  // pen width index 0..4

    // Reference images and file history (most recent first, at most HistoryLimit).
    ulib::SArray<ulib::SString> referenceList;
    std::int32_t referenceIndex = 0;
    std::int32_t referenceZoom = 0;
    ulib::SArray<ulib::SString> history;

    SHuedraneOptions options;

    // Saved becomes modified; none and modified stay as they are. Every editing command calls it.
    void MarkModified();
    // Drops the working cel: every layer 0 by 0, memo empty, under-layer offset (0, 0).
    void ClearCel();
    // State none, no path, default name "無題.hdq", title "無題 - Huedrane".
    void ResetIdentity();
};
