#include "SRegionWalkTables.h"

namespace region_walk {

namespace {

constexpr unsigned ProcessedBits = 16;  // 65536 slots for 32768 keys
constexpr unsigned PendingBits = 17;    // 131072 slots for 65536 keys
constexpr std::size_t TableWords = (std::size_t(1) << ProcessedBits) + (std::size_t(1) << PendingBits) +
                                   std::size_t(FillPendingCapacity);
static_assert(TableWords % 2 == 0 && alignof(KnownRun) <= 8 && sizeof(KnownRun) == 2 * sizeof(std::uint32_t));

}  // namespace

bool Tables::Allocate(std::int32_t rows)
{
    block_.reset(static_cast<std::uint32_t*>(std::calloc(TableWords + 2 * std::size_t(rows), sizeof(std::uint32_t))));
    if (!block_)
        return false;
    std::uint32_t* p = block_.get();
    processed_.Attach(p, ProcessedBits);
    p += std::size_t(1) << ProcessedBits;
    pendingSet_.Attach(p, PendingBits);
    p += std::size_t(1) << PendingBits;
    stack_ = p;
    p += FillPendingCapacity;
    knownRuns_ = reinterpret_cast<KnownRun*>(p);
    return true;
}

}  // namespace region_walk
