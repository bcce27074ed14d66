#include "FuzzSeeds.h"
#include "SColourChart.h"
#include "SDefaultChart.h"
#include "SLanguage.h"
#include "ScratchFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using namespace ulib;
using namespace std::string_literals;

namespace {

SColourGroup Group(std::initializer_list<std::pair<SColor, const char*>> entries)
{
    SColourGroup g;
    for (const auto& [colour, name] : entries)
        EXPECT_EQ(g.Append(colour, SString(name)), 0u);
    return g;
}

std::string TempPath(const char* name)
{
    return ::testing::TempDir() + "h11_" + std::to_string(::getpid()) + "_" + name;
}

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(ColourChartFile, SavesTwoGroupsAsCp932WithCrLf)
{
    SColourChart chart;
    ASSERT_EQ(chart.groups.Append(SString("肌"), Group({{SColor(240, 200, 160), "影"}, {SColor(255, 128, 0, 127), "a"}})), 0u);
    ASSERT_EQ(chart.groups.Append(SString("B"), Group({{SColor::Black, "ゾ"}})), 0u);
    const std::string path = TempPath("save.ini");
    ASSERT_EQ(chart.SaveChartFile(SString(path)), 0u);
    EXPECT_EQ(ReadAll(path), "[\x94\xa7]\r\n\x89\x65=(240,200,160)\r\n"
                             "a=(255,128,0,128)\r\n[B]\r\n\x83\x5d=(0,0,0)\r\n"s);

    SColourChart again;
    ASSERT_EQ(again.LoadChartFile(SString(path)), 0u);
    EXPECT_EQ(again.groups, chart.groups);

    // Text CP932 cannot hold goes out as UTF-8 and comes back.
    chart.groups.Key(1) = SString("😀");
    ASSERT_EQ(chart.SaveChartFile(SString(path)), 0u);
    ASSERT_EQ(again.LoadChartFile(SString(path)), 0u);
    EXPECT_EQ(again.groups, chart.groups);
    std::remove(path.c_str());
}

TEST(ColourChartFile, FailedLoadEmptiesTheChartAndAFolderIsNoTarget)
{
    SColourChart chart;
    chart.AppendGroup(SColor::White, SColourMode::Colour);
    EXPECT_NE(chart.LoadChartFile(SString(TempPath("missing.ini"))), 0u);
    EXPECT_TRUE(chart.groups.IsEmpty());

    // A huge file (a picture chosen by mistake) is refused before it fills memory.
    const std::string huge = TempPath("huge.ini");
    std::ofstream(huge) << "[G]\r\na=(1,2,3)\r\n";
    ASSERT_EQ(::truncate(huge.c_str(), 17 << 20), 0);
    chart.AppendGroup(SColor::White, SColourMode::Colour);
    EXPECT_EQ(chart.LoadChartFile(SString(huge)), ErrorFromIdentifier("too_large_data"));
    EXPECT_TRUE(chart.groups.IsEmpty());
    std::remove(huge.c_str());

    const std::string folder = TempPath("folder");
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    chart.AppendGroup(SColor::White, SColourMode::Colour);
    EXPECT_NE(chart.SaveChartFile(SString(folder)), 0u);
    ::rmdir(folder.c_str());
}

TEST(ColourChartParse, CommentsBlanksBreaksAndRepeatedSections)
{
    const std::string bytes = "; comment\r\n\r\n  [A ]\t\n"
                              "red = (255,0,0) ; note\r"
                              "\x01ignored=1\0"
                              "[B]\f"
                              "noequals\r\n"
                              "[A]\r\0"
                              "blue=#0000FF\r\f"
                              "semi;colon=(1,2,3)\n"
                              "[Empty;x]\n"s;
    const SColourGroups groups = SColourChart::ParseChart(bytes);
    SColourGroups expected;
    expected.Append(SString("A"), Group({{SColor::Red, "red"}, {SColor::Blue, "blue"}, {SColor::Black, "semi"}}));
    expected.Append(SString("B"), Group({{SColor::Black, "noequals"}}));
    expected.Append(SString("Empty"), Group({{SColor::Black, "新しい色"}}));
    EXPECT_EQ(groups, expected);
}

TEST(ColourChartParse, DoubleByteTrailBytesAreNotSpecial)
{
    // ゼ is 83 5B ("[" as trail), ゾ is 83 5D ("]" as trail), ソ is 83 5C.
    const std::string bytes = "[\x83\x5b\x83\x5d]\r\n\x83\x5d\x83\x5c=(1,2,3)\r\n"
                              "[\xe3\x81\x82]\r\n\xe3\x81\x82=(4,5,6)\r\n"s;  // a UTF-8 section
    const SColourGroups groups = SColourChart::ParseChart(bytes);
    SColourGroups expected;
    expected.Append(SString("ゼゾ"), Group({{SColor(1, 2, 3), "ゾソ"}}));
    expected.Append(SString("あ"), Group({{SColor(4, 5, 6), "あ"}}));
    EXPECT_EQ(groups, expected);
}

TEST(ColourChartParse, AnyBytesAreReadSafely)
{
    // A lead byte at the end of a line or file, pairs before any section, lone controls.
    const std::string bytes = "x=(9,9,9)\r\n[\x83]\r\n\x83\r\n\x81=\x81\r\n[\x81"s;
    const SColourGroups groups = SColourChart::ParseChart(bytes);
    ASSERT_EQ(groups.Count(), 2);
    EXPECT_EQ(groups.Value(0).Count(), 2);
    EXPECT_EQ(groups.Value(1), Group({{SColor::Black, "新しい色"}}));
    EXPECT_TRUE(SColourChart::ParseChart("").IsEmpty());
}

TEST(ColourChartCommands, GroupsAndColours)
{
    SColourChart chart;
    chart.AppendGroup(SColor(1, 2, 3), SColourMode::Colour);
    chart.AppendGroup(SColor(1, 2, 3), SColourMode::Eraser);
    EXPECT_TRUE(chart.modified);
    ASSERT_EQ(chart.groups.Count(), 2);
    EXPECT_EQ(chart.groups.Key(0), SString("新しいグループ"));
    EXPECT_EQ(chart.groups.Value(0), Group({{SColor(1, 2, 3), "新しい色"}}));
    EXPECT_EQ(chart.groups.Value(1), Group({{SColor::Black, "新しい色"}}));

    EXPECT_FALSE(chart.DeleteColour(0, 0));  // the last colour stays
    EXPECT_EQ(chart.groups.Value(0).Count(), 1);
    EXPECT_TRUE(chart.AppendColour(0, SColor(4, 5, 6), SColourMode::Colour));
    EXPECT_TRUE(chart.AppendColour(0, SColor(7, 8, 9), SColourMode::Colour));
    EXPECT_TRUE(chart.RenameColour(0, 2, SString("c")));
    EXPECT_TRUE(chart.MoveColour(0, 2, 0));
    EXPECT_EQ(chart.groups.Value(0), Group({{SColor(7, 8, 9), "c"}, {SColor(1, 2, 3), "新しい色"}, {SColor(4, 5, 6), "新しい色"}}));
    EXPECT_TRUE(chart.MoveColour(0, 0, 2));
    EXPECT_EQ(chart.groups.Value(0).Key(2), SColor(7, 8, 9));
    EXPECT_FALSE(chart.MoveColour(0, 0, 3));
    EXPECT_TRUE(chart.SetColour(0, 0, SColor::White));
    EXPECT_TRUE(chart.DeleteColour(0, 0));
    EXPECT_EQ(chart.groups.Value(0).Key(0), SColor(4, 5, 6));

    EXPECT_TRUE(chart.RenameGroup(1, SString("")));
    EXPECT_EQ(chart.groups.Key(1), SString(""));
    EXPECT_FALSE(chart.DeleteGroup(2));
    EXPECT_TRUE(chart.DeleteGroup(0));
    EXPECT_EQ(chart.groups.Count(), 1);
}

TEST(ColourChartCommands, QuickPaletteBothWays)
{
    SColourChart chart;
    std::array<SColor, 16> palette{};
    chart.FromQuickPalette(palette);
    ASSERT_EQ(chart.groups.Count(), 1);
    EXPECT_EQ(chart.groups.Key(0), SString("クイックパレット"));
    ASSERT_EQ(chart.groups.Value(0).Count(), 16);
    EXPECT_EQ(chart.groups.Value(0).Value(0), SString("クイックパレット01"));
    EXPECT_EQ(chart.groups.Value(0).Value(15), SString("クイックパレット16"));

    chart.AppendGroup(SColor::Red, SColourMode::Colour);
    chart.AppendColour(1, SColor::Green, SColourMode::Colour);
    palette.fill(SColor::Blue);
    EXPECT_TRUE(chart.ToQuickPalette(1, palette));
    EXPECT_EQ(palette[0], SColor::Red);
    EXPECT_EQ(palette[1], SColor::Green);
    EXPECT_EQ(palette[2], SColor::Blue);
    EXPECT_FALSE(chart.ToQuickPalette(5, palette));
}

TEST(ColourChartFile, LocationFollowsXdgDataHome)
{
    const char* oldData = std::getenv("XDG_DATA_HOME");
    const std::string saved = oldData ? oldData : "";
    const char* oldHome = std::getenv("HOME");
    const std::string savedHome = oldHome ? oldHome : "";
    ::setenv("XDG_DATA_HOME", "/data/", 1);
    EXPECT_EQ(ChartFilePath(), SString("/data/Vantrel/Huedrane/chart.ini"));
    ::setenv("XDG_DATA_HOME", "relative", 1);
    ::setenv("HOME", "/home/u", 1);
    EXPECT_EQ(ChartFilePath(), SString("/home/u/.local/share/Vantrel/Huedrane/chart.ini"));
    if (oldData)
        ::setenv("XDG_DATA_HOME", saved.c_str(), 1);
    else
        ::unsetenv("XDG_DATA_HOME");
    if (oldHome)
        ::setenv("HOME", savedHome.c_str(), 1);
    else
        ::unsetenv("HOME");
}

// The chart a new user starts with is real: the usual groups, named colours, the trace line colours.
TEST(ColourChartDefault, HoldsTheUsualGroupsAndTheTraceLineColours)
{
    const SColourGroups groups = SColourChart::ParseChart(DefaultChartBytes());
    for (const char* name : {"肌", "髪", "影", "ハイライト", "線"})
        EXPECT_GE(groups.IndexOf(SString(name)), 0) << name;
    const SColourGroup& lines = groups.Value(groups.IndexOf(SString("線")));
    auto colourOf = [&](const char* name) {
        for (std::int32_t i = 0; i < lines.Count(); ++i)
            if (lines.Value(i) == SString(name))
                return lines.Key(i);
        ADD_FAILURE() << name;
        return SColor::White;
    };
    EXPECT_EQ(colourOf("黒の線"), SColor::Black);
    EXPECT_EQ(colourOf("影色トレス線"), SColor(0, 0, 255));
    EXPECT_EQ(colourOf("ハイライト線"), SColor(255, 0, 0));
    EXPECT_EQ(colourOf("色トレス線"), SColor(0, 255, 0));
    // Every entry was written on purpose: none fell back to the parser's placeholder.
    for (std::int32_t g = 0; g < groups.Count(); ++g)
        for (std::int32_t c = 0; c < groups.Value(g).Count(); ++c)
            EXPECT_NE(groups.Value(g).Value(c), SString(kChartNewColourName)) << groups.Key(g).Str();

    // An English run starts from the same colours under English names.
    SetLanguage(SLanguage::English);
    const SColourGroups english = SColourChart::ParseChart(DefaultChartBytes());
    ClearLanguage();
    ASSERT_EQ(english.Count(), groups.Count());
    EXPECT_EQ(english.Key(4), SString("Lines"));
    for (std::int32_t g = 0; g < groups.Count(); ++g) {
        ASSERT_EQ(english.Value(g).Count(), groups.Value(g).Count()) << english.Key(g).Str();
        for (std::int32_t c = 0; c < groups.Value(g).Count(); ++c) {
            EXPECT_EQ(english.Value(g).Key(c), groups.Value(g).Key(c)) << english.Value(g).Value(c).Str();
            EXPECT_NE(english.Value(g).Value(c), SString(kChartNewColourName));
        }
    }
}

// The per-user chart in a scratch data folder, as the chart box finds it.
class UserChart : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (const char* previous = std::getenv("XDG_DATA_HOME"))
            previous_ = previous;
        ASSERT_EQ(::mkdir(scratch_.Path("data").c_str(), 0755), 0);
        ::setenv("XDG_DATA_HOME", scratch_.Path("data").c_str(), 1);
    }
    void TearDown() override
    {
        if (previous_)
            ::setenv("XDG_DATA_HOME", previous_->c_str(), 1);
        else
            ::unsetenv("XDG_DATA_HOME");
    }
    SError Load() { return chart.LoadUserChart(ChartFilePath(), "[Paint]\r\nRed=(255,0,0)\r\n"); }

    SColourChart chart;

