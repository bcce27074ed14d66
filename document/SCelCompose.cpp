// Composition of the visible layers into the display buffer, one row segment at a time.
// Each pass walks raw rows: this runs for every stroke and for whole cels after loads and undo.
#include "SCel.h"
#include "SOver.h"
#include "SParallel.h"

#include <algorithm>
#include <cstring>

using namespace ulib;

namespace {

inline std::uint32_t OverPixel(SColor source, std::uint32_t destination)
{
    return Over(source, SColor::FromPixel(destination)).Pixel();
}

// Colours drawn for coloured lines, by colour code.
inline SColor LineColour(std::uint32_t code, std::uint32_t density)
{
    const std::uint8_t t = std::uint8_t(255 - density);
    if (code == cel_values::CodeBlue)
        return SColor(0, 0, 255, t);
    if (code == cel_values::CodeGreen)
        return SColor(0, 255, 0, t);
    return SColor(255, 0, 0, t);
}

// Converted lines are drawn a little darker so they stand apart from the paint around them.
inline SColor DarkenConverted(std::uint32_t v)
{
    SColor c = SColor::FromPixel(v);
    auto lower = [](std::uint8_t ch) { return std::uint8_t(ch > 64 ? ch - 16 : ch); };
    return SColor(lower(c.r), lower(c.g), lower(c.b), c.t);
}

void ComposeUnder(const SBitmap& under, SPoint offset, std::int32_t y, std::int32_t x0, std::int32_t x1,
                  std::uint32_t* out)
{
    const std::int32_t uy = y - offset.y;
    if (uy < 0 || uy >= under.Height())
        return;
    const std::int32_t from = std::max(x0, offset.x);
    const std::int32_t to = std::min(x1, offset.x + under.Width());
    if (from >= to)
        return;
    const std::uint8_t* row = under.Row(uy);
    switch (under.Format()) {
    case 32:
        std::memcpy(out + from, row + std::size_t(from - offset.x) * 4, std::size_t(to - from) * 4);
        break;
    case 24:
        for (std::int32_t x = from; x < to; ++x) {
            const std::uint8_t* p = row + std::size_t(x - offset.x) * 3;
            out[x] = std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | 0xFF000000u;
        }
        break;
    default:
        for (std::int32_t x = from; x < to; ++x)
            out[x] = under.GetColor(x - offset.x, uy).Pixel();
    }
}

// A genga in another format than 24 bits (24-bit ones are read in the upper walk).
void ComposeGenga(const SBitmap& genga, std::int32_t y, std::int32_t x0, std::int32_t x1, std::uint32_t* out)
{
    for (std::int32_t x = x0; x < x1; ++x)
        out[x] = genga.GetColor(x, y).Pixel() | 0xFF000000u;
}

inline std::uint32_t PaintPixel(std::uint32_t m, const std::uint32_t* trace, std::int32_t x, std::uint32_t d)
{
    const std::uint32_t alpha = m >> 24;
    if (alpha == 255)
        return m;
    if (alpha != 0)
        return OverPixel(SColor::FromPixel(m), d);
    if (m == cel_values::BorderBlack)
        return 0xFF000000u;
    if (m == cel_values::BorderRed || m == cel_values::BorderGreen || m == cel_values::BorderBlue) {
        // A converted line over its border shows through in the line's own colour.
        const std::uint32_t t = trace ? trace[x] : 0;
        return (cel_values::IsConvertedLine(t) ? t : m) | 0xFF000000u;
    }
    return d;
}

inline std::uint32_t TracePixel(std::uint32_t v, bool silhouette, std::uint32_t d)
{
    if (v == cel_values::NoLine)
        return d;
    if (cel_values::IsConvertedLine(v))
        return OverPixel(DarkenConverted(v), d);
    if (const std::uint32_t black = cel_values::BlackDensity(v))
        return OverPixel(SColor(0, 0, 0, std::uint8_t(255 - black)), d);
    if (const std::uint32_t density = cel_values::ColourDensity(v); density && !silhouette)
        return OverPixel(LineColour(cel_values::ColourCode(v), density), d);
    return d;
}

inline std::uint32_t ExtraPixel(std::uint32_t e, std::uint32_t d)
{
    const std::uint32_t alpha = e >> 24;
    if (alpha == 255)
        return e;
    return alpha ? OverPixel(SColor::FromPixel(e), d) : d;
}

// Paint, trace and extra in one walk over the row (a null row is a layer that is not shown), so
// each display pixel is stored once. `below` gives what lies under the paint at x; it is only asked
// where the paint is not opaque.
struct UpperRows
{
    const std::uint32_t* paint = nullptr;
    const std::uint32_t* trace = nullptr;
    const std::uint32_t* extra = nullptr;
    bool silhouette = false;
};

template <typename Below>
void ComposeUpper(const UpperRows& rows, std::int32_t x0, std::int32_t x1, std::uint32_t* out, Below below)
{
    for (std::int32_t x = x0; x < x1; ++x) {
        std::uint32_t d;
        if (rows.paint) {
            const std::uint32_t m = rows.paint[x];
            d = (m >> 24) == 255 ? m : PaintPixel(m, rows.trace, x, below(x));
        } else {
            d = below(x);
        }
        if (rows.trace)
            d = TracePixel(rows.trace[x], rows.silhouette, d);
        if (rows.extra)
            d = ExtraPixel(rows.extra[x], d);
        out[x] = d;
    }
}

// A layer takes part only when it covers the display; anything else is a layer being rebuilt.
bool Covers(const SBitmap& layer, const SBitmap& display)
{
    return layer.Width() >= display.Width() && layer.Height() >= display.Height() && !layer.IsEmpty();
}

}  // namespace

