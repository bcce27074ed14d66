#include "SRecoveryFiles.h"

#include "SFileMapper.h"
#include "SFilePreview.h"
#include "SReplacingFile.h"
#include "SUserFolder.h"

#include <algorithm>
#include <cerrno>
#include <map>
#include <string_view>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using namespace ulib;

namespace {

const std::string_view FirstLine = "huedrane-recovery 1";
// Paths are at most PATH_MAX bytes; with keys and escapes a few of them fit easily.
constexpr std::size_t LongestInfo = 16384;

std::string Escaped(const std::string& value)
{
    std::string out;
    for (const char c : value) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else
            out += c;
    }
    return out;
}

bool Unescape(std::string_view value, std::string& out)
{
    out.clear();
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\') {
            out += value[i];
            continue;
        }
        if (++i == value.size())
            return false;
        switch (value[i]) {
        case '\\': out += '\\'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        default: return false;
        }
    }
    return true;
}

bool ParseSeconds(std::string_view text, std::int64_t& seconds)
{
    if (text.empty() || text.size() > 18)
        return false;
    std::int64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    seconds = value;
    return true;
}

// Names the program gives its copies: letters, digits, '-' and '_'.
bool IsCopyName(std::string_view name)
{
    return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '-' || c == '_';
    });
}

SError ReadInfoFile(const SString& file, SRecoveryInfo& info)
{
    SFileMapper mapped;
    if (SError err = mapped.OpenRead(file))
        return err;
    return ParseRecoveryInfo(mapped.Begin(), mapped.End(), info);
}

}  // namespace

SString RecoveryFolder()
{
    const SString base = UserFolder("XDG_STATE_HOME", ".local/state");
    return base.IsEmpty() ? SString() : SString(base.Str() + "/huedrane/recovery");
}

std::string RecoveryInfoText(const SRecoveryInfo& info)
{
    return std::string(FirstLine) + "\npath=" + Escaped(info.path.Str()) + "\nname=" + Escaped(info.defaultName.Str()) +
           "\nsaved=" + std::to_string(info.savedAt) + "\n";
}

SError ParseRecoveryInfo(const std::uint8_t* begin, const std::uint8_t* end, SRecoveryInfo& info)
{
    info = SRecoveryInfo{};
    const SError bad = ErrorFromIdentifier("data");
    if (!begin || end < begin || std::size_t(end - begin) > LongestInfo)
        return bad;
    std::string_view text(reinterpret_cast<const char*>(begin), std::size_t(end - begin));
    SRecoveryInfo read;
    bool first = true, timed = false;
    while (!text.empty()) {
        const std::size_t eol = text.find('\n');
        const std::string_view line = text.substr(0, eol);
        text = eol == std::string_view::npos ? std::string_view() : text.substr(eol + 1);
        if (first) {
            if (line != FirstLine)
                return bad;
            first = false;
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos)
            continue;
        const std::string_view key = line.substr(0, equals), value = line.substr(equals + 1);
        std::string plain;
        if (key == "path" || key == "name") {
            if (!Unescape(value, plain))
                return bad;
            (key == "path" ? read.path : read.defaultName) = SString(plain);
        } else if (key == "saved") {
            if (!ParseSeconds(value, read.savedAt))
                return bad;
            timed = true;
        }
    }
    if (first || !timed)
        return bad;
    info = std::move(read);
    return 0;
}

SRecoveryLock::SRecoveryLock(SRecoveryLock&& other) noexcept : fd_(other.fd_), file_(std::move(other.file_))
{
    other.fd_ = -1;
}

SRecoveryLock& SRecoveryLock::operator=(SRecoveryLock&& other) noexcept
{
    if (this != &other) {
        Unlock();
        fd_ = other.fd_;
        file_ = std::move(other.file_);
        other.fd_ = -1;
    }
    return *this;
}

