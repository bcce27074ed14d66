// Settings keys addressed by path, on the file-backed store of SRegistryStore.
#include "SRegistry.h"

#include "SAscii.h"
#include "SRegistryStore.h"

#include <cerrno>
#include <string>

namespace ulib {

namespace {

struct RootName
{
    const char* name;
    std::uint32_t root;
};

// Long name before short name, in this order: the first name the path begins with wins.
constexpr RootName RootNames[] = {
    {"HKEY_CLASSES_ROOT", 0x80000000},     {"HKCR", 0x80000000}, {"HKEY_CURRENT_USER", 0x80000001},
    {"HKCU", 0x80000001},                  {"HKEY_LOCAL_MACHINE", 0x80000002},
    {"HKLM", 0x80000002},                  {"HKEY_USERS", 0x80000003},  {"HKU", 0x80000003},
    {"HKEY_PERFORMANCE_DATA", 0x80000004}, {"HKPD", 0x80000004},
    {"HKEY_CURRENT_CONFIG", 0x80000005},   {"HKCC", 0x80000005},
    {"HKEY_DYN_DATA", 0x80000006},         {"HKDD", 0x80000006},
};

// A path taken apart: the root and the normalised subkey path.
struct KeyPath
{
    std::uint32_t root = 0;
    std::string subkey;
};

SError SplitPath(const SString& path, KeyPath* key)
{
    SString subkey;
    if (const SError err = ParseRegistryPath(path, &key->root, &subkey))
        return err;
    if (!NormaliseStorePath(subkey.View(), &key->subkey))
        return ErrorFromIdentifier("registry");
    return 0;
}

SError MissingKey()
{
    return ErrorFromSystemCode(ENOENT);
}

}  // namespace

SError ParseRegistryPath(const SString& path, std::uint32_t* root, SString* subkey)
{
    if (!root || !subkey)
        return ErrorFromIdentifier("pointer");
    const std::string_view text = path.View();
    std::size_t rootLength = 0;
    if (!text.empty() && text.front() == '#') {
        std::uint32_t value = 0;
        std::size_t digits = 0;
        while (digits < 8 && 1 + digits < text.size() && HexDigitValue(text[1 + digits]) >= 0) {
            value = value << 4 | static_cast<std::uint32_t>(HexDigitValue(text[1 + digits]));
            ++digits;
        }
        // A raw root must be followed by "\": "#800000011\x" is not root 0x80000001.
        if (digits == 0 || 1 + digits >= text.size() || text[1 + digits] != '\\')
            return ErrorFromIdentifier("registry");
        *root = value;
        rootLength = 1 + digits;
    } else {
        const RootName* match = nullptr;
        for (const RootName& entry : RootNames) {
            const std::string_view name = entry.name;
            if (text.size() >= name.size() && SameStoreName(text.substr(0, name.size()), name)) {
                match = &entry;
                break;
            }
        }
        // The name must end where the path's first component does: "HKUSERS\x" names no root.
        if (!match)
            return ErrorFromIdentifier("registry");
        rootLength = std::string_view(match->name).size();
        if (rootLength < text.size() && text[rootLength] != '\\')
            return ErrorFromIdentifier("registry");
        *root = match->root;
    }
    *subkey = rootLength < text.size() ? SString(text.substr(rootLength + 1)) : SString();
    return 0;
}

SError OpenRegistryKey(const SString& path, std::uint32_t access, bool create, SRegistryKey* key)
{
    if (!key)
        return ErrorFromIdentifier("pointer");
    *key = SRegistryKey{};
    KeyPath where;
    if (const SError err = SplitPath(path, &where))
        return err;
    if (create) {
        const SError err = ChangeStoreFile(where.root, [&](SStoreFile& store, bool& changed) {
            // A key that exists only as the parent of a section gets its own, so that it outlives
            // its subkeys.
            if (!where.subkey.empty() && FindStoreKey(store, where.subkey) < 0) {
                MakeStoreKey(store, where.subkey);
                changed = true;
            }
            return SError(0);
        });
        if (err)
            return err;
    } else {
        SStoreFile store;
        if (const SError err = ReadStoreFile(where.root, &store))
            return err;
        if (!StoreKeyExists(store, where.subkey))
            return MissingKey();
    }
    key->root = where.root;
    key->subkey = SString(where.subkey);
    key->access = access;
    key->open = true;
    return 0;
}

SError CloseRegistryKey(SRegistryKey* key)
{
    if (!key)
        return ErrorFromIdentifier("pointer");
    *key = SRegistryKey{};
    return 0;
}

bool RegistryKeyExists(const SString& path)
{
    SRegistryKey key;
    const SError err = OpenRegistryKey(path, registry_access::EnumerateSubkeys, false, &key);
    CloseRegistryKey(&key);
    return err == 0;
}

SError EnumerateRegistrySubkeys(const SString& path, SArray<SString>* names)
{
    if (!names)
        return ErrorFromIdentifier("pointer");
    names->Clear();
    KeyPath where;
    if (const SError err = SplitPath(path, &where))
        return err;
    SStoreFile store;
    if (const SError err = ReadStoreFile(where.root, &store))
        return err;
    if (!StoreKeyExists(store, where.subkey))
        return MissingKey();
    for (const std::string& name : StoreSubkeys(store, where.subkey)) {
        if (const SError err = names->Append(SString(name))) {
            names->Clear();
            return err;
        }
    }
    return 0;
}

SError ReadRegistryValues(const SString& path, SRegistryValues* values)
{
    if (!values)
        return ErrorFromIdentifier("pointer");
    values->Clear();
    KeyPath where;
    SError err = SplitPath(path, &where);
    SStoreFile store;
    if (!err)
        err = ReadStoreFile(where.root, &store);
    if (!err && !StoreKeyExists(store, where.subkey))
        err = MissingKey();
    const std::int32_t index = err ? -1 : FindStoreKey(store, where.subkey);
    if (index >= 0) {
        for (const auto& [name, text] : store.keys[static_cast<std::size_t>(index)].values) {
            err = values->Append(SString(name), SString(text));
            if (err)
                break;
        }
    }
    if (err)
        values->Clear();
    return err;
}

SError WriteRegistryValues(const SString& path, const SRegistryValues& values)
{
    if (values.IsEmpty())
        return 0;
    KeyPath where;
    if (const SError err = SplitPath(path, &where))
        return err;
    return ChangeStoreFile(where.root, [&](SStoreFile& store, bool& changed) {
        SStoreKey& key = MakeStoreKey(store, where.subkey);
        for (std::int32_t i = 0; i < values.Count(); ++i) {
            const std::string& name = values.Key(i).Str();
            const std::string& text = values.Value(i).Str();
            bool found = false;
            for (auto& pair : key.values) {
                if (pair.first == name) {
                    pair.second = text;
                    found = true;
                    break;
                }
            }
            if (!found)
                key.values.emplace_back(name, text);
        }
        changed = true;
        return SError(0);
    });
}

SError DeleteRegistryValues(const SString& path)
{
    KeyPath where;
    if (const SError err = SplitPath(path, &where))
        return err;
    return ChangeStoreFile(where.root, [&](SStoreFile& store, bool& changed) {
        if (!StoreKeyExists(store, where.subkey))
            return MissingKey();
        const std::int32_t index = FindStoreKey(store, where.subkey);
        if (index >= 0 && !store.keys[static_cast<std::size_t>(index)].values.empty()) {
            store.keys[static_cast<std::size_t>(index)].values.clear();
            changed = true;
        }
        return SError(0);
    });
}

SError DeleteEmptyRegistryKey(const SString& path)
{
    KeyPath where;
    if (const SError err = SplitPath(path, &where))
        return err;
    // The root itself is never deleted.
    if (where.subkey.empty())
        return ErrorFromSystemCode(EACCES);
    return ChangeStoreFile(where.root, [&](SStoreFile& store, bool& changed) {
        if (!StoreKeyExists(store, where.subkey))
            return MissingKey();
        const std::int32_t index = FindStoreKey(store, where.subkey);
        if (!StoreSubkeys(store, where.subkey).empty() ||
            (index >= 0 && !store.keys[static_cast<std::size_t>(index)].values.empty()))
            return ErrorFromSystemCode(ENOTEMPTY);
        // The parent outlives its last child: give it a section of its own when it had none.
        const std::size_t cut = where.subkey.rfind('\\');
        if (cut != std::string::npos)
            MakeStoreKey(store, std::string_view(where.subkey).substr(0, cut));
        const std::int32_t own = FindStoreKey(store, where.subkey);
        if (own >= 0)
            store.keys.erase(store.keys.begin() + own);
        changed = true;
        return SError(0);
    });
}

SString RegistryValue(const SRegistryValues& values, std::string_view name)
{
    for (std::int32_t i = 0; i < values.Count(); ++i)
        if (values.Key(i).View() == name)
            return values.Value(i);
    return {};
}

SString TrimRegistryText(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || static_cast<unsigned char>(text.front()) < 0x20))
        text.remove_prefix(1);
    return RemoveControlBytes(text);
}

SString RemoveControlBytes(std::string_view text)
{
    std::string kept;
    kept.reserve(text.size());
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x20)
            kept += c;
    return SString(kept);
}

}  // namespace ulib
