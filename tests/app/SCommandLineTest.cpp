// The command line: splitting a command-line text, reading switches and the file name, and what
// each combination does to the controller, with the seam recording every box.
#include "../convert/ScanFixture.h"
#include "../document/CelFixture.h"
#include "ControllerFolder.h"
#include "FuzzSeeds.h"
#include "SCommandLine.h"
#include "SDocumentFile.h"
#include "ControllerEdits.h"
#include "SHuedraneController.h"
#include "SHuedraneSettings.h"
#include "SRegistry.h"
#include "SScriptedPlatform.h"
#include "Sxpng.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

using namespace ulib;
using ulib::test::ScopedPlatform;
using ulib::test::SScriptedPlatform;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> Split(const std::string& text)
{
    std::vector<std::string> words;
    for (const SString& word : SplitCommandLine(SString(text)))
        words.push_back(word.Str());
    return words;
}

SCommandLine Parse(std::initializer_list<const char*> words)
{
    SArray<SString> arguments;
    for (const char* word : words)
        arguments.Append(SString(word));
    return ParseCommandLine(arguments);
}

using Words = std::vector<std::string>;

TEST(CommandLineSplit, BlanksSeparateAndQuotesGroup)
{
    EXPECT_EQ(Split(""), Words{});
    EXPECT_EQ(Split(" \t  "), Words{});
    EXPECT_EQ(Split("  -g\t/home/a.png  "), (Words{"-g", "/home/a.png"}));
    EXPECT_EQ(Split("\"/home/my cels/a.hdq\" /Q"), (Words{"/home/my cels/a.hdq", "/Q"}));
    // Only a quote followed by a blank or the end closes: one inside the argument stays.
    EXPECT_EQ(Split("\"ab\"cd ef\""), (Words{"ab\"cd ef"}));
    EXPECT_EQ(Split("\"say \"hi\" there\" x"), (Words{"say \"hi", "there\"", "x"}));
    // A quote that does not start an argument is an ordinary byte.
    EXPECT_EQ(Split("a\"b c\""), (Words{"a\"b", "c\""}));
    // An unclosed quote runs to the end; an empty pair is an empty argument.
    EXPECT_EQ(Split("\"open ended"), (Words{"open ended"}));
    EXPECT_EQ(Split("\"\" x"), (Words{"", "x"}));
    EXPECT_EQ(Split("\""), (Words{""}));
    // A NUL byte ends the text.
    EXPECT_EQ(Split(std::string("a b\0c", 5)), (Words{"a", "b"}));
}

TEST(CommandLineSplit, MultibyteCharactersStayWhole)
{
    // UTF-8: every byte of a multibyte character is 0x80 or more, so none is taken for a
    // separator or a quote, whatever it looks like as CP932.
    EXPECT_EQ(Split("\"/cels/あ い.hdq\" 原画.png"), (Words{"/cels/あ い.hdq", "原画.png"}));
    EXPECT_EQ(Split("\"あ\" \"ソ表\""), (Words{"あ", "ソ表"}));
    // CP932: "ソ" and "表" end in 0x5C; the characters come through byte for byte.
    const std::string so = "\x83\x5C", hyou = "\x95\x5C";
    EXPECT_EQ(Split("\"" + so + " " + hyou + "\" " + hyou), (Words{so + " " + hyou, hyou}));
    // A lead byte cut off by the end, or before a quote, never swallows what follows.
    EXPECT_EQ(Split("a \x83"), (Words{"a", "\x83"}));
    EXPECT_EQ(Split("\"\x83\" b"), (Words{"\x83", "b"}));
}

TEST(CommandLineParse, SwitchesInEitherFormAndCase)
{
    SCommandLine line = Parse({"/G", "-i", "-E", "/q", "-u"});
    EXPECT_TRUE(line.import && line.batchImport && line.batchExport && line.quit && line.remove);
    EXPECT_TRUE(line.file.IsEmpty());

    // A "-" switch is judged by its second character whatever follows; unknown ones are ignored.
    line = Parse({"-Gfoo", "-x", "-", "/Z"});
    EXPECT_TRUE(line.import);
    EXPECT_FALSE(line.batchImport || line.batchExport || line.quit || line.remove);
    EXPECT_TRUE(line.file.IsEmpty());
}

TEST(CommandLineParse, AbsolutePathsAreFileNamesAndTheLastOneWins)
{
    // "/" starts a switch only as a whole two-character argument: paths stay paths, even ones
    // whose second character is a switch letter.
    SCommandLine line = Parse({"/home/a.hdq"});
    EXPECT_EQ(line.file, SString("/home/a.hdq"));
    EXPECT_FALSE(line.import || line.batchImport || line.batchExport || line.quit || line.remove);
    line = Parse({"/Gx", "/usr/x.hdq", "/Quit"});
    EXPECT_EQ(line.file, SString("/Quit"));
    EXPECT_FALSE(line.import || line.quit || line.remove);
    line = Parse({"a.hdq", "/E", "b.hdq", "", "-q"});
    EXPECT_EQ(line.file, SString("b.hdq"));  // an empty argument names no file
    EXPECT_TRUE(line.batchExport && line.quit);
    EXPECT_EQ(Parse({"/"}).file, SString("/"));
}

