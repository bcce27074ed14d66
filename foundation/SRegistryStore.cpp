// The settings store's file format and its locked, atomic replacement.
#include "SRegistryStore.h"

#include "SAscii.h"
#include "SRegistry.h"
#include "SReplacingFile.h"

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>
#include <unordered_set>

namespace ulib {

namespace {

constexpr char HexDigits[] = "0123456789ABCDEF";

struct RootFile
{
    std::uint32_t root;
    const char* name;
};

constexpr RootFile RootFiles[] = {
    {0x80000000, "HKEY_CLASSES_ROOT"},   {0x80000001, "HKEY_CURRENT_USER"},
    {0x80000002, "HKEY_LOCAL_MACHINE"},  {0x80000003, "HKEY_USERS"},
    {0x80000004, "HKEY_PERFORMANCE_DATA"}, {0x80000005, "HKEY_CURRENT_CONFIG"},
    {0x80000006, "HKEY_DYN_DATA"},
};

std::string LowerAsciiText(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower)
        c = LowerAscii(c);
    return lower;
}

// The length of the valid UTF-8 sequence starting at bytes[at] (shortest form, no surrogates, at
// most U+10FFFF), or 0 when the byte starts none.
std::size_t Utf8Length(std::string_view bytes, std::size_t at)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80)
        return 1;
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // the allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else
        return 0;
    if (bytes.size() - at < length)
        return 0;
    if (byte(at + 1) < low || byte(at + 1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (byte(at + i) < 0x80 || byte(at + i) > 0xBF)
            return 0;
    return length;
}

// Appends the bytes, writing each byte for which mustEscape holds (and every byte outside valid
// UTF-8) through escape.
template <typename MustEscape, typename Escape>
void AppendEscaped(std::string& out, std::string_view text, MustEscape mustEscape, Escape escape)
{
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t length = Utf8Length(text, at);
        if (length == 0 || (length == 1 && mustEscape(text[at]))) {
            escape(out, static_cast<unsigned char>(text[at]));
            ++at;
        } else {
            out.append(text.substr(at, length));
            at += length;
        }
    }
}

void AppendHex(std::string& out, unsigned char byte)
{
    out += HexDigits[byte >> 4];
    out += HexDigits[byte & 15];
}

void AppendQuoted(std::string& out, std::string_view text)
{
    out += '"';
    AppendEscaped(
        out, text,
        [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F || c == '"' || c == '\\'; },
        [](std::string& o, unsigned char c) {
            switch (c) {
            case '"': o += "\\\""; break;
            case '\\': o += "\\\\"; break;
            case '\n': o += "\\n"; break;
            case '\r': o += "\\r"; break;
            case '\t': o += "\\t"; break;
            default:
                o += "\\x";
                AppendHex(o, c);
            }
        });
    out += '"';
}

void AppendSectionPath(std::string& out, std::string_view path)
{
    AppendEscaped(
        out, path,
        [](char c) {
            return static_cast<unsigned char>(c) < 0x20 || c == 0x7F || c == '%' || c == '[' || c == ']';
        },
        [](std::string& o, unsigned char c) {
            o += '%';
            AppendHex(o, c);
        });
}

// Reads a quoted text starting at line[at] (the opening quote); on success at is past the closing
// quote.
bool ParseQuoted(std::string_view line, std::size_t& at, std::string* text)
{
    if (at >= line.size() || line[at] != '"')
        return false;
    ++at;
    text->clear();
    while (at < line.size()) {
        const char c = line[at++];
        if (c == '"')
            return true;
        if (c != '\\') {
            *text += c;
            continue;
        }
        if (at >= line.size())
            return false;
        const char e = line[at++];
        switch (e) {
        case '"': *text += '"'; break;
        case '\\': *text += '\\'; break;
        case 'n': *text += '\n'; break;
        case 'r': *text += '\r'; break;
        case 't': *text += '\t'; break;
        case 'x': {
            if (line.size() - at < 2)
                return false;
            const int high = HexDigitValue(line[at]), low = HexDigitValue(line[at + 1]);
            if (high < 0 || low < 0)
                return false;
            *text += char(high << 4 | low);
            at += 2;
            break;
        }
        default:
            return false;
        }
    }
    return false;  // no closing quote
}

