// Errors explained for this occasion: a failure such as a full disk or a read-only folder keeps the
// identifier its callers and scripts know ("pngerror", "file_resize", "errno"), while its text is
// the system's reason and the file's path instead of a library's generic message; other errors add
// a detail line to their message (where the manual is).
#pragma once

#include "SError.h"

#include <cstdint>
#include <optional>
#include <string>

namespace ulib {

// Where the kinds of error values lie: registered definitions below SystemCodeBase, wrapped errno
// codes from there, unclassified values from UnclassifiedBase, cause values in [CauseBase, CauseEnd).
inline constexpr SError SystemCodeBase = 0x1000000;
inline constexpr SError UnclassifiedBase = 0x2000000;
inline constexpr SError CauseBase = 0x3000000;
inline constexpr SError CauseEnd = 0x4000000;

// A value for this run that is identified as `identity` and reads "PATH: REASON" (the C library's
// text for the errno code). identity 0 stands for the wrapped system code itself. code 0 gives
// identity unchanged: nothing was explained. The most recent 256 values are remembered; an older
// one reads as an unknown error.
SError ErrorWithSystemCause(SError identity, std::int32_t code, const std::string& path);

// A failure a lower layer reported, explained for the file: a wrapped system code becomes
// ErrorWithSystemCause(identity, its code, path); any other failure (its own identifier says what
// happened: "abort", "file_not_regular") and 0 pass through unchanged.
SError ExplainFailure(SError identity, SError failure, const std::string& path);

// A value for this run that is identified as `identity` and reads "PATH: MESSAGE": a failure about a
// file the system does not explain (a target that is no regular file). An empty path gives identity
// unchanged.
SError ErrorWithPath(SError identity, const std::string& path);

// A value for this run that is identified as `identity` and reads as its message, a line break and
// the detail (where to find what the message is about). An empty detail gives identity unchanged.
SError ErrorWithDetail(SError identity, const std::string& detail);

// The errno code a wrapped system code or a cause value carries; 0 when it carries none.
std::int32_t SystemCodeOf(SError error);

// The value a cause value stands for, so a caller can compare it with a known error; any other value
// as it is.
SError ErrorIdentity(SError error);

// The text of a cause value ("PATH: REASON", "PATH: MESSAGE", or the message and its detail);
// nothing for other values. ErrorText uses it.
std::optional<std::string> ErrorCauseText(SError error);

// The C library's text for an errno code.
std::string SystemCodeText(std::int32_t code);

}  // namespace ulib
