// The converter's document commands. Each returns 0 or the error that ended it; output goes to `out`.
#pragma once

#include "CliArguments.h"
#include "CliScript.h"
#include "SError.h"

#include <array>
#include <ostream>
#include <string>
#include <vector>

// The layers a command that reads a cel's paint and trace layers alone shows while loading it: the
// genga stays undecoded and an extra layer the document does not hold is not created.
inline constexpr std::array<bool, 5> PaintAndTraceShown{false, false, true, true, false};

// info DOCUMENT: the container's header, records, memo and whether flags are present, as JSON.
ulib::SError RunInfo(const SCliArguments& args, std::ostream& out);

// render DOCUMENT -o OUT.png [--hide layers] [--silhouette]: the display buffer as a 32-bit PNG.
ulib::SError RunRender(const SCliArguments& args);

// thumbnail DOCUMENT -o OUT.png: the stored thumbnail record as a PNG.
ulib::SError RunThumbnail(const SCliArguments& args);

// edit DOCUMENT --script FILE|- -o OUT.hdq: runs a checked script on the cel and saves it.
ulib::SError RunEdit(const SCliArguments& args, const std::vector<SScriptCommand>& script);

// carry --from PAINTED.hdq TARGET.hdq... (-o OUT.hdq | --in-place) [--json] [-j N]: checks the
// command line; false with a reason on a usage error.
bool CheckCarryArguments(const SCliArguments& args, std::string& problem);

// check DOCUMENT... [--min-speck N] [--include-edge] [--json] [-j N]: checks the command line.
bool CheckCheckArguments(const SCliArguments& args, std::string& problem);

// Checks each document (SCelCheck.h) and prints its findings in the order the documents were
// given, a line each (or a JSON object a document). Returns the exit status: 0 every document
// clean, 3 findings in some, 1 a document that could not be checked or Ctrl+C (which outranks
// findings), reported on stderr as the batch commands report theirs.
int RunCheck(const SCliArguments& args);

// Carries the painted cel's colours along the targets in order and writes each once carried, with a
// line (or a JSON object) for each on stdout. Returns the exit status: 0 every target written, 1 a
// failure or Ctrl+C, reported on stderr as the batch commands report theirs.
int RunCarry(const SCliArguments& args);
