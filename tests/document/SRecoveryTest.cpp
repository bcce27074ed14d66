#include "SRecovery.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

using ulib::ErrorFromIdentifier;
using ulib::SRecovery;
using ulib::SString;

namespace {

// A step buffer over a line of text: each record holds a position and the character it had, and
// restoring one swaps it with the character there now, the way a layer buffer swaps row segments.
class TextRecovery : public SRecovery
{
public:
    std::string text = "..........";
    std::vector<std::int32_t> restoredIds;

    void Change(std::int32_t pos, char c)
    {
        Remember(pos);
        text[std::size_t(pos)] = c;
    }
    void Remember(std::int32_t pos)
    {
        std::uint8_t data[5];
        std::memcpy(data, &pos, 4);
        data[4] = std::uint8_t(text[std::size_t(pos)]);
        Record(7, data, data + 5);
    }
    void TurnOff() { Disable(); }

protected:
    void Restore(std::int32_t id, const std::uint8_t* begin, const std::uint8_t* end) override
    {
        restoredIds.push_back(id);
        ASSERT_EQ(end - begin, 5);
        std::int32_t pos;
        std::memcpy(&pos, begin, 4);
        Remember(pos);
        text[std::size_t(pos)] = char(begin[4]);
    }
};

std::uint32_t WordAt(std::span<const std::uint8_t> bytes, std::size_t at)
{
    std::uint32_t value;
    std::memcpy(&value, bytes.data() + at, 4);
    return value;
}

}  // namespace

TEST(SRecovery, RecordsIdLengthDataAndLengthAgainOneAfterAnother)
{
    SRecovery recovery;
    recovery.BeginStep("step");
    const std::uint8_t first[3] = {1, 2, 3};
    EXPECT_EQ(recovery.Record(42, first, first + 3), 0u);
    EXPECT_EQ(recovery.Record(-1, first, first), 0u);  // an empty record is still a record

    const auto bytes = recovery.StepBytes(0);
    ASSERT_EQ(bytes.size(), 15u + 12u);
    EXPECT_EQ(WordAt(bytes, 0), 42u);
    EXPECT_EQ(WordAt(bytes, 4), 3u);
    EXPECT_EQ(bytes[8], 1);
    EXPECT_EQ(bytes[10], 3);
    EXPECT_EQ(WordAt(bytes, 11), 3u);
    EXPECT_EQ(WordAt(bytes, 15), 0xFFFFFFFFu);
    EXPECT_EQ(WordAt(bytes, 19), 0u);
    EXPECT_EQ(WordAt(bytes, 23), 0u);
}

TEST(SRecovery, RecordRefusesBadBoundsAndRecordsOnlyIntoAnOpenStep)
{
    SRecovery recovery;
    const std::uint8_t data[4] = {};
    EXPECT_EQ(recovery.Record(1, data, data + 4), ErrorFromIdentifier("object_locked"));
    recovery.BeginStep("step");
    EXPECT_EQ(recovery.Record(1, nullptr, data), ErrorFromIdentifier("pointer"));
    EXPECT_EQ(recovery.Record(1, data, nullptr), ErrorFromIdentifier("pointer"));
    EXPECT_EQ(recovery.Record(1, data + 4, data), ErrorFromIdentifier("pointer"));
    EXPECT_TRUE(recovery.StepBytes(0).empty());

    TextRecovery off;
    off.TurnOff();
    off.BeginStep("step");
    EXPECT_FALSE(off.CanUndo());
    EXPECT_EQ(off.Record(1, data, data + 4), ErrorFromIdentifier("object_locked"));
}

TEST(SRecovery, ManyRecordsGrowTheStepAndAllComeBackLastFirst)
{
    TextRecovery recovery;
    recovery.text.assign(5000, 'a');
    recovery.BeginStep("long");
    for (std::int32_t i = 0; i < 5000; ++i)
        recovery.Change(i, 'b');
    EXPECT_EQ(recovery.StepBytes(0).size(), 5000u * 17u);

    recovery.Undo();
    EXPECT_EQ(recovery.text, std::string(5000, 'a'));
    EXPECT_EQ(recovery.restoredIds.size(), 5000u);
    recovery.Redo();
    EXPECT_EQ(recovery.text, std::string(5000, 'b'));
}

