// The two key tables that drive a region walk (SRegionWalk.h), and what the walk remembers of each
// row. A span (a run of one row's inside pixels) is named by the key (first column << 16) + row + 1,
// so 0 never names a span:
//   processed: the keys of the spans handed out so far (at most 32768);
//   pending:   a stack of keys still to visit (at most 65536), each key at most once at a time.
// Both are kept as hashed sets (plus the stack itself for pending) so a walk costs time in
// proportion to its spans, while its order and the points where a full table stops it are those
// of two plain key arrays.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>

// A walk hands out at most this many spans; the next new span of the region ends in "buf_overflow".
inline constexpr std::int32_t FillProcessedCapacity = 32768;
// At most this many spans wait to be visited at once; offering one more ends the offering span's
// visit with "buf_overflow" (the spans already waiting are still visited).
inline constexpr std::int32_t FillPendingCapacity = 65536;

namespace region_walk {

inline std::uint32_t KeyOf(std::int32_t x, std::int32_t y) { return (std::uint32_t(x) << 16) + std::uint32_t(y) + 1; }

// A set of non-zero keys: linear probing in a power-of-two table kept at most half full.
// Erasing shifts the following entries back, so no tombstones build up.
class KeySet
{
public:
    void Attach(std::uint32_t* slots, unsigned bits)
    {
        slots_ = slots;
        mask_ = (std::uint32_t(1) << bits) - 1;
        shift_ = 32 - bits;
    }

    bool Contains(std::uint32_t key) const
    {
        for (std::uint32_t i = Home(key);; i = (i + 1) & mask_) {
            if (slots_[i] == key)
                return true;
            if (slots_[i] == 0)
                return false;
        }
    }

    // The key must not be in the set yet.
    void Insert(std::uint32_t key)
    {
        std::uint32_t i = Home(key);
        while (slots_[i] != 0)
            i = (i + 1) & mask_;
        slots_[i] = key;
    }

    // The key must be in the set.
    void Erase(std::uint32_t key)
    {
        std::uint32_t hole = Home(key);
        while (slots_[hole] != key)
            hole = (hole + 1) & mask_;
        // Every later entry of the cluster whose home does not lie cyclically in (hole, j] moves
        // into the hole, which then moves on to where the entry was.
        for (std::uint32_t j = (hole + 1) & mask_; slots_[j] != 0; j = (j + 1) & mask_) {
            const std::uint32_t home = Home(slots_[j]);
            const bool stays = ((j - home) & mask_) < ((j - hole) & mask_);
            if (!stays) {
                slots_[hole] = slots_[j];
                hole = j;
            }
        }
        slots_[hole] = 0;
    }

private:
    std::uint32_t Home(std::uint32_t key) const { return (key * 0x9E3779B1u) >> shift_; }

    std::uint32_t* slots_ = nullptr;
    std::uint32_t mask_ = 0;
    unsigned shift_ = 32;
};

// The last run of a row the walk has seen, as [start, end) (end may fall short of the run's end).
// The inside never changes during a walk, so a neighbouring span that starts inside it need not
// walk left to find where its run starts: without this a row of teeth hanging from a long bar
// would walk the bar once per tooth.
struct KnownRun
{
    std::int32_t start;
    std::int32_t end;
};

// The key tables of one walk and the known run of each row: one zeroed allocation.
class Tables
{
public:
    // False when the memory cannot be had.
    bool Allocate(std::int32_t rows);

    KnownRun& KnownRunOf(std::int32_t y) { return knownRuns_[y]; }

    // Processed list.
    bool WasProcessed(std::uint32_t key) const { return processedCount_ != 0 && processed_.Contains(key); }
    bool ProcessedFull() const { return processedCount_ == FillProcessedCapacity; }
    void AddProcessed(std::uint32_t key)
    {
        if (processedCount_++ == 0)
            firstProcessed_ = key;
        processed_.Insert(key);
    }
    std::uint32_t FirstProcessed() const { return firstProcessed_; }

    // Pending stack.
    bool IsPending(std::uint32_t key) const { return pendingSet_.Contains(key); }
    bool PendingFull() const { return pendingCount_ == FillPendingCapacity; }
    bool PendingEmpty() const { return pendingCount_ == 0; }
    void Push(std::uint32_t key)
    {
        stack_[pendingCount_++] = key;
        pendingSet_.Insert(key);
    }
    std::uint32_t Pop()
    {
        const std::uint32_t key = stack_[--pendingCount_];
        pendingSet_.Erase(key);
        return key;
    }

private:
    struct FreeDeleter
    {
        void operator()(std::uint32_t* p) const { std::free(p); }
    };

    std::unique_ptr<std::uint32_t, FreeDeleter> block_;
    KeySet processed_;
    KeySet pendingSet_;
    std::uint32_t* stack_ = nullptr;
    KnownRun* knownRuns_ = nullptr;
    std::int32_t processedCount_ = 0;
    std::int32_t pendingCount_ = 0;
    std::uint32_t firstProcessed_ = 0;
};

}  // namespace region_walk
