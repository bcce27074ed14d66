#include "TConvertThread.h"

#include "ConversionFolder.h"

#include "SExportFile.h"
#include "SImportConvert.h"
#include "Sximage.h"
#include "Sxpng.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

using namespace ulib;

namespace {

// White paper with a closed dark outline.
SBitmap Scan(std::int32_t w = 24, std::int32_t h = 18) { return OutlinedScan(w, h, 3); }

struct Line
{
    std::string message;
    std::string file;
    std::int32_t progress;
};

class ConvertThreadTest : public ConversionFolder
{
protected:
    // Runs a worker over the named files of the folder, recording every line it hands out.
    SError Batch(std::int32_t mode, std::vector<const char*> names, SHuedraneOptions options = {},
                 SPictureReader plugins = nullptr)
    {
        TConvertThread worker(progress_);
        worker.mode = mode;
        worker.options = options;
        worker.plugins = plugins;
        for (const char* name : names)
            worker.files.Append(Path(name));
        worker.messages = [this](const SString& message, const SString& file) {
            lines_.push_back({message.Str(), file.Str(), progress_.Progress()});
            if (abortAtLine_ == static_cast<std::int32_t>(lines_.size()))
                progress_.RequestAbort();
        };
        EXPECT_EQ(worker.Start(), 0u);
        worker.Join();
        EXPECT_TRUE(worker.Finished());
        return worker.Result();
    }

