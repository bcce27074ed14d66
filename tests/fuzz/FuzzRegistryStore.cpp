// Settings store files as a damaged or hostile file would give them: parsing must stay inside the
// bytes and within the size cap, and what it reads must write out and read back as the same store.
// The main key's values found in the file are then applied to a controller, as loading does.
#include "SHuedraneSettings.h"
#include "SRegistryStore.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

bool SameStore(const ulib::SStoreFile& a, const ulib::SStoreFile& b)
{
    if (a.keys.size() != b.keys.size())
        return false;
    for (std::size_t i = 0; i < a.keys.size(); ++i)
        if (a.keys[i].path != b.keys[i].path || a.keys[i].values != b.keys[i].values)
            return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ulib::SStoreFile store;
    if (ulib::ParseStoreFile(std::string_view(reinterpret_cast<const char*>(data), size), &store))
        return 0;
    ulib::SStoreFile again;
    if (ulib::ParseStoreFile(ulib::FormatStoreFile(store), &again) || !SameStore(store, again))
        std::abort();

    // Every value of the file, read as the main key's.
    ulib::SRegistryValues values;
    for (const ulib::SStoreKey& key : store.keys)
        for (const auto& [name, text] : key.values)
            values.Append(ulib::SString(name), ulib::SString(text));
    static SHuedraneController controller;
    ApplyMainSettings(controller, values);
    return 0;
}
