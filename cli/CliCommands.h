// The converter's document commands. Each returns 0 or the error that ended it; output goes to `out`.
#pragma once

#include "CliArguments.h"
#include "CliScript.h"
#include "SError.h"

#include <ostream>
#include <string>
#include <vector>

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

// Carries the painted cel's colours along the targets in order and writes each once carried, with a
// line (or a JSON object) for each on stdout. Returns the exit status: 0 every target written, 1 a
// failure or Ctrl+C, reported on stderr as the batch commands report theirs.
int RunCarry(const SCliArguments& args);
