// What a painting operation puts into a paint-layer pixel (values as in SCelValues.h), by colour
// mode, and span painting.
//   colour:  the current colour as a layer value (a fully transparent colour gives unpainted);
//   eraser:  unpainted;
//   bitmap:  the reference picture repeated from the document origin (its pixel at x mod width,
//            y mod height; fully transparent gives unpainted); without a reference, as eraser;
//   texture: nothing is painted (and so for a mode number outside 1..4).
#pragma once

#include "SPaintContext.h"

#include <cstdint>

class SColourSource
{
public:
    // Keeps a reference to the reference picture: it must outlive the source.
    SColourSource(const SToolState& tools, const ulib::SBitmap& reference);

    bool PaintsNothing() const { return mode_ == SColourMode::Texture; }
    // True when every pixel gets UniformValue() (colour and eraser modes).
    bool IsUniform() const { return mode_ == SColourMode::Colour || mode_ == SColourMode::Eraser; }
    std::uint32_t UniformValue() const { return value_; }
    // The paint value for document pixel (x, y); any coordinates (the reference wraps).
    // Meaningless when PaintsNothing().
    std::uint32_t ValueAt(std::int32_t x, std::int32_t y) const;
    // ValueAt for columns x0..x1-1 of row y, written to out[0 .. x1-x0-1].
    void RowValues(std::int32_t y, std::int32_t x0, std::int32_t x1, std::uint32_t* out) const;

private:
    SColourMode mode_;
    std::uint32_t value_;
    const ulib::SBitmap& reference_;
};

// Paints row y from x0 to x1 (exclusive), clipped to the paint layer: every pixel whose alpha is
// not 0, or that is unpainted, takes the source's value; border pixels (and the other
// alpha-0 values) stay. Records nothing and does not recompose. A layer that is not 32-bit is left.
void PaintSpan(ulib::SBitmap& paint, const SColourSource& source, std::int32_t y, std::int32_t x0, std::int32_t x1);

// PaintSpan on a row the caller has already found in a 32-bit layer: pixels x0..x1-1 of `row`,
// which is document row y (the bitmap mode reads the reference there). No clipping.
void PaintRow(std::uint32_t* row, const SColourSource& source, std::int32_t y, std::int32_t x0, std::int32_t x1);
