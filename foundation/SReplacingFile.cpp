// Replace-on-commit writing over POSIX files: create the temporary, fsync, rename, fsync the folder.
#include "SReplacingFile.h"

#include "SErrorCause.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ulib {

namespace {

constexpr std::size_t MaxNameLength = 255;  // NAME_MAX of the common Linux file systems
constexpr const char* TemporarySuffix = ".saving";

// Writing past RLIMIT_FSIZE raises SIGXFSZ, whose default action ends the process. Ignored, the
// write fails with EFBIG instead and the save reports it, so a size limit cannot cost the user the
// open work. A handler the program installed itself is left alone.
void IgnoreFileSizeSignal()
{
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction current = {};
        if (sigaction(SIGXFSZ, nullptr, &current) == 0 && current.sa_handler == SIG_DFL &&
            (current.sa_flags & SA_SIGINFO) == 0)
            std::signal(SIGXFSZ, SIG_IGN);
    });
}

std::uint64_t HashOf(std::string_view text)
{
    std::uint64_t h = 0xcbf29ce484222325u;  // FNV-1a
    for (unsigned char c : text) {
        h ^= c;
        h *= 0x100000001b3u;
    }
    return h;
}

std::string FolderOf(const std::string& path)
{
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The file a save to `path` replaces: a symbolic link is followed so that the link stays a link.
std::string ResolvedTarget(const std::string& path)
{
    struct stat st;
    if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
        return path;
    char* real = realpath(path.c_str(), nullptr);
    if (real == nullptr)
        return path;  // a dangling link: the link itself is replaced
    std::string resolved(real);
    std::free(real);
    return resolved;
}

// The innermost SCommitAbortScope's abort on this thread.
thread_local const SAbort* commitAbort = nullptr;

void SyncFolder(const std::string& folder)
{
    int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    // The rename has already happened; some file systems cannot sync a folder (EINVAL), and the
    // target is whole either way, so a failure here is not reported as a failed save.
    (void)fsync(fd);
    close(fd);
}

}  // namespace

SString SReplacingFile::TemporaryPath(const SString& target)
{
    const std::string& path = target.Str();
    std::size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string base = name;
    if (1 + name.size() + std::char_traits<char>::length(TemporarySuffix) > MaxNameLength) {
        static const char digits[] = "0123456789abcdef";
        std::uint64_t h = HashOf(name);
        std::string hex(16, '0');
        for (int i = 15; i >= 0; --i, h >>= 4)
            hex[std::size_t(i)] = digits[h & 15];
        base = name.substr(0, 200) + "." + hex;
    }
    return SString(folder + "." + base + TemporarySuffix);
}

SError SReplacingFile::CheckTarget(const SString& target)
{
    if (target.IsEmpty() || target.Str().back() == '/')
        return ErrorWithSystemCause(0, target.IsEmpty() ? ENOENT : EISDIR, target.Str());
    struct stat st;
    if (stat(ResolvedTarget(target.Str()).c_str(), &st) != 0 || S_ISREG(st.st_mode))
        return 0;
    if (S_ISDIR(st.st_mode))
        return ErrorWithSystemCause(0, EISDIR, target.Str());
    return ErrorWithPath(ErrorFromIdentifier("file_not_regular"), target.Str());
}

SError SReplacingFile::Open(const SString& target, mode_t newMode)
{
    Discard();
    IgnoreFileSizeSignal();
    if (SError err = CheckTarget(target))
        return err;

    std::string resolved = ResolvedTarget(target.Str());
    mode_t mode = 0;
    bool keepMode = false;
    struct stat st;
    if (stat(resolved.c_str(), &st) == 0) {
        // A file the user made read-only stays protected, as an in-place overwrite would be.
        if (access(resolved.c_str(), W_OK) != 0)
            return ErrorFromSystemCode(errno);
        mode = st.st_mode & 07777;
        keepMode = true;
    }

    SString temporary = TemporaryPath(SString(resolved));
    // The fixed name lets this save take over what an interrupted one left behind. Creating it
    // exclusively means a link planted under that name is never written through.
    if (unlink(temporary.CStr()) != 0 && errno != ENOENT)
        return ErrorFromSystemCode(errno);
    int fd = open(temporary.CStr(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, newMode);
    if (fd < 0)
        return ErrorFromSystemCode(errno);
    if (keepMode)
        (void)fchmod(fd, mode);  // best effort: the data matter more than the permission bits

    fd_ = fd;
    target_ = SString(resolved);
    temporary_ = temporary;
    return 0;
}

std::FILE* SReplacingFile::Stream()
{
    if (fd_ < 0)
        return nullptr;
    if (stream_ == nullptr)
        stream_ = fdopen(fd_, "w+b");  // the stream owns the descriptor from here on
    return stream_;
}

void SReplacingFile::CloseHandles()
{
    if (stream_ != nullptr)
        std::fclose(stream_);
    else if (fd_ >= 0)
        close(fd_);
    stream_ = nullptr;
    fd_ = -1;
}

SError SReplacingFile::Commit()
{
    if (fd_ < 0)
        return ErrorFromIdentifier("object_silent");
    int code = 0;
    if (stream_ != nullptr) {
        if (std::fflush(stream_) != 0)
            code = errno != 0 ? errno : EIO;
        else if (std::ferror(stream_))
            code = EIO;  // an earlier write failed; its code is gone
    }
    if (code == 0 && fsync(fd_) != 0)
        code = errno;
    if (stream_ != nullptr) {
        int closed = std::fclose(stream_);
        if (closed != 0 && code == 0)
            code = errno;
    } else if (close(fd_) != 0 && code == 0) {
        code = errno;
    }
    stream_ = nullptr;
    fd_ = -1;

    // The last look before the target changes; nothing after it can stop the save.
    const bool aborted = code == 0 && commitAbort != nullptr && commitAbort->IsAborted();
    if (code == 0 && !aborted && rename(temporary_.CStr(), target_.CStr()) != 0)
        code = errno;
    if (code != 0 || aborted) {
        unlink(temporary_.CStr());
    } else {
        SyncFolder(FolderOf(target_.Str()));
    }
    target_.Clear();
    temporary_.Clear();
    if (aborted)
        return ErrorFromIdentifier("abort");
    return code == 0 ? 0 : ErrorFromSystemCode(code);
}

void SReplacingFile::Discard()
{
    if (fd_ < 0)
        return;
    CloseHandles();
    unlink(temporary_.CStr());
    target_.Clear();
    temporary_.Clear();
}

SCommitAbortScope::SCommitAbortScope(const SAbort* abort) : abort_(abort), outer_(commitAbort)
{
    commitAbort = abort;
}

SCommitAbortScope::~SCommitAbortScope()
{
    commitAbort = outer_;
}

SError SCommitAbortScope::Result(SError err) const
{
    return err != 0 && abort_ != nullptr && abort_->IsAborted() ? ErrorFromIdentifier("abort") : err;
}

int StreamWriteCode(std::FILE* stream)
{
    if (stream == nullptr || !std::ferror(stream))
        return 0;
    return errno != 0 ? errno : EIO;
}

}  // namespace ulib
