// Telling the scan a document was imported from, as the files an export would replace: compared row
// by row while PNG and JPEG files are read (the read stopping at the first row that differs), and
// whole for files read without rows told (BMP).
#include "SGengaPicture.h"

#include "ConversionFolder.h"
#include "SExportFile.h"
#include "SImportConvert.h"
#include "Sxpng.h"

#include <gtest/gtest.h>

using namespace ulib;

namespace {

class GengaPicture : public ConversionFolder
{
protected:
    // A scan with noise on its paper, so that nothing but its own pixels passes for it.
    static SBitmap Scan(std::int32_t w, std::int32_t h)
    {
        SBitmap scan = OutlinedScan(w, h, 7);
        for (std::int32_t y = 0; y < h; ++y)
            for (std::int32_t x = 0; x < w; ++x)
                if ((x * 7 + y * 13) % 5 == 0)
                    scan.SetColor(x, y, SColor(std::uint8_t(200 + x % 40), 230, std::uint8_t(210 + y % 30)));
        return scan;
    }
    SQuickPress Imported(const char* name, std::int32_t genga = 0)
    {
        SHuedraneOptions options;
        options.importGengaCompress = genga;
        SQuickPress document;
        EXPECT_EQ(ImportImageFile(&document, options, nullptr, nullptr, Path(name)), 0u);
        return document;
    }
};

TEST_F(GengaPicture, EveryFormatOfTheScanIsTheGengaAndAnythingElseIsNot)
{
    const SBitmap scan = Scan(150, 140);
    ASSERT_EQ(WritePngFile(&scan, Path("scan.png")), 0u);
    ASSERT_EQ(WriteJpegFile(scan, Path("scan.jpg")), 0u);
    ASSERT_EQ(WriteBmpFile(scan, Path("scan.bmp")), 0u);
    const SQuickPress document = Imported("scan.png");
    EXPECT_TRUE(PictureFileHoldsGenga(document, Path("scan.png")));
    EXPECT_TRUE(PictureFileHoldsGenga(document, Path("scan.bmp")));
    EXPECT_TRUE(PictureFileHoldsGenga(Imported("scan.jpg"), Path("scan.jpg")));

    // One pixel of the first or the last row changed beyond the lossy genga's tolerance; the
    // picture of another size; the export of the document; a file that is no picture or none.
    for (const std::int32_t y : {0, 139}) {
        SBitmap changed = scan;
        changed.SetColor(75, y, SColor(0, 0, 0));
        ASSERT_EQ(WritePngFile(&changed, Path("changed.png")), 0u);
        ASSERT_EQ(WriteBmpFile(changed, Path("changed.bmp")), 0u);
        EXPECT_FALSE(PictureFileHoldsGenga(document, Path("changed.png"))) << y;
        EXPECT_FALSE(PictureFileHoldsGenga(document, Path("changed.bmp"))) << y;
    }
    const SBitmap other = Scan(150, 141);
    ASSERT_EQ(WritePngFile(&other, Path("other.png")), 0u);
    EXPECT_FALSE(PictureFileHoldsGenga(document, Path("other.png")));
    ASSERT_EQ(ImportImageFileToDocumentFile(Path("scan.png"), Path("scan.hdq"), SHuedraneOptions(), nullptr, nullptr),
              0u);
    ASSERT_EQ(ExportDocumentFileToImageFile(Path("scan.hdq"), Path("export.png"), SHuedraneOptions(), nullptr), 0u);
    EXPECT_FALSE(PictureFileHoldsGenga(document, Path("export.png")));
    Garbage("garbage.png");
    EXPECT_FALSE(PictureFileHoldsGenga(document, Path("garbage.png")));
    EXPECT_FALSE(PictureFileHoldsGenga(document, Path("missing.png")));
    EXPECT_FALSE(PictureFileHoldsGenga(SQuickPress(), Path("scan.png")));
}

TEST_F(GengaPicture, AGengaLeftOutHoldsEveryPictureOfItsSize)
{
    const SBitmap scan = Scan(90, 70);
    ASSERT_EQ(WritePngFile(&scan, Path("scan.png")), 0u);
    const SQuickPress document = Imported("scan.png", 2);
    const SBitmap other = OutlinedScan(90, 70, 20);
    ASSERT_EQ(WritePngFile(&other, Path("other.png")), 0u);
    EXPECT_TRUE(PictureFileHoldsGenga(document, Path("other.png")));
    const SBitmap wider = Scan(91, 70);
    ASSERT_EQ(WritePngFile(&wider, Path("wider.png")), 0u);
    EXPECT_FALSE(PictureFileHoldsGenga(document, Path("wider.png")));
}

}  // namespace