class CommandLine : public ControllerFolder
{
protected:
    SString WriteScan(const std::string& name) const
    {
        const SBitmap scan = OutlinedScan(40, 30, 6);
        EXPECT_EQ(WritePngFile(&scan, SString(In(name))), 0u);
        return SString(In(name));
    }
    SString WriteDocument(const std::string& name) const
    {
        SCel cel = MakeCel(8, 8);
        cel.held.Clear();
        EXPECT_EQ(cel.held.Append(cel.genga), 0u);
        cel.ComposeAll();
        EXPECT_EQ(SaveDocument(cel, SString(In(name))), 0u);
        return SString(In(name));
    }
    void Garbage(const std::string& name) const { std::ofstream(In(name)) << "neither picture nor document"; }

    SCommandLineOutcome Run(std::initializer_list<const char*> words)
    {
        return RunCommandLine(c, Parse(words), "/usr/bin/huedrane");
    }
    std::string LastBoxText() const { return seam.LastBox().text; }
};

TEST_F(CommandLine, APictureWithoutSwitchesIsImportedSilentlyAfterTheOpenFails)
{
    const SString scan = WriteScan("scan.png");
    EXPECT_EQ(RunCommandLine(c, Parse({scan.CStr()}), "/usr/bin/huedrane"), SCommandLineOutcome::Continue);
    EXPECT_EQ(seam.BoxCount(), 0u);
    EXPECT_EQ(c.Cel().display.Dimensions(), (SPoint{40, 30}));
    EXPECT_EQ(c.DefaultFileName(), SString(In("scan.hdq")));
    EXPECT_EQ(c.Title(), SString("無題 - Huedrane"));
    // Imported, so offered for saving.
    EXPECT_EQ(c.State(), SDocumentState::Modified);
    EXPECT_EQ(seam.Waits().size(), 1u);  // the import ran behind the progress box

    // Neither a document nor a picture: both attempts fail, and still nothing is shown.
    c.ResetIdentity();  // as at start-up: no save question
    Garbage("notes.txt");
    EXPECT_EQ(Run({In("notes.txt").c_str()}), SCommandLineOutcome::Continue);
    EXPECT_EQ(seam.BoxCount(), 0u);
    EXPECT_EQ(c.State(), SDocumentState::None);
}

TEST_F(CommandLine, ADocumentIsOpenedAsSaved)
{
    const SString file = WriteDocument("cel.hdq");
    EXPECT_EQ(Run({file.CStr(), "-q"}), SCommandLineOutcome::CloseWindow);
    EXPECT_EQ(c.State(), SDocumentState::Saved);
    EXPECT_EQ(c.Path(), file);
    EXPECT_EQ(seam.BoxCount(), 0u);
    EXPECT_TRUE(seam.Waits().empty());  // no import was tried
}

TEST_F(CommandLine, ImportSwitchAsksToSaveAndReportsFailuresButNotCancel)
{
    const SString scan = WriteScan("scan.png");
    EXPECT_EQ(Run({"/G", scan.CStr()}), SCommandLineOutcome::Continue);
    EXPECT_EQ(c.State(), SDocumentState::Modified);
    EXPECT_EQ(seam.BoxCount(), 0u);

    // The imported cel is modified: the save question comes first, and cancelling it is quiet.
    seam.QueueAnswers({SBoxAnswer::Cancel});
    EXPECT_EQ(Run({"-g", scan.CStr()}), SCommandLineOutcome::Continue);
    ASSERT_EQ(seam.BoxCount(), 1u);
    EXPECT_EQ(seam.LastBox().style & box_style::ButtonMask, box_style::YesNoCancel);
    EXPECT_EQ(c.State(), SDocumentState::Modified);

    // A picture that cannot be read is reported.
    seam.Clear();
    seam.QueueAnswers({SBoxAnswer::No});
    Garbage("broken.png");
    EXPECT_EQ(Run({"-G", In("broken.png").c_str()}), SCommandLineOutcome::Continue);
    ASSERT_EQ(seam.BoxCount(), 2u);  // the question, then the error
    EXPECT_EQ(seam.Boxes()[1].style & box_style::IconMask, box_style::IconWarning);
    EXPECT_EQ(c.State(), SDocumentState::Modified);  // the cel that was there stays
    EXPECT_EQ(c.Cel().display.Width(), 40);
}

