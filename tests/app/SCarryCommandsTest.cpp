// The colour carry as the painting window runs it: from the previous document of the folder or a
// chosen one, as one undo step, with the regions it left listed until the next edit, and failures
// that leave the cel and its undo steps alone.
#include "../convert/ScanFixture.h"
#include "CarryCels.h"
#include "ControllerFolder.h"
#include "SDocumentFile.h"
#include "SHuedraneController.h"
#include "SMainWindowRules.h"
#include "Sxpng.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace ulib;
using namespace carry_cels;
namespace fs = std::filesystem;

namespace {

// Everything a failed carry must leave as it was.
struct Snapshot
{
    std::vector<std::uint32_t> paint, trace;
    std::vector<std::vector<std::uint8_t>> steps;
    bool canUndo = false, canRedo = false;
    SString undoCaption;
    SDocumentState state = SDocumentState::None;
    std::size_t leftRegions = 0;

    explicit Snapshot(const SHuedraneController& c)
        : paint(Pixels(c.Cel().paint)), trace(Pixels(c.Cel().trace)), canUndo(c.UndoBuffer().CanUndo()),
          canRedo(c.UndoBuffer().CanRedo()), undoCaption(c.UndoBuffer().UndoCaption()), state(c.State()),
          leftRegions(c.LeftRegions().size())
    {
        for (std::int32_t slot = 0; slot < SRecovery::SlotCount; ++slot) {
            const auto bytes = c.UndoBuffer().StepBytes(slot);
            steps.emplace_back(bytes.begin(), bytes.end());
        }
    }
    bool operator==(const Snapshot&) const = default;
};

class CarryCommands : public ControllerFolder
{
protected:
    // c001 (painted green all over), c002 (the source), c003 (the target, opened) and c004 (painted
    // green too): only the document just before the target's name has the right colours.
    void WriteCut()
    {
        SCel wrong = Source();
        for (std::int32_t y = 0; y < Height; ++y)
            for (std::int32_t x = 0; x < Width; ++x)
                if (cel_values::IsPainted(wrong.paint.Row32(y)[x]))
                    SetPixel(wrong.paint, x, y, 0xFF00FF00u);
        Save(wrong, In("c001.hdq"));
        Save(Source(), In("c002.hdq"));
        Save(Target(), In("c003.hdq"));
        Save(wrong, In("c004.hdq"));
        ASSERT_EQ(c.Open(SString(In("c003.hdq"))), 0u);
    }
    std::uint32_t PaintAt(SPoint p) const { return c.Cel().paint.Row32(p.y)[p.x]; }
    void ExpectLeftRegionsAreTheNewBoxes() const;
};

void CarryCommands::ExpectLeftRegionsAreTheNewBoxes() const
{
    ASSERT_EQ(c.LeftRegions().size(), NewBoxes.size());
    for (std::size_t i = 0; i < NewBoxes.size(); ++i) {
        const SLeftRegion& region = c.LeftRegions()[i];
        const SRect inside = NewBoxes[i].Offset(Shift.x, Shift.y).Deflate(2, 2);
        EXPECT_EQ(region.bounds, inside) << i;
        EXPECT_TRUE(inside.Contains(region.seed)) << i;
        // The rows cover the region exactly: each row once, nothing outside.
        std::int64_t area = 0;
        for (const SRect& row : region.rows) {
            EXPECT_EQ(row.Height(), 1);
            EXPECT_EQ(row.Intersect(inside), row) << i;
            area += row.Width();
        }
        EXPECT_EQ(area, std::int64_t(inside.Width()) * inside.Height()) << i;
    }
}

TEST_F(CarryCommands, PreviousCelsColoursArriveAsOneUndoStepThatRestoresThePaintExactly)
{
    WriteCut();
    const std::vector<std::uint32_t> before = Pixels(c.Cel().paint);

    ASSERT_EQ(c.CarryFromPrevious(), 0u);
    for (std::size_t i = 0; i < Boxes().size(); ++i)
        EXPECT_EQ(PaintAt(InsideBox(i)), Boxes()[i].colour) << "box " << i;
    for (const SRect& box : NewBoxes)
        EXPECT_EQ(PaintAt({box.left + Shift.x + 3, box.top + Shift.y + 3}), cel_values::Unpainted);
    EXPECT_EQ(c.LastCarry().painted, std::int32_t(Boxes().size()));
    EXPECT_EQ(c.LastCarry().left, std::int32_t(NewBoxes.size()));
    ExpectLeftRegionsAreTheNewBoxes();
    EXPECT_EQ(c.State(), SDocumentState::Modified);
    EXPECT_EQ(c.Path(), SString(In("c003.hdq")));
    // The display shows the paint at once.
    EXPECT_EQ(c.Cel().display.Row32(InsideBox(0).y)[InsideBox(0).x] & 0xFFFFFFu, Boxes()[0].colour & 0xFFFFFFu);

    // The source was read while the progress box showed.
    ASSERT_EQ(seam.Waits().size(), 1u);
    EXPECT_EQ(seam.Waits()[0].message, "色を写しています");
    EXPECT_EQ(seam.Waits()[0].fileLine, "c002.hdq");
    EXPECT_TRUE(seam.Waits()[0].hadProgress);

    EXPECT_EQ(c.UndoMenuCaption(), SString("色を写すを元に戻す(&U)"));
    const std::vector<std::uint32_t> carried = Pixels(c.Cel().paint);
    c.Undo();
    EXPECT_EQ(Pixels(c.Cel().paint), before);
    EXPECT_FALSE(c.UndoBuffer().CanUndo());
    EXPECT_TRUE(c.LeftRegions().empty());
    c.Redo();
    EXPECT_EQ(Pixels(c.Cel().paint), carried);
    EXPECT_TRUE(c.LeftRegions().empty());
}

TEST_F(CarryCommands, ACarryWithNothingLeftToPaintAddsNoUndoStepButListsTheLeftRegionsAgain)
{
    WriteCut();
    ASSERT_EQ(c.CarryFromPrevious(), 0u);
    c.MarkSaved();
    ASSERT_EQ(c.CarryFromPrevious(), 0u);
    EXPECT_EQ(c.LastCarry().painted, 0);
    EXPECT_EQ(c.LastCarry().left, std::int32_t(NewBoxes.size()));
    ExpectLeftRegionsAreTheNewBoxes();
    EXPECT_EQ(c.State(), SDocumentState::Saved);
    c.Undo();
    EXPECT_FALSE(c.UndoBuffer().CanUndo());
}

TEST_F(CarryCommands, FailuresLeaveTheCelItsUndoStepsAndTheLastMarksAsTheyWere)
{
    WriteCut();
    // An edit with an undo step of its own, then a carry whose marks a failure must keep.
    c.MouseDown(ToolTracePen, {1, 1});
    c.MouseUp();
    ASSERT_EQ(c.CarryFrom(SString(In("c002.hdq"))), 0u);
    ASSERT_FALSE(c.LeftRegions().empty());

    Save(Drawing({0, 0}, true, {}, Width + 10, Height), In("wide.hdq"));
    Save(Drawing({0, 0}, false), In("unpainted.hdq"));
    std::ofstream(In("text.hdq")) << "a text file named like a document";
    fs::copy_file(In("c002.hdq"), In("cut.hdq"));
    fs::resize_file(In("cut.hdq"), fs::file_size(In("cut.hdq")) / 2);

    struct Case
    {
        const char* file;
        const char* error;  // empty: any error
    };
    const Case cases[] = {
        {"wide.hdq", "carry_size"},
        {"unpainted.hdq", "carry_unpainted"},
        {"text.hdq", ""},
        {"cut.hdq", ""},
        {"missing.hdq", ""},
    };
    for (const Case& failing : cases) {
        const Snapshot before(c);
        const SError err = c.CarryFrom(SString(In(failing.file)));
        EXPECT_NE(err, 0u) << failing.file;
        if (*failing.error) {
            EXPECT_EQ(Id(err), failing.error) << failing.file;
        }
        EXPECT_TRUE(Snapshot(c) == before) << failing.file;
    }
    EXPECT_EQ(seam.BoxCount(), 0u);  // the window shows the error

    // An abort in the progress box is a failure like the others.
    seam.AbortConversions(0);
    const Snapshot before(c);
    EXPECT_EQ(Id(c.CarryFromPrevious()), "abort");
    EXPECT_TRUE(Snapshot(c) == before);
}

TEST_F(CarryCommands, WithoutAPreviousDocumentOrACelNothingHappens)
{
    // The first document of the folder.
    Save(Target(), In("a.hdq"));
    Save(Source(), In("b.hdq"));
    ASSERT_EQ(c.Open(SString(In("a.hdq"))), 0u);
    Snapshot before(c);
    EXPECT_EQ(Id(c.CarryFromPrevious()), "carry_no_previous");
    EXPECT_TRUE(Snapshot(c) == before);

    // A cel that was never saved has no folder to look in.
    const SBitmap scan = OutlinedScan(40, 30, 6);
    ASSERT_EQ(WritePngFile(&scan, SString(In("scan.png"))), 0u);
    ASSERT_EQ(c.Import(SString(In("scan.png")), false), 0u);
    const std::size_t importWaits = seam.Waits().size();
    before = Snapshot(c);
    EXPECT_EQ(Id(c.CarryFromPrevious()), "carry_no_previous");
    EXPECT_TRUE(Snapshot(c) == before);

    // No cel at all: no dialog.
    ASSERT_EQ(c.Clear(), 0u);
    EXPECT_EQ(c.CarryFromPrevious(), 0u);
    EXPECT_EQ(c.CarryFrom(SString()), 0u);
    EXPECT_TRUE(seam.FileRequests().empty());
    EXPECT_EQ(seam.Waits().size(), importWaits);
}

TEST_F(CarryCommands, TheDialogOpensAtThePreviousDocumentAndItsCancelChangesNothing)
{
    WriteCut();
    seam.QueueFileCancel();
    const Snapshot before(c);
    EXPECT_EQ(Id(c.CarryFrom(SString())), "cancel");
    EXPECT_TRUE(Snapshot(c) == before);
    ASSERT_EQ(seam.FileRequests().size(), 1u);
    const SFileDialogRequest request = seam.FileRequests()[0];
    EXPECT_EQ(request.mode, SFileDialogRequest::Mode::Open);
    EXPECT_EQ(request.title, "色を写すセルの選択");
    EXPECT_EQ(request.initialFile, In("c002.hdq"));
    EXPECT_FALSE(request.multiple);

    // A document further back may be chosen.
    seam.QueueFileChoice({In("c001.hdq")});
    ASSERT_EQ(c.CarryFrom(SString()), 0u);
    EXPECT_EQ(PaintAt(InsideBox(0)), 0xFF00FF00u);
    EXPECT_EQ(seam.Waits().back().fileLine, "c001.hdq");
}

TEST_F(CarryCommands, LeftRegionsAreSteppedThroughUntilTheLayersChange)
{
    WriteCut();
    EXPECT_FALSE(ControlStates(c, main_refresh::EditMenu)["MenuNextLeftRegion"].enabled);
    EXPECT_TRUE(ControlStates(c, main_refresh::EditMenu)["MenuCarryPrevious"].enabled);
    EXPECT_EQ(c.StepLeftRegion(), -1);

    ASSERT_EQ(c.CarryFromPrevious(), 0u);
    EXPECT_TRUE(ControlStates(c, main_refresh::EditMenu)["MenuNextLeftRegion"].enabled);
    EXPECT_EQ(c.CurrentLeftRegion(), -1);
    EXPECT_EQ(c.StepLeftRegion(), 0);
    EXPECT_EQ(c.StepLeftRegion(), 1);
    EXPECT_EQ(c.StepLeftRegion(), 0);
    EXPECT_EQ(c.CurrentLeftRegion(), 0);

    // Showing and hiding layers is no edit.
    c.ToggleLayer(LayerTrace);
    c.ToggleLayer(LayerTrace);
    EXPECT_EQ(c.LeftRegions().size(), NewBoxes.size());

    // Every edit of the layers drops them: a tool, a whole-cel command, another cel.
    c.MouseDown(ToolPaint, InsideBox(1));
    c.MouseUp();
    EXPECT_TRUE(c.LeftRegions().empty());
    EXPECT_EQ(c.CurrentLeftRegion(), -1);
    EXPECT_FALSE(ControlStates(c, main_refresh::EditMenu)["MenuNextLeftRegion"].enabled);

    ASSERT_EQ(c.CarryFromPrevious(), 0u);
    ASSERT_FALSE(c.LeftRegions().empty());
    c.RunWholeCel(SWholeCelOperation::FillTrace);
    EXPECT_TRUE(c.LeftRegions().empty());

    ASSERT_EQ(c.CarryFromPrevious(), 0u);
    ASSERT_FALSE(c.LeftRegions().empty());
    c.MarkSaved();
    ASSERT_EQ(c.Open(SString(In("c002.hdq"))), 0u);
    EXPECT_TRUE(c.LeftRegions().empty());
}

}  // namespace
