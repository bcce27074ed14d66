// The open and save file dialog: settings in plain fields, results as library strings. The
// class owns the rules around the platform's dialog: the filter list with its "All Files" entry,
// the remembered filter index, result paths, the read-only box, and the open dialog's questions
// when too many or too large files are chosen.
#pragma once

#include "SArray.h"
#include "SMap.h"
#include "SString.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ulib {

class SFileDialog
{
public:
    static constexpr std::int32_t OpenMode = 0;
    static constexpr std::int32_t SaveMode = 1;

    SString title;            // dialog title; empty: the platform's own
    void* owner = nullptr;    // owning window handed to the platform; null: the program's owner window
    SArray<SString> fileNames;  // before: the first entry is the initial name; after OK: the chosen full paths
    SMap<SString, SString> filters;  // description -> pattern ("*.bmp"), in display order
    std::int32_t filterIndex = 0;  // 1-based filter chosen last time; 0 = the first
    SString defaultExtension;      // without the dot; added when the user types none
    bool multipleSelection = false;  // open dialogs only
    std::int32_t readOnly = 0;     // 0 no read-only box; 1 shown and ticked; -1 shown, not ticked
    std::int32_t maxFileCount = 0;  // open dialogs: above it the user is asked; 0 = no limit
    std::int64_t maxFileSize = 0;   // open dialogs: bytes; above it the user is asked; 0 = no limit
    std::int32_t mode = OpenMode;   // OpenMode or SaveMode while the dialog is shown

    // Show the dialog. The file names are cleared first (the first entry was the initial name).
    // True after OK with at least one usable path in fileNames; filterIndex and readOnly (when the
    // box was shown) then hold the user's choice. False on cancel (silent) or when the dialog fails,
    // which is reported at once as "filedialog".
    bool Open();
    bool Save();

    // The first file name, or empty.
    SString FileName() const;
    // Makes name the only entry of the file names.
    void SetFileName(const SString& name);

private:
    bool Run(std::int32_t runningMode);
    // Whether the open dialog may close with these files; asks the user about too many or too
    // large files.
    bool AcceptChosen(const std::vector<std::string>& paths) const;
};

// Paths as long as the platform's path limit or longer cannot be opened: such entries are
// dropped from dialog results.
bool IsUsablePath(const std::string& path);

}  // namespace ulib
