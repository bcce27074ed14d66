// Message boxes of the library: the application title that captions every box, the question and
// notice boxes with the kind words and option letters the program uses, and the assertion report.
// Every box goes through the platform seam (SPlatform.h), so a console or a test can answer it.
#pragma once

#include "SError.h"
#include "SString.h"

#include <string_view>

namespace ulib {

// The caption of every box: the title set by the program's start-up, else the program file's
// base name without its extension. Safe to call from any thread.
SString ApplicationTitle();
void SetApplicationTitle(std::string_view title);

// A box with an icon chosen by kind ("warning", "information", "question", "error"; compared
// exactly, anything else shows none) and buttons chosen by the options string, read from its
// start while its bytes are printable ASCII: 'O' OK, 'o' OK/cancel, 'a' abort/retry/ignore,
// 'y' yes/no/cancel, 'Y' yes/no, 'r' retry/cancel (the last such letter counts; none gives one OK
// button); 'h' or 'H' adds a help button; '1', '2', '3' choose the default button. Null texts
// count as empty. Returns 1 for OK, yes or retry; -1 for no or abort; 0 otherwise (cancel,
// ignore, or a box that could not be shown).
int ShowMessageBox(const char* kind, const char* text, const char* options);

// Asks in a yes/no/cancel warning box, in the user's language, whether to save the modified
// data. Returns 1 yes, -1 no, 0 cancel (also when the box could not be shown).
int AskSaveChanges();

// A box with the text, no icon and one OK button. Gives "domain" for a null text, 0 without a box
// for an empty one, "memory_temp" for a text too long to copy, "io" when the box fails.
SError ShowPlainMessage(const char* text);

// When condition is false, reports "file.ext (line)" and the expression in a box captioned
// "アサーション(title)", then returns so execution continues.
void AssertionFailed(bool condition, const char* expressionText, const char* sourcePath, int line);

}  // namespace ulib

// Checks a condition that only a programming error can break.
#define ULIB_ASSERT(expression) \
    ::ulib::AssertionFailed(static_cast<bool>(expression), #expression, __FILE__, __LINE__)
