// PNG (libpng) and JPEG (libjpeg) pictures: readers from memory and from files, and writers that
// replace their file only when the whole picture is on disk. A failed read leaves the bitmap empty.
// PNG is in Sxpng.cpp, JPEG in Sxjpeg.cpp.
#pragma once

#include "SBitmap.h"
#include "SError.h"
#include "SRowsRead.h"
#include "SString.h"

#include <cstdint>

namespace ulib {

// PNG -> bitmap format, every colour type and depth, 16-bit samples reduced to their high byte:
// RGB + alpha -> 32 and grey + alpha -> 32 (blue = green = red = grey), both marked HasAlpha;
// RGB -> 24; palette of 8, 4 or 1 bits -> 8, 4, 1 and of 2 bits -> 8 (entries the file does not
// define are black); grey of 8, 4 or 1 bits -> -8, -4, -1, of 2 bits -> -8 (v * 85), of 16 -> -8.
// tRNS is not used. Interlaced files are read whole; the rows of others are told to *rowsRead
// (when given) as they are decoded.
// err: "pngerror" (anything libpng reports: damaged, cut short, not a PNG), "memory_alloc" (wider
// or higher than 12000, checked before any allocation, or no memory).
SError ReadPngBytes(SBitmap& bitmap, const std::uint8_t* begin, const std::uint8_t* end,
                    const SRowsRead* rowsRead = nullptr);
// The same from a file. err: as ReadPngBytes, "null_pointer" (no bitmap), "file_open".
SError ReadPngFile(SBitmap* bitmap, const SString& path);
// Writes a 24-bit bitmap as RGB and a 32-bit one as RGB + alpha, 8 bits per channel, no interlace,
// no other chunks; the file is replaced only when the whole picture is on disk. err: "domain" (no
// bitmap, or an empty one), "pngerror2" (any other format), "pngerror" (the file cannot be created
// or put in place, or the picture cannot be encoded).
SError WritePngFile(const SBitmap* bitmap, const SString& path);

// JPEG of one component -> format -8, of three -> 24. Data cut short are completed by libjpeg, as
// it does for any reader. err: ReadJpegError() (anything libjpeg refuses, other component counts,
// more than 1000 scans), "memory_alloc" (wider or higher than 12000, or no memory). Rows are told
// to *rowsRead (when given) as they are decoded.
SError ReadJpegBytes(SBitmap& bitmap, const std::uint8_t* begin, const std::uint8_t* end,
                     const SRowsRead* rowsRead = nullptr);
// The same from a file. err: as ReadJpegBytes, "pointer" (no bitmap), 1 (empty file name),
// "file_open", "file_close".
SError ReadJpegFile(SBitmap* bitmap, const SString& path);
// Writes any bitmap as a baseline colour JPEG of quality 80; colours read with GetColor, those not
// opaque composited onto white first; the file is replaced only when the whole picture is on disk.
// err: the JPEG library error (error_definitions::JpegError(): an empty bitmap, a file that cannot
// be created or put in place, libjpeg failures).
SError WriteJpegFile(const SBitmap& bitmap, const SString& path);

// The error every JPEG read failure gives: identifier "error", message "エラー1が発生しました。".
SError ReadJpegError();

}  // namespace ulib
