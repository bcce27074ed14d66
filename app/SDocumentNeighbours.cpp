// Stepping through the documents of a folder: the name order and the search for a neighbour.
#include "SDocumentNeighbours.h"

#include "SAscii.h"
#include "SError.h"
#include "SHuedraneController.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

using namespace ulib;

namespace {

unsigned char Folded(char c)
{
    return static_cast<unsigned char>(LowerAscii(c));
}

bool EndsWithNoCase(std::string_view name, std::string_view ending)
{
    if (name.size() < ending.size())
        return false;
    const std::string_view tail = name.substr(name.size() - ending.size());
    for (std::size_t i = 0; i < ending.size(); ++i)
        if (Folded(tail[i]) != Folded(ending[i]))
            return false;
    return true;
}

bool IsDocumentName(std::string_view name)
{
    return EndsWithNoCase(name, ".hdq") || EndsWithNoCase(name, ".hda");
}

}  // namespace

int CompareDocumentNames(std::string_view a, std::string_view b)
{
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i)
        if (Folded(a[i]) != Folded(b[i]))
            return Folded(a[i]) < Folded(b[i]) ? -1 : 1;
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    const int exact = a.compare(b);
    return exact < 0 ? -1 : (exact > 0 ? 1 : 0);
}

SString NeighbourDocument(const SString& path, std::int32_t direction)
{
    namespace fs = std::filesystem;
    if (direction == 0 || path.IsEmpty())
        return SString();
    const fs::path current(path.Str());
    const std::string name = current.filename().string();
    fs::path folder = current.parent_path();
    if (folder.empty())
        folder = ".";

    std::error_code ec;
    std::optional<std::string> best;
    // Stepped by hand: the range form throws when reading the folder fails half-way.
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::directory_entry& entry = *it;
        const std::string candidate = entry.path().filename().string();
        if (!IsDocumentName(candidate))
            continue;
        // Through links: a link to a document counts, a folder named like one does not.
        std::error_code statusError;
        if (!entry.is_regular_file(statusError))
            continue;
        const int order = CompareDocumentNames(candidate, name);
        if (direction > 0 ? order <= 0 : order >= 0)
            continue;
        // Closest: the smallest name after the current one, or the largest before it.
        if (!best || (direction > 0 ? CompareDocumentNames(candidate, *best) < 0
                                    : CompareDocumentNames(candidate, *best) > 0))
            best = candidate;
    }
    return best ? SString((folder / *best).string()) : SString();
}

SError SHuedraneController::NextFile(std::int32_t direction)
{
    if (state_ == SDocumentState::Modified)
        ReportFailure(Save(), false);
    if (path_.IsEmpty())
        return 0;
    const SString neighbour = NeighbourDocument(path_, direction);
    if (neighbour.IsEmpty())
        return 0;
    return Open(neighbour);
}
