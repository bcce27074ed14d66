// Row conversions from stored TIFF samples to BMP-style pixels, one loop per layout.
#pragma once

#include "TiffLayout.h"

#include <cstdint>

namespace tiffplugin {

// Converts count pixels starting at source (the first stored sample of the first pixel, on a byte
// boundary) into target (the first output pixel, on a byte boundary). source may equal target when
// the stored pixel is at least as large as the output one (Copy and the 8-bit kinds except Unpack and GreyAlpha):
// each pixel is read before it is written. Bits past count in a last partial byte are cleared.
void ConvertRow(const Layout& layout, const std::uint8_t* source, std::uint8_t* target, std::uint32_t count);

// libtiff's RGBA raster (R, G, B, A bytes, colours premultiplied when the picture has alpha) to
// B, G, R, A with unassociated alpha, in place.
void RgbaRasterToBgra(std::uint8_t* pixels, std::uint64_t count, bool premultiplied);

// Whether ConvertRow can work in place on a stored row of this layout.
bool ConvertsInPlace(const Layout& layout);

}  // namespace tiffplugin