TEST_F(CommandLine, BatchSwitchesConvertTheOneFileAndReportEveryFailure)
{
    const SString scan = WriteScan("scan.png");
    EXPECT_EQ(Run({"-I", scan.CStr()}), SCommandLineOutcome::Continue);
    EXPECT_TRUE(fs::exists(In("scan.hdq")));
    EXPECT_EQ(c.State(), SDocumentState::None);  // the working cel is not touched

    EditOptions(c, [&](SHuedraneOptions& o) { o.exportFormat = 0; });
    EXPECT_EQ(Run({In("scan.hdq").c_str(), "/e"}), SCommandLineOutcome::Continue);
    EXPECT_TRUE(fs::exists(In("scan.bmp")));
    EXPECT_EQ(seam.BoxCount(), 0u);

    Garbage("broken.png");
    EXPECT_EQ(Run({"-i", In("broken.png").c_str()}), SCommandLineOutcome::Continue);
    EXPECT_EQ(seam.BoxCount(), 1u);
    EXPECT_FALSE(fs::exists(In("broken.hdq")));

    // An abort pressed in the progress box is reported too.
    seam.AbortConversions(0);
    EXPECT_EQ(Run({"-I", scan.CStr()}), SCommandLineOutcome::Continue);
    EXPECT_EQ(seam.BoxCount(), 2u);
    EXPECT_EQ(LastBoxText(), ErrorText(ErrorFromIdentifier("abort")));
}

TEST_F(CommandLine, BothBatchSwitchesLeaveTheFileAlone)
{
    const SString scan = WriteScan("scan.png");
    EXPECT_EQ(Run({"/I", "/E", scan.CStr()}), SCommandLineOutcome::Continue);
    EXPECT_EQ(Run({"/I", "/E", "/G", scan.CStr(), "/Q"}), SCommandLineOutcome::CloseWindow);
    EXPECT_FALSE(fs::exists(In("scan.hdq")));
    EXPECT_EQ(c.State(), SDocumentState::None);
    EXPECT_EQ(seam.BoxCount(), 0u);
    EXPECT_TRUE(seam.Waits().empty());
}

TEST_F(CommandLine, NoFileDoesNothingButQuitStillCloses)
{
    EXPECT_EQ(Run({}), SCommandLineOutcome::Continue);
    EXPECT_EQ(Run({"-G", "-i"}), SCommandLineOutcome::Continue);
    EXPECT_EQ(Run({"/Q"}), SCommandLineOutcome::CloseWindow);
    EXPECT_EQ(seam.BoxCount(), 0u);
    EXPECT_TRUE(seam.FileRequests().empty());  // no dialog opens for a missing file
}

// "-U" works on a settings store of its own.
class CommandLineRemoval : public CommandLine
{
protected:
    void SetUp() override
    {
        CommandLine::SetUp();
        if (const char* previous = std::getenv("HUEDRANE_CONFIG_HOME"))
            previous_ = previous;
        setenv("HUEDRANE_CONFIG_HOME", (folder / "store").c_str(), 1);
    }
    void TearDown() override
    {
        if (previous_)
            setenv("HUEDRANE_CONFIG_HOME", previous_->c_str(), 1);
        else
            unsetenv("HUEDRANE_CONFIG_HOME");
        CommandLine::TearDown();
    }

    std::optional<std::string> previous_;
};

TEST_F(CommandLineRemoval, RemovesTheSettingsAndDoesNothingElse)
{
    c.AddHistory(SString("/cels/a.hdq"));
    ASSERT_EQ(SaveSettings(c), 0u);
    ASSERT_TRUE(RegistryKeyExists(SettingsKey));

    const SString scan = WriteScan("scan.png");
    EXPECT_EQ(Run({"-I", scan.CStr(), "/U", "/Q"}), SCommandLineOutcome::ExitNow);
    EXPECT_FALSE(RegistryKeyExists(SettingsKey));
    EXPECT_FALSE(fs::exists(In("scan.hdq")));
    EXPECT_EQ(seam.BoxCount(), 0u);
    EXPECT_TRUE(seam.Waits().empty());
}

}  // namespace

namespace {

// The command-line fuzzer starts from lines with every kind of argument.
TEST(CommandLineSeeds, FuzzCorpusHoldsTypicalLines)
{
    const char* const lines[][2] = {
        {"switches.txt", "-G /I -e /q -U -x /Gx"},
        {"quoted.txt", "\"/home/my cels/a b.hdq\" \"say \"hi\" there\" \"open"},
        {"multibyte.txt", "\"/cels/\xe5\x8e\x9f\xe7\x94\xbb.png\" \"\x83\x5c\x95\x5c\" \x83"},
    };
    ulib::test::Seeds seeds;
    for (const auto& [name, text] : lines)
        seeds.emplace_back(name, ulib::test::Bytes(text, text + std::char_traits<char>::length(text)));
    ulib::test::WriteSeedsWhenAsked("FuzzCommandLine", seeds);
    for (const auto& [name, bytes] : seeds)
        EXPECT_EQ(ulib::test::ReadFileBytes(ulib::test::FuzzCorpusFolder("FuzzCommandLine") / name), bytes)
            << name << " (HUEDRANE_WRITE_SEEDS=1 writes it)";
}

}  // namespace
