#include "SImportConvert.h"

#include "ScanFixture.h"

#include "SDocumentRecords.h"
#include "SImportPasses.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>

using namespace ulib;
using namespace import_value;

namespace {

// White paper with a closed dark rectangle outline (2 pixels thick) and a red pencil stroke.
SBitmap Scan(std::int32_t w = 40, std::int32_t h = 30)
{
    SBitmap image = OutlinedScan(w, h, 5);
    const SRect red{10, 12, w - 10, 13};
    image.FillRect(SColor(220, 60, 60), &red);
    return image;
}

SBitmap Decoded(const SQuickPress& doc, std::int32_t index)
{
    SBitmap image;
    EXPECT_EQ(doc.DecodeLayer(index, image), 0u);
    return image;
}

bool SameBytes(const SBitmap& a, const SBitmap& b)
{
    return a.Dimensions() == b.Dimensions() && a.Format() == b.Format() &&
           a.PixelAreaSize() == b.PixelAreaSize() &&
           std::memcmp(a.PixelArea(), b.PixelArea(), a.PixelAreaSize()) == 0;
}

// A document with something in it, to see it cleared.
SQuickPress Filled()
{
    SQuickPress doc;
    SBitmap any;
    any.Create(3, 3, 24);
    doc.Append(any);
    return doc;
}

TEST(ConvertImageToDocument, PureWhiteScan)
{
    SBitmap white;
    white.Create(20, 10, 24);
    SQuickPress doc;
    ASSERT_EQ(ConvertImageToDocument(white, &doc, SHuedraneOptions(), nullptr), 0u);
    ASSERT_EQ(doc.Count(), 4);
    EXPECT_EQ(doc.width, 20);
    EXPECT_EQ(doc.height, 10);
    EXPECT_EQ(doc.format, 32);
    EXPECT_EQ(doc[0].format, 24);
    EXPECT_EQ(doc[1].format, 32);
    EXPECT_EQ(doc[2].format, 32);
    for (std::int32_t i = 0; i < 3; ++i)
        EXPECT_EQ(doc[i].kind, document_kind::Image);
    EXPECT_EQ(doc[3].kind, document_kind::Thumbnail);
    EXPECT_EQ(doc[3].width, 128);
    EXPECT_EQ(doc[3].height, 64);

    const SBitmap paint = Decoded(doc, 1), trace = Decoded(doc, 2);
    for (std::int32_t y = 0; y < 10; ++y)
        for (std::int32_t x = 0; x < 20; ++x) {
            ASSERT_EQ(paint.Row32(y)[x], Unpainted);
            ASSERT_EQ(trace.Row32(y)[x], 0u);
        }
    EXPECT_TRUE(SameBytes(Decoded(doc, 0), white));
}

TEST(ConvertImageToDocument, RunsThePassesInOrder)
{
    const SBitmap scan = Scan();
    SHuedraneOptions options;
    options.importBinarize = true;
    SQuickPress doc;
    ASSERT_EQ(ConvertImageToDocument(scan, &doc, options, nullptr), 0u);

    // The same pipeline step by step.
    SBitmap trace, paint;
    trace.Create(40, 30, 32);
    paint.Create(40, 30, 32);
    ASSERT_EQ(ExtractTraceLines(scan, trace, nullptr), 0u);
    ASSERT_EQ(RemoveTraceSpecks(trace, nullptr), 0u);
    ASSERT_EQ(BinarizeTrace(trace, nullptr), 0u);
    ASSERT_EQ(ClassifyPaintBorders(scan, paint, nullptr), 0u);
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(ExtendPaintNotches(paint, nullptr), 0u);
    ASSERT_EQ(ThinPaintLines(paint, nullptr), 0u);

    EXPECT_TRUE(SameBytes(Decoded(doc, 0), scan));
    EXPECT_TRUE(SameBytes(Decoded(doc, 1), paint));
    EXPECT_TRUE(SameBytes(Decoded(doc, 2), trace));
    EXPECT_EQ(Decoded(doc, 2).Row32(12)[20], FullRedLine);   // red stroke, binarised
    EXPECT_EQ(Decoded(doc, 2).Row32(6)[20], 255u);           // dark outline, binarised
    EXPECT_EQ(Decoded(doc, 1).Row32(20)[20], Unpainted);     // inside the outline
}

TEST(ConvertImageToDocument, AntiHoleClosesPinholes)
{
    SBitmap scan;
    scan.Create(20, 20, 24);
    scan.FillRect(SColor::Black);
    scan.SetColor(10, 10, SColor::White);

    SQuickPress plain, smoothed;
    ASSERT_EQ(ConvertImageToDocument(scan, &plain, SHuedraneOptions(), nullptr), 0u);
    SHuedraneOptions options;
    options.importAntiHole = true;
    ASSERT_EQ(ConvertImageToDocument(scan, &smoothed, options, nullptr), 0u);
    EXPECT_EQ(Decoded(plain, 1).Row32(10)[10], Unpainted);
    EXPECT_EQ(Decoded(smoothed, 1).Row32(10)[10], BlackBorder);
    EXPECT_TRUE(SameBytes(Decoded(smoothed, 0), scan));  // the genga keeps its pixels
}

TEST(ConvertImageToDocument, GengaModesAndLevels)
{
    SBitmap scan = Scan();
    scan.SetColor(20, 20, SColor(252, 252, 252));
    SHuedraneOptions options;
    options.importGengaCompress = 1;
    SQuickPress doc;
    ASSERT_EQ(ConvertImageToDocument(scan, &doc, options, nullptr), 0u);
    const SBitmap lossy = Decoded(doc, 0);
    EXPECT_EQ(lossy.GetColor(20, 20), SColor::White);
    EXPECT_EQ(lossy.GetColor(6, 6), SColor(40, 40, 40));

    options.importGengaCompress = 2;
    ASSERT_EQ(ConvertImageToDocument(scan, &doc, options, nullptr), 0u);
    SBitmap white;
    white.Create(40, 30, 24);
    EXPECT_TRUE(SameBytes(Decoded(doc, 0), white));
    EXPECT_NE(Decoded(doc, 2).Row32(6)[20], 0u);  // lines still extracted

    options.importGengaCompress = 0;
    options.importLevelEnabled = true;
    options.importLevelBlack = 64;
    options.importLevelWhite = 191;
    ASSERT_EQ(ConvertImageToDocument(scan, &doc, options, nullptr), 0u);
    EXPECT_EQ(Decoded(doc, 0).GetColor(6, 6), SColor(0, 0, 0));
    EXPECT_EQ(Decoded(doc, 0).GetColor(0, 0), SColor(254, 254, 254));
}

TEST(ConvertImageToDocument, AnyFormatBecomesBlueGreenRed)
{
    SBitmap rgba;
    rgba.Create(4, 4, 32);
    for (std::int32_t y = 0; y < 4; ++y)
        for (std::int32_t x = 0; x < 4; ++x)
            rgba.Row32(y)[x] = 0x40102030;  // partly transparent
    SQuickPress doc;
    ASSERT_EQ(ConvertImageToDocument(rgba, &doc, SHuedraneOptions(), nullptr), 0u);
    EXPECT_EQ(Decoded(doc, 0).GetColor(1, 1), SColor(0x10, 0x20, 0x30));

    SBitmap grey;
    grey.Create(4, 4, -8);
    grey.SetIndex(2, 2, 100);
    ASSERT_EQ(ConvertImageToDocument(grey, &doc, SHuedraneOptions(), nullptr), 0u);
    EXPECT_EQ(Decoded(doc, 0).GetColor(2, 2), grey.GetColor(2, 2));
}

TEST(ConvertImageToDocument, TinyAndThinPictures)
{
    // Pictures smaller than every pass's frame, and one whose thumbnail rounds to nothing.
    for (auto [w, h] : {std::pair{1, 1}, std::pair{2, 3}, std::pair{5, 5}, std::pair{1000, 2}}) {
        SBitmap scan;
        scan.Create(w, h, 24);
        scan.FillRect(SColor(30, 30, 30));
        SHuedraneOptions options;
        options.importAntiHole = true;
        options.importGengaCompress = 1;
        SQuickPress doc;
        ASSERT_EQ(ConvertImageToDocument(scan, &doc, options, nullptr), 0u) << w << "x" << h;
        EXPECT_EQ(doc.Count(), 4);
        EXPECT_EQ(Decoded(doc, 1).Dimensions(), (SPoint{w, h}));
        EXPECT_EQ(Decoded(doc, 2).Row32(0)[0], 255u - 30);
    }
}

TEST(ConvertImageToDocument, Failures)
{
    SBitmap empty;
    SQuickPress doc = Filled();
    EXPECT_EQ(Id(ConvertImageToDocument(empty, &doc, SHuedraneOptions(), nullptr)), "empty_file");
    EXPECT_EQ(doc.Count(), 0);
    EXPECT_EQ(Id(ConvertImageToDocument(Scan(), nullptr, SHuedraneOptions(), nullptr)), "pointer");

    SAbort abort;
    abort.RequestAbort();
    doc = Filled();
    EXPECT_EQ(Id(ConvertImageToDocument(Scan(), &doc, SHuedraneOptions(), &abort)), "abort");
    EXPECT_EQ(doc.Count(), 0);
    EXPECT_EQ(doc.width, 0);
}

class ImportFile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder_ = std::filesystem::temp_directory_path() / ("huedrane-import-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }
    SString Path(const char* name) const { return SString((folder_ / name).string()); }
    bool Exists(const char* name) const { return std::filesystem::exists(folder_ / name); }

    std::filesystem::path folder_;
};


TEST_F(ImportFile, ImportsAndWritesTheDocument)
{
    const SBitmap scan = Scan();
    ASSERT_EQ(WriteBmpFile(scan, Path("scan.bmp")), 0u);

    SQuickPress direct;
    ASSERT_EQ(ConvertImageToDocument(scan, &direct, SHuedraneOptions(), nullptr), 0u);

    SAbort progress;
    SQuickPress doc;
    ASSERT_EQ(ImportImageFile(&doc, SHuedraneOptions(), nullptr, &progress, Path("scan.bmp")), 0u);
    EXPECT_TRUE(doc.Equals(direct));
    EXPECT_GE(progress.Progress(), 99);

    ASSERT_EQ(ImportImageFileToDocumentFile(Path("scan.bmp"), Path("scan.hdq"), SHuedraneOptions(), nullptr, nullptr),
              0u);
    SQuickPress read;
    ASSERT_EQ(read.ReadFile(Path("scan.hdq")), 0u);
    EXPECT_TRUE(read.Equals(direct));
}

TEST_F(ImportFile, FailuresClearTheDocumentAndWriteNothing)
{
    SQuickPress doc = Filled();
    EXPECT_EQ(Id(ImportImageFile(&doc, SHuedraneOptions(), nullptr, nullptr, Path("missing.png"))), "file_not_found");
    EXPECT_EQ(doc.Count(), 0);
    EXPECT_EQ(Id(ImportImageFile(nullptr, SHuedraneOptions(), nullptr, nullptr, Path("missing.png"))), "pointer");

    ASSERT_EQ(WriteBmpFile(Scan(), Path("scan.bmp")), 0u);
    SAbort abort;
    abort.RequestAbort();
    doc = Filled();
    EXPECT_EQ(Id(ImportImageFile(&doc, SHuedraneOptions(), nullptr, &abort, Path("scan.bmp"))), "abort");
    EXPECT_EQ(doc.Count(), 0);
    EXPECT_EQ(Id(ImportImageFileToDocumentFile(Path("scan.bmp"), Path("out.hdq"), SHuedraneOptions(), &abort, nullptr)),
              "abort");
    EXPECT_FALSE(Exists("out.hdq"));
}

TEST_F(ImportFile, PluginReaderIsTheFallback)
{
    ASSERT_EQ(std::system(("printf 'not a picture' > '" + (folder_ / "odd.xyz").string() + "'").c_str()), 0);
    std::int32_t calls = 0;
    const SPictureReader reader = [&](SBitmap& bitmap, const std::uint8_t*, const std::uint8_t*, const SString&,
                                      SAbort*) {
        ++calls;
        bitmap = Scan(12, 10);
        return SError(0);
    };
    SQuickPress doc;
    ASSERT_EQ(ImportImageFile(&doc, SHuedraneOptions(), reader, nullptr, Path("odd.xyz")), 0u);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(doc.width, 12);
}

}  // namespace
