#include "SFileListDialog.h"

#include "SFileDialog.h"
#include "SPlatform.h"
#include "SStringUnion.h"

namespace ulib {

namespace {

SFileListRow RowFor(const std::string& path)
{
    std::string name = Platform().DisplayName(path);
    return {path, name.empty() ? path : std::move(name)};
}

std::string Text(SStringUnion text)
{
    return SelectText(text, 0).Str();
}

}  // namespace

bool SFileListDialog::Execute()
{
    SFileListDialogRequest request;
    request.caption = caption.IsEmpty() ? Text(library_text::FileList) : caption.Str();
    request.insertText = Text(library_text::ButtonInsert);
    request.deleteText = Text(library_text::ButtonDelete);
    request.okText = Text(library_text::ButtonOk);
    request.cancelText = Text(library_text::ButtonCancel);
    request.owner = owner;
    for (const SString& path : paths)
        request.rows.push_back(RowFor(path.Str()));

    // One open dialog for the whole session, so it remembers the filter chosen last.
    SFileDialog inserter;
    inserter.title = SelectText(library_text::AppendToFileList, 0);
    inserter.filters = filters;
    inserter.multipleSelection = true;
    inserter.owner = owner;
    request.insert = [&inserter]() {
        std::vector<SFileListRow> rows;
        if (inserter.Open())
            for (const SString& path : inserter.fileNames)
                rows.push_back(RowFor(path.Str()));
        return rows;
    };

    const SFileListDialogResponse response = Platform().FileListDialog(request);
    if (response.result != SDialogResult::Ok)
        return false;
    SArray<SString> chosen;
    for (const std::string& path : response.paths)
        if (IsUsablePath(path) && chosen.Append(SString(path)) != 0)
            break;
    paths = std::move(chosen);
    return true;
}

}  // namespace ulib
