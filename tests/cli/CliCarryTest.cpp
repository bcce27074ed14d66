// Carrying colours along a cut through the converter, on small drawn cels: a painted cel and the
// same drawing moved a few pixels in each further cel.
#include "CarryDrawing.h"
#include "CliRunner.h"
#include "SDocumentFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

using namespace ulib;
using namespace carry_drawing;

namespace {

class CliCarry : public testing::Test
{
protected:
    std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("huedrane-carry-" + std::to_string(::getpid()));
    std::string painted;
    std::string paintedBytes;

    void SetUp() override
    {
        std::filesystem::create_directories(folder);
        painted = Save("c001.hdq", Drawing({0, 0}, {.painted = true}));
        paintedBytes = FileContents(painted);
    }
    void TearDown() override
    {
        EXPECT_EQ(FileContents(painted), paintedBytes) << "the painted cel was written";
        std::filesystem::remove_all(folder);
    }

    std::string Path(const std::string& name) const { return (folder / name).string(); }

    std::string Save(const std::string& name, const SCel& cel) const
    {
        EXPECT_EQ(SaveDocument(cel, SString(Path(name))), 0u);
        return Path(name);
    }

    // A cel of the drawing moved by `shift`, unpainted unless `look` says otherwise.
    std::string Target(const std::string& name, SPoint shift, Look look = {}) const
    {
        return Save(name, Drawing(shift, look));
    }

    // The target after the painter's clicks inside A, B, C and D with the paint tool closing gaps
    // up to `gap`, run by the edit command (the drawing moved by 4, 3).
    SCel ClickedByHand(const std::string& target, int gap) const
    {
        const std::string script = Path("clicks.txt");
        std::ofstream(script) << "mode colour\ngap " << gap << "\n"
                              << "colour #FF0000\npaint 44 38\n"
                              << "colour #00C000\npaint 96 70\n"
                              << "colour #FFFF00\npaint 54 95\n"
                              << "colour #0000FF\npaint 122 44\n";
        const CliRun clicked = RunCli("edit " + target + " --script " + script + " -o " + Path("clicked.hdq"));
        EXPECT_EQ(clicked.status, 0) << clicked.out;
        SCel byHand;
        EXPECT_EQ(LoadDocument(byHand, SString(Path("clicked.hdq"))), 0u);
        return byHand;
    }

