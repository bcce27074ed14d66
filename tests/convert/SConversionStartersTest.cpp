#include "SConversionStarters.h"

#include "ConversionFolder.h"

#include "SExportFile.h"
#include "SImportConvert.h"
#include "SScriptedPlatform.h"
#include "Sximage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

using namespace ulib;
using ulib::test::ScopedPlatform;
using ulib::test::SScriptedPlatform;

namespace {

class ConversionStarters : public ConversionFolder
{
protected:
    SArray<SString> Files(std::initializer_list<const char*> names) const
    {
        SArray<SString> files;
        for (const char* name : names)
            files.Append(Path(name));
        return files;
    }

    SHuedraneOptions options_;
    SSpiAccess spi_;  // no plug-ins unless a test adds them
    SScriptedPlatform seam_;
    ScopedPlatform installed_{seam_};
};

TEST_F(ConversionStarters, ImportRunsTheConversionBehindTheBox)
{
    Picture("scan.bmp");
    SQuickPress direct;
    ASSERT_EQ(ImportImageFile(&direct, options_, nullptr, nullptr, Path("scan.bmp")), 0u);

    SQuickPress document;
    EXPECT_EQ(Id(RunImport(document, Path("scan.bmp"), options_, spi_)), "");
    EXPECT_TRUE(document.Equals(direct));

    const auto waits = seam_.Waits();
    ASSERT_EQ(waits.size(), 1u);
    EXPECT_EQ(waits[0].message, "インポート処理中です");
    EXPECT_EQ(waits[0].fileLine, "scan.bmp");
    EXPECT_TRUE(waits[0].hadProgress);
    EXPECT_GE(waits[0].gauge.back(), 99);  // the box saw the finished conversion
    const auto lines = seam_.ProgressLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].message, "インポート中です");
    EXPECT_EQ(lines[0].fileLine, "scan.bmp");
    EXPECT_EQ(seam_.BoxCount(), 0u);  // the starter reports nothing itself

    // A failure comes back as the conversion's own error.
    Garbage("broken.bmp");
    SQuickPress scratch;
    const SError expected = ImportImageFile(&scratch, options_, nullptr, nullptr, Path("broken.bmp"));
    ASSERT_NE(expected, 0u);
    EXPECT_EQ(RunImport(document, Path("broken.bmp"), options_, spi_), expected);
    EXPECT_EQ(seam_.BoxCount(), 0u);
}

TEST_F(ConversionStarters, ExportWritesThePictureBehindTheBox)
{
    Document("cel.hdq");
    SQuickPress document;
    ASSERT_EQ(document.ReadFile(Path("cel.hdq")), 0u);
    ASSERT_EQ(ExportDocumentFile(document, options_, nullptr, Path("direct.png")), 0u);

    EXPECT_EQ(Id(RunExport(document, Path("out.png"), options_)), "");
    EXPECT_FALSE(Bytes("out.png").empty());
    EXPECT_EQ(Bytes("out.png"), Bytes("direct.png"));
    const auto waits = seam_.Waits();
    ASSERT_EQ(waits.size(), 1u);
    EXPECT_EQ(waits[0].message, "エクスポート処理中です");
    EXPECT_EQ(waits[0].fileLine, "out.png");
    ASSERT_EQ(seam_.ProgressLines().size(), 1u);
    EXPECT_EQ(seam_.ProgressLines()[0].message, "エクスポート中です");
}

TEST_F(ConversionStarters, BatchesStopAtTheFirstFailureAndKeepWhatWasWritten)
{
    Picture("a.bmp");
    Garbage("b.bmp");
    Picture("c.bmp");
    SQuickPress scratch;
    const SError expected = ImportImageFile(&scratch, options_, nullptr, nullptr, Path("b.bmp"));
    ASSERT_NE(expected, 0u);

    EXPECT_EQ(RunBatchImport(Files({"a.bmp", "b.bmp", "c.bmp"}), options_, spi_), expected);
    EXPECT_TRUE(Exists("a.hdq"));
    EXPECT_FALSE(Exists("b.hdq"));
    EXPECT_FALSE(Exists("c.hdq"));
    auto waits = seam_.Waits();
    ASSERT_EQ(waits.size(), 1u);
    EXPECT_EQ(waits[0].message, "");  // batch import leaves its lines to the worker
    EXPECT_EQ(waits[0].fileLine, "");
    auto lines = seam_.ProgressLines();
    ASSERT_EQ(lines.size(), 2u);  // the third file is never started
    EXPECT_EQ(lines[0].message, "一括インポート変換中です");
    EXPECT_EQ(lines[0].fileLine, "a.bmp→a.hdq");
    EXPECT_EQ(lines[1].fileLine, "b.bmp→b.hdq");

    seam_.Clear();
    Document("d.hdq");
    Garbage("e.hdq");
    Document("f.hdq");
    options_.exportFormat = 0;
    const SError failed = RunBatchExport(Files({"d.hdq", "e.hdq", "f.hdq"}), options_);
    EXPECT_NE(failed, 0u);
    EXPECT_TRUE(Exists("d.bmp"));
    EXPECT_FALSE(Exists("e.bmp"));
    EXPECT_FALSE(Exists("f.bmp"));
    waits = seam_.Waits();
    ASSERT_EQ(waits.size(), 1u);
    EXPECT_EQ(waits[0].message, "一括エクスポート変換中です");
    EXPECT_EQ(waits[0].fileLine, "ファイル名は不明");
    lines = seam_.ProgressLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].fileLine, "e.hdq→e.bmp");
}

