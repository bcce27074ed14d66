// The reference-image list and the under layer, driven through the controller with real picture
// files in a scratch folder and the scripted seam answering the dialogs.
#include "../convert/ScanFixture.h"
#include "../document/CelFixture.h"
#include "ControllerFolder.h"
#include "ControllerEdits.h"
#include "SHuedraneController.h"
#include "SMainWindowRules.h"
#include "SScriptedPlatform.h"
#include "Sximage.h"
#include "Sxpng.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

using namespace ulib;
using ulib::test::SScriptedPlatform;
namespace fs = std::filesystem;

namespace {

using Step = SScriptedPlatform::ListStep;

class ReferenceCommands : public ControllerFolder
{
protected:
    // A 6 x 4 picture of one colour; the shade tells the files apart once loaded.
    SString WritePicture(const std::string& name, std::uint8_t shade)
    {
        SBitmap picture;
        picture.Create(6, 4, 24);
        picture.FillRect(SColor(shade, 0, 0));
        const SString file(In(name));
        const bool png = name.size() > 4 && name.substr(name.size() - 4) == ".png";
        EXPECT_EQ(png ? WritePngFile(&picture, file) : WriteBmpFile(picture, file), 0u);
        return file;
    }
    // The list r0 .. r<count-1>, shades 10, 20, ..., with the entry at index current.
    void MakeList(std::int32_t count, std::int32_t current)
    {
        SArray<SString> list;
        for (std::int32_t i = 0; i < count; ++i)
            list.Append(WritePicture("r" + std::to_string(i) + (i % 2 ? ".png" : ".bmp"), std::uint8_t(10 * (i + 1))));
        c.SetReferenceList(list);
        c.SetReferenceIndex(current);
        ASSERT_EQ(c.LoadReference(), 0u);
    }
    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (const SString& path : c.ReferenceList())
            names.push_back(fs::path(path.Str()).filename().string());
        return names;
    }
    // The shade of the loaded reference picture, -1 when none is loaded.
    int LoadedShade() const { return c.ReferenceImage().IsEmpty() ? -1 : c.ReferenceImage().GetColor(0, 0).r; }
};

TEST_F(ReferenceCommands, RememberedListLoadsItsFirstPictureWithoutMessages)
{
    const SString first = WritePicture("first.png", 30), second = WritePicture("second.bmp", 40);
    c.SetReferenceIndex(1);
    c.SetReferenceList(SArray<SString>{first, second});
    EXPECT_EQ(c.ReferenceIndex(), 0);
    EXPECT_EQ(LoadedShade(), 30);

    // A picture gone since the last run: nothing shown, nothing dropped.
    c.SetReferenceList(SArray<SString>{SString(In("gone.png")), second});
    EXPECT_EQ(LoadedShade(), -1);
    EXPECT_EQ(c.ReferenceList().Count(), 2);
    EXPECT_EQ(seam.BoxCount(), 0u);
}

TEST_F(ReferenceCommands, AddedFilesGoBeforeTheCurrentEntryAndTheFirstOfThemIsLoaded)
{
    MakeList(5, 1);
    const SString a = WritePicture("a.png", 200), b = WritePicture("b.bmp", 210), d = WritePicture("d.png", 220);

    seam.QueueFileChoice({a.Str(), b.Str(), d.Str()});
    ASSERT_EQ(c.AppendReferences(), 0u);
    const SFileDialogRequest request = seam.FileRequests().back();
    EXPECT_EQ(request.title, "参照画像の読み込み");
    EXPECT_TRUE(request.multiple);
    ASSERT_FALSE(request.filters.empty());
    EXPECT_EQ(request.filters[0].first, "対応している画像ファイル");
    EXPECT_EQ(Names(), (std::vector<std::string>{"r0.bmp", "a.png", "b.bmp", "d.png", "r1.png", "r2.bmp", "r3.png", "r4.bmp"}));
    EXPECT_EQ(c.ReferenceIndex(), 1);
    EXPECT_EQ(LoadedShade(), 200);

    // Cancel adds nothing and reports nothing.
    seam.QueueFileCancel();
    EXPECT_EQ(c.AppendReferences(), 0u);
    EXPECT_EQ(c.ReferenceList().Count(), 8);
    EXPECT_EQ(LoadedShade(), 200);
    EXPECT_EQ(seam.BoxCount(), 0u);

    // Into an empty list at 0, whatever stale index was left.
    c.SetReferenceList({});
    c.SetReferenceIndex(3);
    ASSERT_EQ(c.PutReferences({b}), 0u);
    EXPECT_EQ(Names(), (std::vector<std::string>{"b.bmp"}));
    EXPECT_EQ(c.ReferenceIndex(), 0);
    EXPECT_EQ(LoadedShade(), 210);
}

