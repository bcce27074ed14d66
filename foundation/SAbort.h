// SAbort: the progress and abort object shared by a long operation's worker and the progress
// window. The worker nests progress ranges, sets positions and polls the abort flag; the window
// reads the overall progress and raises the flag. Range arithmetic keeps four bits of fraction.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

namespace ulib {

class SAbort
{
public:
    // Progress bounds 0..100, no ranges, position 0, not aborted.
    SAbort() = default;
    // Also reports abort once `shared` is set: one flag (a signal handler's, say) then reaches every
    // operation polling its own object. `shared` must outlive this object.
    explicit SAbort(const std::atomic<bool>* shared) : shared_(shared) {}
    SAbort(const SAbort&) = delete;
    SAbort& operator=(const SAbort&) = delete;

    // Every operation but the abort flag's waits at most 5 ms for the lock and is skipped when it
    // cannot get it: a push, pop or position is dropped, and Progress gives 0. The flag lives
    // outside the lock, so a request to abort is never lost and is always reported.

    // Opens a range: local positions localFrom..localTo map onto parentFrom..parentTo of the
    // enclosing range (or of the bounds). The position becomes localFrom.
    void PushRange(std::int32_t parentFrom, std::int32_t parentTo, std::int32_t localFrom, std::int32_t localTo);
    // Closes the innermost range, mapping the position back into the enclosing one.
    void PopRange();
    // PopRange then PushRange, as one step.
    void ReplaceRange(std::int32_t parentFrom, std::int32_t parentTo, std::int32_t localFrom, std::int32_t localTo);

    // Stores the position in the innermost range's units; returns whether abort was requested.
    bool SetPosition(std::int32_t value);
    bool IsAborted() const
    {
        return aborted_.load(std::memory_order_acquire) ||
               (shared_ != nullptr && shared_->load(std::memory_order_acquire));
    }
    void RequestAbort() { aborted_.store(true, std::memory_order_release); }

    // The position mapped through every range, clamped to Minimum()..Maximum(); equal bounds give
    // the maximum and reversed bounds give 0.
    std::int32_t Progress() const;

    // The bounds of Progress, 0 and 100 unless set.
    std::int32_t Minimum() const;
    std::int32_t Maximum() const;
    void SetBounds(std::int32_t minimum, std::int32_t maximum);

    // Holds the lock the operations take, waiting as long as needed. While it is held, other
    // threads' operations are skipped as described above (the owner must not call them itself).
    [[nodiscard]] std::unique_lock<std::timed_mutex> HoldLock() const
    {
        return std::unique_lock<std::timed_mutex>(lock_);
    }

private:
    // All four stored multiplied by 16 (64 bits, so the scaling itself cannot overflow).
    struct Range
    {
        std::int64_t parentFrom;
        std::int64_t parentTo;
        std::int64_t localFrom;
        std::int64_t localTo;
    };

    std::unique_lock<std::timed_mutex> TryLock() const;
    void PopLocked();
    void PushLocked(std::int32_t parentFrom, std::int32_t parentTo, std::int32_t localFrom, std::int32_t localTo);

    mutable std::timed_mutex lock_;
    std::vector<Range> ranges_;
    std::int32_t minimum_ = 0;
    std::int32_t maximum_ = 100;
    std::int32_t position_ = 0;
    std::atomic<bool> aborted_{false};
    const std::atomic<bool>* shared_ = nullptr;
};

}  // namespace ulib
