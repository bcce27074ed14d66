// Text in the files the program shares with others (document memos, colour charts): CP932 bytes,
// the encoding those formats fix. Memory holds UTF-8, so text is converted on the way out and in;
// text that CP932 cannot hold is stored as UTF-8, and bytes that are valid UTF-8 are read as such.
#pragma once

#include "SString.h"

#include <string>
#include <string_view>

namespace ulib {

// CP932 bytes of the text, or the UTF-8 bytes unchanged when CP932 cannot hold all of it.
std::string EncodeStoredText(std::string_view utf8);

// Valid UTF-8 stays as it is; anything else is read as CP932, with bytes that are not CP932
// either replaced by U+FFFD, so reading never fails.
std::string DecodeStoredText(std::string_view bytes);

bool IsValidUtf8(std::string_view bytes);

}  // namespace ulib