bool ParseSectionPath(std::string_view inner, std::string* path)
{
    std::string decoded;
    decoded.reserve(inner.size());
    for (std::size_t at = 0; at < inner.size(); ++at) {
        if (inner[at] != '%') {
            decoded += inner[at];
            continue;
        }
        if (inner.size() - at < 3)
            return false;
        const int high = HexDigitValue(inner[at + 1]), low = HexDigitValue(inner[at + 2]);
        if (high < 0 || low < 0)
            return false;
        decoded += char(high << 4 | low);
        at += 2;
    }
    return NormaliseStorePath(decoded, path);
}

std::string_view TrimBlanks(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

void SkipBlanks(std::string_view line, std::size_t& at)
{
    while (at < line.size() && (line[at] == ' ' || line[at] == '\t'))
        ++at;
}

bool ParseValueLine(std::string_view line, std::string* name, std::string* text)
{
    std::size_t at = 0;
    if (!ParseQuoted(line, at, name))
        return false;
    SkipBlanks(line, at);
    if (at >= line.size() || line[at] != '=')
        return false;
    ++at;
    SkipBlanks(line, at);
    if (!ParseQuoted(line, at, text))
        return false;
    SkipBlanks(line, at);
    return at == line.size();
}

// Whether path lies below parent (both normalised); the root is the parent of every other key.
bool IsBelow(std::string_view path, std::string_view parent)
{
    if (parent.empty())
        return !path.empty();
    return path.size() > parent.size() && path[parent.size()] == '\\' &&
           SameStoreName(path.substr(0, parent.size()), parent);
}

SError SystemError()
{
    return ErrorFromSystemCode(errno ? errno : EIO);
}

// Reads the whole file; a missing file gives empty bytes.
SError ReadWholeFile(const std::string& path, std::string* bytes)
{
    bytes->clear();
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? 0 : SystemError();
    SError err = 0;
    struct stat info {};
    if (fstat(fd, &info) != 0)
        err = SystemError();
    else if (!S_ISREG(info.st_mode))
        err = ErrorFromSystemCode(EISDIR);
    else if (static_cast<std::uint64_t>(info.st_size) > MaxStoreFileBytes)
        err = ErrorFromSystemCode(EFBIG);
    else {
        char buffer[65536];
        for (;;) {
            const ssize_t got = read(fd, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0) {
                err = SystemError();
                break;
            }
            if (got == 0)
                break;
            // The file may grow while it is read (a writer that ignores the lock).
            if (bytes->size() + static_cast<std::size_t>(got) > MaxStoreFileBytes) {
                err = ErrorFromSystemCode(EFBIG);
                break;
            }
            bytes->append(buffer, static_cast<std::size_t>(got));
        }
    }
    close(fd);
    if (err)
        bytes->clear();
    return err;
}

SError WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t done = write(fd, bytes.data(), bytes.size());
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return SystemError();
        bytes.remove_prefix(static_cast<std::size_t>(done));
    }
    return 0;
}

// Makes the folder and its missing parents, the new ones private to the user.
SError MakeFolder(const std::string& folder)
{
    for (std::size_t at = 1; at <= folder.size(); ++at) {
        if (at < folder.size() && folder[at] != '/')
            continue;
        const std::string step = folder.substr(0, at);
        if (mkdir(step.c_str(), 0700) != 0 && errno != EEXIST)
            return SystemError();
    }
    return 0;
}

// Writes the bytes over the file through a replacing file; a new store file is private to the user.
SError ReplaceFile(const SString& file, std::string_view bytes)
{
    SReplacingFile replacing;
    if (const SError err = replacing.Open(file, 0600))
        return err;
    if (const SError err = WriteAll(replacing.Descriptor(), bytes))
        return err;  // the temporary file goes with the replacing file
    return replacing.Commit();
}

