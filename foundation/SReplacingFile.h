// Replace-on-commit writing: the bytes go to a temporary file beside the target, and only a
// successful Commit puts it in place (flushed to disk, renamed over the target). Every file the
// program saves goes through it (pictures, documents, the colour chart, the settings store), so a
// failed, interrupted or killed save never damages the previous file.
#pragma once

#include "SAbort.h"
#include "SError.h"
#include "SString.h"

#include <cstdio>

#include <sys/types.h>

namespace ulib {

class SReplacingFile
{
public:
    SReplacingFile() = default;
    ~SReplacingFile() { Discard(); }  // an open file is discarded, never committed
    SReplacingFile(const SReplacingFile&) = delete;
    SReplacingFile& operator=(const SReplacingFile&) = delete;

    // Creates the temporary file for the target, empty, replacing one left by an interrupted save
    // (its name is fixed per target, see TemporaryPath). A symbolic link as target is followed, so
    // the file it points at is replaced. Refuses what CheckTarget refuses; other system failures give
    // ErrorFromSystemCode(errno). Already open: the open file is discarded first. A new target gets
    // newMode narrowed by the umask (0600 for a file private to the user); an existing one keeps its
    // permission bits, and one the user made read-only is refused (EACCES).
    SError Open(const SString& target, mode_t newMode = 0666);
    // Whether a save may replace the target: a new name, a regular file or a link to one (written
    // through), or a dangling link (replaced). An empty name gives the ENOENT code, a folder the
    // EISDIR code (each with the path), anything else that exists (a device, a FIFO, a socket, or
    // a link to one) "file_not_regular" with the path: renaming over it would replace the node.
    static SError CheckTarget(const SString& target);
    bool IsOpen() const { return fd_ >= 0; }
    // The temporary file's descriptor (read and write), -1 when not open. Owned by this object.
    int Descriptor() const { return fd_; }
    // A binary stream on the temporary file, made on first use; null when not open or when no stream
    // can be made. Owned by this object: callers never close it.
    std::FILE* Stream();

    // Flushes the stream, writes the file to disk, renames it over the target and flushes the folder.
    // On any failure the target stays as it was, the temporary file is removed and the result is
    // ErrorFromSystemCode(errno) (ENOSPC for a stream whose writes failed without a code). Inside an
    // SCommitAbortScope whose abort is raised once the file is on disk, the file is removed instead
    // of renamed and the result is "abort". Not open: "object_silent". The object is closed
    // afterwards either way.
    SError Commit();
    // Closes and removes the temporary file; the target is untouched. Nothing when not open.
    void Discard();

    // The file that Commit replaces (symbolic links resolved), empty when not open.
    const SString& Target() const { return target_; }
    // The temporary file of a target: ".NAME.saving" in the target's folder. A name too long for
    // that is shortened and given a hash of the full name, so it stays fixed and distinct.
    static SString TemporaryPath(const SString& target);

private:
    void CloseHandles();

    int fd_ = -1;
    std::FILE* stream_ = nullptr;
    SString target_;
    SString temporary_;
};

// While alive, every SReplacingFile::Commit on this thread looks at `abort` right before it would
// replace its target: a stop request that arrives while a writer of any format encodes (writers own
// their SReplacingFile) then still keeps the previous file. Scopes nest; the innermost one counts.
// A null abort lets commits through.
class SCommitAbortScope
{
public:
    explicit SCommitAbortScope(const SAbort* abort);
    ~SCommitAbortScope();
    SCommitAbortScope(const SCommitAbortScope&) = delete;
    SCommitAbortScope& operator=(const SCommitAbortScope&) = delete;

    // A writer's result as its caller reports it: "abort" when the save failed while the stop
    // request was raised (writers pass a refused commit on as their own error), else `err`.
    SError Result(SError err) const;

private:
    const SAbort* abort_;
    const SAbort* outer_;
};

// The system's code for a failed write on a stream (read right after the writer gave up, while errno
// still holds it); 0 when the stream saw no write error, so the failure was the writer's own.
int StreamWriteCode(std::FILE* stream);

}  // namespace ulib