TEST_F(ReferenceCommands, AnUnreadableAddedFileIsDroppedAndItsErrorReturned)
{
    MakeList(3, 1);
    std::ofstream(In("junk.png")) << "not a picture";
    const SString missing(In("missing.bmp"));

    EXPECT_NE(c.PutReferences({SString(In("junk.png"))}), 0u);
    EXPECT_EQ(Names(), (std::vector<std::string>{"r0.bmp", "r1.png", "r2.bmp"}));
    EXPECT_EQ(c.ReferenceIndex(), 1);
    EXPECT_EQ(LoadedShade(), 20);  // the entry that was current before is loaded again

    EXPECT_EQ(Id(c.PutReferences({missing})), "file_not_found");
    EXPECT_EQ(c.ReferenceList().Count(), 3);
    EXPECT_EQ(seam.BoxCount(), 0u);  // returned for the window to show, not shown here
}

TEST_F(ReferenceCommands, MovingWrapsAroundAndAnEmptyListIsDisabled)
{
    MakeList(3, 2);
    EXPECT_EQ(c.MoveReference(+1), 0u);
    EXPECT_EQ(c.ReferenceIndex(), 0);
    EXPECT_EQ(LoadedShade(), 10);
    EXPECT_EQ(c.MoveReference(-1), 0u);
    EXPECT_EQ(c.ReferenceIndex(), 2);
    EXPECT_EQ(LoadedShade(), 30);
    EXPECT_EQ(c.MoveReference(-1), 0u);
    EXPECT_EQ(c.ReferenceIndex(), 1);
    EXPECT_EQ(c.MoveReference(0), 0u);
    EXPECT_EQ(c.ReferenceIndex(), 1);
    EXPECT_EQ(LoadedShade(), 20);

    c.SetReferenceList({});
    EXPECT_EQ(Id(c.MoveReference(+1)), "object_disabled");
    EXPECT_TRUE(c.ReferenceImage().IsEmpty());
    EXPECT_EQ(c.ReferenceIndex(), 0);
    EXPECT_EQ(Id(c.LoadReference()), "object_disabled");
}

TEST_F(ReferenceCommands, AFileDeletedOnDiskIsShownOnceDroppedAndTheNextLoaded)
{
    MakeList(4, 1);
    fs::remove(c.ReferenceList()[1].Str());
    EXPECT_EQ(c.MoveReference(0), 0u);  // already shown: the window must not show it again
    ASSERT_EQ(seam.BoxCount(), 1u);
    EXPECT_EQ(Names(), (std::vector<std::string>{"r0.bmp", "r2.bmp", "r3.png"}));
    EXPECT_EQ(c.ReferenceIndex(), 1);
    EXPECT_EQ(LoadedShade(), 30);

    // Moving onto a missing last entry drops it; the index wraps to the first, which loads. The
    // unreadable entries met while removing are dropped without a box.
    fs::remove(c.ReferenceList()[2].Str());
    EXPECT_EQ(c.MoveReference(+1), 0u);
    EXPECT_EQ(seam.BoxCount(), 2u);
    EXPECT_EQ(Names(), (std::vector<std::string>{"r0.bmp", "r2.bmp"}));
    EXPECT_EQ(c.ReferenceIndex(), 0);
    EXPECT_EQ(LoadedShade(), 10);

    fs::remove(c.ReferenceList()[0].Str());
    fs::remove(c.ReferenceList()[1].Str());
    EXPECT_EQ(c.MoveReference(+1), 0u);
    EXPECT_EQ(seam.BoxCount(), 3u);
    EXPECT_TRUE(c.ReferenceList().IsEmpty());
    EXPECT_TRUE(c.ReferenceImage().IsEmpty());
}

