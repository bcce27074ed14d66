// The settings store's files: one text file per root key in the settings folder, its format (parse
// and format, pure functions) and the locked, atomic read-modify-write that every change goes
// through. SRegistry.cpp builds the path-addressed key operations on top of it.
#pragma once

#include "SError.h"
#include "SString.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ulib {

// The store file format (UTF-8 text, LF line ends; CR LF is read too):
//
//   ; Huedrane settings store 1                      <- first line, names the format
//   [Software\Vantrel\Huedrane]                      <- a key: its subkey path from the root
//   ""="Huedrane"                                    <- a value: "name"="text" (""" is the default)
//   "Position"="(10,20)-(810,620)"
//   [Software\Vantrel\Huedrane\History]              <- a key without values exists too
//
// - Section paths: components joined by "\"; a byte below 0x20, 0x7F, "%", "[", "]" or a byte
//   outside valid UTF-8 is written as "%" and two hexadecimal digits. "[]" is the root key itself.
// - Quoted names and texts: \" \\ \n \r \t, and \xHH for any other byte below 0x20, 0x7F and
//   bytes outside valid UTF-8; every other byte stands for itself.
// - Lines starting with ";" or "#" are comments; blank lines are skipped. Blanks and tabs around a
//   line and around "=" are ignored.
// Reading treats the file as hostile: a line that does not parse is skipped (and so are the value
// lines of a section whose header does not parse), everything else is kept, and the next write
// replaces the file with a clean one. A section repeated (names compare without regard to ASCII
// case) continues the first; a value name repeated within a key keeps its first text. A key exists
// when it has a section or is the parent of one.

// One key of a store file: its subkey path and its values in order.
struct SStoreKey
{
    std::string path;  // components joined by "\", no empty component; "" is the root
    std::vector<std::pair<std::string, std::string>> values;
};

struct SStoreFile
{
    std::vector<SStoreKey> keys;  // in file order
};

inline constexpr std::size_t MaxStoreFileBytes = 16 * 1024 * 1024;
// Longest subkey path and component the store takes (longer paths give "registry").
inline constexpr std::size_t MaxStorePathBytes = 1024;
inline constexpr std::size_t MaxStoreNameBytes = 255;
inline constexpr std::string_view StoreFileFirstLine = "; Huedrane settings store 1";

// Parses a store file's bytes; garbled lines are skipped (see above), so only a file larger than
// MaxStoreFileBytes fails (EFBIG, store left empty).
SError ParseStoreFile(std::string_view bytes, SStoreFile* store);
// The file text of the store, first line included.
std::string FormatStoreFile(const SStoreFile& store);

// Normalises a subkey path: empty components (doubled, leading or trailing "\") are dropped.
// False when the path or one of its components is longer than the limits above.
bool NormaliseStorePath(std::string_view subkey, std::string* path);
// ASCII case-insensitive equality, as key names compare.
bool SameStoreName(std::string_view a, std::string_view b);

// The index of the key's own section, or -1. The path must be normalised.
std::int32_t FindStoreKey(const SStoreFile& store, std::string_view path);
// Whether the key exists: the root always does, any other key when it has a section or a section
// lies below it.
bool StoreKeyExists(const SStoreFile& store, std::string_view path);
// The key's section, made (with sections for its missing parents) when absent.
SStoreKey& MakeStoreKey(SStoreFile& store, std::string_view path);
// The names of the key's direct subkeys, each once, in file order.
std::vector<std::string> StoreSubkeys(const SStoreFile& store, std::string_view path);

// The store file of a root key: the settings folder + "HKEY_CURRENT_USER.reg" and so on. Empty
// for a root outside the table or when there is no settings folder.
SString StoreFilePath(std::uint32_t root);
// The root's file name ("HKEY_CURRENT_USER"), or nullptr for a root outside the table.
const char* StoreRootName(std::uint32_t root);

// Reads the root's file; a missing file is an empty store. A root outside the table gives EBADF, no
// settings folder ENOENT, read failures their system code, a file too large EFBIG.
SError ReadStoreFile(std::uint32_t root, SStoreFile* store);

// Changes the root's file under the store's lock: takes "<folder>/.lock" (flock, exclusive),
// reads the file, calls change (which returns its error, and sets changed when it altered the
// store), and when it changed replaces the file through SReplacingFile: a new file is made 0600
// (narrowed by the umask), an existing one keeps its permission bits. The folder is made (0700)
// when missing. A file refused for its size is kept beside as "<file>.refused" and a clean one is
// written; "<file>.tmp-<pid>" temporaries that earlier versions left behind are removed. Errors:
// those of ReadStoreFile, the change's own, those of SReplacingFile (the file is then left as it
// was).
using SStoreChange = std::function<SError(SStoreFile& store, bool& changed)>;
SError ChangeStoreFile(std::uint32_t root, const SStoreChange& change);

}  // namespace ulib