    // The saved cel holds the painter's colours and converted line at `shift`, exactly.
    static void ExpectCarried(const std::string& path, SPoint shift, Look look = {})
    {
        SCel cel;
        ASSERT_EQ(LoadDocument(cel, SString(path)), 0u) << path;
        look.painted = true;
        look.ePainted = look.withE;
        const SCel want = Drawing(shift, look);
        EXPECT_TRUE(Pixels(cel.paint) == Pixels(want.paint)) << path << ": paint layer";
        EXPECT_TRUE(Pixels(cel.trace) == Pixels(want.trace)) << path << ": trace layer";
        EXPECT_EQ(cel.flag.Row(BoxD.y0 + shift.y)[BoxD.x0 + 10 + shift.x], cel_values::CodeBlue) << path;
    }
};

TEST_F(CliCarry, CarriesAlongTheCutInPlaceEachTargetFromTheOneBefore)
{
    // C is out of the second cel, which gains E and paints it by hand: the third cel takes E from
    // the second and C from the painted cel.
    const std::string t2 = Target("c002.hdq", {3, 2}, {.withC = false, .withE = true, .ePainted = true});
    const std::string t3 = Target("c003.hdq", {6, 3}, {.withE = true});
    const std::string t4 = Target("c004.hdq", {9, 5}, {.withE = true});
    const CliRun run = RunCli("carry --from " + painted + " " + t2 + " " + t3 + " " + t4 + " --in-place");
    ASSERT_EQ(run.status, 0) << run.out;
    ExpectCarried(t2, {3, 2}, {.withC = false, .withE = true});
    ExpectCarried(t3, {6, 3}, {.withE = true});
    ExpectCarried(t4, {9, 5}, {.withE = true});
    // Regions: the paper (left unpainted as the painted cel leaves it) and the shapes.
    EXPECT_EQ(run.out.find(t2 + ": 5 regions, 3 painted, 0 left, "), 0u) << run.out;
    EXPECT_NE(run.out.find("\n" + t3 + ": 6 regions, 5 painted, 0 left, "), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\n" + t4 + ": 6 regions, 5 painted, 0 left, "), std::string::npos) << run.out;
}

TEST_F(CliCarry, ACelLeftWithoutPaintIsPassedOverForThePaintedOne)
{
    const std::string blank = Target("blank.hdq", {500, 500});  // the drawing is off the paper
    const std::string t3 = Target("c003.hdq", {6, 3});
    const CliRun run = RunCli("carry --from " + painted + " " + blank + " " + t3 + " --in-place");
    ASSERT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(run.out.find(blank + ": 1 regions, 0 painted, 0 left, 0 line pixels\n"), 0u) << run.out;
    ExpectCarried(t3, {6, 3});
}

TEST_F(CliCarry, OutputPaintsExactlyWhatFillClicksPaintAndLeavesTheTargetAsItWas)
{
    const std::string target = Target("c002.hdq", {4, 3});
    const std::string before = FileContents(target);
    const CliRun run = RunCli("carry --from " + painted + " " + target + " -o " + Path("out.hdq"));
    ASSERT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(run.out.find(target + " -> " + Path("out.hdq") + ": 5 regions"), 0u) << run.out;
    EXPECT_EQ(FileContents(target), before);

    SCel carried;
    ASSERT_EQ(LoadDocument(carried, SString(Path("out.hdq"))), 0u);
    EXPECT_TRUE(Pixels(carried.paint) == Pixels(ClickedByHand(target, 0).paint));
    ExpectCarried(Path("out.hdq"), {4, 3});
}

TEST_F(CliCarry, GapCarriesTheAreasAGapClosingFillPaintsAsItsClicksWould)
{
    // Box A's right side opened over three rows into the paper around it.
    SCel opened = Drawing({4, 3});
    for (std::int32_t y = 36; y < 39; ++y)
        for (std::int32_t x = 73; x < 75; ++x)
            opened.paint.Row32(y)[x] = cel_values::Unpainted;
    const std::string target = Save("c002.hdq", opened);

    // Without a gap A and the paper are one area, which the painted cel gives two colours: left.
    CliRun run = RunCli("carry --from " + painted + " " + target + " -o " + Path("plain.hdq"));
    ASSERT_EQ(run.status, 0) << run.out;
    SCel plain;
    ASSERT_EQ(LoadDocument(plain, SString(Path("plain.hdq"))), 0u);
    EXPECT_NE(plain.paint.Row32(38)[44], ColourA);

    run = RunCli("carry --gap 4 --from " + painted + " " + target + " -o " + Path("out.hdq"));
    ASSERT_EQ(run.status, 0) << run.out;
    SCel carried;
    ASSERT_EQ(LoadDocument(carried, SString(Path("out.hdq"))), 0u);
    EXPECT_EQ(carried.paint.Row32(38)[44], ColourA);
    EXPECT_EQ(carried.paint.Row32(37)[80], cel_values::Unpainted);  // the paper beyond the opening
    EXPECT_TRUE(Pixels(carried.paint) == Pixels(ClickedByHand(target, 4).paint));

    for (const char* gap : {"33", "-1", "x"})
        EXPECT_EQ(RunCli("carry --gap " + std::string(gap) + " --from " + painted + " " + target + " --in-place").status, 2)
            << gap;
}

TEST_F(CliCarry, JsonGivesOneObjectPerTargetInOrder)
{
    const std::string t2 = Target("c002.hdq", {2, 1}), t3 = Target("c003.hdq", {4, 2});
    const CliRun run = RunCli("carry --json --from " + painted + " " + t2 + " " + t3 + " --in-place -j 2");
    ASSERT_EQ(run.status, 0) << run.out;
    const std::size_t split = run.out.find('\n');
    ASSERT_NE(split, std::string::npos);
    const std::string first = run.out.substr(0, split + 1), second = run.out.substr(split + 1);
    for (const auto& [line, path] : {std::pair{first, t2}, std::pair{second, t3}}) {
        const std::string head = "{\"target\":\"" + path + "\",\"output\":\"" + path +
                                 "\",\"regions\":5,\"painted\":4,\"left\":0,\"lines\":";
        EXPECT_EQ(line.find(head), 0u) << line;
        EXPECT_GT(std::atoi(line.c_str() + head.size()), 0) << line;  // the blue pencil line's pixels
        EXPECT_NE(line.find(",\"milliseconds\":"), std::string::npos) << line;
        EXPECT_EQ(line.substr(line.size() - 2), "}\n") << line;
    }
}

TEST_F(CliCarry, UsageErrorsExitWithTwoAndWriteNothing)
{
    const std::string t2 = Target("c002.hdq", {3, 2}), t3 = Target("c003.hdq", {6, 3});
    const std::string out = Path("out.hdq");
    const std::string from = " --from " + painted + " ";
    const std::string cases[] = {
        t2 + " --in-place",                                // no painted cel
        from + "--in-place",                               // no target
        from + t2,                                         // neither -o nor --in-place
        from + t2 + " --in-place -o " + out,               // both
        from + t2 + " " + t3 + " -o " + out,               // -o with two targets
        from + t2 + " " + painted + " --in-place",         // the painted cel as a target
        from + t2 + " -o " + painted,                      // or as the output
        from + t2 + " --in-place -j many",                 // -j out of range
        from + t2 + " --in-place --force",                 // another command's option
        "--from \"\" " + t2 + " --in-place",
    };
    const std::string before2 = FileContents(t2), before3 = FileContents(t3);
    for (const std::string& arguments : cases) {
        const CliRun run = RunCli("carry " + arguments);
        EXPECT_EQ(run.status, 2) << arguments << "\n" << run.out;
        EXPECT_NE(run.out.find("usage:"), std::string::npos) << arguments;
    }
    EXPECT_EQ(RunCli("export --json " + t2).status, 2);
    EXPECT_EQ(FileContents(t2), before2);
    EXPECT_EQ(FileContents(t3), before3);
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST_F(CliCarry, AFailingTargetStopsTheChainKeepingTheOnesBefore)
{
    const std::string t2 = Target("c002.hdq", {3, 2}), t4 = Target("c004.hdq", {9, 5});
    const std::string text = Path("c003.hdq");
    std::ofstream(text) << "not a document at all, just text long enough";
    const std::string textBefore = FileContents(text), t4Before = FileContents(t4);

    const CliRun run = RunCli("carry --from " + painted + " " + t2 + " " + text + " " + t4 + " --in-place");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("huedrane-cli: UnacceptableFormat: "), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("(" + text + ")\n"), std::string::npos) << run.out;
    ExpectCarried(t2, {3, 2});
    EXPECT_EQ(FileContents(text), textBefore);
    EXPECT_EQ(FileContents(t4), t4Before);
}

TEST_F(CliCarry, SourcesOfAnotherSizeOrWithoutPaintAreRefused)
{
    const std::string target = Target("c002.hdq", {3, 2});
    const std::string large = Save("large.hdq", Drawing({3, 2}, {}, {CelSize.x + 8, CelSize.y}));
    const std::string largeBefore = FileContents(large);
    CliRun run = RunCli("carry --from " + painted + " " + large + " --in-place");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out.find("huedrane-cli: carry_size: "), 0u) << run.out;
    EXPECT_NE(run.out.find("(" + large + ")"), std::string::npos) << run.out;
    EXPECT_EQ(FileContents(large), largeBefore);

    // The second target is of another size than the first as carried.
    run = RunCli("carry --from " + painted + " " + target + " " + large + " --in-place");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("huedrane-cli: carry_size: "), std::string::npos) << run.out;
    EXPECT_EQ(FileContents(large), largeBefore);
    ExpectCarried(target, {3, 2});

    Target("c002.hdq", {3, 2});
    const std::string before = FileContents(target);
    const std::string unpainted = Target("unpainted.hdq", {0, 0});
    run = RunCli("carry --from " + unpainted + " " + target + " -o " + Path("out.hdq"));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out.find("huedrane-cli: carry_unpainted: "), 0u) << run.out;
    EXPECT_EQ(FileContents(target), before);
    EXPECT_FALSE(std::filesystem::exists(Path("out.hdq")));

    run = RunCli("carry --from " + Path("missing.hdq") + " " + target + " --in-place");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("(" + Path("missing.hdq") + ")"), std::string::npos) << run.out;
    EXPECT_EQ(FileContents(target), before);
}

}  // namespace
