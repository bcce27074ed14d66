#include "SFolderDialog.h"

#include "SFileDialog.h"
#include "SPlatform.h"

namespace ulib {

bool SFolderDialog::Execute()
{
    SFolderDialogRequest request;
    request.caption = caption.Str();
    request.prompt = prompt.Str();
    request.initialFolder = folder.Str();
    // The root keeps its only slash.
    while (request.initialFolder.size() > 1 && request.initialFolder.back() == '/')
        request.initialFolder.pop_back();
    request.owner = owner;

    const SFolderDialogResponse response = Platform().FolderDialog(request);
    if (response.result != SDialogResult::Ok || response.folder.empty())
        return false;
    std::string chosen = response.folder;
    if (chosen.back() != '/')
        chosen += '/';
    if (!IsUsablePath(chosen))
        return false;
    folder = SString(std::move(chosen));
    return true;
}

}  // namespace ulib
