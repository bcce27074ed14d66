// Recovery copies on disk. Each running program that has written one holds `NAME.lock` locked
// (flock) in the recovery folder beside `NAME.hdq` (the cel, in the document format) and
// `NAME.info` (the document's path, its proposed name and when the copy was written). The lock
// goes with the process, so a copy whose lock can be taken belongs to no running program: it was
// left by a crash, a kill or a power cut.
#pragma once

#include "SBitmap.h"
#include "SError.h"
#include "SString.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// $XDG_STATE_HOME/huedrane/recovery (~/.local/state/huedrane/recovery when unset or relative);
// empty without either.
ulib::SString RecoveryFolder();

struct SRecoveryInfo
{
    ulib::SString path;         // the document's file, empty while the cel has none
    ulib::SString defaultName;  // the name a first save proposes, for a cel without a file
    std::int64_t savedAt = 0;   // seconds since 1970 (UTC)

    bool operator==(const SRecoveryInfo&) const = default;
};

std::string RecoveryInfoText(const SRecoveryInfo& info);
// Reads RecoveryInfoText's lines (unknown keys are passed over). Errors: "data" for anything else
// (another first line, a missing time, an over-long file or value); info is then empty.
ulib::SError ParseRecoveryInfo(const std::uint8_t* begin, const std::uint8_t* end, SRecoveryInfo& info);

// A lock file held with flock for as long as this object lives (or until Unlock).
class SRecoveryLock
{
public:
    SRecoveryLock() = default;
    ~SRecoveryLock() { Unlock(); }
    SRecoveryLock(SRecoveryLock&& other) noexcept;
    SRecoveryLock& operator=(SRecoveryLock&& other) noexcept;

    // Creates the file when missing and locks it without waiting. EWOULDBLOCK: a running program
    // holds it.
    ulib::SError Lock(const ulib::SString& file);
    bool Locked() const { return fd_ >= 0; }
    // Removes the file while still holding it, then lets go.
    void Remove();
    void Unlock();

private:
    int fd_ = -1;
    ulib::SString file_;
};

// The files of the copy called name in folder.
struct SRecoveryFileSet
{
    ulib::SString document, info, lock;
};
SRecoveryFileSet RecoveryFiles(const ulib::SString& folder, const std::string& name);

struct SRecoveryCopy
{
    std::string name;
    SRecoveryFileSet files;
    SRecoveryInfo info;
    ulib::SBitmap thumbnail;  // the document's thumbnail, 24-bit, empty when it has none
    bool damaged = false;     // the copy or its information cannot be read: it can only be discarded
};

// The copies no running program owns, held (locked) from Find until they are taken, discarded or
// let go, so two programs starting together never both offer the same copy.
class SOrphanCopies
{
public:
    // Lists the folder: copies whose lock can be taken, newest first and damaged ones last; lock files
    // without a copy are removed. A missing folder lists nothing. Thumbnails fit thumbnailBox.
    ulib::SError Find(const ulib::SString& folder, std::int32_t thumbnailBox);
    const std::vector<SRecoveryCopy>& Copies() const { return copies_; }
    void MarkDamaged(std::size_t index);
    // Deletes the copy's files.
    void Discard(std::size_t index);
    // Drops the copy from the list and its lock file; the copy's files are the caller's now.
    SRecoveryCopy Take(std::size_t index);
    // Drops the copy from the list and lets its lock go, files kept: another program takes it.
    SRecoveryCopy Let(std::size_t index);
    // Lets every copy go, files kept (to be offered again at the next start).
    void Release();

private:
    std::vector<SRecoveryCopy> copies_;
    std::vector<SRecoveryLock> locks_;
};
