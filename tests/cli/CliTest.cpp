// The converter as users run it: a real process on real files, its output and exit status checked.
#include "CliRunner.h"
#include "SCel.h"
#include "SDocumentFile.h"
#include "Sxpng.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

using namespace ulib;

namespace {

void WriteText(const std::string& path, const char* text)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fputs(text, f);
    std::fclose(f);
}

class Cli : public testing::Test
{
protected:
    std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("huedrane-cli-" + std::to_string(::getpid()));
    std::string document;

    void SetUp() override
    {
        std::filesystem::create_directories(folder);
        document = (folder / "cel.hdq").string();
        SCel cel;
        cel.genga.Create(6, 4, 24);
        cel.paint.Create(6, 4, 32);
        cel.trace.Create(6, 4, 32);
        cel.display.Create(6, 4, 32);
        cel.flag.Create(6, 4, 8);
        cel.paint.FillRect(SColor(10, 20, 30));
        cel.trace.FillRect(SColor::FromPixel(cel_values::NoLine));
        cel.trace.Row32(1)[2] = 0x000000FFu;
        cel.flag.Row(3)[5] = 1;
        cel.memo.Append(SString("first \"line\""));
        cel.memo.Append(SString("二行目"));
        cel.held.Append(cel.genga);
        ASSERT_EQ(SaveDocument(cel, SString(document)), 0u);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }
};

TEST_F(Cli, InfoDescribesTheRecordsMemoAndFlags)
{
    const CliRun run = RunCli("info " + document);
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(run.out,
              "{\"width\":6,\"height\":4,\"format\":32,\"records\":["
              "{\"kind\":1,\"width\":6,\"height\":4,\"format\":24,\"tiles\":1,\"palette\":0,\"extra\":0,\"name\":\"\"},"
              "{\"kind\":1,\"width\":6,\"height\":4,\"format\":32,\"tiles\":1,\"palette\":0,\"extra\":0,\"name\":\"\"},"
              "{\"kind\":1,\"width\":6,\"height\":4,\"format\":32,\"tiles\":1,\"palette\":0,\"extra\":0,\"name\":\"\"},"
              "{\"kind\":2,\"width\":128,\"height\":85,\"format\":24,\"tiles\":4,\"palette\":0,\"extra\":0,\"name\":\"\"},"
              "{\"kind\":3,\"width\":0,\"height\":0,\"format\":24,\"tiles\":0,\"palette\":0,\"extra\":22,\"name\":\"\"},"
              "{\"kind\":1003,\"width\":0,\"height\":0,\"format\":24,\"tiles\":0,\"palette\":0,\"extra\":20,\"name\":\"\"}],"
              "\"memo\":[\"first \\\"line\\\"\",\"二行目\"],\"flags\":true}\n");
}

TEST_F(Cli, RenderWritesTheComposedCelAndHonoursHiddenLayers)
{
    const std::string png = (folder / "out.png").string();
    CliRun run = RunCli("render " + document + " -o " + png);
    ASSERT_EQ(run.status, 0) << run.out;
    SBitmap image;
    ASSERT_EQ(ReadPngFile(&image, SString(png)), 0u);
    ASSERT_EQ(image.Format(), 32);
    EXPECT_EQ(image.Row32(0)[0], 0xFF0A141Eu);
    EXPECT_EQ(image.Row32(1)[2], 0xFF000000u);

    run = RunCli("render " + document + " -o " + png + " --hide paint,trace,genga");
    ASSERT_EQ(run.status, 0) << run.out;
    ASSERT_EQ(ReadPngFile(&image, SString(png)), 0u);
    EXPECT_EQ(image.Row32(1)[2], 0u);
}

