#include "SRecovery.h"

#include "SByteOrder.h"

#include <algorithm>
#include <cstring>
#include <utility>

// Every slot keeps this invariant: the bytes past its used count are zero. New bytes arrive zeroed,
// and whenever a step is emptied its used bytes are zeroed, so the whole buffer reads as cleared
// without writing over a capacity that may be many times the used part.

namespace ulib {

namespace {

constexpr std::size_t RecordOverhead = 12;  // id, n before the data, n after it
constexpr std::size_t MinStepCapacity = 256;
// Used counts are 32-bit and the record lengths in the buffer too.
constexpr std::size_t MaxStepBytes = 0x7FFFFFFF;

// Moves element 0 to the end, the others one place forward, without allocating.
template <typename T>
void RotateLeft(SArray<T>& array)
{
    for (std::int32_t i = 0; i + 1 < array.Count(); ++i)
        std::swap(array[i], array[i + 1]);
}

}  // namespace

SRecovery::SRecovery()
{
    enabled_ = steps_.SetCount(SlotCount) == 0 && captions_.SetCount(SlotCount) == 0 && used_.SetCount(SlotCount) == 0;
}

SRecovery::~SRecovery() = default;

void SRecovery::Disable() { enabled_ = false; }

bool SRecovery::Enabled() const { return enabled_; }

void SRecovery::EmptySlot(std::int32_t slot)
{
    SBinary& buffer = steps_[slot];
    const std::size_t used = std::size_t(used_[slot]);
    if (used != 0)
        std::memset(buffer.Data(), 0, used);
    used_[slot] = 0;
}

void SRecovery::SetLimits(std::int32_t steps, std::size_t budgetBytes)
{
    if (!enabled_)
        return;
    budget_ = budgetBytes;
    const std::int32_t count = steps < SlotCount ? SlotCount : steps > MostSteps ? MostSteps : steps;
    while (available_ > count) {
        if (available_ > current_) {
            // Steps to redo go first, the furthest first: a new step would drop them anyway.
            --available_;
            EmptySlot(available_);
            captions_[available_].Clear();
            continue;
        }
        DropOldest();
    }
    // Shrinking drops empty slots only; a failed growth keeps the slots there are.
    if (steps_.SetCount(count) == 0 && captions_.SetCount(count) == 0 && used_.SetCount(count) == 0) {
        KeepWithinBudget();
        return;
    }
    const std::int32_t kept = std::min({steps_.Count(), captions_.Count(), used_.Count()});
    (void)steps_.SetCount(kept);
    (void)captions_.SetCount(kept);
    (void)used_.SetCount(kept);
    KeepWithinBudget();
}

std::size_t SRecovery::MemoryInUse() const
{
    std::size_t total = 0;
    for (std::int32_t slot = 0; slot < available_; ++slot)
        total += steps_[slot].Length();
    return total;
}

void SRecovery::DropOldest()
{
    EmptySlot(0);
    captions_[0].Clear();
    steps_[0] = SBinary();
    RotateLeft(steps_);
    RotateLeft(captions_);
    RotateLeft(used_);
    --current_;
    --available_;
}

void SRecovery::KeepWithinBudget()
{
    while (current_ > 1 && MemoryInUse() > budget_)
        DropOldest();
}

void SRecovery::BeginStep(const SString& caption)
{
    if (!enabled_)
        return;
    std::int32_t slot;
    const std::int32_t slotCount = steps_.Count();
    if (current_ < slotCount) {
        slot = current_++;
        if (steps_[slot].Length() < MinStepCapacity)
            steps_[slot].Resize(MinStepCapacity);  // a failure only means Record grows it later
    } else {
        // The oldest step gives up its buffer to the new one.
        RotateLeft(steps_);
        RotateLeft(captions_);
        RotateLeft(used_);
        slot = slotCount - 1;
    }
    EmptySlot(slot);
    captions_[slot] = caption;
    available_ = current_;
    KeepWithinBudget();
}

SError SRecovery::Record(std::int32_t id, const std::uint8_t* begin, const std::uint8_t* end)
{
    if (!enabled_)
        return ErrorFromIdentifier("object_locked");
    // Compared as addresses, so the length is found without arithmetic on the caller's pointers.
    const std::uintptr_t from = reinterpret_cast<std::uintptr_t>(begin);
    const std::uintptr_t to = reinterpret_cast<std::uintptr_t>(end);
    if (!begin || !end || to < from)
        return ErrorFromIdentifier("pointer");
    if (current_ == 0)
        return ErrorFromIdentifier("object_locked");

    std::int32_t slot = current_ - 1;
    const std::size_t n = std::size_t(to - from);
    const std::size_t used = std::size_t(used_[slot]);
    bool fits = used <= MaxStepBytes - RecordOverhead && n <= MaxStepBytes - RecordOverhead - used;
    const std::size_t needed = n + RecordOverhead;
    if (fits && steps_[slot].Length() - used < needed) {
        // Doubling keeps recording linear in the bytes recorded.
        std::size_t grown = 2 * needed + 2 * used;
        if (grown > MaxStepBytes)
            grown = MaxStepBytes;
        fits = steps_[slot].Resize(grown) == 0;
        // Older steps make room for the growing one; the slots move down as they go.
        KeepWithinBudget();
        slot = current_ - 1;
    }
    SBinary& buffer = steps_[slot];
    if (!fits) {
        // The step cannot be undone any more, but stays open for the rest of the operation.
        EmptySlot(slot);
        captions_[slot].Clear();
        return ErrorFromIdentifier("memory_insuf");
    }

    std::uint8_t* at = buffer.Data() + used;
    PutLE32(at, std::uint32_t(id));
    PutLE32(at + 4, std::uint32_t(n));
    if (n != 0)
        std::memcpy(at + 8, begin, n);
    PutLE32(at + 8 + n, std::uint32_t(n));
    used_[slot] = std::int32_t(used + needed);
    return 0;
}

bool SRecovery::MakeRoomAside(std::int32_t slot)
{
    const std::size_t used = std::size_t(used_[slot]);
    return aside_.Length() >= used || aside_.Resize(used) == 0;
}

// Empties the slot and hands its records, last first, to Restore, which records into the slot again.
void SRecovery::Replay(std::int32_t slot)
{
    const std::size_t used = std::size_t(used_[slot]);
    if (used != 0)
        std::memcpy(aside_.Data(), steps_[slot].Data(), used);
    EmptySlot(slot);

    const std::uint8_t* records = aside_.Data();
    std::size_t pos = used;
    while (pos >= RecordOverhead) {
        const std::size_t n = GetLE32(records + pos - 4);
        if (n > pos - RecordOverhead)
            break;  // the list is damaged; stop rather than read outside it
        const std::size_t start = pos - RecordOverhead - n;
        if (GetLE32(records + start + 4) != n)
            break;
        const std::uint8_t* data = records + start + 8;
        Restore(std::int32_t(GetLE32(records + start)), data, data + n);
        pos = start;
    }
}

void SRecovery::Undo()
{
    if (!enabled_ || current_ == 0)
        return;
    const std::int32_t slot = current_ - 1;
    // Without room to set the records aside the step is left as it was, still undoable.
    if (!MakeRoomAside(slot))
        return;
    Replay(slot);
    --current_;
}

void SRecovery::Redo()
{
    if (!enabled_ || current_ >= available_)
        return;
    const std::int32_t slot = current_;
    if (!MakeRoomAside(slot))
        return;
    // Restore records into the step opened last, so the step counts as undoable before the replay.
    ++current_;
    Replay(slot);
}

void SRecovery::Clear()
{
    current_ = 0;
    available_ = 0;
    if (!enabled_)
        return;
    for (std::int32_t slot = 0; slot < steps_.Count(); ++slot) {
        captions_[slot].Clear();
        EmptySlot(slot);
    }
}

bool SRecovery::CanUndo() const { return current_ > 0; }

bool SRecovery::CanRedo() const { return current_ < available_; }

SString SRecovery::UndoCaption() const { return current_ > 0 ? captions_[current_ - 1] : SString(); }

SString SRecovery::RedoCaption() const { return current_ < available_ ? captions_[current_] : SString(); }

std::span<const std::uint8_t> SRecovery::StepBytes(std::int32_t slot) const
{
    if (!enabled_ || slot < 0 || slot >= steps_.Count() || used_[slot] == 0)
        return {};
    return steps_[slot].Bytes().first(std::size_t(used_[slot]));
}

void SRecovery::Restore(std::int32_t, const std::uint8_t*, const std::uint8_t*) {}

}  // namespace ulib
