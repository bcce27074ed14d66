// Finding the plug-ins: the configured folder, the folder another program registered, or the
// plug-ins shipped with this program.
#include "SSpiAccess.h"

#include "SProgramPath.h"
#include "SRegistry.h"

#include <dirent.h>

#include <algorithm>
#include <string>
#include <vector>

namespace ulib {

namespace {

bool IsBlankOrControl(char c)
{
    return static_cast<unsigned char>(c) <= ' ' || c == 0x7F;
}

bool EndsWith(std::string_view text, std::string_view tail)
{
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

}  // namespace

SString SSpiAccess::DefaultPluginHostPath()
{
    return SiblingPath("libexec/huedrane/huedrane-spi-host");
}

SString OwnPluginFolder()
{
    return SiblingPath("lib/huedrane/plugins/");
}

SString PluginFolderFromRegistry()
{
    SRegistryValues values;
    if (ReadRegistryValues("HKEY_CURRENT_USER\\Software\\Ornibek\\Susie\\Plug-in", &values))
        return {};
    // RegistryValue gives a copy: the view must look into a string that outlives it.
    const SString stored = RegistryValue(values, "Path");
    std::string_view path = stored.View();
    while (!path.empty() && IsBlankOrControl(path.front()))
        path.remove_prefix(1);
    while (!path.empty() && IsBlankOrControl(path.back()))
        path.remove_suffix(1);
    return SString(path);
}

void FindPlugins(SSpiAccess& spi, const SString& folder, const SString& ownFolder)
{
    SString chosen = folder;
    if (chosen.IsEmpty())
        chosen = PluginFolderFromRegistry();
    if (chosen.IsEmpty())
        chosen = ownFolder;
    if (chosen.IsEmpty())
        return;
    std::string base = chosen.Str();
    if (base.back() != '/')
        base += '/';

    DIR* dir = opendir(base.c_str());
    if (!dir)
        return;
    // The directory's own order is arbitrary; a sorted list makes "the first plug-in wins" stable.
    std::vector<std::string> names;
    while (const dirent* entry = readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name.size() > 4 && EndsWith(name, ".spi"))
            names.emplace_back(name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        const SString path(base + name);
        if (spi.plugins.IndexOf(path) < 0)
            spi.plugins.Append(path);
    }
}

}  // namespace ulib