private:
    ScratchFolder scratch_;
    std::optional<std::string> previous_;
};

TEST_F(UserChart, FirstStartTakesTheDefaultChartToBeSaved)
{
    EXPECT_EQ(Load(), 0u);
    ASSERT_EQ(chart.groups.Count(), 1);
    EXPECT_EQ(chart.groups.Value(0).Key(0), SColor(255, 0, 0));
    EXPECT_TRUE(chart.modified);

    // Saved as the box saves a changed chart, it is the user's chart from then on.
    ASSERT_EQ(MakeChartFolder(), 0u);
    ASSERT_EQ(chart.SaveChartFile(ChartFilePath()), 0u);
    chart.AppendGroup(SColor::White, SColourMode::Colour);
    EXPECT_EQ(Load(), 0u);
    EXPECT_EQ(chart.groups.Count(), 1);
    EXPECT_FALSE(chart.modified);
}

TEST_F(UserChart, AnExistingChartEvenAnEmptyOneIsKept)
{
    ASSERT_EQ(MakeChartFolder(), 0u);
    std::ofstream(ChartFilePath().Str()).flush();
    chart.AppendGroup(SColor::White, SColourMode::Colour);
    EXPECT_EQ(Load(), 0u);
    EXPECT_TRUE(chart.groups.IsEmpty());
    EXPECT_FALSE(chart.modified);
    EXPECT_EQ(ReadAll(ChartFilePath().Str()), "");

    // A folder in its place is no chart, and no first start either.
    std::remove(ChartFilePath().CStr());
    ASSERT_EQ(::mkdir(ChartFilePath().CStr(), 0755), 0);
    EXPECT_EQ(Load(), 0u);
    EXPECT_TRUE(chart.groups.IsEmpty());
    EXPECT_FALSE(chart.modified);
    ::rmdir(ChartFilePath().CStr());

    // Without a data folder there is nowhere to keep a chart: it starts empty.
    EXPECT_EQ(chart.LoadUserChart(SString(), DefaultChartBytes()), 0u);
    EXPECT_TRUE(chart.groups.IsEmpty());
}

}  // namespace

namespace {

// The chart fuzzer starts from charts the writer makes.
TEST(ColourChartSeeds, FuzzCorpusHoldsWrittenCharts)
{
    const char* const charts[][2] = {
        {"skin.ini", "[肌]\r\n影=(200,150,120)\r\nハイライト=(250,220,200,128)\r\n[髪]\r\n黒=#101010\r\n"},
        {"messy.ini", "; comment\r\n [ゼ] \r\nkey only\n\x81=\r\n[ゼ]\rx = 1 2 3 4 ;note\f"},
    };
    ulib::test::Seeds seeds;
    for (const auto& [name, text] : charts) {
        const std::string bytes = ulib::SColourChart::FormatChart(ulib::SColourChart::ParseChart(text));
        seeds.emplace_back(name, ulib::test::Bytes(bytes.begin(), bytes.end()));
    }
    ulib::test::WriteSeedsWhenAsked("FuzzChart", seeds);
    for (const auto& [name, bytes] : seeds)
        EXPECT_EQ(ulib::test::ReadFileBytes(ulib::test::FuzzCorpusFolder("FuzzChart") / name), bytes)
            << name << " (HUEDRANE_WRITE_SEEDS=1 writes it)";
}

}  // namespace
