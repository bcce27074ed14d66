// The PNG writer's encoder: an 8-bit RGB (24-bit bitmap) or RGBA (32-bit bitmap, the fourth byte as
// alpha) picture, its rows filtered as libpng filters them by default (each row takes the filter
// whose bytes sum smallest as signed values) and deflated at libpng's default level by libdeflate,
// in bands of rows on every core. Each band is filtered and deflated on its own; all but the last
// end with an ordinary block and an empty stored block on a byte boundary (SDeflateExtent.h), so
// the bands join into one zlib stream whose Adler-32 is combined from theirs: a standard PNG,
// slightly smaller than libpng's.
#pragma once

#include "SBitmap.h"
#include "SError.h"

#include <cstdint>
#include <vector>

namespace ulib {

// The whole file's bytes; bitmap must be 24- or 32-bit and not empty. Errors: "domain" (another
// format or no pixels), "memory_alloc", "data" (a deflate failure).
SError EncodePngBands(const SBitmap& bitmap, std::vector<std::uint8_t>& file);

}  // namespace ulib
