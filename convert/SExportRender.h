// Rendering a cel document into the one flat picture that export writes.
#pragma once

#include "SAbort.h"
#include "SBitmap.h"
#include "SError.h"
#include "SHuedraneOptions.h"
#include "SQuickPress.h"

#include <cstdint>

// Record kinds met by export besides the image layers (kind 1).
inline constexpr std::int32_t ExportUnderLayerKind = 2001;

// Which layers export renders (SHuedraneOptions::exportTargetLayers).
enum class ExportTarget : std::int32_t
{
    Normal = 0,      // paint, trace, extra layer
    WithUnder = 1,   // the under layer (first kind-2001 record), then as Normal
    GengaOnly = 2,   // record 0 alone
    PaintOnly = 3,
    TraceOnly = 4,
    ExtraOnly = 5,
};

// Replaces *output with the document rendered by the options: the paint is carried under the lines
// and its specks closed, black trace lines take the chosen colour, then the chosen layers are
// composited onto white (transparent white in 32 bits), followed by the colour range limit, the
// reduction, the outline binarisation and, in 32-bit output, transparent pixels made white.
// Progress runs 0..100 in a range of its own. Records 1 and 2 must decode to the document's size.
// err: "pointer" (no output or options), "data" (fewer than 3 records, or records 1 and 2 not of the
// document's size), "memory_alloc", "domain" (a 24-bit paint or trace record, a reduction to zero
// width or height, a negative rate), "abort", decoding errors. On an error the output is released.
ulib::SError RenderExportImage(ulib::SBitmap* output, const ulib::SQuickPress& document,
                               const SHuedraneOptions* options, ulib::SAbort* progress = nullptr);

// Maps blue, green and red of every pixel by v -> min + (max - min + 1) * v / 256, leaving alpha and,
// in 32-bit images, transparent black pixels (value 0) alone. max is taken into 128..255 and min into
// 0..127; 0..255 changes nothing.
void LimitExportGamut(ulib::SBitmap& image, std::int32_t min, std::int32_t max);
