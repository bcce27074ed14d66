// Whole-file access through a memory mapping. Reading maps the file read-only; writing builds a
// temporary file beside the target and replaces the target with it only when Close succeeds, so a
// failed or interrupted write never damages the previous file.
#pragma once

#include "SError.h"
#include "SString.h"

#include <cstddef>
#include <cstdint>

namespace ulib {

class SFileMapper
{
public:
    enum Mode : int { Closed = 0, Read = 1, Write = 2 };

    SFileMapper() = default;
    ~SFileMapper();  // an open writer is discarded, never committed
    SFileMapper(const SFileMapper&) = delete;
    SFileMapper& operator=(const SFileMapper&) = delete;

    // Read: opens an existing file. Write: creates the temporary file that Close puts in place.
    // Same mode again: nothing; another mode: closed first. Files of 4 GiB or more: "file_open";
    // system failures: ErrorFromSystemCode(errno).
    SError Open(Mode mode, const SString& path);
    // Maps the whole file. Closed: "object_silent"; a 0-byte file maps nothing (Begin() == End()).
    SError Map();
    SError OpenRead(const SString& path);   // Open(Read) then Map
    SError OpenWrite(const SString& path);  // Open(Write); nothing mapped
    // Write mode only ("object_silent" otherwise): sets the size, maps again, zero-fills growth.
    // "file_resize" when the size cannot be set (a full disk, a file size limit).
    SError Resize(std::size_t size);
    std::size_t Size() const { return std::size_t(end_ - begin_); }
    SError Unmap();
    // Unmaps and closes. In write mode the data are flushed to disk and the temporary file is
    // renamed over the target; a failure leaves the target as it was and removes the temporary.
    SError Close();
    // Write mode: closes and removes the temporary file, leaving the target untouched.
    void Discard();

    Mode CurrentMode() const { return mode_; }
    std::uint8_t* Begin() { return begin_; }
    std::uint8_t* End() { return end_; }
    const std::uint8_t* Begin() const { return begin_; }
    const std::uint8_t* End() const { return end_; }

private:
    Mode mode_ = Closed;
    int fd_ = -1;
    std::uint8_t* begin_ = EmptyLocation();
    std::uint8_t* end_ = EmptyLocation();
    SString target_;     // write mode: the file Close replaces
    SString temporary_;  // write mode: the file being written

    static std::uint8_t* EmptyLocation();
};

}  // namespace ulib
