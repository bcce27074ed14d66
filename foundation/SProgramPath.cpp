#include "SProgramPath.h"

#include <climits>
#include <cstdlib>
#include <unistd.h>

namespace ulib {

SString ProgramPath()
{
    char buffer[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer);
    if (length <= 0 || length >= static_cast<ssize_t>(sizeof buffer))
        return {};
    return SString(std::string_view(buffer, static_cast<std::size_t>(length)));
}

SString ProgramFolder()
{
    const SString path = ProgramPath();
    const std::size_t slash = path.View().rfind('/');
    if (slash == std::string_view::npos)
        return {};
    return SString(path.View().substr(0, slash + 1));
}

SString SiblingPath(std::string_view relative)
{
    const SString folder = ProgramFolder();
    if (folder.IsEmpty())
        return {};
    const std::string joined = folder.Str() + "../" + std::string(relative);
    // realpath needs an existing path; keep the joined form when it does not exist yet.
    char resolved[PATH_MAX];
    if (!realpath(joined.c_str(), resolved))
        return SString(joined);
    std::string result = resolved;
    if (!relative.empty() && relative.back() == '/' && result.back() != '/')
        result += '/';
    return SString(std::move(result));
}

}  // namespace ulib
