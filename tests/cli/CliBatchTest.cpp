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
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
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

}  // namespace

namespace {

TEST_F(CliBatch, CtrlCStopsTheImportAndWritesNothing)
{
    // Big enough that the import reports progress on its way.
    SBitmap picture;
    picture.Create(4000, 3000, 24);
    picture.FillRect(SColor(240, 238, 232));
    for (std::int32_t y = 0; y < 3000; y += 41) {
        const SRect stroke{0, y, 4000, y + 3};
        picture.FillRect(SColor(25, 25, 25), &stroke);
    }
    const std::string scan = Path("big.bmp");
    ASSERT_EQ(WriteBmpFile(picture, SString(scan)), 0u);

    int out[2];
    ASSERT_EQ(::pipe(out), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::dup2(out[1], 1);
        ::close(out[0]);
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 2);
        ::execl(HUEDRANE_CLI, HUEDRANE_CLI, "import", "--progress", scan.c_str(), nullptr);
        ::_exit(127);
    }
    ::close(out[1]);
    // Interrupt as soon as the import is under way, past 0% and short of 100%.
    FILE* progress = ::fdopen(out[0], "r");
    char line[256];
    bool interrupted = false;
    while (std::fgets(line, sizeof line, progress)) {  // read to the end, so the converter's output never breaks
        int percent = -1;
        if (!interrupted && std::sscanf(line, "progress: %d%%", &percent) == 1 && percent > 0 && percent < 100) {
            ::kill(child, SIGINT);
            interrupted = true;
        }
    }
    std::fclose(progress);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    if (!interrupted)
        GTEST_SKIP() << "the import finished before it could be interrupted";
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_FALSE(Exists("big.hdq"));
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        EXPECT_EQ(entry.path().filename().string().find(".saving"), std::string::npos) << entry.path();
}

}  // namespace
