// The working cel: its layers, their visibility, and their composition into the display buffer.
// The values of the 32-bit layers are described and defined in SCelValues.h.
#pragma once

#include "SArray.h"
#include "SBitmap.h"
#include "SCelValues.h"
#include "SError.h"
#include "SGeometry.h"
#include "SQuickPress.h"
#include "SString.h"

#include <array>
#include <cstdint>

enum SLayer : int { LayerUnder = 0, LayerGenga = 1, LayerPaint = 2, LayerTrace = 3, LayerExtra = 4 };

class SCel
{
public:
    ulib::SBitmap trace;    // 32-bit, document size
    ulib::SBitmap paint;    // 32-bit, document size
    ulib::SBitmap genga;    // 24-bit, document size while shown, 0 by 0 while hidden
    ulib::SBitmap extra;    // 32-bit, document size or 0 by 0 when absent
    ulib::SBitmap display;  // 32-bit; its size is the document size
    ulib::SBitmap flag;     // 8-bit; low 2 bits keep the colour code of a converted trace pixel
    ulib::SQuickPress held; // the container last loaded; its record 0 is the genga as stored, written back on save
    ulib::SArray<ulib::SString> memo;
    ulib::SBitmap under;    // any format and size, drawn at underOffset below everything
    ulib::SPoint underOffset;
    std::array<bool, 5> visible{false, true, true, true, true};  // indexed by SLayer
    bool silhouette = false;  // hides under layer, genga and unconverted coloured lines

    SCel();

    // Recomposes display row y over columns x0..x1-1 (clipped to the display width).
    // err: "domain" for a row outside the display.
    void ComposeRow(std::int32_t y, std::int32_t x0, std::int32_t x1, ulib::SError& err);
    void ComposeAll();

    // Empty when absent (0 sized) or 32-bit with every alpha 0; any other format counts as painted.
    bool ExtraLayerIsEmpty() const;

    // The empty document: every layer 0 by 0 in its format, nothing held, memo empty, under-layer
    // offset (0, 0).
    void ResetDocument();

    // mode >= 1 shows, 0 toggles, < 0 hides. Showing the genga decodes it from the held record 0,
    // hiding it frees it; showing the extra layer creates it at the display size (all 0), hiding an
    // empty one frees it. Recomposes on a change.
    // Returns the new visibility; a layer outside 0..4 does nothing and returns false.
    bool SetLayerVisible(int layer, int mode);
};

// The 24-bit thumbnail of a cel (box 128 for documents): the longer side becomes `box`.
// An empty document gives an empty image.
ulib::SBitmap MakeThumbnail(const ulib::SBitmap& trace, const ulib::SBitmap& paint, std::int32_t box);