// Earlier versions wrote through "<name>.tmp-<pid>", which a writer killed before its rename left
// behind; a user upgrading may still have some. Only called under the lock, when no writer can be
// working on one. The replacing file's own ".<name>.saving" does not match and needs no sweep: the
// next save takes it over.
void RemoveStaleTemporaries(const std::string& folder, std::string_view fileName)
{
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return;
    const std::string prefix = std::string(fileName) + ".tmp-";
    while (const dirent* entry = readdir(dir)) {
        if (std::string_view(entry->d_name).substr(0, prefix.size()) == prefix)
            unlinkat(dirfd(dir), entry->d_name, 0);
    }
    closedir(dir);
}

// Holds the store's lock file for its lifetime.
class StoreLock
{
public:
    SError Take(const std::string& folder)
    {
        fd_ = open((folder + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd_ < 0)
            return SystemError();
        while (flock(fd_, LOCK_EX) != 0) {
            if (errno != EINTR)
                return SystemError();
        }
        return 0;
    }
    ~StoreLock()
    {
        if (fd_ >= 0) {
            flock(fd_, LOCK_UN);
            close(fd_);
        }
    }

private:
    int fd_ = -1;
};

}  // namespace

bool SameStoreName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i]))
            return false;
    return true;
}

bool NormaliseStorePath(std::string_view subkey, std::string* path)
{
    path->clear();
    std::size_t at = 0;
    while (at <= subkey.size()) {
        std::size_t end = subkey.find('\\', at);
        if (end == std::string_view::npos)
            end = subkey.size();
        const std::string_view component = subkey.substr(at, end - at);
        if (component.size() > MaxStoreNameBytes)
            return false;
        if (!component.empty()) {
            if (!path->empty())
                *path += '\\';
            *path += component;
            if (path->size() > MaxStorePathBytes)
                return false;
        }
        at = end + 1;
    }
    return true;
}

SError ParseStoreFile(std::string_view bytes, SStoreFile* store)
{
    store->keys.clear();
    if (bytes.size() > MaxStoreFileBytes)
        return ErrorFromSystemCode(EFBIG);
    // Lookups by lower-case path and by (key, name) keep a hostile file from costing quadratic time.
    std::unordered_map<std::string, std::size_t> sections;
    std::vector<std::unordered_set<std::string>> names;
    std::size_t current = SIZE_MAX;  // no section yet, or a section that did not parse
    std::string name, text, path;
    std::size_t lineStart = 0;
    while (lineStart < bytes.size()) {
        std::size_t lineEnd = bytes.find('\n', lineStart);
        if (lineEnd == std::string_view::npos)
            lineEnd = bytes.size();
        const std::string_view line = TrimBlanks(bytes.substr(lineStart, lineEnd - lineStart));
        lineStart = lineEnd + 1;
        if (line.empty() || line.front() == ';' || line.front() == '#')
            continue;
        if (line.front() == '[') {
            current = SIZE_MAX;
            if (line.back() != ']' || !ParseSectionPath(line.substr(1, line.size() - 2), &path))
                continue;
            const auto [found, added] = sections.try_emplace(LowerAsciiText(path), store->keys.size());
            if (added) {
                store->keys.push_back({path, {}});
                names.emplace_back();
            }
            current = found->second;
            continue;
        }
        if (current == SIZE_MAX || !ParseValueLine(line, &name, &text))
            continue;
        if (names[current].insert(name).second)
            store->keys[current].values.emplace_back(name, text);
    }
    return 0;
}

std::string FormatStoreFile(const SStoreFile& store)
{
    std::string out(StoreFileFirstLine);
    out += '\n';
    for (const SStoreKey& key : store.keys) {
        out += "\n[";
        AppendSectionPath(out, key.path);
        out += "]\n";
        for (const auto& [name, text] : key.values) {
            AppendQuoted(out, name);
            out += '=';
            AppendQuoted(out, text);
            out += '\n';
        }
    }
    return out;
}

std::int32_t FindStoreKey(const SStoreFile& store, std::string_view path)
{
    for (std::size_t i = 0; i < store.keys.size(); ++i)
        if (SameStoreName(store.keys[i].path, path))
            return static_cast<std::int32_t>(i);
    return -1;
}

