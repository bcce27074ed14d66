// The converter's check command on small drawn cels: the exit codes a pipeline acts on, a line per
// finding or a JSON object per document in the order given (whatever -j says), and failures that
// do not hide the other documents' findings.
#include "CarryDrawing.h"
#include "CliRunner.h"
#include "SDocumentFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <unistd.h>

using namespace ulib;
using namespace carry_drawing;

namespace {

class CliCheck : public testing::Test
{
protected:
    std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("huedrane-check-" + std::to_string(::getpid()));

    void SetUp() override { std::filesystem::create_directories(folder); }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::string Save(const std::string& name, const SCel& cel) const
    {
        const std::string path = (folder / name).string();
        EXPECT_EQ(SaveDocument(cel, SString(path)), 0u);
        return path;
    }
};

// The drawing as painted (every area in its colour, the pencil line converted) and unpainted (areas
// A, B, C and D left, the blue pencil line round D not converted).
TEST_F(CliCheck, ExitCodesAndALinePerFindingInTheDocumentsOrder)
{
    const std::string painted = Save("c001.hdq", Drawing({0, 0}, {.painted = true}));
    const std::string unpainted = Save("c002.hdq", Drawing({0, 0}));

    CliRun run = RunCli("check " + painted);
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(run.out, painted + ": clean\n");

    run = RunCli("check -j 2 " + unpainted + " " + painted);
    EXPECT_EQ(run.status, 3) << run.out;
    const std::string a = unpainted + ": unpainted ";
    EXPECT_EQ(run.out.find(a + std::to_string((BoxA.x1 - BoxA.x0 - 3) * (BoxA.y1 - BoxA.y0 - 3)) + " px at " +
                           std::to_string(BoxA.x0 + 2) + "," + std::to_string(BoxA.y0 + 2)),
              0u)
        << run.out;
    EXPECT_NE(run.out.find(unpainted + ": line blue "), std::string::npos) << run.out;
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 4 + 1 + 1) << run.out;  // A B C D, the line, clean
    EXPECT_EQ(run.out.substr(run.out.size() - painted.size() - 8), painted + ": clean\n");

    // The paper round the drawing touches the cel's edge: listed only when asked for.
    const CliRun edge = RunCli("check --include-edge " + painted);
    EXPECT_EQ(edge.status, 3);
    EXPECT_EQ(edge.out.find(painted + ": unpainted "), 0u) << edge.out;
}

TEST_F(CliCheck, JsonGivesOneObjectPerDocument)
{
    const std::string unpainted = Save("c002.hdq", Drawing({0, 0}, {.withC = false}));
    const CliRun run = RunCli("check --json --min-speck 0 " + unpainted);
    EXPECT_EQ(run.status, 3);
    const std::string head = "{\"document\":\"" + unpainted + "\",\"findings\":[{\"kind\":\"unpainted\",\"pixels\":";
    EXPECT_EQ(run.out.find(head), 0u) << run.out;
    EXPECT_NE(run.out.find(",\"at\":[12,12],\"bounds\":[12,12,69,59]}"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("{\"kind\":\"line\",\"colour\":\"blue\",\"pixels\":"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.substr(run.out.size() - 3), "]}\n");
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 1);
}

TEST_F(CliCheck, AFailureIsReportedWithoutHidingTheOthersAndUsageErrorsExitWithTwo)
{
    const std::string painted = Save("c001.hdq", Drawing({0, 0}, {.painted = true}));
    const std::string missing = (folder / "none.hdq").string();
    const CliRun run = RunCli("check " + missing + " " + painted);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("huedrane-cli: "), std::string::npos);
    EXPECT_NE(run.out.find("(" + missing + ")"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find(painted + ": clean\n"), std::string::npos) << run.out;

    for (const std::string& arguments : {std::string(""), "--min-speck x " + painted, "--min-speck 100001 " + painted,
                                        painted + " -o " + (folder / "out.txt").string(), "--gap 3 " + painted,
                                        "--force " + painted, "-j many " + painted}) {
        const CliRun usage = RunCli("check " + arguments);
        EXPECT_EQ(usage.status, 2) << arguments << "\n" << usage.out;
        EXPECT_NE(usage.out.find("usage:"), std::string::npos) << arguments;
    }
}

}  // namespace
