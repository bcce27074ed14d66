// The file list dialog: the user reviews a list of files, appends more through an open dialog
// and deletes rows, then confirms the list. Each row shows the file's display name and keeps
// its full path.
#pragma once

#include "SArray.h"
#include "SMap.h"
#include "SString.h"

namespace ulib {

class SFileListDialog
{
public:
    SArray<SString> paths;            // before: the rows to show; after OK: the rows' paths in list order
    SMap<SString, SString> filters;   // the insert dialog's filters, description -> pattern
    SString caption;  // the dialog's title; empty: the library's "File List" in the user's language
    void* owner = nullptr;  // owning window handed to the platform; null: the program's owner window

    // Shows the dialog, captioned and labelled in the user's language. Insert runs an open
    // dialog with multiple selection and these filters and appends what was chosen. True only
    // after OK, with paths replaced by the list; otherwise paths stay as they were.
    bool Execute();
};

}  // namespace ulib
