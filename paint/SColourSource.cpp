// The colour source of the painting operations and span painting.
#include "SColourSource.h"

#include <algorithm>

using namespace ulib;

namespace {

constexpr std::uint32_t Unpainted = cel_values::Unpainted;

// Floor modulus: the reference repeats in both directions from the document origin.
std::int32_t Wrap(std::int32_t v, std::int32_t n)
{
    const std::int32_t m = v % n;
    return m < 0 ? m + n : m;
}

std::uint32_t FromColour(SColor c) { return c.t == 255 ? Unpainted : c.Pixel(); }

// A pixel takes the paint value when it is painted (alpha not 0) or unpainted; the borders and the
// other alpha-0 values stay. Written without a branch so the loops below vectorise.
inline std::uint32_t Painted(std::uint32_t old, std::uint32_t value)
{
    return cel_values::TakesPaint(old) ? value : old;
}

}  // namespace

SColourSource::SColourSource(const SToolState& tools, const SBitmap& reference)
    : mode_(tools.colourMode), value_(Unpainted), reference_(reference)
{
    switch (mode_) {
    case SColourMode::Colour:
        value_ = FromColour(tools.currentColour);
        break;
    case SColourMode::Bitmap:
        if (reference.IsEmpty())
            mode_ = SColourMode::Eraser;
        break;
    case SColourMode::Eraser:
    case SColourMode::Texture:
        break;
    default:
        mode_ = SColourMode::Texture;  // a mode number from outside 1..4 paints nothing
        break;
    }
}

std::uint32_t SColourSource::ValueAt(std::int32_t x, std::int32_t y) const
{
    if (mode_ != SColourMode::Bitmap)
        return value_;
    const std::int32_t rx = Wrap(x, reference_.Width()), ry = Wrap(y, reference_.Height());
    switch (reference_.Format()) {
    case 32: {
        const std::uint32_t v = reference_.Row32(ry)[rx];
        return (v >> 24) != 0 ? v : Unpainted;
    }
    case 24: {
        const std::uint8_t* p = reference_.PixelAddress(rx, ry);
        return 0xFF000000u | std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0];
    }
    default:
        return FromColour(reference_.GetColor(rx, ry));
    }
}

void SColourSource::RowValues(std::int32_t y, std::int32_t x0, std::int32_t x1, std::uint32_t* out) const
{
    const std::int32_t n = x1 - x0;
    if (n <= 0)
        return;
    if (mode_ != SColourMode::Bitmap) {
        std::fill(out, out + n, value_);
        return;
    }
    // Walks the reference row with a wrapping column instead of a division per pixel.
    const std::int32_t width = reference_.Width(), ry = Wrap(y, reference_.Height());
    std::int32_t rx = Wrap(x0, width);
    switch (reference_.Format()) {
    case 32: {
        const std::uint32_t* row = reference_.Row32(ry);
        for (std::int32_t i = 0; i < n; ++i) {
            const std::uint32_t v = row[rx];
            out[i] = (v >> 24) != 0 ? v : Unpainted;
            rx = rx + 1 == width ? 0 : rx + 1;
        }
        break;
    }
    case 24: {
        const std::uint8_t* row = reference_.Row(ry);
        for (std::int32_t i = 0; i < n; ++i) {
            const std::uint8_t* p = row + std::size_t(rx) * 3;
            out[i] = 0xFF000000u | std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0];
            rx = rx + 1 == width ? 0 : rx + 1;
        }
        break;
    }
    default:
        for (std::int32_t i = 0; i < n; ++i) {
            out[i] = FromColour(reference_.GetColor(rx, ry));
            rx = rx + 1 == width ? 0 : rx + 1;
        }
        break;
    }
}

void PaintSpan(SBitmap& paint, const SColourSource& source, std::int32_t y, std::int32_t x0, std::int32_t x1)
{
    if (paint.Format() != 32 || y < 0 || y >= paint.Height())
        return;
    x0 = std::max(x0, 0);
    x1 = std::min(x1, paint.Width());
    if (x0 < x1)
        PaintRow(paint.Row32(y), source, y, x0, x1);
}

void PaintRow(std::uint32_t* row, const SColourSource& source, std::int32_t y, std::int32_t x0, std::int32_t x1)
{
    if (source.PaintsNothing())
        return;
    if (source.IsUniform()) {
        const std::uint32_t value = source.UniformValue();
        for (std::int32_t x = x0; x < x1; ++x)
            row[x] = Painted(row[x], value);
        return;
    }
    // The reference's values a piece at a time, so a long span needs no allocation.
    constexpr std::int32_t Piece = 256;
    std::uint32_t values[Piece];
    for (std::int32_t from = x0; from < x1; from += Piece) {
        const std::int32_t to = std::min(x1, from + Piece);
        source.RowValues(y, from, to, values);
        for (std::int32_t x = from; x < to; ++x)
            row[x] = Painted(row[x], values[x - from]);
    }
}