TEST_F(Cli, ThumbnailWritesTheStoredRecord)
{
    const std::string png = (folder / "thumb.png").string();
    const CliRun run = RunCli("thumbnail " + document + " -o " + png);
    ASSERT_EQ(run.status, 0) << run.out;
    SBitmap image;
    ASSERT_EQ(ReadPngFile(&image, SString(png)), 0u);
    EXPECT_EQ(image.Dimensions(), (SPoint{128, 85}));
    EXPECT_EQ(image.GetColor(0, 0), SColor(10, 20, 30));
}

TEST_F(Cli, FailuresNameTheirErrorAndUsageErrorsExitWithTwo)
{
    CliRun run = RunCli("info " + (folder / "missing.hdq").string());
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "huedrane-cli: errno: " + (folder / "missing.hdq").string() + ": " + std::strerror(ENOENT) + "\n");

    // A failure the system explains keeps the writer's identifier and names the file and the reason.
    const std::string unwritable = (folder / "no-such-folder" / "x.png").string();
    run = RunCli("render " + document + " -o " + unwritable);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "huedrane-cli: pngerror: " + unwritable + ": " + std::strerror(ENOENT) + "\n");

    WriteText((folder / "bad.hdq").string(), "not a document at all, just text long enough");
    run = RunCli("render " + (folder / "bad.hdq").string() + " -o " + (folder / "x.png").string());
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "huedrane-cli: UnacceptableFormat: この形式のデータには対応していないので、読み込むことができません。\n");
    EXPECT_FALSE(std::filesystem::exists(folder / "x.png"));

    EXPECT_EQ(RunCli("").status, 2);
    EXPECT_EQ(RunCli("render " + document).status, 2);
    EXPECT_EQ(RunCli("render " + document + " -o x.png --hide sky").status, 2);
    EXPECT_EQ(RunCli("convert " + document).status, 2);
}

}  // namespace

