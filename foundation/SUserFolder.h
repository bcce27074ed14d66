// The per-user base folders of the XDG base directory rules, where the program keeps what is the
// user's own (chart, recovery copies).
#pragma once

#include "SString.h"

namespace ulib {

// The folder the variable names when it holds an absolute path (XDG_DATA_HOME, XDG_STATE_HOME...),
// else fallback below $HOME (".local/share", ".local/state"); without a trailing slash. Empty when
// neither is known.
SString UserFolder(const char* variable, const char* fallback);

}  // namespace ulib
