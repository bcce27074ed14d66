// Autosave: while the working cel has unsaved changes, a recovery copy of it is written after a
// number of steps or a time since the first change it lacks, whichever comes first. The cel is
// copied a few rows per tick on the interface thread (SCelSnapshot) and packed and written on a
// worker, so painting never waits for the disk. A clean save or close removes the copy; a crash
// leaves it for the next start (SRecoveryFiles.h).
#pragma once

#include "SCelSnapshot.h"
#include "SError.h"
#include "SRecoveryFiles.h"
#include "SString.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <thread>

class SAutosave
{
public:
    using Clock = std::chrono::steady_clock;

    static constexpr std::int32_t DefaultSteps = 20;
    static constexpr std::int32_t MostSteps = 1000;
    static constexpr std::int32_t DefaultSeconds = 60;
    static constexpr std::int32_t MostSeconds = 3600;
    // The longest a tick copies rows on the interface thread.
    static constexpr Clock::duration TickBudget = std::chrono::milliseconds(4);

    // The snapshot watches the buffer's rows for as long as this object lives.
    explicit SAutosave(SHuedraneUndoBuffer& undo);
    // A clean end: waits for a write and removes the copy.
    ~SAutosave();
    SAutosave(const SAutosave&) = delete;
    SAutosave& operator=(const SAutosave&) = delete;

    // Copies go to folder from now on (made when the first is written); empty stops them.
    void Start(const ulib::SString& folder);
    // Steps (0..MostSteps) and seconds (0..MostSeconds) before a copy, held to their ranges; 0 turns
    // that trigger off, both 0 autosave.
    void SetLimits(std::int32_t steps, std::int32_t seconds);
    std::int32_t Steps() const { return steps_; }
    std::int32_t Seconds() const { return seconds_; }

    // One more step the copy on disk lacks.
    void Changed() { ++edits_; }
    // The working cel was replaced or dropped, or saved: the copy is removed (after any write) and
    // the snapshot starts again.
    void Closed();
    // Makes a copy found at start-up this program's own copy of the cel just opened from it.
    ulib::SError Adopt(const SRecoveryCopy& copy);

    struct STick
    {
        bool again = false;   // copying is under way: tick again soon
        ulib::SError failure = 0;  // a write failed; given once until one succeeds
    };
    // Runs the next part of the work: takes a finished write's result, copies changed rows within
    // TickBudget, starts a write. modified: the cel has unsaved changes; stroke: a drag is under way
    // (no copying then).
    STick Tick(const SCel& cel, const SRecoveryInfo& identity, bool modified, bool stroke, Clock::time_point now);

    // The folder copies go to, empty before Start.
    const ulib::SString& Folder() const { return folder_; }
    // This program's copy (for the tests and the manual's folder), empty before Start.
    SRecoveryFileSet Files() const { return files_; }
    // Waits for a write under way.
    void Wait();

private:
    // held: the cel's held container, which stays as it is until Closed (which waits for the write).
    ulib::SError StartWrite(const SRecoveryInfo& identity, const ulib::SQuickPress& held);
    void FinishWrite(STick& tick, Clock::time_point now);
    // A copy could not be made or written: reported once, tried again after a while.
    void Failed(ulib::SError err, STick& tick, Clock::time_point now);
    void RemoveCopy();

    SHuedraneUndoBuffer& undo_;
    SCelSnapshot snapshot_;
    ulib::SString folder_;
    SRecoveryFileSet files_;
    SRecoveryLock lock_;
    std::int32_t steps_ = DefaultSteps;
    std::int32_t seconds_ = DefaultSeconds;
    std::uint64_t edits_ = 0;
    std::uint64_t editsWritten_ = 0;   // the edits the copy on disk (or being written) holds
    std::optional<Clock::time_point> firstUnwritten_;  // when a tick first saw edits the copy lacks
    std::optional<Clock::time_point> notBefore_;  // after a failed write: when to try again
    std::uint64_t editsBeforeWrite_ = 0;
    bool copying_ = false;
    bool failureReported_ = false;
    std::thread writer_;
    bool writing_ = false;  // a write was started whose result was not taken yet
    std::atomic<bool> written_{false};
    ulib::SError writeResult_ = 0;
};
