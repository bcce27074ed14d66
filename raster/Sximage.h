// Picture files: recognising a file kind by its first bytes (signature patterns), the BMP reader and
// writer, and the entry points that read any supported picture from a file or from bytes in memory.
// PNG and JPEG are in Sxpng.h. A failed read always leaves the bitmap empty.
#pragma once

#include "SAbort.h"
#include "SBitmap.h"
#include "SError.h"
#include "SRowsRead.h"
#include "SString.h"

#include <cstdint>
#include <functional>
#include <string_view>

namespace ulib {

// Signature patterns, read two characters per data byte:
//   two hexadecimal digits (either case)    the byte of that value
//   '+' and a letter or digit              that character
//   "::"                                   any byte
//   '/' and one of z a b t n v f r c e s d 0x00 0x07 0x08 0x09 0x0A 0x0B 0x0C 0x0D 0x18 0x1B 0x20 0x7F
//       (the letter in either case)
// Any other pair, or an odd length, fails the whole test, as do data shorter than the pattern. An
// empty pattern matches any data, even none.
inline constexpr std::string_view BmpSignature = "+B+M";
inline constexpr std::string_view PngSignature = "89+P+N+G";
inline constexpr std::string_view JpegSignature = "FFD8";

// The position just after the matched prefix, or null: no match, or a null or reversed range.
const std::uint8_t* MatchSignature(const std::uint8_t* begin, const std::uint8_t* end, std::string_view pattern);
// True when the data begin with the pattern.
bool HasSignature(const std::uint8_t* begin, const std::uint8_t* end, std::string_view pattern);

// Reads a BMP file image held in memory: 1, 4, 8, 16 (5-5-5, read as format 15), 24 or 32 bits per
// pixel (48 and 64 as the bitmap formats of those codes), bottom-up or top-down; run lengths
// (compression 1 for 8 bits, 2 for 4) as the 8- or 4-bit palette picture, the pixels they skip
// index 0; bit fields (compression 3) of 16 or 32 bits: 5-6-5 and 5-5-5 as formats 16 and 15,
// 8-8-8 as format 32 (marked HasAlpha when the header's alpha mask is 0xFF000000), and any other
// layout of unbroken masks as format 24, or 32 marked HasAlpha with A from the alpha mask of a
// header of 56 bytes or more. The fourth byte of any other 32-bit picture is not alpha.
// The pixel rows start at the file header's pixel offset when it lies inside the data after the
// colour table, else directly after the table. Nothing is allocated before the data are known to
// hold the whole picture (run lengths: to be complete and inside it).
// err: "InvalidArgument" (null or reversed range), "InvalidData" (no "BM" file header, or fewer than
// 40 bytes after it), "UnacceptableVersion" (information header under 40 bytes, a compression other
// than those above or for another bit count, masks that are broken, share bits or reach past the
// pixel), "memory_alloc" (a bit count or size the bitmap cannot take: above 12000 pixels, negative
// width), "taillostdata" (masks, colour table or pixels cut short; run lengths without their end),
// "data" (a run or move past the end of its row or of the picture).
SError ReadBmp(SBitmap& bitmap, const std::uint8_t* begin, const std::uint8_t* end);

// Writes the bitmap as an uncompressed BMP file (its own information header, colour table and
// bottom-up rows), replacing the file only when the whole of it is on disk. Format 15 is written as
// a plain 16-bit file; format 16 with its 5-6-5 masks (compression 3); the two-plane formats as the
// 8-, 24- or 32-bit picture of their first plane.
// err: the errors of SFileMapper::OpenWrite and Close, "file_resize" (the file cannot be sized).
SError WriteBmpFile(const SBitmap& bitmap, const SString& path);

// Reads a BMP, PNG or JPEG held in memory, chosen by signature (BMP, PNG, JPEG, in that order);
// PNG and JPEG rows are told to *rowsRead (when given) as they are decoded.
// err: the chosen reader's, or "UnacceptableFormat" when no signature matches.
SError ReadImageBytes(SBitmap& bitmap, const std::uint8_t* begin, const std::uint8_t* end,
                      const SRowsRead* rowsRead = nullptr);

// Reads a picture the built-in readers cannot, from the file's bytes (valid during the call) and
// name; the plug-in reader is passed in here so that this layer need not know it.
using SPictureReader = std::function<SError(SBitmap& bitmap, const std::uint8_t* begin, const std::uint8_t* end,
                                            const SString& path, SAbort* abort)>;

// Reads any supported picture file: the built-in readers on the mapped file, then `fallback` (when
// given) if they fail; `abort` is only handed to the fallback, `rowsRead` only to the built-in
// readers (and told -1 before a bitmap it was told rows of is released here; a read it stopped
// fails with "abort" and goes to no fallback).
// err: "pointer" (no bitmap), "file_not_found" (no such file, or a folder), the errors of
// SFileMapper::OpenRead, "empty_file" (0 bytes), "file_close"; when the fallback fails too: the
// built-in reader's error for a file with a built-in signature, else the fallback's error.
SError ReadImageFile(SBitmap* bitmap, const SString& path, const SPictureReader& fallback = nullptr,
                     SAbort* abort = nullptr, const SRowsRead* rowsRead = nullptr);

}  // namespace ulib
