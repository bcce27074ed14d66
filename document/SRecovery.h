// Undo and redo as a buffer of steps: each step has a caption and a list of tagged records. Undoing
// or redoing hands every record back to Restore, which swaps it with the current state and records
// what it replaced into the same step, so a step turns into its own redo data and back.
#pragma once

#include "SArray.h"
#include "SBinary.h"
#include "SError.h"
#include "SString.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace ulib {

class SRecovery
{
public:
    // The steps kept unless SetLimits says otherwise, the most it may say, and the default memory
    // budget of the steps.
    static constexpr std::int32_t SlotCount = 10;
    static constexpr std::int32_t MostSteps = 1000;
    static constexpr std::size_t DefaultBudget = std::size_t(1) << 30;

    SRecovery();
    virtual ~SRecovery();
    SRecovery(const SRecovery&) = delete;
    SRecovery& operator=(const SRecovery&) = delete;

    // Keeps at most `steps` steps (held to SlotCount..MostSteps), the oldest dropped first, and
    // drops the oldest while the steps hold more than budgetBytes of memory together; the newest
    // undoable step is always kept. Lowering the count drops the oldest steps at once.
    void SetLimits(std::int32_t steps, std::size_t budgetBytes);
    std::int32_t StepLimit() const { return steps_.Count(); }
    // The memory the steps that can be undone or redone hold (their buffers), in bytes.
    std::size_t MemoryInUse() const;

    // Opens a new step (the oldest is dropped when every slot holds an undoable step); every step
    // that could be redone is dropped.
    void BeginStep(const SString& caption);
    // Appends a record of [begin, end) with the caller's id to the step opened last.
    // Errors: "object_locked" (disabled, or no step open), "pointer" (missing or reversed bounds),
    // "memory_insuf" (the step is emptied but stays open).
    SError Record(std::int32_t id, const std::uint8_t* begin, const std::uint8_t* end);
    // Replay the step, last record first, through Restore, which refills it with the reverse data.
    // Nothing happens when there is no step to act on, or when no memory is left to set the
    // step's records aside while it is replayed (the step then stays as it was).
    void Undo();
    void Redo();
    // Empties every step; the buffers keep their capacity.
    void Clear();

    bool CanUndo() const;
    bool CanRedo() const;
    // The caption of the step Undo / Redo would act on; empty when there is none.
    SString UndoCaption() const;
    SString RedoCaption() const;
    bool Enabled() const;

    // The bytes in use in a slot (0..StepLimit()-1; empty outside), for inspection: records one after
    // another, each id (4), n (4), n data bytes, n again (4), native byte order. The span's address
    // is the slot's buffer; it is valid until the next change to the buffer.
    std::span<const std::uint8_t> StepBytes(std::int32_t slot) const;

protected:
    // Called for each record of a step being undone or redone, last record first. The base class
    // does nothing.
    virtual void Restore(std::int32_t id, const std::uint8_t* begin, const std::uint8_t* end);
    // For a derived class whose own set-up failed: every operation does nothing from then on.
    void Disable();

private:
    bool MakeRoomAside(std::int32_t slot);
    // Drops the oldest step and frees its buffer.
    void DropOldest();
    void KeepWithinBudget();
    void Replay(std::int32_t slot);
    void EmptySlot(std::int32_t slot);

    std::int32_t current_ = 0;    // steps that can be undone
    std::int32_t available_ = 0;  // steps present; current_..available_-1 can be redone
    SArray<SBinary> steps_;       // one buffer per slot; its length is its capacity
    SArray<SString> captions_;
    SArray<std::int32_t> used_;   // bytes in use at the start of each buffer
    bool enabled_ = false;
    std::size_t budget_ = DefaultBudget;
    SBinary aside_;               // a step's records while they are replayed; keeps its capacity
};

}  // namespace ulib
