#include "SFilePreview.h"

#include "ConversionFolder.h"

#include "SDocumentRecords.h"
#include "SQuickPress.h"
#include "Sxpng.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace ulib;

namespace {

class FilePreview : public ConversionFolder
{
protected:
    SFilePreview Read(const SString& path, std::int32_t box = 200)
    {
        SFilePreview preview;
        err = ReadFilePreview(path, box, preview);
        return preview;
    }
    static bool IsEmpty(const SFilePreview& p) { return p.picture.IsEmpty() && p.width == 0 && p.height == 0; }

    SError err = 0;
};

TEST_F(FilePreview, DocumentShowsItsStoredThumbnailAndItsSize)
{
    ASSERT_EQ(WriteBmpFile(OutlinedScan(400, 300, 40), Path("scan.bmp")), 0u);
    ASSERT_EQ(ImportImageFileToDocumentFile(Path("scan.bmp"), Path("cel.hdq"), SHuedraneOptions(), nullptr, nullptr), 0u);

    SFilePreview preview = Read(Path("cel.hdq"));
    ASSERT_EQ(err, 0u) << Id(err);
    EXPECT_EQ(preview.width, 400);
    EXPECT_EQ(preview.height, 300);
    // The 128-pixel thumbnail as stored: not enlarged to the box.
    ASSERT_EQ(preview.picture.Dimensions(), (SPoint{128, 96}));
    EXPECT_EQ(preview.picture.Format(), 24);
    EXPECT_EQ(preview.picture.GetColor(64, 48), SColor::White);
    // The outline 40 pixels in shows as a dark column near x = 13.
    std::uint8_t darkest = 255;
    for (std::int32_t x = 8; x < 20; ++x)
        darkest = std::min(darkest, preview.picture.GetColor(x, 48).g);
    EXPECT_LT(darkest, 160);

    // A smaller box shrinks the thumbnail, aspect kept.
    EXPECT_EQ(Read(Path("cel.hdq"), 64).picture.Dimensions(), (SPoint{64, 48}));
}

TEST_F(FilePreview, DocumentWithoutThumbnailGivesItsSizeAndAnOversizedRecordIsRefused)
{
    SQuickPress list;
    SBitmap layer;
    layer.Create(1500, 4, 24);
    ASSERT_EQ(list.Append(layer), 0u);
    ASSERT_EQ(list.WriteFile(Path("bare.hdq")), 0u);
    SFilePreview preview = Read(Path("bare.hdq"));
    EXPECT_EQ(err, 0u) << Id(err);
    EXPECT_EQ(preview.width, 1500);
    EXPECT_TRUE(preview.picture.IsEmpty());

    // A thumbnail record no writer makes is not decoded at its claimed size.
    list[0].kind = document_kind::Thumbnail;
    ASSERT_EQ(list.WriteFile(Path("huge-thumbnail.hdq")), 0u);
    EXPECT_TRUE(IsEmpty(Read(Path("huge-thumbnail.hdq"))));
    EXPECT_EQ(Id(err), "data");
}

TEST_F(FilePreview, PicturesAreScaledIntoTheBoxNeverEnlarged)
{
    // Red left half, blue right half, 600 x 300: 200 x 100 in the box.
    SBitmap halves;
    halves.Create(600, 300, 24);
    halves.FillRect(SColor(255, 0, 0));
    const SRect right{300, 0, 600, 300};
    halves.FillRect(SColor(0, 0, 255), &right);
    ASSERT_EQ(WritePngFile(&halves, Path("halves.png")), 0u);
    SFilePreview preview = Read(Path("halves.png"));
    ASSERT_EQ(err, 0u) << Id(err);
    EXPECT_EQ(preview.width, 600);
    EXPECT_EQ(preview.height, 300);
    ASSERT_EQ(preview.picture.Dimensions(), (SPoint{200, 100}));
    EXPECT_EQ(preview.picture.GetColor(50, 50), SColor(255, 0, 0));
    EXPECT_EQ(preview.picture.GetColor(150, 50), SColor(0, 0, 255));

    // A tall picture fits by its height; a small one keeps its size.
    SBitmap tall;
    tall.Create(30, 900, 8);
    ASSERT_EQ(WriteBmpFile(tall, Path("tall.bmp")), 0u);
    preview = Read(Path("tall.bmp"));
    EXPECT_EQ(preview.picture.Dimensions(), (SPoint{6, 200}));
    EXPECT_EQ(preview.picture.Format(), 24);
    Picture("small.bmp");
    EXPECT_EQ(Read(Path("small.bmp")).picture.Dimensions(), (SPoint{24, 18}));

    // The shipped scan, a JPEG.
    preview = Read(SString(HUEDRANE_SOURCE_DIR "/data/sample-scan.jpg"));
    EXPECT_EQ(err, 0u) << Id(err);
    EXPECT_EQ(preview.width, 800);
    EXPECT_EQ(preview.picture.Dimensions(), (SPoint{200, 150}));
}

TEST_F(FilePreview, TransparencyLiesOnWhitePaper)
{
    SBitmap art;
    art.Create(4, 2, 32);
    art.SetHasAlpha(true);
    for (std::int32_t x = 0; x < 4; ++x) {
        art.Row32(0)[x] = 0x00000000u;  // transparent black
        art.Row32(1)[x] = 0xFF102030u;  // opaque colour
    }
    ASSERT_EQ(WritePngFile(&art, Path("art.png")), 0u);
    SFilePreview preview = Read(Path("art.png"));
    ASSERT_EQ(err, 0u) << Id(err);
    EXPECT_EQ(preview.picture.GetColor(0, 0), SColor::White);
    EXPECT_EQ(preview.picture.GetColor(0, 1), SColor(0x10, 0x20, 0x30));
}

TEST_F(FilePreview, FoldersMissingDamagedAndForeignFilesShowNothing)
{
    EXPECT_TRUE(IsEmpty(Read(SString(dir_.string()))));
    EXPECT_NE(err, 0u);
    EXPECT_TRUE(IsEmpty(Read(Path("missing.png"))));
    EXPECT_NE(err, 0u);
    Garbage("notes.txt");
    EXPECT_TRUE(IsEmpty(Read(Path("notes.txt"))));
    EXPECT_EQ(Id(err), "UnacceptableFormat");
    std::ofstream(dir_ / "empty.hdq").flush();
    EXPECT_TRUE(IsEmpty(Read(Path("empty.hdq"))));
    EXPECT_NE(err, 0u);
    Picture("small.bmp");
    EXPECT_TRUE(IsEmpty(Read(Path("small.bmp"), 0)));
    EXPECT_EQ(Id(err), "InvalidArgument");

    // Every cut of a real document and of a PNG fails cleanly and shows nothing.
    Document("cel.hdq");
    const SBitmap scan = OutlinedScan(40, 30, 5);
    ASSERT_EQ(WritePngFile(&scan, Path("scan.png")), 0u);
    for (const char* name : {"cel.hdq", "scan.png"}) {
        const std::string whole = Bytes(name);
        for (std::size_t cut = 1; cut < whole.size(); cut += std::max<std::size_t>(1, whole.size() / 97)) {
            std::ofstream(dir_ / "cut", std::ios::binary | std::ios::trunc) << whole.substr(0, cut);
            SFilePreview preview = Read(Path("cut"));
            EXPECT_TRUE(err != 0 ? IsEmpty(preview) : preview.width > 0) << name << " cut at " << cut;
        }
    }
}

}  // namespace
