#include "SHelp.h"

#include "SErrorCause.h"
#include "SLanguage.h"
#include "SPlatform.h"
#include "SProgramPath.h"

#include <sys/stat.h>

namespace ulib {

namespace {

bool IsFile(const SString& path)
{
    struct stat status;
    return stat(path.CStr(), &status) == 0 && S_ISREG(status.st_mode);
}

// The path without the extension of its file name; a leading dot belongs to the name.
std::string WithoutExtension(std::string_view path)
{
    const std::size_t nameStart = path.rfind('/') + 1;  // npos + 1 is 0
    const std::size_t dot = path.rfind('.');
    if (dot != std::string_view::npos && dot > nameStart)
        path = path.substr(0, dot);
    return std::string(path);
}

}  // namespace

std::string HelpTopicAnchor(std::int32_t context)
{
    return context == 0 ? std::string() : "context-" + std::to_string(context);
}

std::vector<SString> HelpCandidates(const SString& programPath, const SString& documentationFolder)
{
    std::vector<SString> candidates;
    if (!programPath.IsEmpty()) {
        const std::string stem = WithoutExtension(programPath.View());
        for (const char* extension : {".pdf", ".htm", ".html", ".txt"})
            candidates.emplace_back(stem + extension);
        const std::string folder(programPath.View().substr(0, programPath.View().rfind('/') + 1));
        for (const char* name : {"index.htm", "index.html", "readme.txt", "readme.doc"})
            candidates.emplace_back(folder + name);
    }
    if (!documentationFolder.IsEmpty()) {
        // The manual of the run's language first; the English one serves every language.
        if (CurrentLanguage() == SLanguage::Japanese)
            candidates.emplace_back(documentationFolder.Str() + "ja/index.html");
        candidates.emplace_back(documentationFolder.Str() + "index.html");
    }
    return candidates;
}

SError ShowHelpFor(const SString& programPath, const SString& documentationFolder, std::int32_t context)
{
    const std::vector<SString> candidates = HelpCandidates(programPath, documentationFolder);
    std::string found;
    for (const SString& candidate : candidates) {
        if (!IsFile(candidate))
            continue;
        if (Platform().OpenHelp(candidate.Str(), context))
            return 0;
        if (found.empty())
            found = candidate.Str();
    }
    // Without a viewer the user can still open the manual by hand: say where it is, or where it
    // was looked for last (its installed place).
    const SError help = ErrorFromIdentifier("help");
    if (!found.empty())
        return ErrorWithDetail(help, FormatText("マニュアルの場所: %1", {found}));
    if (candidates.empty())
        return help;
    return ErrorWithDetail(help, FormatText("マニュアルが見つかりません: %1", {candidates.back().Str()}));
}

SError ShowHelp(std::int32_t context)
{
    return ShowHelpFor(ProgramPath(), SiblingPath("share/doc/huedrane/"), context);
}

SError ShowHelpContents()
{
    return ShowHelp(0);
}

}  // namespace ulib
