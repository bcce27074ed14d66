// The converter's commands. Each returns 0 or the error that ended it; output goes to `out`.
#pragma once

#include "CliArguments.h"
#include "CliScript.h"
#include "SError.h"

#include <ostream>
#include <vector>

// info DOCUMENT: the container's header, records, memo and whether flags are present, as JSON.
ulib::SError RunInfo(const SCliArguments& args, std::ostream& out);

// render DOCUMENT -o OUT.png [--hide layers] [--silhouette]: the display buffer as a 32-bit PNG.
ulib::SError RunRender(const SCliArguments& args);

// thumbnail DOCUMENT -o OUT.png: the stored thumbnail record as a PNG.
ulib::SError RunThumbnail(const SCliArguments& args);

// edit DOCUMENT --script FILE|- -o OUT.hdq: runs a checked script on the cel and saves it.
ulib::SError RunEdit(const SCliArguments& args, const std::vector<SScriptCommand>& script);
