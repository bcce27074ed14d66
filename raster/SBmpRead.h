// Internal to the raster layer: the BMP reader's decoders of pixels that the file does not store as
// the bitmap does: bit fields of any layout and run lengths.
#pragma once

#include "SBitmap.h"
#include "SError.h"

#include <cstddef>
#include <cstdint>

namespace ulib::bmp {

// The channel masks of a bit-field BMP; a zero mask is a channel the file does not have.
struct Masks
{
    std::uint32_t red = 0;
    std::uint32_t green = 0;
    std::uint32_t blue = 0;
    std::uint32_t alpha = 0;
};

// Whether each mask is one unbroken run of bits inside a pixel of bitCount bits (16 or 32) and no
// two masks share a bit.
bool AreUsableMasks(const Masks& masks, std::uint32_t bitCount);

// Unpacks rows of 16- or 32-bit pixels (fileStride bytes apart, in the file's order) through usable
// masks into the bitmap: 24-bit, or 32-bit with A from the alpha mask. Each channel is scaled to 8
// bits by repeating its bits (keeping the top 8 of a wider one). The caller has checked that the
// rows lie inside the data and that the bitmap has the file's size.
void UnpackFields(SBitmap& bitmap, const std::uint8_t* rows, std::size_t fileStride, std::uint32_t bitCount,
                  const Masks& masks);

// Decodes run-length data (8-bit indices, or 4-bit with fourBits) into the rows of a width x height
// 8- or 4-bit bitmap, in the file's row order; pixels the data skip keep their value. Without a
// bitmap the data are only checked, so that nothing is allocated for data that fail.
// err: "taillostdata" (the data end before the end-of-picture mark), "data" (a run or a move past
// the end of its row or of the picture).
SError DecodeRunLengths(SBitmap* bitmap, std::int32_t width, std::int32_t height, bool fourBits,
                        const std::uint8_t* at, const std::uint8_t* end);

}  // namespace ulib::bmp