TEST_F(ReferenceCommands, RemovingTheCurrentEntryLoadsTheNextOrFreesTheImage)
{
    MakeList(3, 2);
    c.RemoveReference();  // the last one: the index returns to the first entry
    EXPECT_EQ(Names(), (std::vector<std::string>{"r0.bmp", "r1.png"}));
    EXPECT_EQ(c.ReferenceIndex(), 0);
    EXPECT_EQ(LoadedShade(), 10);

    fs::remove(c.ReferenceList()[1].Str());
    c.RemoveReference();  // r1 is unreadable and goes too, silently
    EXPECT_TRUE(c.ReferenceList().IsEmpty());
    EXPECT_TRUE(c.ReferenceImage().IsEmpty());
    EXPECT_EQ(seam.BoxCount(), 0u);
    c.RemoveReference();
    EXPECT_TRUE(c.ReferenceList().IsEmpty());
}

TEST_F(ReferenceCommands, TheListDialogKeepsTheCurrentPathCurrentOrFallsBackToTheFirst)
{
    MakeList(4, 2);
    // Deleting a row before the current one keeps r2 current at its new position.
    seam.QueueFileListSteps({{Step::Action::Delete, {0}}, {Step::Action::Ok, {}}});
    ASSERT_EQ(c.EditReferenceList(), 0u);
    ASSERT_EQ(seam.FileListRequests().size(), 1u);
    EXPECT_EQ(seam.FileListRequests()[0].caption, "参照画像の一覧");
    EXPECT_EQ(seam.FileListRequests()[0].rows.size(), 4u);
    EXPECT_EQ(Names(), (std::vector<std::string>{"r1.png", "r2.bmp", "r3.png"}));
    EXPECT_EQ(c.ReferenceIndex(), 1);
    EXPECT_EQ(LoadedShade(), 30);

    // Inserting through the dialog's own open dialog, then deleting the current entry: index 0.
    const SString e = WritePicture("e.png", 99);
    seam.QueueFileChoice({e.Str()});
    seam.QueueFileListSteps({{Step::Action::Insert, {}}, {Step::Action::Delete, {1}}, {Step::Action::Ok, {}}});
    ASSERT_EQ(c.EditReferenceList(), 0u);
    EXPECT_EQ(Names(), (std::vector<std::string>{"r1.png", "r3.png", "e.png"}));
    EXPECT_EQ(c.ReferenceIndex(), 0);
    EXPECT_EQ(LoadedShade(), 20);

    // Cancel changes nothing.
    seam.QueueFileListSteps({{Step::Action::Delete, {0, 1, 2}}, {Step::Action::Cancel, {}}});
    EXPECT_EQ(c.EditReferenceList(), 0u);
    EXPECT_EQ(c.ReferenceList().Count(), 3);

    // A current entry that no longer loads: the image is freed, the error returned, the entry kept.
    fs::remove(c.ReferenceList()[0].Str());
    seam.QueueFileListSteps({{Step::Action::Ok, {}}});
    EXPECT_EQ(Id(c.EditReferenceList()), "file_not_found");
    EXPECT_TRUE(c.ReferenceImage().IsEmpty());
    EXPECT_EQ(c.ReferenceList().Count(), 3);

    // Emptied: the image is freed and the index returns to 0.
    ASSERT_EQ(c.MoveReference(+1), 0u);
    ASSERT_FALSE(c.ReferenceImage().IsEmpty());
    seam.QueueFileListSteps({{Step::Action::Delete, {0, 1, 2}}, {Step::Action::Ok, {}}});
    EXPECT_EQ(c.EditReferenceList(), 0u);
    EXPECT_TRUE(c.ReferenceList().IsEmpty());
    EXPECT_EQ(c.ReferenceIndex(), 0);
    EXPECT_TRUE(c.ReferenceImage().IsEmpty());
}