TEST_F(ConversionStarters, BatchProgressMovesThroughEqualShares)
{
    Picture("a.bmp");
    Picture("b.bmp");
    Picture("c.bmp");
    EXPECT_EQ(Id(RunBatchImport(Files({"a.bmp", "b.bmp", "c.bmp"}), options_, spi_)), "");
    EXPECT_TRUE(Exists("a.hdq") && Exists("b.hdq") && Exists("c.hdq"));

    const auto lines = seam_.ProgressLines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].progress, 0);
    EXPECT_EQ(lines[1].progress, 33);
    EXPECT_EQ(lines[2].progress, 66);
    // What the gauge showed only ever grew, from an empty gauge to the end of the last share.
    const std::vector<std::int32_t> gauge = seam_.Waits().at(0).gauge;
    ASSERT_FALSE(gauge.empty());
    EXPECT_EQ(gauge.front(), 0);
    EXPECT_GE(gauge.back(), 99);
    EXPECT_LE(gauge.back(), 100);
    // (A busy progress lock reads as 0 for a moment; those readings say nothing about order. Where
    // one file's share hands over to the next, whole-percent rounding may show one point less.)
    std::int32_t highest = 0;
    for (const std::int32_t reading : gauge) {
        if (reading == 0)
            continue;
        EXPECT_GE(reading, highest - 1);
        highest = std::max(highest, reading);
    }
}

TEST_F(ConversionStarters, TheAbortButtonEndsTheRunWithoutWritingAndOnlyThatRun)
{
    Picture("a.bmp");
    Picture("b.bmp");
    Picture("c.bmp");
    Document("d.hdq");

    seam_.AbortConversions(0);  // pressed as soon as the box shows
    EXPECT_EQ(Id(RunBatchImport(Files({"a.bmp", "b.bmp"}), options_, spi_)), "abort");
    EXPECT_FALSE(Exists("a.hdq"));
    EXPECT_EQ(Id(RunBatchExport(Files({"d.hdq"}), options_)), "abort");
    EXPECT_FALSE(Exists("d.png"));
    SQuickPress imported;
    EXPECT_EQ(Id(RunImport(imported, Path("a.bmp"), options_, spi_)), "abort");
    SQuickPress document;
    ASSERT_EQ(document.ReadFile(Path("d.hdq")), 0u);
    EXPECT_EQ(Id(RunExport(document, Path("single.png"), options_)), "abort");
    EXPECT_FALSE(Exists("single.png"));

    // Pressed while the second file converts: the first stays written, the rest are not made.
    seam_.AbortConversions(2);
    EXPECT_EQ(Id(RunBatchImport(Files({"a.bmp", "b.bmp", "c.bmp"}), options_, spi_)), "abort");
    EXPECT_TRUE(Exists("a.hdq"));
    EXPECT_FALSE(Exists("b.hdq"));
    EXPECT_FALSE(Exists("c.hdq"));

    // Each run has its own progress object: an abort never carries over to the next one.
    seam_.AbortConversions(-1);
    EXPECT_EQ(Id(RunBatchImport(Files({"b.bmp"}), options_, spi_)), "");
    EXPECT_TRUE(Exists("b.hdq"));
}

TEST_F(ConversionStarters, ImportsReachThePlugins)
{
    spi_.hostPath = HUEDRANE_SPI_HOST;
    spi_.plugins.Append(SString(HUEDRANE_TEST_SPI_FOLDER "reader_a.spi"));
    // The test reader's format: "TPX", width, height, flags, then the 8-bit pixels.
    std::string tpx = "TPX";
    tpx += {char(8), char(6), char(0)};
    tpx += std::string(8 * 6, char(200));
    std::ofstream(dir_ / "drawing.tpx", std::ios::binary) << tpx;

    SQuickPress document;
    EXPECT_EQ(Id(RunImport(document, Path("drawing.tpx"), options_, spi_)), "");
    EXPECT_EQ(Id(RunBatchImport(Files({"drawing.tpx"}), options_, spi_)), "");
    EXPECT_TRUE(Exists("drawing.hdq"));

    // Without the plug-ins the same picture is refused.
    SSpiAccess none;
    EXPECT_NE(RunImport(document, Path("drawing.tpx"), options_, none), 0u);
}

}  // namespace
