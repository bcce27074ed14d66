// Batch import and export through the converter, on pictures and documents the test writes.
#include "CliRunner.h"
#include "SCel.h"
#include "SDocumentFile.h"
#include "Sximage.h"
#include "Sxpng.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using namespace ulib;

namespace {

class CliBatch : public testing::Test
{
protected:
    std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("huedrane-batch-" + std::to_string(::getpid()));

    void SetUp() override { std::filesystem::create_directories(folder); }
    void TearDown() override { std::filesystem::remove_all(folder); }

    // A small scan: white paper with a dark closed square.
    std::string Scan(const std::string& name)
    {
        SBitmap picture;
        picture.Create(40, 30, 24);
        for (std::int32_t y = 5; y < 25; ++y)
            for (std::int32_t x = 5; x < 35; ++x)
                if (y == 5 || y == 24 || x == 5 || x == 34)
                    picture.SetColor(x, y, SColor(20, 20, 20));
        const std::string path = (folder / name).string();
        EXPECT_EQ(WritePngFile(&picture, SString(path)), 0u);
        return path;
    }
    std::string Path(const std::string& name) const { return (folder / name).string(); }
    bool Exists(const std::string& name) const { return std::filesystem::exists(folder / name); }
};

TEST_F(CliBatch, ImportsEveryPictureBesideItAndRefusesToOverwrite)
{
    const std::string files = Scan("a.png") + " " + Scan("b.png") + " " + Scan("c.png");
    CliRun r = RunCli("import -j 2 --progress " + files);
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("progress: 100% (3/3 files)"), std::string::npos) << r.out;
    SCel cel;
    ASSERT_EQ(LoadDocument(cel, SString(Path("b.hdq"))), 0u);
    EXPECT_EQ(cel.display.Dimensions(), (SPoint{40, 30}));
    EXPECT_NE(cel.trace.Row32(5)[10] & 0xFF, 0u);  // the square's line became a black trace line

    r = RunCli("import " + Path("a.png"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("huedrane-cli: file_exist: "), std::string::npos) << r.out;
    EXPECT_EQ(RunCli("import --force " + Path("a.png")).status, 0);
}

TEST_F(CliBatch, TheFirstFailureStopsTheBatchUnlessAskedToKeepGoing)
{
    const std::string good1 = Scan("one.png"), good3 = Scan("three.png");
    const std::string bad = Path("two.png");
    std::FILE* f = std::fopen(bad.c_str(), "wb");
    std::fputs("not a picture", f);
    std::fclose(f);

    CliRun r = RunCli("import " + good1 + " " + bad + " " + good3);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("(" + bad + ")"), std::string::npos) << r.out;
    EXPECT_TRUE(Exists("one.hdq"));
    EXPECT_FALSE(Exists("two.hdq"));
    EXPECT_FALSE(Exists("three.hdq"));

    r = RunCli("import --force --keep-going " + good1 + " " + bad + " " + good3);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Exists("three.hdq"));
}

TEST_F(CliBatch, ExportsDocumentsInTheChosenFormat)
{
    ASSERT_EQ(RunCli("import " + Scan("a.png") + " " + Scan("b.png")).status, 0);
    CliRun r = RunCli("export --format bmp --depth 24 --reduce 2 " + Path("a.hdq") + " " + Path("b.hdq"));
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(Exists("a.bmp"));
    r = RunCli("export --format jpg " + Path("a.hdq") + " -o " + Path("cel.jpg"));
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(Exists("cel.jpg"));
    r = RunCli("export --underlay " + Path("b.png") + " --layers 1 " + Path("b.hdq") + " -o " + Path("under.png"));
    ASSERT_EQ(r.status, 0) << r.out;
    SBitmap out;
    ASSERT_EQ(ReadPngFile(&out, SString(Path("under.png"))), 0u);
    EXPECT_EQ(out.Dimensions(), (SPoint{40, 30}));
}

TEST_F(CliBatch, BadOptionsAreUsageErrors)
{
    const std::string scan = Scan("a.png");
    EXPECT_EQ(RunCli("import --level 200/100 " + scan).status, 2);
    EXPECT_EQ(RunCli("import --genga sometimes " + scan).status, 2);
    EXPECT_EQ(RunCli("import --format png " + scan).status, 2);
    EXPECT_EQ(RunCli("export --gamut 200/100 x.hdq").status, 2);
    EXPECT_EQ(RunCli("export --reduce 9 x.hdq").status, 2);
    EXPECT_EQ(RunCli("import -o one.hdq " + scan + " " + scan).status, 2);
    EXPECT_EQ(RunCli("import -j many " + scan).status, 2);
    EXPECT_EQ(RunCli("import").status, 2);
    EXPECT_FALSE(Exists("a.hdq"));
}

