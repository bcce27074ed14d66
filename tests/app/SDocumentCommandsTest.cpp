// The document commands driven as the main window drives them, with every question and file
// dialog answered by the scripted seam, on files in a temporary folder.
#include "../convert/ScanFixture.h"
#include "../document/CelFixture.h"
#include "ControllerFolder.h"
#include "SDocumentFile.h"
#include "SDocumentNeighbours.h"
#include "ControllerEdits.h"
#include "SHuedraneController.h"
#include "SScriptedPlatform.h"
#include "Sximage.h"
#include "Sxpng.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

using namespace ulib;
using ulib::test::ScopedPlatform;
using ulib::test::SScriptedPlatform;
namespace fs = std::filesystem;

namespace {

// A cel as an import leaves it, ready to be saved: genga held in stored form, a painted pixel.
SCel SaveableCel(std::int32_t width, std::int32_t height, std::uint8_t shade)
{
    SCel cel = MakeCel(width, height);
    cel.trace.FillRect(SColor::FromPixel(0));  // no line, in the form import writes it
    cel.genga.SetColor(1, 1, SColor(shade, 10, 20));
    cel.held.Clear();
    EXPECT_EQ(cel.held.Append(cel.genga), 0u);
    SetPixel(cel.paint, 2, 2, 0xFF000000u | shade);
    cel.ComposeAll();
    return cel;
}

class DocumentCommands : public ControllerFolder
{
protected:
    SString WriteDocument(const std::string& name, std::uint8_t shade = 100, std::int32_t size = 8)
    {
        const SString file(In(name));
        EXPECT_EQ(SaveDocument(SaveableCel(size, size, shade), file), 0u);
        return file;
    }
    SString WriteScan(const std::string& name)
    {
        const SBitmap scan = OutlinedScan(40, 30, 6);
        const SString file(In(name));
        EXPECT_EQ(WritePngFile(&scan, file), 0u);
        return file;
    }
    // The shade SaveableCel painted into the paint layer of the working cel.
    std::uint32_t PaintedShade() const { return c.Cel().paint.Row32(2)[2] & 0xFF; }
    void ExpectCelUntouched(const SString& path, std::uint32_t edited, SPoint at = {1, 1}) const;
};

void ExpectUntitledEmptyCel(const SHuedraneController& c)
{
    EXPECT_EQ(c.State(), SDocumentState::None);
    EXPECT_TRUE(c.Path().IsEmpty());
    EXPECT_EQ(c.Title(), SString("無題 - Huedrane"));
    for (const SBitmap* layer : {&c.Cel().trace, &c.Cel().paint, &c.Cel().genga, &c.Cel().display, &c.Cel().flag})
        EXPECT_TRUE(layer->IsEmpty());
    EXPECT_FALSE(c.UndoBuffer().CanUndo());
}

// After a failed open or import: the edited cel at path, modified, with its undo step.
void DocumentCommands::ExpectCelUntouched(const SString& path, std::uint32_t edited, SPoint at) const
{
    EXPECT_EQ(c.Path(), path);
    EXPECT_EQ(c.State(), SDocumentState::Modified);
    EXPECT_EQ(c.Cel().trace.Row32(at.y)[at.x], edited);
    EXPECT_TRUE(c.UndoBuffer().CanUndo());
}

TEST_F(DocumentCommands, SaveAndSaveAsWithoutACelDoNothingAndShowNothing)
{
    EXPECT_EQ(Id(c.Save()), "cancel");
    EXPECT_EQ(Id(c.SaveAs()), "cancel");
    EXPECT_EQ(seam.BoxCount(), 0u);
    EXPECT_TRUE(seam.FileRequests().empty());
    EXPECT_TRUE(fs::is_empty(folder));
}

TEST_F(DocumentCommands, OpenTakesTheFilesIdentityAndABrokenFileLeavesTheCelAsItWas)
{
    const SString good = WriteDocument("good.hdq");
    seam.SetDisplayName(good.Str(), "good (shown)");
    seam.QueueFileChoice({good.Str()});
    ASSERT_EQ(c.Open(SString()), 0u);
    EXPECT_EQ(c.State(), SDocumentState::Saved);
    EXPECT_EQ(c.Path(), good);
    EXPECT_EQ(c.Title(), SString("good (shown) - Huedrane"));
    EXPECT_TRUE(c.DefaultFileName().IsEmpty());
    EXPECT_EQ(c.Cel().display.Width(), 8);
    EXPECT_EQ(c.History(), (SArray<SString>{good}));

    // The dialog opens at the current path; its cancel changes nothing.
    seam.QueueFileCancel();
    EXPECT_EQ(Id(c.Open(SString())), "cancel");
    EXPECT_EQ(seam.FileRequests().back().initialFile, good.Str());
    EXPECT_EQ(c.Path(), good);

    // Record 1 of another size than the container.
    SQuickPress list;
    ASSERT_EQ(PackDocument(SaveableCel(8, 8, 1), list), 0u);
    SBitmap small;
    small.Create(4, 4, 32);
    ASSERT_EQ(list[1].Compress(small), 0u);
    const SString broken(In("broken.hdq"));
    ASSERT_EQ(list.WriteFile(broken), 0u);
    // An edit the user chose not to save first: nothing new was opened, so it is still there.
    c.MouseDown(ToolTracePen, {1, 1});
    c.MouseUp();
    const std::uint32_t edited = c.Cel().trace.Row32(1)[1];
    seam.QueueAnswers({SBoxAnswer::No});
    EXPECT_EQ(Id(c.Open(broken)), "data");
    ExpectCelUntouched(good, edited);
    std::ofstream(In("text.hdq")) << "a text file named like a document";
    seam.QueueAnswers({SBoxAnswer::No});
    EXPECT_NE(c.Open(SString(In("text.hdq"))), 0u);
    ExpectCelUntouched(good, edited);
    EXPECT_EQ(c.History().Count(), 1);

    // The cel left in the window saves as it is.
    ASSERT_EQ(c.Save(), 0u);
    SCel saved;
    ASSERT_EQ(LoadDocument(saved, good), 0u);
    EXPECT_EQ(saved.trace.Row32(1)[1], edited);
}

TEST_F(DocumentCommands, AskToSaveAnswersYesNoAndCancel)
{
    const SString file = WriteDocument("cel.hdq", 100);
    ASSERT_EQ(c.Open(file), 0u);
    EXPECT_EQ(c.QueryClose(), 0u);  // unmodified: nothing asked
    EXPECT_EQ(seam.BoxCount(), 0u);

    c.MarkModified();
    SetPixel(c.PaintContext().cel.paint, 2, 2, 0xFF000000u | 55);
    seam.QueueAnswers({SBoxAnswer::Cancel});
    EXPECT_EQ(Id(c.Clear()), "cancel");
    EXPECT_EQ(seam.LastBox().style & box_style::IconMask, box_style::IconWarning);
    EXPECT_EQ(seam.LastBox().style & box_style::ButtonMask, box_style::YesNoCancel);
    EXPECT_EQ(c.State(), SDocumentState::Modified);
    EXPECT_EQ(PaintedShade(), 55u);

    // Yes with a path saves there without a dialog; the file then holds the change.
    seam.QueueAnswers({SBoxAnswer::Yes});
    EXPECT_EQ(c.QueryClose(), 0u);
    EXPECT_EQ(c.State(), SDocumentState::Saved);
    EXPECT_TRUE(seam.FileRequests().empty());
    SCel reread;
    ASSERT_EQ(LoadDocument(reread, file), 0u);
    EXPECT_EQ(reread.paint.Row32(2)[2] & 0xFF, 55u);

    // No drops the change; clear then gives the untitled cel.
    c.MarkModified();
    seam.QueueAnswers({SBoxAnswer::No});
    EXPECT_EQ(c.Clear(), 0u);
    ExpectUntitledEmptyCel(c);
    EXPECT_EQ(c.DefaultFileName(), SString("無題.hdq"));
}

TEST_F(DocumentCommands, YesWithoutAPathOffersTheDefaultNameAndItsCancelCancels)
{
    const SString scan = WriteScan("scan.png");
    ASSERT_EQ(c.Import(scan, true), 0u);
    c.MarkModified();
    seam.QueueAnswers({SBoxAnswer::Yes});
    seam.QueueFileCancel();
    EXPECT_EQ(Id(c.QueryClose()), "cancel");
    ASSERT_EQ(seam.FileRequests().size(), 1u);
    EXPECT_EQ(seam.FileRequests()[0].mode, SFileDialogRequest::Mode::Save);
    EXPECT_EQ(seam.FileRequests()[0].initialFile, In("scan.hdq"));
    EXPECT_EQ(c.State(), SDocumentState::Modified);

    seam.QueueAnswers({SBoxAnswer::Yes});
    seam.QueueFileChoice({In("kept.hdq")});
    EXPECT_EQ(c.QueryClose(), 0u);
    EXPECT_EQ(c.Path(), SString(In("kept.hdq")));
    EXPECT_EQ(c.State(), SDocumentState::Saved);
    EXPECT_TRUE(fs::exists(In("kept.hdq")));
}

TEST_F(DocumentCommands, ImportLeavesAnUntitledSavedCelOfferedUnderThePicturesName)
{
    const SString scan = WriteScan("scan.png");
    ASSERT_EQ(c.Open(WriteDocument("before.hdq")), 0u);
    c.MouseDown(ToolTracePen, {1, 1});
    c.MouseUp();
    ASSERT_TRUE(c.UndoBuffer().CanUndo());

    seam.QueueAnswers({SBoxAnswer::No});
    ASSERT_EQ(c.Import(scan, true), 0u);
    EXPECT_EQ(seam.BoxCount(), 1u);
    EXPECT_EQ(c.Title(), SString("無題 - Huedrane"));
    EXPECT_TRUE(c.Path().IsEmpty());
    EXPECT_EQ(c.State(), SDocumentState::Saved);
    EXPECT_EQ(c.DefaultFileName(), SString(In("scan.hdq")));
    EXPECT_EQ(c.Cel().display.Width(), 40);
    EXPECT_FALSE(c.UndoBuffer().CanUndo());
    ASSERT_EQ(seam.Waits().size(), 1u);
    EXPECT_EQ(seam.Waits()[0].message, "インポート処理中です");
    c.MarkModified();
    EXPECT_EQ(c.State(), SDocumentState::Modified);

    seam.QueueFileChoice({In("scan.hdq")});
    ASSERT_EQ(c.Save(), 0u);
    EXPECT_EQ(seam.FileRequests().back().initialFile, In("scan.hdq"));
    EXPECT_EQ(c.Title(), SString("scan.hdq - Huedrane"));
    EXPECT_TRUE(c.DefaultFileName().IsEmpty());

    // Pictures that cannot be read (a text file, a cut-short PNG) leave the cel, its name, its
    // state and its undo steps as they were.
    c.MouseDown(ToolTracePen, {2, 2});
    c.MouseUp();
    const std::uint32_t edited = c.Cel().trace.Row32(2)[2];
    std::ofstream(In("junk.png")) << "not a picture";
    const auto bytes = fs::file_size(scan.Str());
    fs::copy_file(scan.Str(), In("cut.png"));
    fs::resize_file(In("cut.png"), bytes / 2);
    for (const char* name : {"junk.png", "cut.png"}) {
        EXPECT_NE(c.Import(SString(In(name)), false), 0u) << name;
        ExpectCelUntouched(SString(In("scan.hdq")), edited, {2, 2});
        EXPECT_EQ(c.Cel().display.Width(), 40) << name;
    }
}

TEST_F(DocumentCommands, SaveWritesInPlaceAndSaveAsMovesTheDocument)
{
    const SString first = WriteDocument("first.hdq");
    ASSERT_EQ(c.Open(first), 0u);
    c.MarkModified();
    ASSERT_EQ(c.Save(), 0u);
    EXPECT_EQ(c.State(), SDocumentState::Saved);
    EXPECT_EQ(c.History().Count(), 1);  // the same path enters no second time
    EXPECT_TRUE(seam.FileRequests().empty());

    seam.QueueFileChoice({In("second.hdq")});
    ASSERT_EQ(c.SaveAs(), 0u);
    EXPECT_EQ(seam.FileRequests().back().initialFile, first.Str());
    EXPECT_EQ(c.Path(), SString(In("second.hdq")));
    EXPECT_EQ(c.Title(), SString("second.hdq - Huedrane"));
    EXPECT_EQ(c.History()[0], SString(In("second.hdq")));

    // A write that fails leaves state and path as they were.
    c.MarkModified();
    seam.QueueFileChoice({In("missing-folder/third.hdq")});
    EXPECT_NE(c.SaveAs(), 0u);
    EXPECT_EQ(c.State(), SDocumentState::Modified);
    EXPECT_EQ(c.Path(), SString(In("second.hdq")));
}

TEST_F(DocumentCommands, ExtraLayerAbsentFromTheFileIsCreatedOnlyWhenShownAndNotWrittenBack)
{
    const SString file = WriteDocument("plain.hdq");
    ASSERT_EQ(c.Open(file), 0u);
    ASSERT_EQ(c.Cel().extra.Width(), 8);
    for (std::int32_t y = 0; y < 8; ++y)
        for (std::int32_t x = 0; x < 8; ++x)
            ASSERT_EQ(c.Cel().extra.Row32(y)[x] >> 24, 0u);

    seam.QueueFileChoice({In("again.hdq")});
    ASSERT_EQ(c.SaveAs(), 0u);
    SQuickPress list;
    ASSERT_EQ(list.ReadFile(SString(In("again.hdq"))), 0u);
    EXPECT_EQ(list.Count(), 4);
    EXPECT_NE(list[3].kind, 1);

    c.SetLayerSwitch(LayerExtra, false);
    ASSERT_EQ(c.Open(file), 0u);
    EXPECT_TRUE(c.Cel().extra.IsEmpty());
}

TEST_F(DocumentCommands, HiddenGengaStaysUnloadedAndIsWrittenBackAsStored)
{
    const SString file = WriteDocument("genga.hdq", 77);
    SQuickPress stored;
    ASSERT_EQ(stored.ReadFile(file), 0u);
    c.SetLayerSwitch(LayerGenga, false);
    ASSERT_EQ(c.Open(file), 0u);
    EXPECT_TRUE(c.Cel().genga.IsEmpty());
    c.MarkModified();
    ASSERT_EQ(c.Save(), 0u);
    SQuickPress written;
    ASSERT_EQ(written.ReadFile(file), 0u);
    EXPECT_TRUE(written[0].Equals(stored[0]));
}

TEST_F(DocumentCommands, NextAndPreviousFollowTheCaseBlindNameOrder)
{
    WriteDocument("a.hdq", 1);
    const SString b = WriteDocument("B.hdq", 2);
    WriteDocument("c.hda", 3);
    fs::create_directory(In("bb.hdq"));  // a folder is no document
    std::ofstream(In("bc.txt")) << "x";
    ASSERT_EQ(c.Open(b), 0u);

    ASSERT_EQ(c.NextFile(+1), 0u);
    EXPECT_EQ(c.Path(), SString(In("c.hda")));
    ASSERT_EQ(c.NextFile(+1), 0u);  // the last: nothing happens
    EXPECT_EQ(c.Path(), SString(In("c.hda")));
    ASSERT_EQ(c.NextFile(-1), 0u);
    EXPECT_EQ(c.Path(), b);

    // A modified cel is saved before moving on, without a question.
    SetPixel(c.PaintContext().cel.paint, 2, 2, 0xFF000000u | 99);
    c.MarkModified();
    ASSERT_EQ(c.NextFile(-1), 0u);
    EXPECT_EQ(c.Path(), SString(In("a.hdq")));
    EXPECT_EQ(seam.BoxCount(), 0u);
    ASSERT_EQ(c.NextFile(-1), 0u);  // the first: nothing happens
    EXPECT_EQ(c.Path(), SString(In("a.hdq")));
    ASSERT_EQ(c.Open(b), 0u);
    EXPECT_EQ(PaintedShade(), 99u);
}

TEST_F(DocumentCommands, NextAfterAFailedSaveShowsTheErrorAndAsksBeforeDroppingTheChange)
{
    const SString b = WriteDocument("b.hdq");
    WriteDocument("c.hdq");
    ASSERT_EQ(c.Open(b), 0u);
    c.MarkModified();
    // The document's name is taken by a folder now: writing there fails.
    fs::remove(b.Str());
    fs::create_directory(b.Str());
    seam.QueueAnswers({SBoxAnswer::Ok, SBoxAnswer::Cancel});
    EXPECT_EQ(Id(c.NextFile(+1)), "cancel");
    ASSERT_EQ(seam.BoxCount(), 2u);
    EXPECT_EQ(seam.Boxes()[1].style & box_style::ButtonMask, box_style::YesNoCancel);
    EXPECT_EQ(c.Path(), b);
    EXPECT_EQ(c.State(), SDocumentState::Modified);
}

TEST(DocumentNames, CompareWithoutCaseThenByLengthThenByBytes)
{
    EXPECT_LT(CompareDocumentNames("a.hdq", "B.hdq"), 0);
    EXPECT_LT(CompareDocumentNames("B.hdq", "c.hda"), 0);
    EXPECT_LT(CompareDocumentNames("ab", "abc"), 0);
    EXPECT_LT(CompareDocumentNames("AB", "ab"), 0);
    EXPECT_EQ(CompareDocumentNames("ab", "ab"), 0);
    // Bytes above ASCII keep their value: no locale folds them.
    EXPECT_LT(CompareDocumentNames("z", "\xC3\xA9"), 0);
}

TEST_F(DocumentCommands, HistoryKeepsTenEntriesWithoutRemovingEqualOnes)
{
    std::vector<SString> files;
    for (int i = 0; i < 11; ++i) {
        files.push_back(WriteDocument("f" + std::to_string(i) + ".hdq"));
        ASSERT_EQ(c.Open(files.back()), 0u);
    }
    ASSERT_EQ(c.History().Count(), 10);
    EXPECT_EQ(c.History()[0], files[10]);
    EXPECT_EQ(c.History()[9], files[1]);
    ASSERT_EQ(c.Open(files[10]), 0u);
    EXPECT_EQ(c.History()[0], files[10]);
    EXPECT_EQ(c.History()[1], files[10]);
    EXPECT_EQ(c.History().Count(), 10);
}

TEST_F(DocumentCommands, BatchAsksBeforeOverwritingAndAnythingButYesCancels)
{
    WriteScan("x.png");
    WriteScan("y.png");
    std::ofstream(In("y.hdq")) << "old";
    seam.QueueFileChoice({In("x.png"), In("y.png")});
    seam.QueueAnswers({SBoxAnswer::No});
    EXPECT_EQ(Id(c.BatchImport({})), "cancel");
    ASSERT_EQ(seam.BoxCount(), 1u);
    EXPECT_EQ(seam.LastBox().text,
              In("y.hdq") + "など、1個のファイルが上書きされます。処理を続けてよろしいですか？");
    EXPECT_EQ(seam.LastBox().style & box_style::IconMask, box_style::IconQuestion);
    EXPECT_EQ(seam.LastBox().style & box_style::ButtonMask, box_style::YesNoCancel);
    EXPECT_TRUE(seam.FileRequests()[0].multiple);
    EXPECT_FALSE(fs::exists(In("x.hdq")));

    // Yes converts both; a cancelled dialog is success with nothing done.
    seam.QueueFileChoice({In("x.png"), In("y.png")});
    seam.QueueAnswers({SBoxAnswer::Yes});
    EXPECT_EQ(c.BatchImport({}), 0u);
    SQuickPress converted;
    EXPECT_EQ(converted.ReadFile(SString(In("y.hdq"))), 0u);
    EXPECT_TRUE(fs::exists(In("x.hdq")));
    seam.QueueFileCancel();
    EXPECT_EQ(c.BatchImport({}), 0u);

    // Export to bitmaps: two existing targets, the first named, the count of both.
    std::ofstream(In("x.bmp")) << "old";
    std::ofstream(In("y.bmp")) << "old";
    EditOptions(c, [&](SHuedraneOptions& o) { o.exportFormat = 0; });
    seam.QueueFileChoice({In("x.hdq"), In("y.hdq")});
    seam.QueueAnswers({SBoxAnswer::Cancel});
    EXPECT_EQ(Id(c.BatchExport({})), "cancel");
    EXPECT_EQ(seam.LastBox().text,
              In("x.bmp") + "など、2個のファイルが上書きされます。処理を続けてよろしいですか？");
    EXPECT_EQ(seam.FileRequests().back().filters[0],
              (std::pair<std::string, std::string>("Huedraneファイル(*.hdq)", "*.hdq;*.hda")));

    // A list passed in is converted without a question; JPEG has no batch target.
    const std::size_t boxes = seam.BoxCount();
    EXPECT_EQ(c.BatchExport({SString(In("x.hdq"))}), 0u);
    SBitmap written;
    EXPECT_EQ(ReadImageFile(&written, SString(In("x.bmp"))), 0u);
    EditOptions(c, [&](SHuedraneOptions& o) { o.exportFormat = 2; });
    seam.QueueFileChoice({In("x.hdq")});
    EXPECT_EQ(Id(c.BatchExport({})), "internal");
    EXPECT_EQ(seam.BoxCount(), boxes);
}

TEST_F(DocumentCommands, ExportOffersTheFormatsFilterAndRendersTheUnderLayer)
{
    ASSERT_EQ(c.Open(WriteDocument("cel.hdq", 100, 8)), 0u);
    EditOptions(c, [&](SHuedraneOptions& o) {
        o.exportFormat = 0;
        o.export24Bit = true;
        o.exportTargetLayers = 1;  // under layer, then the usual layers
    });
    c.PaintContext().cel.under.Create(4, 4, 24);
    c.PaintContext().cel.under.FillRect(SColor::Red);

    SString chosen("stale");
    seam.QueueFileCancel();
    EXPECT_EQ(c.Export(SString(), &chosen), 0u);
    EXPECT_TRUE(chosen.IsEmpty());
    const SFileDialogRequest request = seam.FileRequests().back();
    EXPECT_EQ(request.mode, SFileDialogRequest::Mode::Save);
    EXPECT_EQ(request.filters[0], (std::pair<std::string, std::string>("ビットマップイメージ(*.bmp)", "*.bmp")));
    EXPECT_EQ(request.initialFile, In("cel.bmp"));

    seam.QueueFileChoice({In("out.bmp")});
    ASSERT_EQ(c.Export(SString(), &chosen), 0u);
    EXPECT_EQ(chosen, SString(In("out.bmp")));
    SBitmap out;
    ASSERT_EQ(ReadImageFile(&out, chosen), 0u);
    ASSERT_EQ(out.Dimensions(), (SPoint{8, 8}));  // the document's size, not the under layer's
    EXPECT_EQ(out.GetColor(0, 0), SColor::Red);
    EXPECT_EQ(out.GetColor(6, 6), SColor::White);

    EditOptions(c, [&](SHuedraneOptions& o) { o.exportFormat = 1; });
    seam.QueueFileCancel();
    c.Export(SString(), nullptr);
    EXPECT_EQ(seam.FileRequests().back().filters[0], (std::pair<std::string, std::string>("PNGイメージ(*.png)", "*.png")));
    EXPECT_EQ(seam.FileRequests().back().initialFile, In("cel.png"));
}

TEST_F(DocumentCommands, ExportNeverProposesTheScanAndWarnsBeforeReplacingIt)
{
    const SString scan = WriteScan("socks.png");
    ASSERT_EQ(c.Import(scan, false), 0u);
    EditOptions(c, [&](SHuedraneOptions& o) { o.exportFormat = 1; });
    seam.QueueFileCancel();
    c.Export(SString(), nullptr);
    EXPECT_EQ(seam.FileRequests().back().initialFile, In("socks_export.png"));
    // Still after the cel was saved under the scan's name.
    seam.QueueFileChoice({In("socks.hdq")});
    ASSERT_EQ(c.Save(), 0u);
    seam.QueueFileCancel();
    c.Export(SString(), nullptr);
    EXPECT_EQ(seam.FileRequests().back().initialFile, In("socks_export.png"));

    // Picking the scan anyway asks again; anything but yes keeps it.
    const auto before = fs::file_size(scan.Str());
    SString chosen;
    seam.QueueFileChoice({scan.Str()});
    seam.QueueAnswers({SBoxAnswer::No});
    EXPECT_EQ(c.Export(SString(), &chosen), 0u);
    EXPECT_TRUE(chosen.IsEmpty());
    EXPECT_EQ(fs::file_size(scan.Str()), before);
    EXPECT_NE(seam.LastBox().text.find("socks.png"), std::string::npos);
    EXPECT_TRUE(seam.LastBox().style & box_style::IconWarning);
    seam.QueueFileChoice({scan.Str()});
    seam.QueueAnswers({SBoxAnswer::Yes});
    ASSERT_EQ(c.Export(SString(), &chosen), 0u);
    EXPECT_EQ(chosen, scan);

    // Opened again in a later run, the cel still knows its scan by the pixels.
    SHuedraneController later;
    ASSERT_EQ(later.Open(SString(In("socks.hdq"))), 0u);
    EditOptions(later, [&](SHuedraneOptions& o) { o.exportFormat = 1; });
    WriteScan("socks.png");  // the scan again, replaced by the export above
    seam.QueueFileCancel();
    later.Export(SString(), nullptr);
    EXPECT_EQ(seam.FileRequests().back().initialFile, In("socks_export.png"));

    // A picture that is not the cel's scan is proposed as usual.
    ASSERT_EQ(c.Open(WriteDocument("other.hdq")), 0u);
    WriteScan("other.png");
    seam.QueueFileCancel();
    c.Export(SString(), nullptr);
    EXPECT_EQ(seam.FileRequests().back().initialFile, In("other.png"));
}

}  // namespace
