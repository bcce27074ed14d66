// Told by a picture reader as the rows of its bitmap become final, so that work on the first rows
// can start while the later ones are still being decoded.
#pragma once

#include "SBitmap.h"

#include <cstdint>
#include <functional>

namespace ulib {

// Called on the reading thread with rows > 0 once rows 0..rows-1 of the bitmap hold their final
// pixels (rows only grows, the bitmap's size and format are set by the first call); returning
// false stops the read, which then fails with "abort". Called with rows = -1 (the result is
// ignored) before a bitmap whose rows were told is released after a failure: a listener must have
// stopped touching the bitmap when that call returns. Readers that decode no rows in order say
// nothing. Must not throw.
using SRowsRead = std::function<bool(const SBitmap& bitmap, std::int32_t rows)>;

}  // namespace ulib
