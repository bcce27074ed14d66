// Whole-file access through a memory mapping. Reading maps the file read-only; writing builds a
// temporary file beside the target and replaces the target with it only when Close succeeds, so a
// failed or interrupted write never damages the previous file.
#pragma once

#include "SError.h"
#include "SReplacingFile.h"
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
    // Same mode again: nothing; another mode: closed first (a writer is committed). Reading a folder:
    // the EISDIR code with the path; anything but a regular file, or 4 GiB or more: "file_open";
    // system failures: the errno code with the path (ErrorWithSystemCause, identified as "errno").
    SError Open(Mode mode, const SString& path);
    // Maps the whole file. Closed: "object_silent"; a 0-byte file maps nothing (Begin() == End()).
    // A failed mapping closes the file (a writer is discarded) and gives "file_open".
    SError Map();
    SError OpenRead(const SString& path);   // Open(Read) then Map
    SError OpenWrite(const SString& path);  // Open(Write); nothing mapped
    // Write mode only ("object_silent" otherwise): sets the size, maps again, zero-fills growth.
    // "file_resize" when the size cannot be set or its disk space not reserved (a full disk, a file
    // size limit: with the system's reason and the path; 4 GiB or more); the writer is then spoilt, and Close discards it and reports
    // "file_resize" instead of committing a partial file. "file_open" when the new size cannot be mapped.
    SError Resize(std::size_t size);
    std::size_t Size() const { return std::size_t(end_ - begin_); }
    // Write mode flushes the mapped bytes to the file first. "file_close" when either step fails.
    SError Unmap();
    // Unmaps and closes. In write mode the data are flushed to disk and the temporary file is
    // renamed over the target; a failure leaves the target as it was and removes the temporary.
    // The first error seen is the result ("file_close", the commit's system error with the path, or
    // its "abort", see SReplacingFile::Commit).
    SError Close();
    // Write mode: closes and removes the temporary file, leaving the target untouched. Read mode: Close.
    void Discard();

    Mode CurrentMode() const { return mode_; }
    std::uint8_t* Begin() { return begin_; }
    std::uint8_t* End() { return end_; }
    const std::uint8_t* Begin() const { return begin_; }
    const std::uint8_t* End() const { return end_; }

private:
    SError MapBytes(std::size_t size);

    Mode mode_ = Closed;
    int fd_ = -1;        // read mode: the file; write mode: the descriptor of writer_
    std::size_t size_ = 0;  // the file's size as last set or found
    std::uint8_t* begin_ = EmptyLocation();
    std::uint8_t* end_ = EmptyLocation();
    SString path_;           // the file as the caller named it, for the system's explanations
    SReplacingFile writer_;  // write mode: the temporary file and its commit
    SError spoilt_ = 0;      // write mode: a failed Resize, reported by Close in place of committing

    static std::uint8_t* EmptyLocation();
};

}  // namespace ulib