TEST_F(ReferenceCommands, ExportToReferenceListsTheExportedPictureAndItsCancelIsSilent)
{
    SBitmap scan = OutlinedScan(40, 30, 6);
    ASSERT_EQ(WritePngFile(&scan, SString(In("scan.png"))), 0u);
    ASSERT_EQ(c.Import(SString(In("scan.png")), false), 0u);
    MakeList(2, 1);
    EditOptions(c, [&](SHuedraneOptions& o) { o.exportFormat = 1; });
    const std::size_t boxes = seam.BoxCount();

    seam.QueueFileCancel();
    EXPECT_EQ(c.ExportToReference(), 0u);
    EXPECT_EQ(seam.BoxCount(), boxes);
    EXPECT_EQ(Names(), (std::vector<std::string>{"r0.bmp", "r1.png"}));
    EXPECT_EQ(c.ReferenceIndex(), 1);
    EXPECT_EQ(LoadedShade(), 20);

    seam.QueueFileChoice({In("out.png")});
    ASSERT_EQ(c.ExportToReference(), 0u);
    EXPECT_EQ(seam.FileRequests().back().title, "ファイルのエクスポート");
    EXPECT_EQ(Names(), (std::vector<std::string>{"r0.bmp", "out.png", "r1.png"}));
    EXPECT_EQ(c.ReferenceIndex(), 1);
    EXPECT_EQ(c.ReferenceImage().Dimensions(), (SPoint{40, 30}));
    EXPECT_TRUE(fs::exists(In("out.png")));
}

TEST_F(ReferenceCommands, PickingTakesThePixelOrSelectsTheEraser)
{
    SBitmap picture;
    picture.Create(3, 1, 32);
    SetPixel(picture, 0, 0, 0xFF102030u);  // opaque
    SetPixel(picture, 1, 0, 0x80405060u);  // half transparent
    SetPixel(picture, 2, 0, 0x00708090u);  // fully transparent
    c.SetReferenceImage(std::move(picture));
    c.SetColourMode(SColourMode::Bitmap);

    EXPECT_TRUE(c.PickReferenceColour({0, 0}));
    EXPECT_EQ(c.Tools().colourMode, SColourMode::Colour);
    EXPECT_EQ(c.Tools().currentColour, SColor(0x10, 0x20, 0x30, 0));
    EXPECT_TRUE(c.PickReferenceColour({1, 0}));
    EXPECT_EQ(c.Tools().currentColour, SColor(0x40, 0x50, 0x60, 0x7F));
    EXPECT_TRUE(c.PickReferenceColour({2, 0}));
    EXPECT_EQ(c.Tools().colourMode, SColourMode::Eraser);
    EXPECT_EQ(c.Tools().currentColour, SColor(0x40, 0x50, 0x60, 0x7F));  // the colour stays

    // Outside the picture nothing is picked: the point does not wrap.
    for (SPoint outside : {SPoint{3, 0}, SPoint{-1, 0}, SPoint{0, 1}}) {
        EXPECT_FALSE(c.PickReferenceColour(outside));
        EXPECT_EQ(c.Tools().colourMode, SColourMode::Eraser);
    }
    c.SetReferenceImage({});
    EXPECT_FALSE(c.PickReferenceColour({0, 0}));
}

TEST_F(ReferenceCommands, ReferenceZoomStepsAndClamps)
{
    for (int i = 0; i < 6; ++i)
        c.ZoomReference(+1);
    EXPECT_EQ(c.ReferenceZoom(), 4);
    c.ZoomReference(0);
    EXPECT_EQ(c.ReferenceZoom(), 0);
    for (int i = 0; i < 6; ++i)
        c.ZoomReference(-1);
    EXPECT_EQ(c.ReferenceZoom(), -4);
}

TEST_F(ReferenceCommands, BitmapModeFillsFromTheReferenceAndErasesWithoutOne)
{
    SBitmap scan = OutlinedScan(40, 30, 6);
    ASSERT_EQ(WritePngFile(&scan, SString(In("scan.png"))), 0u);
    ASSERT_EQ(c.Import(SString(In("scan.png")), false), 0u);
    const SPoint inside{20, 15};
    auto fill = [this, inside] {
        c.MouseDown(ToolPaint, inside);
        c.MouseUp();
        return c.Cel().paint.Row32(inside.y)[inside.x];
    };

    c.SetColourMode(SColourMode::Colour);
    c.SetCurrentColour(SColor(1, 2, 3));
    EXPECT_EQ(fill(), 0xFF010203u);

    ASSERT_EQ(c.PutReferences({WritePicture("blue.png", 0)}), 0u);
    SBitmap blue = c.ReferenceImage();
    blue.FillRect(SColor(0, 0, 200));
    c.SetReferenceImage(std::move(blue));
    c.SetColourMode(SColourMode::Bitmap);
    EXPECT_EQ(fill(), 0xFF0000C8u);

    c.RemoveReference();
    ASSERT_TRUE(c.ReferenceImage().IsEmpty());
    EXPECT_EQ(fill(), cel_values::Unpainted);
}

