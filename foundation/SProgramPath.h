// Where the running program lives. Help, the settings ("InstallDirectory"), the plug-in helper and
// the plug-ins shipped with the program are all found relative to it, so a build tree and an
// installed tree (<prefix>/bin beside <prefix>/lib, <prefix>/libexec, <prefix>/share) both work.
#pragma once

#include "SString.h"

namespace ulib {

// The running program file's full path, or empty when the system cannot tell.
SString ProgramPath();

// The folder of the running program, ending in "/" (empty when unknown).
SString ProgramFolder();

// ProgramFolder() + "../" + relative, with the "bin/.." step resolved when the folder exists.
// Example: SiblingPath("share/doc/huedrane/") next to /usr/local/bin/ gives
// /usr/local/share/doc/huedrane/.
SString SiblingPath(std::string_view relative);

}  // namespace ulib
