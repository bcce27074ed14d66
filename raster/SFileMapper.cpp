// SFileMapper over open, mmap and ftruncate. Writing goes through SReplacingFile, so the mapped
// bytes reach the target only when Close commits them.
#include "SFileMapper.h"

#include "SErrorCause.h"

#include <cerrno>
#include <cstdint>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ulib {

namespace {

// Every offset inside a mapped file fits in 32 bits, which the document and picture formats'
// readers rely on; larger files are refused rather than mapped.
constexpr std::uint64_t SizeLimit = std::uint64_t(1) << 32;

}  // namespace

std::uint8_t* SFileMapper::EmptyLocation()
{
    static std::uint8_t empty = 0;
    return &empty;
}

SFileMapper::~SFileMapper()
{
    if (mode_ == Write)
        Discard();
    else
        Close();
}

SError SFileMapper::Open(Mode mode, const SString& path)
{
    if (mode == mode_)
        return 0;
    if (mode != Read && mode != Write)
        return ErrorFromIdentifier("InvalidArgument");
    if (mode_ != Closed)
        Close();

    path_ = path;
    if (mode == Write) {
        if (SError err = writer_.Open(path))
            return ExplainFailure(0, err, path.Str());
        fd_ = writer_.Descriptor();
        size_ = 0;
        spoilt_ = 0;
        mode_ = Write;
        return 0;
    }

    // Non-blocking, so that a FIFO given as a picture cannot hang the open; it is refused below.
    int fd = open(path.CStr(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return ErrorWithSystemCause(0, errno, path.Str());
    struct stat st;
    SError err = 0;
    if (fstat(fd, &st) != 0)
        err = ErrorWithSystemCause(0, errno, path.Str());
    else if (S_ISDIR(st.st_mode))
        err = ErrorWithSystemCause(0, EISDIR, path.Str());
    else if (!S_ISREG(st.st_mode) || std::uint64_t(st.st_size) >= SizeLimit)
        err = ErrorFromIdentifier("file_open");
    if (err) {
        close(fd);
        return err;
    }
    fd_ = fd;
    size_ = std::size_t(st.st_size);
    mode_ = Read;
    return 0;
}

SError SFileMapper::MapBytes(std::size_t size)
{
    int protection = mode_ == Write ? PROT_READ | PROT_WRITE : PROT_READ;
    int sharing = mode_ == Write ? MAP_SHARED : MAP_PRIVATE;
    void* view = mmap(nullptr, size, protection, sharing, fd_, 0);
    if (view == MAP_FAILED)
        return ErrorFromIdentifier("file_open");
    begin_ = static_cast<std::uint8_t*>(view);
    end_ = begin_ + size;
    return 0;
}

SError SFileMapper::Map()
{
    if (mode_ == Closed)
        return ErrorFromIdentifier("object_silent");
    if (begin_ != end_)
        return 0;
    if (mode_ == Read) {
        struct stat st;  // the size as it is now, should the file have changed since Open
        if (fstat(fd_, &st) == 0 && std::uint64_t(st.st_size) < SizeLimit)
            size_ = std::size_t(st.st_size);
    }
    if (size_ == 0)
        return 0;
    if (SError err = MapBytes(size_)) {
        if (mode_ == Write)
            Discard();
        else
            Close();
        return err;
    }
    return 0;
}

SError SFileMapper::OpenRead(const SString& path)
{
    if (SError err = Open(Read, path))
        return err;
    return Map();
}

SError SFileMapper::OpenWrite(const SString& path) { return Open(Write, path); }

SError SFileMapper::Resize(std::size_t size)
{
    if (mode_ != Write)
        return ErrorFromIdentifier("object_silent");
    if (spoilt_)
        return spoilt_;
    SError err = Unmap();
    if (err == 0 && std::uint64_t(size) >= SizeLimit)
        err = ErrorFromIdentifier("file_resize");
    // Growth reads as zero bytes: ftruncate guarantees it, also after an earlier shrink.
    if (err == 0 && ftruncate(fd_, off_t(size)) != 0)
        err = ErrorWithSystemCause(ErrorFromIdentifier("file_resize"), errno, path_.Str());
    if (err == 0 && size > size_) {
        // Reserve the blocks now: a full disk found later, while writing through the mapping,
        // would arrive as SIGBUS instead of an error.
        int code = posix_fallocate(fd_, off_t(size_), off_t(size - size_));
        if (code != 0 && code != EOPNOTSUPP && code != ENOSYS && code != EINVAL)
            err = ErrorWithSystemCause(ErrorFromIdentifier("file_resize"), code, path_.Str());
    }
    if (err == 0) {
        size_ = size;
        if (size > 0)
            err = MapBytes(size);
    }
    spoilt_ = err;
    return err;
}

SError SFileMapper::Unmap()
{
    if (begin_ == end_)
        return 0;
    SError err = 0;
    if (mode_ == Write && msync(begin_, Size(), MS_SYNC) != 0)
        err = ErrorFromIdentifier("file_close");
    if (munmap(begin_, Size()) != 0 && err == 0)
        err = ErrorFromIdentifier("file_close");
    begin_ = end_ = EmptyLocation();
    return err;
}

SError SFileMapper::Close()
{
    if (mode_ == Closed)
        return 0;
    SError err = Unmap();
    if (mode_ == Read) {
        if (close(fd_) != 0 && err == 0)
            err = ErrorFromIdentifier("file_close");
    } else if (err != 0 || spoilt_ != 0) {
        writer_.Discard();
        if (err == 0)
            err = spoilt_;
    } else if (SError committed = writer_.Commit()) {
        // A system failure is told with the path; any other (a stop request) passes as it is.
        err = ExplainFailure(0, committed, path_.Str());
    }
    mode_ = Closed;
    fd_ = -1;
    size_ = 0;
    spoilt_ = 0;
    return err;
}

void SFileMapper::Discard()
{
    if (mode_ != Write) {
        Close();
        return;
    }
    if (begin_ != end_)
        munmap(begin_, Size());
    begin_ = end_ = EmptyLocation();
    writer_.Discard();
    mode_ = Closed;
    fd_ = -1;
    size_ = 0;
    spoilt_ = 0;
}

}  // namespace ulib