// ---- The under layer ----

TEST_F(ReferenceCommands, LoadingTheUnderLayerShowsItWhereNoLayerCoversIt)
{
    c.TakeCel(MakeCel(8, 8));
    c.SetLayerSwitch(LayerGenga, false);
    SetPixel(c.PaintContext().cel.paint, 2, 2, 0xFF112233u);
    c.PaintContext().cel.ComposeAll();
    EXPECT_FALSE(ControlStates(c, main_refresh::LayerMenu)["MenuUnderLayer"].enabled);

    seam.QueueFileChoice({WritePicture("under.png", 77).Str()});
    ASSERT_EQ(c.LoadUnderLayer(SString()), 0u);
    EXPECT_EQ(seam.FileRequests().back().title, "下敷きレイヤーの読み込み");
    EXPECT_FALSE(seam.FileRequests().back().multiple);
    EXPECT_TRUE(c.Cel().visible[LayerUnder]);
    EXPECT_EQ(c.Cel().display.Row32(1)[1], 0xFF4D0000u);  // the under picture
    EXPECT_EQ(c.Cel().display.Row32(2)[2], 0xFF112233u);  // paint covers it
    EXPECT_EQ(c.Cel().display.Row32(6)[6], 0u);           // beyond the 6 x 4 picture: nothing
    SControlStates states = ControlStates(c, main_refresh::LayerMenu);
    EXPECT_TRUE(states["MenuUnderLayer"].enabled);
    EXPECT_TRUE(states["MenuUnderLayer"].checked);
    EXPECT_TRUE(states["MenuDestroyUnderLayer"].enabled);

    // The dialog's cancel keeps what is loaded.
    seam.QueueFileCancel();
    EXPECT_EQ(c.LoadUnderLayer(SString()), 0u);
    EXPECT_FALSE(c.Cel().under.IsEmpty());

    c.DestroyUnderLayer();
    EXPECT_TRUE(c.Cel().under.IsEmpty());
    EXPECT_FALSE(c.Cel().visible[LayerUnder]);
    EXPECT_EQ(c.Cel().display.Row32(1)[1], 0u);
    states = ControlStates(c, main_refresh::LayerMenu);
    EXPECT_FALSE(states["MenuUnderLayer"].enabled);
    EXPECT_FALSE(states["MenuUnderLayer"].checked);
    EXPECT_FALSE(states["MenuDestroyUnderLayer"].enabled);
}

TEST_F(ReferenceCommands, AnUnreadableOrEmptyUnderLayerPictureFreesTheLayer)
{
    c.TakeCel(MakeCel(8, 8));
    c.SetLayerSwitch(LayerGenga, false);
    ASSERT_EQ(c.LoadUnderLayer(WritePicture("under.bmp", 77)), 0u);

    std::ofstream(In("junk.png")) << "not a picture";
    EXPECT_NE(c.LoadUnderLayer(SString(In("junk.png"))), 0u);
    EXPECT_TRUE(c.Cel().under.IsEmpty());
    EXPECT_EQ(c.Cel().display.Row32(1)[1], 0u);  // recomposed without it
    EXPECT_FALSE(ControlStates(c, main_refresh::LayerMenu)["MenuUnderLayer"].enabled);

    ASSERT_EQ(c.LoadUnderLayer(WritePicture("under.bmp", 77)), 0u);
    SBitmap nothing;
    nothing.Create(0, 0, 24);
    ASSERT_EQ(WriteBmpFile(nothing, SString(In("empty.bmp"))), 0u);
    EXPECT_EQ(Id(c.LoadUnderLayer(SString(In("empty.bmp")))), "nodata");
    EXPECT_TRUE(c.Cel().under.IsEmpty());
    EXPECT_EQ(c.Cel().display.Row32(1)[1], 0u);
}

}  // namespace