TEST(SRecovery, UndoAndRedoSwapStepsAndTheirCaptions)
{
    TextRecovery recovery;
    EXPECT_FALSE(recovery.CanUndo());
    EXPECT_FALSE(recovery.CanRedo());
    EXPECT_EQ(recovery.UndoCaption(), SString());

    recovery.BeginStep("first");
    recovery.Change(0, 'a');
    recovery.BeginStep("second");
    recovery.Change(1, 'b');
    recovery.Change(1, 'c');  // the same place twice in one step
    EXPECT_EQ(recovery.text, "ac........");
    EXPECT_EQ(recovery.UndoCaption(), SString("second"));
    EXPECT_EQ(recovery.RedoCaption(), SString());

    recovery.Undo();
    EXPECT_EQ(recovery.text, "a.........");
    EXPECT_EQ(recovery.UndoCaption(), SString("first"));
    EXPECT_EQ(recovery.RedoCaption(), SString("second"));
    recovery.Undo();
    EXPECT_EQ(recovery.text, "..........");
    EXPECT_FALSE(recovery.CanUndo());
    recovery.Undo();  // nothing left: no change
    EXPECT_EQ(recovery.text, "..........");

    recovery.Redo();
    recovery.Redo();
    EXPECT_EQ(recovery.text, "ac........");
    EXPECT_FALSE(recovery.CanRedo());
    recovery.Redo();
    EXPECT_EQ(recovery.text, "ac........");
    recovery.Undo();
    recovery.Redo();
    EXPECT_EQ(recovery.text, "ac........");
    EXPECT_EQ(recovery.UndoCaption(), SString("second"));
}

TEST(SRecovery, BeginningAStepAfterTwoUndosDropsTheRedoSteps)
{
    TextRecovery recovery;
    for (std::int32_t i = 0; i < 3; ++i) {
        recovery.BeginStep(SString(std::to_string(i)));
        recovery.Change(i, 'x');
    }
    recovery.Undo();
    recovery.Undo();
    EXPECT_TRUE(recovery.CanRedo());
    recovery.BeginStep("new");
    recovery.Change(5, 'n');
    EXPECT_FALSE(recovery.CanRedo());
    EXPECT_EQ(recovery.RedoCaption(), SString());
    recovery.Undo();
    recovery.Undo();
    EXPECT_EQ(recovery.text, "..........");
    EXPECT_FALSE(recovery.CanUndo());
}

TEST(SRecovery, TheEleventhStepDropsTheFirstAndReusesItsBuffer)
{
    TextRecovery recovery;
    recovery.text.assign(11, '.');
    recovery.BeginStep("0");
    recovery.Change(0, 'a');
    const std::uint8_t* firstBuffer = recovery.StepBytes(0).data();
    for (std::int32_t i = 1; i <= 10; ++i) {
        recovery.BeginStep(SString(std::to_string(i)));
        recovery.Change(i, char('a' + i));
    }
    EXPECT_EQ(recovery.text, "abcdefghijk");
    EXPECT_EQ(recovery.StepBytes(SRecovery::SlotCount - 1).data(), firstBuffer);
    EXPECT_EQ(recovery.UndoCaption(), SString("10"));

    std::int32_t undone = 0;
    while (recovery.CanUndo()) {
        recovery.Undo();
        ++undone;
    }
    EXPECT_EQ(undone, 10);
    EXPECT_EQ(recovery.RedoCaption(), SString("1"));
    EXPECT_EQ(recovery.text, "a..........");  // step "0" can no longer be undone
}

TEST(SRecovery, ClearEmptiesEveryStepButKeepsTheBuffers)
{
    TextRecovery recovery;
    recovery.text.assign(100, '.');
    recovery.BeginStep("big");
    for (std::int32_t i = 0; i < 100; ++i)
        recovery.Change(i, '#');
    const std::uint8_t* buffer = recovery.StepBytes(0).data();
    recovery.BeginStep("more");
    recovery.Change(0, '+');
    recovery.Undo();

    recovery.Clear();
    EXPECT_FALSE(recovery.CanUndo());
    EXPECT_FALSE(recovery.CanRedo());
    EXPECT_EQ(recovery.RedoCaption(), SString());
    EXPECT_TRUE(recovery.StepBytes(0).empty());
    EXPECT_TRUE(recovery.StepBytes(1).empty());

    // The same amount of editing again needs no new memory.
    recovery.BeginStep("again");
    for (std::int32_t i = 0; i < 100; ++i)
        recovery.Change(i, '#');
    EXPECT_EQ(recovery.StepBytes(0).data(), buffer);
    EXPECT_EQ(recovery.UndoCaption(), SString("again"));
}