SError SRecoveryLock::Lock(const SString& file)
{
    Unlock();
    const int fd = ::open(file.CStr(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return ErrorFromSystemCode(errno);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int code = errno;
        ::close(fd);
        return ErrorFromSystemCode(code);
    }
    fd_ = fd;
    file_ = file;
    return 0;
}

void SRecoveryLock::Remove()
{
    if (fd_ >= 0)
        ::unlink(file_.CStr());
    Unlock();
}

void SRecoveryLock::Unlock()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    file_.Clear();
}

SRecoveryFileSet RecoveryFiles(const SString& folder, const std::string& name)
{
    const std::string base = folder.Str() + "/" + name;
    return {SString(base + ".hdq"), SString(base + ".info"), SString(base + ".lock")};
}

SError SOrphanCopies::Find(const SString& folder, std::int32_t thumbnailBox)
{
    Release();
    DIR* dir = folder.IsEmpty() ? nullptr : ::opendir(folder.CStr());
    if (!dir)
        return errno == ENOENT || folder.IsEmpty() ? 0 : ErrorFromSystemCode(errno);
    // name -> whether a copy (document or information) is there besides the lock
    std::map<std::string, bool> names;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view file(entry->d_name);
        for (const std::string_view suffix : {".hdq", ".info", ".lock"}) {
            if (file.size() <= suffix.size() || file.substr(file.size() - suffix.size()) != suffix)
                continue;
            const std::string_view name = file.substr(0, file.size() - suffix.size());
            if (IsCopyName(name))
                names[std::string(name)] |= suffix != ".lock";
        }
    }
    ::closedir(dir);

    for (const auto& [name, hasCopy] : names) {
        SRecoveryCopy copy;
        copy.name = name;
        copy.files = RecoveryFiles(folder, name);
        SRecoveryLock lock;
        if (lock.Lock(copy.files.lock) != 0)
            continue;  // a running program's, or a folder we cannot write: not ours to offer
        if (!hasCopy) {
            lock.Remove();
            continue;
        }
        SFilePreview preview;
        copy.damaged = ReadInfoFile(copy.files.info, copy.info) != 0 ||
                       ReadFilePreview(copy.files.document, thumbnailBox, preview) != 0;
        copy.thumbnail = std::move(preview.picture);
        // Newest first; damaged ones, which can only be discarded, last.
        const auto after = [](const SRecoveryCopy& x, const SRecoveryCopy& y) {
            return x.damaged != y.damaged ? y.damaged : x.info.savedAt > y.info.savedAt;
        };
        const auto at = std::upper_bound(copies_.begin(), copies_.end(), copy, after) - copies_.begin();
        copies_.insert(copies_.begin() + at, std::move(copy));
        locks_.insert(locks_.begin() + at, std::move(lock));
    }
    return 0;
}

void SOrphanCopies::MarkDamaged(std::size_t index)
{
    if (index < copies_.size())
        copies_[index].damaged = true;
}

void SOrphanCopies::Discard(std::size_t index)
{
    if (index >= copies_.size())
        return;
    const SRecoveryFileSet& files = copies_[index].files;
    // With the temporary files of a write the end interrupted.
    for (const SString& file : {files.document, files.info}) {
        ::unlink(file.CStr());
        ::unlink(SReplacingFile::TemporaryPath(file).CStr());
    }
    Take(index);
}

SRecoveryCopy SOrphanCopies::Take(std::size_t index)
{
    if (index >= copies_.size())
        return {};
    SRecoveryCopy copy = std::move(copies_[index]);
    locks_[index].Remove();
    copies_.erase(copies_.begin() + std::ptrdiff_t(index));
    locks_.erase(locks_.begin() + std::ptrdiff_t(index));
    return copy;
}

SRecoveryCopy SOrphanCopies::Let(std::size_t index)
{
    if (index >= copies_.size())
        return {};
    SRecoveryCopy copy = std::move(copies_[index]);
    copies_.erase(copies_.begin() + std::ptrdiff_t(index));
    locks_.erase(locks_.begin() + std::ptrdiff_t(index));
    return copy;
}

void SOrphanCopies::Release()
{
    copies_.clear();
    locks_.clear();
}