void SCel::ComposeRow(std::int32_t y, std::int32_t x0, std::int32_t x1, SError& err)
{
    if (y < 0 || y >= display.Height()) {
        err = ErrorFromIdentifier("domain");
        return;
    }
    x0 = std::max(x0, 0);
    x1 = std::min(x1, display.Width());
    if (x0 >= x1)
        return;
    std::uint32_t* out = display.Row32(y);
    const bool showGenga = visible[LayerGenga] && !silhouette && Covers(genga, display);

    UpperRows rows;
    rows.silhouette = silhouette;
    if (visible[LayerPaint] && Covers(paint, display) && paint.Format() == 32)
        rows.paint = paint.Row32(y);
    if (visible[LayerTrace] && Covers(trace, display) && trace.Format() == 32)
        rows.trace = trace.Row32(y);
    if (visible[LayerExtra] && Covers(extra, display) && extra.Format() == 32)
        rows.extra = extra.Row32(y);

    // An opaque genga covers everything below it, so neither the clearing nor the under layer is
    // needed; a 24-bit genga is read in the same walk, and only where the paint lets it show.
    if (showGenga && genga.Format() == 24) {
        const std::uint8_t* g = genga.Row(y);
        ComposeUpper(rows, x0, x1, out, [g](std::int32_t x) {
            const std::uint8_t* p = g + std::size_t(x) * 3;
            return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | 0xFF000000u;
        });
        return;
    }
    if (showGenga) {
        ComposeGenga(genga, y, x0, x1, out);
    } else {
        std::memset(out + x0, 0, std::size_t(x1 - x0) * 4);
        if (visible[LayerUnder] && !silhouette && !under.IsEmpty())
            ComposeUnder(under, underOffset, y, x0, x1, out);
    }
    ComposeUpper(rows, x0, x1, out, [out](std::int32_t x) { return out[x]; });
}

void SCel::ComposeAll()
{
    // Rows are independent, so whole cels are composed in bands on every core.
    ForEachBand(display.Height(), 256, [this](std::int32_t from, std::int32_t to) {
        SError err = 0;
        for (std::int32_t y = from; y < to; ++y)
            ComposeRow(y, 0, display.Width(), err);
    });
}
