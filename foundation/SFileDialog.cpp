#include "SFileDialog.h"

#include "SErrorRegistry.h"
#include "SMessage.h"
#include "SPlatform.h"
#include "SStringUnion.h"

#include <algorithm>
#include <climits>

#include <sys/stat.h>

namespace ulib {

namespace {

using FilterPairs = std::vector<std::pair<std::string, std::string>>;

// The filters in order, and "All Files" after them unless one of them already is "*.*".
FilterPairs FilterList(const SMap<SString, SString>& filters)
{
    FilterPairs list;
    bool hasAll = false;
    for (std::int32_t i = 0; i < filters.Count(); ++i) {
        list.emplace_back(filters.Key(i).Str(), filters.Value(i).Str());
        hasAll = hasAll || filters.Value(i).View() == "*.*";
    }
    if (!hasAll)
        list.emplace_back(SelectText(library_text::AllFiles, 0).Str(), "*.*");
    return list;
}

std::vector<std::string> UsablePaths(const std::vector<std::string>& paths)
{
    std::vector<std::string> usable;
    for (const std::string& path : paths)
        if (IsUsablePath(path))
            usable.push_back(path);
    return usable;
}

// A file that cannot be looked at counts as empty: the question is only a warning.
std::int64_t FileSize(const std::string& path)
{
    struct stat status;
    if (stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
        return 0;
    return status.st_size;
}

bool AskedYes(SStringUnion question)
{
    return ShowMessageBox("warning", SelectText(question, 0).CStr(), "y") == 1;
}

}  // namespace

bool IsUsablePath(const std::string& path)
{
    return !path.empty() && path.size() < PATH_MAX;
}

bool SFileDialog::Open()
{
    return Run(OpenMode);
}

bool SFileDialog::Save()
{
    return Run(SaveMode);
}

SString SFileDialog::FileName() const
{
    return fileNames.IsEmpty() ? SString() : fileNames[0];
}

void SFileDialog::SetFileName(const SString& name)
{
    fileNames.Clear();
    fileNames.Append(name);
}

bool SFileDialog::Run(std::int32_t runningMode)
{
    mode = runningMode;
    const bool open = runningMode == OpenMode;

    SFileDialogRequest request;
    request.mode = open ? SFileDialogRequest::Mode::Open : SFileDialogRequest::Mode::Save;
    request.title = title.Str();
    request.filters = FilterList(filters);
    if (filterIndex < 1 || filterIndex > std::int32_t(request.filters.size()))
        filterIndex = 0;
    request.filterIndex = filterIndex;
    request.defaultExtension = defaultExtension.Str();
    request.multiple = multipleSelection && open;
    request.readOnly = readOnly > 0 ? 1 : (readOnly < 0 ? -1 : 0);
    const std::string initial = FileName().Str();
    request.initialFile = IsUsablePath(initial) ? initial : std::string();
    request.owner = owner;
    if (open)
        request.accept = [this](const std::vector<std::string>& paths) { return AcceptChosen(UsablePaths(paths)); };
    fileNames.Clear();

    const SFileDialogResponse response = Platform().FileDialog(request);
    if (response.result == SDialogResult::Cancel)
        return false;
    if (response.result == SDialogResult::Failed) {
        ReportError(error_definitions::FileDialog().value);
        return false;
    }

    filterIndex = response.filterIndex;
    for (const std::string& path : UsablePaths(response.paths)) {
        fileNames.Append(SString(path));
        if (!request.multiple)
            break;
    }
    // A hidden box stays hidden: only a shown one takes the user's choice.
    if (request.readOnly != 0)
        readOnly = response.readOnlyTicked ? 1 : -1;
    // OK without one usable path would hand callers an empty name as if a file were chosen.
    if (fileNames.IsEmpty()) {
        ReportError(error_definitions::FileDialog().value);
        return false;
    }
    return true;
}

bool SFileDialog::AcceptChosen(const std::vector<std::string>& paths) const
{
    if (paths.empty())
        return true;
    std::int64_t largest = 0;
    for (const std::string& path : paths)
        largest = std::max(largest, FileSize(path));
    const bool tooLarge = maxFileSize > 0 && largest > maxFileSize;

    if (paths.size() == 1)
        return !tooLarge || AskedYes(library_text::TooLargeFile);
    if (maxFileCount > 0 && std::int64_t(paths.size()) > maxFileCount && !AskedYes(library_text::TooManyFiles))
        return false;
    return !tooLarge || AskedYes(library_text::BigFileIncluded);
}

}  // namespace ulib
