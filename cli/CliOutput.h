// What the converter prints beside its commands' own output: the failure line and JSON strings.
#pragma once

#include "SError.h"

#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>

// One line on stderr, "huedrane-cli: IDENTIFIER: MESSAGE", ending in " (FILE)" when a file is named
// (the commands over several files say which one failed).
void PrintFailure(ulib::SError err, const std::string& file = {});

// The one line that reports Ctrl+C instead of a line for each file it stopped:
// "huedrane-cli: abort: MESSAGE (WHAT interrupted, N of M files written)" (or another word for
// what was done with the files).
void PrintInterrupted(const char* what, std::size_t written, std::size_t total, const char* done = "written");

// The text as a JSON string: quotes, backslashes and control characters escaped, the rest as it is.
void WriteJsonString(std::ostream& out, std::string_view utf8);
