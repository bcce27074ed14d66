// The working cel: its layers, their visibility, and their composition into the display buffer.
// Layer encodings (32-bit values, blue lowest, alpha/top byte b3):
//   paint: 0x00000000 / 0x000000FF / 0x0000FF00 / 0x00FF0000 borders under black / blue / green / red
//          lines, 0x00FFFFFF unpainted, b3 1..255 a painted colour with that alpha;
//   trace: 0x00FFFFFF nothing; b3 != 0 a converted line (colour + density b3); else b0 != 0 a black
//          line of density b0; else b2 != 0 a coloured line of density b2 with colour code b1
//          (1 blue, 2 green, else red);
//   extra: alpha 255 opaque, 1..254 translucent, 0 nothing.
#pragma once

#include "SArray.h"
#include "SBitmap.h"
#include "SError.h"
#include "SGeometry.h"
#include "SQuickPress.h"
#include "SString.h"

#include <array>
#include <cstdint>

enum SLayer : int { LayerUnder = 0, LayerGenga = 1, LayerPaint = 2, LayerTrace = 3, LayerExtra = 4 };

namespace cel_values {
inline constexpr std::uint32_t BorderBlack = 0x00000000;
inline constexpr std::uint32_t BorderBlue = 0x000000FF;
inline constexpr std::uint32_t BorderGreen = 0x0000FF00;
inline constexpr std::uint32_t BorderRed = 0x00FF0000;
inline constexpr std::uint32_t Unpainted = 0x00FFFFFF;
inline constexpr std::uint32_t NoLine = 0x00FFFFFF;
}  // namespace cel_values

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