TEST(SRecovery, ARecordThatCannotBeHeldEmptiesTheStepButKeepsItOpen)
{
    TextRecovery recovery;
    recovery.BeginStep("paint");
    recovery.Change(0, 'a');
    // Bounds 2 GiB apart: more than a step can hold; refused before anything is read or allocated.
    const auto* begin = reinterpret_cast<const std::uint8_t*>(std::uintptr_t(0x10000));
    const auto* end = reinterpret_cast<const std::uint8_t*>(std::uintptr_t(0x10000) + 0x80000000u);
    EXPECT_EQ(recovery.Record(7, begin, end), ErrorFromIdentifier("memory_insuf"));
    EXPECT_TRUE(recovery.StepBytes(0).empty());
    EXPECT_EQ(recovery.UndoCaption(), SString());
    EXPECT_TRUE(recovery.CanUndo());

    recovery.Change(1, 'b');  // later records of the operation go into the same step
    recovery.Undo();
    EXPECT_EQ(recovery.text, "a.........");
    EXPECT_FALSE(recovery.CanUndo());
}

// A property over random edits: with any step limit, undoing everything that can be undone and
// redoing it all again gives back exactly the states the edits went through.
TEST(SRecovery, DeeperLimitsKeepThatManyStepsAndUndoThemInOrder)
{
    for (const std::int32_t limit : {SRecovery::SlotCount, 37, 250}) {
        TextRecovery recovery;
        recovery.text.assign(64, '.');
        recovery.SetLimits(limit, SRecovery::DefaultBudget);
        EXPECT_EQ(recovery.StepLimit(), limit);
        std::vector<std::string> states{recovery.text};
        std::uint32_t seed = 12345u + std::uint32_t(limit);
        for (std::int32_t step = 0; step < limit + 15; ++step) {
            recovery.BeginStep(SString("step " + std::to_string(step)));
            for (int k = 0; k < 3; ++k) {
                seed = seed * 1664525u + 1013904223u;
                recovery.Change(std::int32_t(seed >> 26), char('a' + (seed >> 8) % 26));
            }
            states.push_back(recovery.text);
        }
        std::int32_t undone = 0;
        while (recovery.CanUndo()) {
            recovery.Undo();
            ++undone;
            ASSERT_EQ(recovery.text, states[states.size() - 1 - std::size_t(undone)]) << limit << " " << undone;
        }
        EXPECT_EQ(undone, limit);
        while (recovery.CanRedo())
            recovery.Redo();
        EXPECT_EQ(recovery.text, states.back());
    }
    // Asked for fewer than ten or more than a thousand: held to the range.
    TextRecovery few, many;
    few.SetLimits(3, SRecovery::DefaultBudget);
    many.SetLimits(5000, SRecovery::DefaultBudget);
    EXPECT_EQ(few.StepLimit(), SRecovery::SlotCount);
    EXPECT_EQ(many.StepLimit(), SRecovery::MostSteps);
}

TEST(SRecovery, LoweringTheLimitAndTheBudgetDropTheOldestStepsButKeepTheNewest)
{
    TextRecovery recovery;
    recovery.text.assign(64, '.');
    recovery.SetLimits(40, SRecovery::DefaultBudget);
    for (std::int32_t step = 0; step < 30; ++step) {
        recovery.BeginStep(SString(std::to_string(step)));
        recovery.Change(step, 'x');
    }
    recovery.Undo();  // step 29 waits to be redone
    const std::size_t thirty = recovery.MemoryInUse();
    EXPECT_GT(thirty, 0u);

    // Twelve kept: the step to redo goes first, then the oldest.
    recovery.SetLimits(12, SRecovery::DefaultBudget);
    EXPECT_FALSE(recovery.CanRedo());
    EXPECT_EQ(recovery.UndoCaption(), SString("28"));
    EXPECT_LT(recovery.MemoryInUse(), thirty);
    std::int32_t undoable = 0;
    while (recovery.CanUndo()) {
        recovery.Undo();
        ++undoable;
    }
    EXPECT_EQ(undoable, 12);
    EXPECT_EQ(recovery.text.substr(0, 17), std::string(17, 'x'));  // steps 0..16 were dropped

    // A budget smaller than one step keeps only the newest step.
    TextRecovery tight;
    tight.text.assign(64, '.');
    tight.SetLimits(100, 1);
    for (std::int32_t step = 0; step < 5; ++step) {
        tight.BeginStep(SString(std::to_string(step)));
        tight.Change(step, 'y');
    }
    tight.Undo();
    EXPECT_FALSE(tight.CanUndo());
    EXPECT_EQ(tight.text.substr(0, 5), "yyyy.");
}