    SAbort progress_;
    std::vector<Line> lines_;
    std::int32_t abortAtLine_ = 0;
};

TEST_F(ConvertThreadTest, BatchImportStopsAtTheFirstError)
{
    Picture("a.bmp");
    Garbage("b.bmp");
    ASSERT_EQ(WritePngFile(&static_cast<const SBitmap&>(Scan()), Path("c.png")), 0u);

    SQuickPress scratch;
    const SError expected = ImportImageFile(&scratch, SHuedraneOptions(), nullptr, nullptr, Path("b.bmp"));
    ASSERT_NE(expected, 0u);

    EXPECT_EQ(Batch(TConvertThread::BatchImport, {"a.bmp", "b.bmp", "c.png"}), expected);
    ASSERT_EQ(ImportImageFileToDocumentFile(Path("a.bmp"), Path("direct.hdq"), SHuedraneOptions(), nullptr, nullptr),
              0u);
    EXPECT_EQ(Bytes("a.hdq"), Bytes("direct.hdq"));
    EXPECT_FALSE(Exists("b.hdq"));
    EXPECT_FALSE(Exists("c.hdq"));
    ASSERT_EQ(lines_.size(), 2u);
    EXPECT_EQ(lines_[0].message, "一括インポート変換中です");
    EXPECT_EQ(lines_[0].file, "a.bmp→a.hdq");
    EXPECT_EQ(lines_[1].file, "b.bmp→b.hdq");
}

TEST_F(ConvertThreadTest, BatchExportStopsAtTheFirstError)
{
    Document("a.hdq");
    Garbage("b.hdq");
    Document("c.hdq");
    SHuedraneOptions bmp;
    bmp.exportFormat = 0;
    EXPECT_NE(Batch(TConvertThread::BatchExport, {"a.hdq", "b.hdq", "c.hdq"}, bmp), 0u);
    ASSERT_EQ(ExportDocumentFileToImageFile(Path("a.hdq"), Path("direct.bmp"), bmp), 0u);
    EXPECT_EQ(Bytes("a.bmp"), Bytes("direct.bmp"));
    EXPECT_FALSE(Exists("b.bmp"));
    EXPECT_FALSE(Exists("c.bmp"));
    ASSERT_EQ(lines_.size(), 2u);
    EXPECT_EQ(lines_[0].message, "一括エクスポート変換中です");
    EXPECT_EQ(lines_[0].file, "a.hdq→a.bmp");
}

TEST_F(ConvertThreadTest, BatchProgressRunsThroughEqualShares)
{
    Picture("a.bmp");
    Picture("b.bmp");
    Picture("c.bmp");
    EXPECT_EQ(Batch(TConvertThread::BatchImport, {"a.bmp", "b.bmp", "c.bmp"}), 0u);
    ASSERT_EQ(lines_.size(), 3u);
    EXPECT_EQ(lines_[0].progress, 0);
    EXPECT_EQ(lines_[1].progress, 33);
    EXPECT_EQ(lines_[2].progress, 66);
    EXPECT_GE(progress_.Progress(), 99);  // the import ends its own range at 99
    EXPECT_TRUE(Exists("a.hdq") && Exists("b.hdq") && Exists("c.hdq"));

    // Export: the same shares, each file's range ending where the next begins.
    lines_.clear();
    EXPECT_EQ(Batch(TConvertThread::BatchExport, {"a.hdq", "b.hdq", "c.hdq"}), 0u);
    ASSERT_EQ(lines_.size(), 3u);
    EXPECT_EQ(lines_[1].progress, 33);
    EXPECT_EQ(lines_[2].progress, 66);
    EXPECT_TRUE(Exists("a.png") && Exists("b.png") && Exists("c.png"));
}

TEST_F(ConvertThreadTest, AbortBeforeTheBatchWritesNothing)
{
    Picture("a.bmp");
    Document("d.hdq");
    progress_.RequestAbort();
    EXPECT_EQ(Id(Batch(TConvertThread::BatchImport, {"a.bmp"})), "abort");
    EXPECT_FALSE(Exists("a.hdq"));
    EXPECT_EQ(Id(Batch(TConvertThread::BatchExport, {"d.hdq"})), "abort");
    EXPECT_FALSE(Exists("d.png"));
}

TEST_F(ConvertThreadTest, AbortDuringTheBatchKeepsFinishedFiles)
{
    Picture("a.bmp");
    Picture("b.bmp");
    Picture("c.bmp");
    abortAtLine_ = 2;
    EXPECT_EQ(Id(Batch(TConvertThread::BatchImport, {"a.bmp", "b.bmp", "c.bmp"})), "abort");
    EXPECT_TRUE(Exists("a.hdq"));
    EXPECT_FALSE(Exists("b.hdq"));
    EXPECT_FALSE(Exists("c.hdq"));
    EXPECT_EQ(lines_.size(), 2u);
}

TEST_F(ConvertThreadTest, AbortInsideAFileWritesNoPartialDocument)
{
    // The plug-in reader is reached for a picture the built-in readers refuse; it delivers a
    // picture but the user has pressed abort meanwhile.
    Garbage("odd.xyz");
    std::int32_t calls = 0;
    const SPictureReader reader = [&](SBitmap& bitmap, const std::uint8_t*, const std::uint8_t*, const SString&,
                                      SAbort* abort) {
        ++calls;
        bitmap = Scan();
        if (abort)
            abort->RequestAbort();
        return SError(0);
    };
    EXPECT_EQ(Id(Batch(TConvertThread::BatchImport, {"odd.xyz"}, {}, reader)), "abort");
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(Exists("odd.hdq"));
}

TEST_F(ConvertThreadTest, BatchExportRefusesJpeg)
{
    Document("a.hdq");
    SHuedraneOptions jpeg;
    jpeg.exportFormat = 2;
    EXPECT_EQ(Id(Batch(TConvertThread::BatchExport, {"a.hdq"}, jpeg)), "internal");
    EXPECT_TRUE(lines_.empty());
    for (const char* name : {"a.jpg", "a.jpeg", "a.png", "a.bmp"})
        EXPECT_FALSE(Exists(name)) << name;
}

TEST_F(ConvertThreadTest, SingleImportMatchesTheConversion)
{
    Picture("scan.bmp");
    SQuickPress direct;
    ASSERT_EQ(ImportImageFile(&direct, SHuedraneOptions(), nullptr, nullptr, Path("scan.bmp")), 0u);

    SQuickPress document;
    TConvertThread worker(progress_);
    worker.mode = TConvertThread::Import;
    worker.document = &document;
    worker.fileName = Path("scan.bmp");
    worker.messages = [this](const SString& message, const SString& file) {
        lines_.push_back({message.Str(), file.Str(), 0});
    };
    ASSERT_EQ(worker.Start(), 0u);
    worker.Join();
    EXPECT_EQ(worker.Result(), 0u);
    EXPECT_TRUE(document.Equals(direct));
    ASSERT_EQ(lines_.size(), 1u);
    EXPECT_EQ(lines_[0].message, "インポート中です");
    EXPECT_EQ(lines_[0].file, "scan.bmp");
}

TEST_F(ConvertThreadTest, SingleExportMatchesTheConversion)
{
    Document("cel.hdq");
    SQuickPress document;
    ASSERT_EQ(document.ReadFile(Path("cel.hdq")), 0u);
    ASSERT_EQ(ExportDocumentFile(document, SHuedraneOptions(), nullptr, Path("direct.png")), 0u);

    TConvertThread worker(progress_);
    worker.mode = TConvertThread::Export;
    worker.document = &document;
    worker.fileName = Path("out.png");
    ASSERT_EQ(worker.Start(), 0u);
    worker.Join();
    EXPECT_EQ(worker.Result(), 0u);
    EXPECT_EQ(Bytes("out.png"), Bytes("direct.png"));
    EXPECT_FALSE(Bytes("out.png").empty());
}

TEST_F(ConvertThreadTest, MisuseIsReportedNotIgnored)
{
    {
        TConvertThread worker(progress_);
        worker.mode = TConvertThread::Export;  // no document
        worker.fileName = Path("out.png");
        ASSERT_EQ(worker.Start(), 0u);
        EXPECT_EQ(Id(worker.Start()), "internal");  // a second start is refused
        worker.Join();
        EXPECT_EQ(Id(worker.Result()), "pointer");
        EXPECT_FALSE(Exists("out.png"));
    }
    TConvertThread worker(progress_);
    worker.mode = 7;
    ASSERT_EQ(worker.Start(), 0u);
    // The destructor joins; nothing to wait for by hand.
    while (!worker.Finished())
        std::this_thread::yield();
    EXPECT_EQ(Id(worker.Result()), "internal");
}

TEST(ConvertThreadTarget, ReplacesOnlyTheFileNamesExtension)
{
    EXPECT_EQ(TConvertThread::TargetPath("/cut.12/a.bmp", ".hdq"), SString("/cut.12/a.hdq"));
    EXPECT_EQ(TConvertThread::TargetPath("/cut.12/scan", ".hdq"), SString("/cut.12/scan.hdq"));
    EXPECT_EQ(TConvertThread::TargetPath("a.b.hdq", ".png"), SString("a.b.png"));
}

}  // namespace