namespace {

TEST_F(Cli, EditRunsAScriptAndSavesTheCel)
{
    const std::string script = (folder / "script.txt").string();
    const std::string out = (folder / "edited.hdq").string();
    WriteText(script, "# recolour the cel\n"
                         "mode colour\n"
                         "colour #FF000080\n"
                         "\n"
                         "paint 0 0\n"
                         "colour (0,0,255)\n"
                         "fix 0 3 5 3\n"
                         "memo edited by script\n");
    const CliRun run = RunCli("edit " + document + " --script " + script + " -o " + out);
    ASSERT_EQ(run.status, 0) << run.out;

    SCel cel;
    ASSERT_EQ(LoadDocument(cel, SString(out)), 0u);
    EXPECT_EQ(cel.paint.Row32(0)[0], 0x80FF0000u);
    EXPECT_EQ(cel.paint.Row32(3)[2], 0x00FF0000u);  // the boundary line is a red border
    ASSERT_EQ(cel.memo.Count(), 3);
    EXPECT_EQ(cel.memo[2], SString("edited by script"));

    SCel original;
    ASSERT_EQ(LoadDocument(original, SString(document)), 0u);
    EXPECT_EQ(original.paint.Row32(0)[0], 0xFF0A141Eu);
}

TEST_F(Cli, BrushWithPairsDragsTheBrushToolAndWithThreeNumbersSetsIt)
{
    const std::string script = (folder / "brush.txt").string();
    const std::string out = (folder / "brushed.hdq").string();
    WriteText(script, "colour (0,0,255)\n"
                      "brush 1 100 255\n"
                      "brush 0 0 5 0\n");
    const CliRun run = RunCli("edit " + document + " --script " + script + " -o " + out);
    ASSERT_EQ(run.status, 0) << run.out;
    SCel cel;
    ASSERT_EQ(LoadDocument(cel, SString(out)), 0u);
    for (int x = 0; x < 6; ++x)
        EXPECT_EQ(cel.paint.Row32(0)[x] & 0x00FFFFFFu, 0x0000FFu) << x;  // the stroke's row is blue
    EXPECT_EQ(cel.paint.Row32(3)[0], 0xFF0A141Eu);                       // far from it, untouched
}

TEST_F(Cli, GapClosesTheOpeningsOfTheFollowingFills)
{
    // A box outlined 3 pixels wide on a 40 x 30 cel, its right side opened over 3 rows.
    SCel cel;
    const std::int32_t w = 40, h = 30;
    cel.genga.Create(w, h, 24);
    cel.paint.Create(w, h, 32);
    cel.trace.Create(w, h, 32);
    cel.display.Create(w, h, 32);
    cel.flag.Create(w, h, 8);
    for (std::int32_t y = 0; y < h; ++y)
        for (std::int32_t x = 0; x < w; ++x) {
            const bool box = x >= 5 && x < 35 && y >= 5 && y < 25;
            const bool side = x < 8 || x >= 32 || y < 8 || y >= 22;
            const bool opened = x >= 32 && y >= 14 && y < 17;
            cel.paint.Row32(y)[x] = box && side && !opened ? cel_values::BorderBlack : cel_values::Unpainted;
            cel.trace.Row32(y)[x] = cel_values::NoLine;
        }
    cel.held.Append(cel.genga);
    const std::string opened = (folder / "opened.hdq").string();
    ASSERT_EQ(SaveDocument(cel, SString(opened)), 0u);
    // With a gap the fill stays inside; a later "gap 0" gives back the fill that flows out.
    for (const bool reset : {false, true}) {
        const std::string script = (folder / "gap.txt").string();
        const std::string text = std::string("colour (255,0,0)\ngap 4\n") + (reset ? "gap 0\n" : "") + "paint 20 15\n";
        WriteText(script, text.c_str());
        const std::string out = (folder / "closed.hdq").string();
        const CliRun run = RunCli("edit " + opened + " --script " + script + " -o " + out);
        ASSERT_EQ(run.status, 0) << run.out;
        SCel edited;
        ASSERT_EQ(LoadDocument(edited, SString(out)), 0u);
        EXPECT_EQ(edited.paint.Row32(10)[10], 0xFFFF0000u) << reset;  // a corner of the inside
        EXPECT_EQ(edited.paint.Row32(1)[1], reset ? 0xFFFF0000u : cel_values::Unpainted) << reset;
    }
}

TEST_F(Cli, EditReadsStandardInputAndUndoes)
{
    const std::string out = (folder / "edited.hdq").string();
    const std::string input = (folder / "input.txt").string();
    WriteText(input, "mode eraser\nfillall paint\nundo\nfillall trace\n");
    const CliRun run = RunCli("edit " + document + " --script - -o " + out + " < " + input);
    ASSERT_EQ(run.status, 0) << run.out;
    SCel cel;
    ASSERT_EQ(LoadDocument(cel, SString(out)), 0u);
    EXPECT_EQ(cel.paint.Row32(2)[2], 0xFF0A141Eu);
}

TEST_F(Cli, MalformedScriptsNameTheLineAndWriteNothing)
{
    const std::string out = (folder / "edited.hdq").string();
    const char* const scripts[] = {"mode colour\nbrush 300 0 255\n", "paint 1\n", "pen 5\n", "gap 33\n", "gap\n", "fillall sky\n",
                                   "spray 1 1\n", "show clouds\n", "brush 5\n", "brush 1 2 3 4 5\n", "brush\n"};
    for (const char* script : scripts) {
        const std::string file = (folder / "bad.txt").string();
        WriteText(file, script);
        const CliRun run = RunCli("edit " + document + " --script " + file + " -o " + out);
        EXPECT_EQ(run.status, 2) << script;
        EXPECT_NE(run.out.find("line "), std::string::npos) << run.out;
        EXPECT_FALSE(std::filesystem::exists(out)) << script;
    }
    EXPECT_NE(RunCli("edit " + document + " --script " + (folder / "bad.txt").string() + " -o " + out).out.find("line 1:"),
              std::string::npos);
}

}  // namespace