bool StoreKeyExists(const SStoreFile& store, std::string_view path)
{
    if (path.empty())
        return true;
    for (const SStoreKey& key : store.keys)
        if (SameStoreName(key.path, path) || IsBelow(key.path, path))
            return true;
    return false;
}

SStoreKey& MakeStoreKey(SStoreFile& store, std::string_view path)
{
    // Parents first, so that a new key's section follows its parent's.
    const std::size_t cut = path.rfind('\\');
    if (cut != std::string_view::npos && FindStoreKey(store, path.substr(0, cut)) < 0)
        MakeStoreKey(store, path.substr(0, cut));
    const std::int32_t index = FindStoreKey(store, path);
    if (index >= 0)
        return store.keys[static_cast<std::size_t>(index)];
    store.keys.push_back({std::string(path), {}});
    return store.keys.back();
}

std::vector<std::string> StoreSubkeys(const SStoreFile& store, std::string_view path)
{
    std::vector<std::string> children;
    std::unordered_set<std::string> seen;
    const std::size_t skip = path.empty() ? 0 : path.size() + 1;
    for (const SStoreKey& key : store.keys) {
        if (!IsBelow(key.path, path))
            continue;
        std::string_view rest = std::string_view(key.path).substr(skip);
        rest = rest.substr(0, rest.find('\\'));
        if (seen.insert(LowerAsciiText(rest)).second)
            children.emplace_back(rest);
    }
    return children;
}

const char* StoreRootName(std::uint32_t root)
{
    for (const RootFile& entry : RootFiles)
        if (entry.root == root)
            return entry.name;
    return nullptr;
}

SString StoreFilePath(std::uint32_t root)
{
    const char* name = StoreRootName(root);
    const SString folder = RegistryStoreFolder();
    if (!name || folder.IsEmpty())
        return {};
    return folder + name + ".reg";
}

SError ReadStoreFile(std::uint32_t root, SStoreFile* store)
{
    store->keys.clear();
    if (!StoreRootName(root))
        return ErrorFromSystemCode(EBADF);
    const SString file = StoreFilePath(root);
    if (file.IsEmpty())
        return ErrorFromSystemCode(ENOENT);
    std::string bytes;
    if (const SError err = ReadWholeFile(file.Str(), &bytes))
        return err;
    return ParseStoreFile(bytes, store);
}

SError ChangeStoreFile(std::uint32_t root, const SStoreChange& change)
{
    if (!StoreRootName(root))
        return ErrorFromSystemCode(EBADF);
    const SString folder = RegistryStoreFolder();
    const SString file = StoreFilePath(root);
    if (file.IsEmpty())
        return ErrorFromSystemCode(ENOENT);
    if (const SError err = MakeFolder(folder.Str()))
        return err;
    StoreLock lock;
    if (const SError err = lock.Take(folder.Str()))
        return err;
    SStoreFile store;
    SError err = ReadStoreFile(root, &store);
    if (err == ErrorFromSystemCode(EFBIG)) {
        // Nothing the program writes comes near the limit: keep the file for the user to look at
        // and start a clean one rather than refusing every save from now on.
        const std::string refused = file.Str() + ".refused";
        if (rename(file.CStr(), refused.c_str()) != 0)
            return SystemError();
        store.keys.clear();
        err = 0;
    }
    if (err)
        return err;
    bool changed = false;
    if (const SError changeErr = change(store, changed))
        return changeErr;
    if (!changed)
        return 0;
    RemoveStaleTemporaries(folder.Str(), std::string(StoreRootName(root)) + ".reg");
    return ReplaceFile(file, FormatStoreFile(store));
}

SString RegistryStoreFolder()
{
    const auto withSlash = [](std::string folder) {
        if (folder.empty() || folder.back() != '/')
            folder += '/';
        return SString(std::move(folder));
    };
    if (const char* own = std::getenv("HUEDRANE_CONFIG_HOME"); own && *own)
        return withSlash(own);
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && xdg[0] == '/')
        return withSlash(std::string(xdg) + "/huedrane");
    if (const char* home = std::getenv("HOME"); home && *home)
        return withSlash(std::string(home) + "/.config/huedrane");
    return {};
}

}  // namespace ulib
