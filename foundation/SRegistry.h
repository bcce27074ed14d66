// Settings keys addressed by one path string ("HKCU\Software\Vantrel\Huedrane"), kept in a
// file-backed store of our own: one human-readable file per root key in the settings folder,
// replaced atomically (temporary file, fsync, rename) under a lock file, so two instances of the
// program saving at the same time never corrupt it. Every value is text.
//
// Path syntax: a root name, "\", and the subkey path. The root is one of the names below, compared
// without regard to case and tried in this order (the first the path begins with wins), or "#" and
// up to eight hexadecimal digits giving a raw root value, followed by "\":
//   HKEY_CLASSES_ROOT / HKCR 0x80000000, HKEY_CURRENT_USER / HKCU 0x80000001,
//   HKEY_LOCAL_MACHINE / HKLM 0x80000002, HKEY_USERS / HKU 0x80000003,
//   HKEY_PERFORMANCE_DATA / HKPD 0x80000004, HKEY_CURRENT_CONFIG / HKCC 0x80000005,
//   HKEY_DYN_DATA / HKDD 0x80000006.
// A named root must end the path or be followed by "\" ("HKUSERS\x" names no root). In the subkey
// path empty components (doubled or trailing "\") are ignored; a component longer than 255 bytes or
// a subkey path longer than 1024 bytes gives "registry".
// Subkey names compare without regard to case (ASCII letters); value names are kept as written.
// Every operation also gives the system codes of reading or replacing the store's file.
#pragma once

#include "SArray.h"
#include "SError.h"
#include "SMap.h"
#include "SString.h"

#include <cstdint>

namespace ulib {

using SRegistryValues = SMap<SString, SString>;

namespace registry_access {
inline constexpr std::uint32_t QueryValue = 1;
inline constexpr std::uint32_t SetValue = 2;
inline constexpr std::uint32_t CreateSubkey = 4;
inline constexpr std::uint32_t EnumerateSubkeys = 8;
}  // namespace registry_access

// An open key: its root, its subkey path (as the caller wrote it, without a trailing "\") and the
// access it was opened with. Closing forgets it.
struct SRegistryKey
{
    std::uint32_t root = 0;
    SString subkey;
    std::uint32_t access = 0;
    bool open = false;
};

// Splits a path into root value and subkey. "registry" for a malformed path or an unknown root
// name, "pointer" for a null output.
SError ParseRegistryPath(const SString& path, std::uint32_t* root, SString* subkey);

// Opens an existing key, or creates it (and its parents) when create is set. A raw root outside
// the table gives a system failure (EBADF); a missing key without create ENOENT; a malformed path
// "registry"; a null key "pointer".
SError OpenRegistryKey(const SString& path, std::uint32_t access, bool create, SRegistryKey* key);
SError CloseRegistryKey(SRegistryKey* key);

bool RegistryKeyExists(const SString& path);
// Names of the key's direct subkeys, in the store's order; a missing key gives ENOENT.
SError EnumerateRegistrySubkeys(const SString& path, SArray<SString>* names);
// Every value of the key in the order written; on any error (ENOENT for a missing key) the map is
// emptied.
SError ReadRegistryValues(const SString& path, SRegistryValues* values);
// Creates the key when needed and sets every pair (an existing name is overwritten in place, a
// new one appended). An empty map writes nothing and succeeds.
SError WriteRegistryValues(const SString& path, const SRegistryValues& values);
// Deletes every value of the key; the key stays. A missing key gives ENOENT.
SError DeleteRegistryValues(const SString& path);
// Deletes the key only when it has neither values nor subkeys (else ENOTEMPTY); a missing key
// gives ENOENT, the root itself EACCES.
SError DeleteEmptyRegistryKey(const SString& path);

// The first value with this exact name, or empty.
SString RegistryValue(const SRegistryValues& values, std::string_view name);
// The text with leading blanks and every control byte removed, as trimmed values are compared.
SString TrimRegistryText(std::string_view text);
// The text with every control byte (below 0x20) removed.
SString RemoveControlBytes(std::string_view text);

// The store's folder: $HUEDRANE_CONFIG_HOME when set, else $XDG_CONFIG_HOME/huedrane/ (when
// absolute), else $HOME/.config/huedrane/; ends in "/". Empty when none is available.
SString RegistryStoreFolder();

}  // namespace ulib
