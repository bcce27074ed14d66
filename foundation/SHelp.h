// Finding and showing the program's manual. It is looked for next to the program first (a
// document named like the program, then the usual index and readme names), then in the installed
// documentation folder, and opened through the platform's viewer.
#pragma once

#include "SError.h"
#include "SString.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ulib {

// Shows the manual at topic context (0: its contents). "help" when no manual was found or none
// that was found could be opened.
SError ShowHelp(std::int32_t context);
SError ShowHelpContents();

// The anchor of a topic inside the HTML manual ("context-1001"); empty for 0 (the contents).
std::string HelpTopicAnchor(std::int32_t context);

// The places a manual may be, in the order they are tried: programPath with its extension
// replaced by pdf, htm, html and txt (added when it has none), then index.htm, index.html,
// readme.txt and readme.doc in its folder, then in documentationFolder (a folder ending in "/")
// ja/index.html in a Japanese run and index.html. An empty argument contributes no candidates.
std::vector<SString> HelpCandidates(const SString& programPath, const SString& documentationFolder);

// ShowHelp for a program at programPath with its documentation installed in documentationFolder:
// the first candidate that is an existing file and that the platform opens wins. When none opens,
// "help" with a detail line naming the first manual found, or the last place looked in.
SError ShowHelpFor(const SString& programPath, const SString& documentationFolder, std::int32_t context);

}  // namespace ulib
