// The folder browser: the initial and chosen folder, caption and prompt in plain fields.
// Chosen folders always end in "/", so a file name can be appended directly.
#pragma once

#include "SString.h"

namespace ulib {

class SFolderDialog
{
public:
    // Before: the folder to select (a trailing "/" is allowed); after OK: the chosen folder
    // ending in "/".
    SString folder;
    SString caption;  // window caption; empty: the platform's own
    SString prompt;   // text above the folder tree; may be empty
    void* owner = nullptr;  // owning window handed to the platform; null: the program's owner window

    // Shows the browser. True after OK with folder set; false on cancel or when the browser could
    // not run or gave an unusable path, leaving folder as it was.
    bool Execute();
};

}  // namespace ulib