TEST_F(CliBatch, ExportNeverReplacesTheScanItWasImportedFrom)
{
    // The default names collide: p.png -> p.hdq -> p.png.
    const std::string scan = Scan("p.png");
    const std::string before = FileContents(scan);
    ASSERT_EQ(RunCli("import " + scan).status, 0);
    CliRun r = RunCli("export --force " + Path("p.hdq"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("huedrane-cli: genga_overwrite: "), std::string::npos) << r.out;
    EXPECT_EQ(FileContents(scan), before);

    // A lossy genga differs from its scan on the paper's near-white; a genga left out keeps only the size.
    SBitmap paper;
    paper.Create(40, 30, 24);
    paper.FillRect(SColor(252, 251, 253));
    const SRect stroke{4, 4, 30, 6};
    paper.FillRect(SColor(30, 30, 30), &stroke);
    ASSERT_EQ(WritePngFile(&paper, SString(Path("lossy.png"))), 0u);
    ASSERT_EQ(RunCli("import --genga lossy " + Path("lossy.png")).status, 0);
    EXPECT_EQ(RunCli("export --force " + Path("lossy.hdq")).status, 1);
    ASSERT_EQ(RunCli("import --force --genga none " + scan).status, 0);
    EXPECT_EQ(RunCli("export --force " + Path("p.hdq")).status, 1);
    EXPECT_EQ(FileContents(scan), before);

    // Any other picture at the target is replaced as asked: another size, or other pixels.
    ASSERT_EQ(RunCli("import --force " + scan).status, 0);
    ASSERT_EQ(RunCli("export " + Path("p.hdq") + " -o " + Path("out.png")).status, 0);
    SBitmap small;
    small.Create(8, 8, 24);
    ASSERT_EQ(WritePngFile(&small, SString(scan)), 0u);
    r = RunCli("export --force " + Path("p.hdq"));
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(FileContents(scan), FileContents(Path("out.png")));
    paper.FillRect(SColor(0, 0, 255));
    ASSERT_EQ(WritePngFile(&paper, SString(scan)), 0u);
    EXPECT_EQ(RunCli("export --force " + Path("p.hdq")).status, 0);
    EXPECT_EQ(FileContents(scan), FileContents(Path("out.png")));
}

TEST_F(CliBatch, TargetsThatAreNotRegularFilesAreRefusedAndLinksWrittenThrough)
{
    ASSERT_EQ(RunCli("import " + Scan("a.png")).status, 0);
    const std::string fifo = Path("pipe.png");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::filesystem::create_symlink(fifo, Path("to-pipe.png"));
    for (const std::string& target : {fifo, Path("to-pipe.png")}) {
        for (const std::string& command : {"export --force " + Path("a.hdq"), "render " + Path("a.hdq")}) {
            CliRun r = RunCli(command + " -o " + target);
            EXPECT_EQ(r.status, 1) << command << " -o " << target;
            EXPECT_NE(r.out.find("huedrane-cli: file_not_regular: "), std::string::npos) << r.out;
        }
    }
    EXPECT_TRUE(std::filesystem::is_fifo(std::filesystem::symlink_status(fifo)));
    EXPECT_TRUE(std::filesystem::is_symlink(Path("to-pipe.png")));

    // A link to a regular file stays a link; the file it names gets the picture.
    SBitmap other;
    other.Create(8, 8, 24);
    ASSERT_EQ(WritePngFile(&other, SString(Path("real.png"))), 0u);
    std::filesystem::create_symlink(Path("real.png"), Path("link.png"));
    ASSERT_EQ(RunCli("export --force " + Path("a.hdq") + " -o " + Path("link.png")).status, 0);
    EXPECT_TRUE(std::filesystem::is_symlink(Path("link.png")));
    SBitmap out;
    ASSERT_EQ(ReadPngFile(&out, SString(Path("real.png"))), 0u);
    EXPECT_EQ(out.Dimensions(), (SPoint{40, 30}));

    // An empty -o is a usage error, not "beside the input".
    std::filesystem::remove(Path("a.hdq"));
    EXPECT_EQ(RunCli("import " + Path("a.png") + " -o \"\"").status, 2);
    EXPECT_FALSE(Exists("a.hdq"));
}

}  // namespace
