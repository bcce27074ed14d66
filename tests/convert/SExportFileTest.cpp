#include "SExportFile.h"

#include "SAbort.h"
#include "SBitmap.h"
#include "SQuickPress.h"
#include "Sximage.h"
#include "Sxpng.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

using namespace ulib;

namespace {

class ExportFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = std::filesystem::temp_directory_path() /
               ("huedrane_export_" + std::string(info->name()) + "_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    SString Path(const char* name) const { return SString((dir_ / name).string()); }
    bool Exists(const char* name) const { return std::filesystem::exists(dir_ / name); }

    // A 40 x 30 document: grey genga, paint green at the top-left quarter, a black line along row 5.
    static SQuickPress Cel()
    {
        SBitmap genga, paint, trace;
        genga.Create(40, 30, 24);
        genga.FillRect(SColor(90, 90, 90));
        paint.Create(40, 30, 32);
        paint.FillRect(SColor(255, 255, 255, 255));
        const SRect quarter{0, 0, 20, 15};
        paint.FillRect(SColor(0, 200, 0), &quarter);
        trace.Create(40, 30, 32);
        for (std::int32_t x = 0; x < 40; ++x)
            trace.Row32(5)[x] = 0x000000FFu;
        SQuickPress document;
        EXPECT_EQ(document.SetCount(3), 0u);
        document.width = 40;
        document.height = 30;
        document.format = 32;
        EXPECT_EQ(document[0].Compress(genga), 0u);
        EXPECT_EQ(document[1].Compress(paint), 0u);
        EXPECT_EQ(document[2].Compress(trace), 0u);
        return document;
    }

    std::filesystem::path dir_;
};

TEST_F(ExportFileTest, WritesEachFormat)
{
    const SQuickPress document = Cel();
    SHuedraneOptions options;

    options.exportFormat = 1;
    ASSERT_EQ(ExportDocumentFile(document, options, nullptr, Path("cel.png")), 0u);
    SBitmap png;
    ASSERT_EQ(ReadPngFile(&png, Path("cel.png")), 0u);
    ASSERT_EQ(png.Format(), 32);
    EXPECT_EQ(png.Dimensions(), (SPoint{40, 30}));
    EXPECT_EQ(png.Row32(2)[2], 0xFF00C800u);
    EXPECT_EQ(png.Row32(5)[30], 0xFF000000u);
    EXPECT_EQ(png.Row32(20)[30], 0x00FFFFFFu);

    options.exportFormat = 0;
    options.export24Bit = true;
    options.exportMinimizeRate = 2;
    ASSERT_EQ(ExportDocumentFile(document, options, nullptr, Path("cel.bmp")), 0u);
    SBitmap bmp;
    ASSERT_EQ(ReadImageFile(&bmp, Path("cel.bmp")), 0u);
    EXPECT_EQ(bmp.Format(), 24);
    EXPECT_EQ(bmp.Dimensions(), (SPoint{20, 15}));
    EXPECT_EQ(bmp.GetColor(15, 12), SColor::White);

    // The genga alone as JPEG: grey everywhere, lines and paint left out.
    options.exportFormat = 2;
    options.exportTargetLayers = 2;
    options.exportMinimizeRate = 1;
    ASSERT_EQ(ExportDocumentFile(document, options, nullptr, Path("cel.jpg")), 0u);
    SBitmap jpeg;
    ASSERT_EQ(ReadImageFile(&jpeg, Path("cel.jpg")), 0u);
    EXPECT_EQ(jpeg.Dimensions(), (SPoint{40, 30}));
    for (SPoint p : {SPoint{2, 2}, SPoint{30, 5}, SPoint{30, 20}}) {
        const SColor c = jpeg.GetColor(p.x, p.y);
        EXPECT_NEAR(c.r, 90, 3);
        EXPECT_NEAR(c.g, 90, 3);
        EXPECT_NEAR(c.b, 90, 3);
    }

    options.exportFormat = 3;
    EXPECT_EQ(ExportDocumentFile(document, options, nullptr, Path("cel.xyz")), ErrorFromIdentifier("domain"));
    EXPECT_FALSE(Exists("cel.xyz"));
}

TEST_F(ExportFileTest, FromDocumentFile)
{
    ASSERT_EQ(Cel().WriteFile(Path("cel.hdq")), 0u);
    SHuedraneOptions options;
    SAbort progress;
    ASSERT_EQ(ExportDocumentFileToImageFile(Path("cel.hdq"), Path("cel.png"), options, &progress), 0u);
    EXPECT_EQ(progress.Progress(), 100);
    SBitmap png;
    ASSERT_EQ(ReadPngFile(&png, Path("cel.png")), 0u);
    EXPECT_EQ(png.Row32(2)[2], 0xFF00C800u);

    EXPECT_NE(ExportDocumentFileToImageFile(Path("missing.hdq"), Path("m.png"), options), 0u);
    EXPECT_FALSE(Exists("m.png"));
}

TEST_F(ExportFileTest, DocumentFileChecks)
{
    SHuedraneOptions options;
    const SError data = ErrorFromIdentifier("data");

    SQuickPress shortList = Cel();
    ASSERT_EQ(shortList.SetCount(2), 0u);
    ASSERT_EQ(shortList.WriteFile(Path("short.hdq")), 0u);
    EXPECT_EQ(ExportDocumentFileToImageFile(Path("short.hdq"), Path("a.png"), options), data);

    SQuickPress rgbPaint = Cel();
    SBitmap rgb;
    rgb.Create(40, 30, 24);
    ASSERT_EQ(rgbPaint[1].Compress(rgb), 0u);
    ASSERT_EQ(rgbPaint.WriteFile(Path("rgb.hdq")), 0u);
    EXPECT_EQ(ExportDocumentFileToImageFile(Path("rgb.hdq"), Path("b.png"), options), data);

    SQuickPress smallGenga = Cel();
    rgb.Create(10, 30, 24);
    ASSERT_EQ(smallGenga[0].Compress(rgb), 0u);
    ASSERT_EQ(smallGenga.WriteFile(Path("genga.hdq")), 0u);
    EXPECT_EQ(ExportDocumentFileToImageFile(Path("genga.hdq"), Path("c.png"), options), data);

    SQuickPress depth = Cel();
    depth.format = 24;
    ASSERT_EQ(depth.WriteFile(Path("depth.hdq")), 0u);
    EXPECT_EQ(ExportDocumentFileToImageFile(Path("depth.hdq"), Path("d.png"), options), data);

    EXPECT_FALSE(Exists("a.png") || Exists("b.png") || Exists("c.png") || Exists("d.png"));
}

TEST_F(ExportFileTest, AbortWritesNothing)
{
    ASSERT_EQ(Cel().WriteFile(Path("cel.hdq")), 0u);
    SHuedraneOptions options;
    SAbort progress;
    progress.RequestAbort();
    EXPECT_EQ(ExportDocumentFile(Cel(), options, &progress, Path("a.png")), ErrorFromIdentifier("abort"));
    EXPECT_EQ(ExportDocumentFileToImageFile(Path("cel.hdq"), Path("b.png"), options, &progress),
              ErrorFromIdentifier("abort"));
    EXPECT_FALSE(Exists("a.png") || Exists("b.png"));
}

}  // namespace
