// The pixel passes of the import conversion. Each pass takes an optional progress object, reports
// one position per row inside a range its caller has opened (the pass maps its rows onto the whole
// of that range) and stops with "abort" when the progress object asks for it.
#pragma once

#include "SAbort.h"
#include "SAntiHoleFilter.h"
#include "SBitmap.h"
#include "SCelValues.h"
#include "SError.h"
#include "SGeometry.h"

#include <cstdint>
#include <memory>

namespace import_value {
// The layer values import writes (SCelValues.h), by the names its passes use.
inline constexpr std::uint32_t Unpainted = cel_values::Unpainted;
inline constexpr std::uint32_t RedBorder = cel_values::BorderRed;
inline constexpr std::uint32_t BlackBorder = cel_values::BorderBlack;
// A pass's own mark, never left in a layer: it becomes Unpainted at the end of its pass.
inline constexpr std::uint32_t Marker = 0xFF00FF00;
inline constexpr std::uint32_t FullRedLine = cel_values::ColouredLine(255, cel_values::CodeRed);
inline constexpr std::uint32_t BlueKind = cel_values::CodeBlue;
}  // namespace import_value

// Maps blue, green and red of a 24- or 32-bit image through the level table (black maps to 0,
// white to the top). Nothing happens when black >= white or for the identity levels 0 and 255.
// Errors: "domain" (other formats), "abort".
ulib::SError ApplyInputLevel(ulib::SBitmap& genga, std::int32_t black, std::int32_t white, ulib::SAbort* abort);

// The 256-entry level table (identity when the levels ask for no correction).
void MakeLevelTable(std::int32_t black, std::int32_t white, std::uint8_t table[256]);

// A range of rows a pass has already written, from..to-1 (none by default).
struct SRowsDone
{
    std::int32_t from = 0;
    std::int32_t to = 0;
    bool Holds(std::int32_t y) const { return y >= from && y < to; }
};

// Writes the trace image (32-bit, the genga's size, every pixel written) from a 24-bit genga;
// rows in `done` are taken as written. Errors: "domain" (genga not 24-bit, trace not 32-bit or of
// another size), "abort".
ulib::SError ExtractTraceLines(const ulib::SBitmap& genga, ulib::SBitmap& trace, ulib::SAbort* abort,
                               SRowsDone done = {});
// Row y of ExtractTraceLines (shapes as checked there): it reads genga rows y-1 to y+1, wrapping
// at the edges.
void ExtractTraceRow(const ulib::SBitmap& genga, ulib::SBitmap& trace, std::int32_t y);

// Removes isolated black and colour specks in place; the outermost pixel frame is left.
// Errors: "domain" (not 32-bit), "abort".
ulib::SError RemoveTraceSpecks(ulib::SBitmap& trace, ulib::SAbort* abort);

// Densities below 64 become 0, the others 255. Errors: "domain" (not 32-bit), "abort".
ulib::SError BinarizeTrace(ulib::SBitmap& trace, ulib::SAbort* abort);

// A copy of the source with the kernel applied to every pixel of *rect (clipped; nullptr: the
// whole image). Taps outside the image are skipped. Blue, green and red are filtered on 24- and
// 32-bit images (the fourth byte is kept), red, green and blue through GetColor/SetColor on other
// formats. A kernel with no taps or more than 1024 gives the unfiltered copy.
ulib::SBitmap ConvolveImage(const ulib::SBitmap& source, const ulib::SImageRankFanctor& kernel,
                            const ulib::SRect* rect = nullptr);

// Writes the paint image (32-bit, the source's size) from a 24-bit source: borders under drawn
// lines, unpainted elsewhere; rows in `done` are taken as written. Errors: "domain", "abort".
ulib::SError ClassifyPaintBorders(const ulib::SBitmap& source, ulib::SBitmap& paint, ulib::SAbort* abort,
                                  SRowsDone done = {});
// Row y of ClassifyPaintBorders (shapes as checked there); it reads source row y only.
void ClassifyPaintRow(const ulib::SBitmap& source, ulib::SBitmap& paint, std::int32_t y);

// The majority stage between classification and notch extension. Errors: "domain", "abort".
ulib::SError SmoothPaintBorders(ulib::SBitmap& paint, ulib::SAbort* abort);

// Which pixels of a paint layer are closed, a byte a pixel. The notch and thinning passes only
// turn closed pixels unpainted, so they work on this quarter of the layer's bytes and the layer is
// brought in line once at the end.
class SBorderMask
{
public:
    static constexpr std::uint8_t Open = 0;
    static constexpr std::uint8_t Closed = 1;
    // A Marker pixel's cell: closed until the first pass ends, open afterwards.
    static constexpr std::uint8_t Marked = 2;

    // The mask of a 32-bit paint layer. Errors: "domain", "memory_alloc".
    ulib::SError Make(const ulib::SBitmap& paint);
    // Turns the layer's pixels that are open here unpainted; the others keep their values.
    void ApplyTo(ulib::SBitmap& paint) const;
    // Marked cells become open.
    void ClearMarks();

    std::int32_t Width() const { return width_; }
    std::int32_t Height() const { return height_; }
    std::uint8_t* Row(std::int32_t y) { return cells_.get() + std::size_t(y) * std::size_t(width_); }
    const std::uint8_t* Row(std::int32_t y) const { return cells_.get() + std::size_t(y) * std::size_t(width_); }

private:
    std::unique_ptr<std::uint8_t[]> cells_;
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    bool marked_ = false;  // some cell is Marked
};

// One pass deepening one-pixel open notches in thick borders by a pixel. Errors: "abort"; marks
// are cleared even after an abort.
ulib::SError ExtendBorderNotches(SBorderMask& mask, ulib::SAbort* abort);

// Three thinning passes over the borders, each ending with its marks cleared. Errors: "abort".
ulib::SError ThinBorderLines(SBorderMask& mask, ulib::SAbort* abort);

// The two above on a paint layer. Errors: "domain" (not 32-bit), "memory_alloc", "abort"; Marker
// pixels count as closed and end unpainted, also after an abort.
ulib::SError ExtendPaintNotches(ulib::SBitmap& paint, ulib::SAbort* abort);
ulib::SError ThinPaintLines(ulib::SBitmap& paint, ulib::SAbort* abort);

// The lightest channel value the lossy genga compression keeps: a pixel whose channels are all at
// least this (and its neighbours' at least NearWhiteNeighbour) becomes pure white, so a stored lossy
// genga differs from its scan by at most 255 - NearWhite per channel.
inline constexpr std::uint8_t NearWhite = 250;
inline constexpr std::uint8_t NearWhiteNeighbour = 240;

// Turns near-white pixels with near-white neighbours pure white (lossy genga compression).
// Errors: "domain" (below 24 bits), "abort".
ulib::SError FlattenNearWhite(ulib::SBitmap& genga, ulib::SAbort* abort);
