// The two document records that carry no pixels: the memo (kind 3) and the flag layer (kind 1003).
// Memo bytes: each line followed by CR LF, lines in CP932 where they fit (SStoredText).
// Flag runs: little-endian 32-bit words, bits 0-23 the run length, bits 24-25 the value; rows are
// coded one after another from row 0 and a run never crosses the end of a row.
#pragma once

#include "SArray.h"
#include "SBinary.h"
#include "SBitmap.h"
#include "SError.h"
#include "SString.h"

namespace document_kind {
inline constexpr std::int32_t Image = 1;
inline constexpr std::int32_t Thumbnail = 2;
inline constexpr std::int32_t Memo = 3;
inline constexpr std::int32_t FlagRuns = 1003;
inline constexpr std::int32_t UnderLayer = 2001;
}  // namespace document_kind

// Err: "memory_alloc".
ulib::SBinary MemoToBytes(const ulib::SArray<ulib::SString>& memo, ulib::SError& err);

// Splits at CR, LF, FF and zero bytes (CR followed by LF, FF or zero is one break); text after the
// last break is a line only when it is not empty. Replaces the memo's lines.
void BytesToMemo(const ulib::SBinary& bytes, ulib::SArray<ulib::SString>& memo);

// The runs of the low two bits of an 8-bit flag layer; empty when every value is 0.
ulib::SBinary FlagLayerToRuns(const ulib::SBitmap& flag, ulib::SError& err);

// Sets the low two bits of the flag layer's bytes from row 0, column 0 on, run after run, moving
// on to the next row at a row's end and stopping at the end of the layer. A trailing partial word
// is ignored.
void ApplyFlagRuns(const ulib::SBinary& runs, ulib::SBitmap& flag);
