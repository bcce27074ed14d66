#include "SColorDialog.h"
#include "SConsolePlatform.h"
#include "SFileDialog.h"
#include "SFileListDialog.h"
#include "SFolderDialog.h"
#include "SPlatform.h"
#include "SScriptedPlatform.h"
#include "SStringUnion.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

using ulib::SBoxAnswer;
using ulib::SDialogResult;
using ulib::SFileDialog;
using ulib::SString;
using ulib::test::SScriptedPlatform;
namespace fs = std::filesystem;
namespace text = ulib::library_text;

namespace {

using Paths = std::vector<std::string>;

// Dialog tests run with the English texts, whatever the machine's locale.
class Dialogs : public testing::Test
{
protected:
    void SetUp() override
    {
        const char* before = std::getenv("LC_ALL");
        savedLocale = before ? std::optional<std::string>(before) : std::nullopt;
        ::setenv("LC_ALL", "C", 1);
        folder = fs::temp_directory_path() / ("huedrane-dialogs-" + std::to_string(::getpid()));
        fs::create_directories(folder);
    }
    void TearDown() override
    {
        savedLocale ? ::setenv("LC_ALL", savedLocale->c_str(), 1) : ::unsetenv("LC_ALL");
        fs::remove_all(folder);
    }

    std::string MakeFile(const std::string& name, std::size_t size)
    {
        const fs::path path = folder / name;
        std::ofstream(path, std::ios::binary) << std::string(size, 'x');
        return path.string();
    }

    static std::vector<std::string> Texts(const std::vector<ulib::SMessageBoxRequest>& boxes)
    {
        std::vector<std::string> texts;
        for (const auto& box : boxes)
            texts.push_back(box.text);
        return texts;
    }

    static std::string English(ulib::SStringUnion multilingual)
    {
        return ulib::SelectText(multilingual, ulib::LanguageCode("en")).Str();
    }

    static Paths Names(const SFileDialog& dialog)
    {
        Paths names;
        for (const SString& name : dialog.fileNames)
            names.push_back(name.Str());
        return names;
    }

    std::optional<std::string> savedLocale;
    fs::path folder;
    SScriptedPlatform platform;
    ulib::test::ScopedPlatform installed{platform};
};

using FilterPairs = std::vector<std::pair<std::string, std::string>>;

}  // namespace

TEST_F(Dialogs, AllFilesIsAddedOnlyWhenNoFilterIsExactlyStarDotStar)
{
    SFileDialog dialog;
    dialog.filters.Append("Bitmap (*.bmp)", "*.bmp");
    dialog.filters.Append("Mixed", "*.png;*.*");
    dialog.Open();
    dialog.filters.Append("Everything", "*.*");
    dialog.Save();

    const auto requests = platform.FileRequests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].filters, (FilterPairs{{"Bitmap (*.bmp)", "*.bmp"}, {"Mixed", "*.png;*.*"},
                                                {"All Files(*.*)", "*.*"}}));
    EXPECT_EQ(requests[1].filters, (FilterPairs{{"Bitmap (*.bmp)", "*.bmp"}, {"Mixed", "*.png;*.*"},
                                                {"Everything", "*.*"}}));
    EXPECT_EQ(requests[1].mode, ulib::SFileDialogRequest::Mode::Save);
}

TEST_F(Dialogs, FilterIndexOutsideTheListStartsAtTheFirstAndOkRemembersTheChoice)
{
    SFileDialog dialog;
    dialog.filters.Append("Bitmap", "*.bmp");
    for (const std::int32_t remembered : {-1, 0, 1, 2, 3}) {
        dialog.filterIndex = remembered;
        dialog.Open();
    }
    std::vector<std::int32_t> asked;
    for (const auto& request : platform.FileRequests())
        asked.push_back(request.filterIndex);
    EXPECT_EQ(asked, (std::vector<std::int32_t>{0, 0, 1, 2, 0}));  // two filters with "All Files"

    platform.QueueFileAnswer({SDialogResult::Ok, {MakeFile("a.bmp", 1)}, 2});
    ASSERT_TRUE(dialog.Open());
    EXPECT_EQ(dialog.filterIndex, 2);
}

TEST_F(Dialogs, CancelIsSilentAndTheInitialNameIsUsedOnce)
{
    SFileDialog dialog;
    dialog.SetFileName("/cels/cut12.hdq");
    dialog.defaultExtension = "hdq";
    dialog.title = "保存";
    EXPECT_FALSE(dialog.Save());
    EXPECT_EQ(platform.BoxCount(), 0u);
    EXPECT_EQ(dialog.FileName(), SString());

    const auto request = platform.FileRequests().at(0);
    EXPECT_EQ(request.initialFile, "/cels/cut12.hdq");
    EXPECT_EQ(request.defaultExtension, "hdq");
    EXPECT_EQ(request.title, "保存");
    EXPECT_EQ(dialog.mode, SFileDialog::SaveMode);
}

TEST_F(Dialogs, MultipleSelectionKeepsTheOrderAndSingleSelectionTakesOneFile)
{
    SFileDialog dialog;
    dialog.multipleSelection = true;
    platform.QueueFileChoice({"/scans/c.png", "/scans/a.png", "/scans/b.png"});
    ASSERT_TRUE(dialog.Open());
    EXPECT_EQ(Names(dialog), (Paths{"/scans/c.png", "/scans/a.png", "/scans/b.png"}));
    EXPECT_TRUE(platform.FileRequests().back().multiple);

    // A save dialog never chooses several files.
    platform.QueueFileChoice({"/out/x.png", "/out/y.png"});
    ASSERT_TRUE(dialog.Save());
    EXPECT_FALSE(platform.FileRequests().back().multiple);
    EXPECT_EQ(Names(dialog), (Paths{"/out/x.png"}));
}

TEST_F(Dialogs, PathsAtThePathLimitAreDroppedAndNoneLeftIsAFailure)
{
    const std::string tooLong = "/" + std::string(5000, 'n');
    SFileDialog dialog;
    dialog.multipleSelection = true;
    platform.QueueFileChoice({"/scans/a.png", tooLong, "/scans/b.png"});
    ASSERT_TRUE(dialog.Open());
    EXPECT_EQ(Names(dialog), (Paths{"/scans/a.png", "/scans/b.png"}));

    platform.QueueFileChoice({tooLong});
    EXPECT_FALSE(dialog.Open());
    EXPECT_TRUE(dialog.fileNames.IsEmpty());
    EXPECT_EQ(Texts(platform.Boxes()), (std::vector<std::string>{"ファイルのダイアログでエラーが発生しました。"}));
}

TEST_F(Dialogs, ReadOnlyBoxTakesTheUserChoiceOnlyWhenShown)
{
    SFileDialog dialog;
    dialog.readOnly = 1;
    platform.QueueFileAnswer({SDialogResult::Ok, {"/a.hdq"}, 0, false});
    ASSERT_TRUE(dialog.Open());
    EXPECT_EQ(platform.FileRequests().back().readOnly, 1);
    EXPECT_EQ(dialog.readOnly, -1);

    platform.QueueFileAnswer({SDialogResult::Ok, {"/a.hdq"}, 0, true});
    ASSERT_TRUE(dialog.Open());
    EXPECT_EQ(platform.FileRequests().back().readOnly, -1);
    EXPECT_EQ(dialog.readOnly, 1);

    // A hidden box must stay hidden next time.
    dialog.readOnly = 0;
    platform.QueueFileChoice({"/a.hdq"});
    ASSERT_TRUE(dialog.Open());
    EXPECT_EQ(dialog.readOnly, 0);
}

TEST_F(Dialogs, DialogFailureIsReportedOnce)
{
    SFileDialog dialog;
    platform.QueueFileFailure();
    EXPECT_FALSE(dialog.Open());
    EXPECT_EQ(Texts(platform.Boxes()), (std::vector<std::string>{"ファイルのダイアログでエラーが発生しました。"}));
    EXPECT_EQ(platform.LastBox().style & ulib::box_style::IconMask, ulib::box_style::IconWarning);
}

TEST_F(Dialogs, TooManyFilesAsksOnceAndNoKeepsTheDialogOpen)
{
    Paths eleven;
    for (int i = 0; i < 11; ++i)
        eleven.push_back((folder / ("cel" + std::to_string(i) + ".png")).string());  // never created: 0 bytes
    SFileDialog dialog;
    dialog.multipleSelection = true;
    dialog.maxFileCount = 10;
    dialog.maxFileSize = 1;

    platform.QueueFileChoice(eleven);
    platform.QueueAnswers({SBoxAnswer::No});
    EXPECT_FALSE(dialog.Open());  // still open after "no"; the user then cancels
    EXPECT_EQ(Texts(platform.Boxes()), (std::vector<std::string>{English(text::TooManyFiles)}));
    EXPECT_EQ(platform.LastBox().style & ulib::box_style::ButtonMask, ulib::box_style::YesNoCancel);

    platform.Clear();
    platform.QueueFileChoice(eleven);
    platform.QueueAnswers({SBoxAnswer::Yes});
    ASSERT_TRUE(dialog.Open());
    EXPECT_EQ(dialog.fileNames.Count(), 11);
    EXPECT_EQ(platform.BoxCount(), 1u);

    // Ten is not too many.
    platform.Clear();
    platform.QueueFileChoice(Paths(eleven.begin(), eleven.begin() + 10));
    ASSERT_TRUE(dialog.Open());
    EXPECT_EQ(platform.BoxCount(), 0u);
}

TEST_F(Dialogs, BigFileAmongSeveralIsAskedAfterTheCountUnlessTheCountWasRefused)
{
    const Paths three{MakeFile("small.png", 10), MakeFile("big.png", 2000), folder / "gone.png"};
    SFileDialog dialog;
    dialog.multipleSelection = true;
    dialog.maxFileSize = 1000;

    platform.QueueFileChoice(three);
    platform.QueueAnswers({SBoxAnswer::Cancel});
    platform.QueueFileChoice(three);
    platform.QueueAnswers({SBoxAnswer::Yes});
    ASSERT_TRUE(dialog.Open());  // refused first, accepted on the second try
    EXPECT_EQ(Texts(platform.Boxes()),
              (std::vector<std::string>{English(text::BigFileIncluded), English(text::BigFileIncluded)}));

    platform.Clear();
    dialog.maxFileCount = 2;
    platform.QueueFileChoice(three);
    platform.QueueAnswers({SBoxAnswer::No});
    EXPECT_FALSE(dialog.Open());
    EXPECT_EQ(Texts(platform.Boxes()), (std::vector<std::string>{English(text::TooManyFiles)}));

    platform.Clear();
    platform.QueueFileChoice(three);
    platform.QueueAnswers({SBoxAnswer::Yes, SBoxAnswer::Yes});
    ASSERT_TRUE(dialog.Open());
    EXPECT_EQ(Texts(platform.Boxes()),
              (std::vector<std::string>{English(text::TooManyFiles), English(text::BigFileIncluded)}));
}

TEST_F(Dialogs, OneTooLargeFileIsAskedAboutAndSaveDialogsNeverAsk)
{
    const std::string big = MakeFile("big.png", 2000);
    SFileDialog dialog;
    dialog.maxFileSize = 1999;
    dialog.maxFileCount = 1;

    platform.QueueFileChoice({big});
    platform.QueueAnswers({SBoxAnswer::No});
    EXPECT_FALSE(dialog.Open());
    EXPECT_EQ(Texts(platform.Boxes()), (std::vector<std::string>{English(text::TooLargeFile)}));

    platform.Clear();
    dialog.maxFileSize = 2000;  // not above the limit
    platform.QueueFileChoice({big});
    EXPECT_TRUE(dialog.Open());
    dialog.maxFileSize = 1;
    platform.QueueFileChoice({big});
    EXPECT_TRUE(dialog.Save());
    EXPECT_EQ(platform.BoxCount(), 0u);
}

TEST_F(Dialogs, ConsoleRefusesEveryDialogSilently)
{
    std::FILE* out = std::tmpfile();
    ulib::SConsolePlatform console(out);
    ulib::test::ScopedPlatform consoleInstalled(console);

    SFileDialog file;
    EXPECT_FALSE(file.Open());
    ulib::SFolderDialog folderDialog;
    EXPECT_FALSE(folderDialog.Execute());
    ulib::SColorDialog colour;
    colour.colour = ulib::SColor::Red;
    colour.SetCustomColour(3, ulib::SColor::Blue);
    EXPECT_FALSE(colour.Execute());
    EXPECT_EQ(colour.colour, ulib::SColor::Red);
    EXPECT_EQ(colour.CustomColour(3), ulib::SColor::Blue);
    ulib::SFileListDialog list;
    list.paths.Append("/a.png");
    EXPECT_FALSE(list.Execute());
    EXPECT_EQ(list.paths.Count(), 1);
    EXPECT_FALSE(console.OpenHelp("/usr/share/doc/huedrane/index.html", 0));
    EXPECT_EQ(std::ftell(out), 0);
    std::fclose(out);
}

TEST_F(Dialogs, FolderDialogHandsOverTheFolderWithoutItsSlashAndReturnsItWithOne)
{
    ulib::SFolderDialog dialog;
    dialog.folder = "/work/cels/";
    dialog.caption = "出力先";
    dialog.prompt = "フォルダを選んでください";
    platform.QueueFolderAnswer(SDialogResult::Ok, "/work/out");
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.folder, SString("/work/out/"));
    const auto request = platform.FolderRequests().at(0);
    EXPECT_EQ(request.initialFolder, "/work/cels");
    EXPECT_EQ(request.caption, "出力先");
    EXPECT_EQ(request.prompt, "フォルダを選んでください");

    dialog.folder = "/";
    platform.QueueFolderAnswer(SDialogResult::Ok, "/");
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(platform.FolderRequests().back().initialFolder, "/");
    EXPECT_EQ(dialog.folder, SString("/"));

    platform.QueueFolderAnswer(SDialogResult::Cancel, "/elsewhere");
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(dialog.folder, SString("/"));
}

TEST_F(Dialogs, ColourDialogKeepsEditedCustomColoursEvenWhenCancelled)
{
    ulib::SColorDialog dialog;
    dialog.colour = ulib::SColor::Red;
    dialog.SetCustomColour(17, ulib::SColor::Green);  // index 1
    EXPECT_EQ(dialog.CustomColour(1), ulib::SColor::Green);
    dialog.SetCustomColour(-1, ulib::SColor::Cyan);  // index 15
    EXPECT_EQ(dialog.customColours[15], ulib::SColor::Cyan);

    std::array<ulib::SColor, 16> edited{};
    edited[0] = ulib::SColor::Yellow;
    platform.QueueColourAnswer(SDialogResult::Cancel, ulib::SColor::Blue, edited);
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(dialog.colour, ulib::SColor::Red);
    EXPECT_EQ(dialog.CustomColour(0), ulib::SColor::Yellow);
    EXPECT_EQ(platform.ColourRequests().at(0).customColours[1], ulib::SColor::Green);

    platform.QueueColourAnswer(SDialogResult::Ok, ulib::SColor::Blue);
    EXPECT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.colour, ulib::SColor::Blue);
    EXPECT_EQ(dialog.CustomColour(16), ulib::SColor::Yellow);
}

TEST_F(Dialogs, FileListOkGivesTheRowsInOrderAfterInsertionsAndDeletions)
{
    using Step = SScriptedPlatform::ListStep;
    ulib::SFileListDialog dialog;
    dialog.paths = {"/scans/a.png", "/scans/b.png", "/scans/c.png"};
    dialog.filters.Append("PNG", "*.png");
    platform.SetDisplayName("/scans/b.png", "B (scan)");

    platform.QueueFileListSteps({{Step::Action::Insert, {}},
                                 {Step::Action::Delete, {2, 0}},
                                 {Step::Action::Insert, {}},
                                 {Step::Action::Delete, {1}},
                                 {Step::Action::Ok, {}}});
    platform.QueueFileChoice({"/scans/d.png", "/scans/e.png"});
    platform.QueueFileChoice({"/scans/f.png"});
    ASSERT_TRUE(dialog.Execute());

    Paths result;
    for (const SString& path : dialog.paths)
        result.push_back(path.Str());
    // a b c + d e -> b d e (rows 0 and 2 gone) + f -> b e f (row 1 gone)
    EXPECT_EQ(result, (Paths{"/scans/b.png", "/scans/e.png", "/scans/f.png"}));

    const auto list = platform.FileListRequests().at(0);
    EXPECT_EQ(list.caption, "File List");
    EXPECT_EQ(list.insertText, "&Insert");
    EXPECT_EQ(list.cancelText, "Cancel");
    ASSERT_EQ(list.rows.size(), 3u);
    EXPECT_EQ(list.rows[0].displayName, "a.png");
    EXPECT_EQ(list.rows[1].displayName, "B (scan)");
    EXPECT_EQ(list.rows[1].path, "/scans/b.png");

    const auto inserts = platform.FileRequests();
    ASSERT_EQ(inserts.size(), 2u);
    EXPECT_EQ(inserts[0].title, "Append To File List");
    EXPECT_TRUE(inserts[0].multiple);
    EXPECT_EQ(inserts[0].filters, (FilterPairs{{"PNG", "*.png"}, {"All Files(*.*)", "*.*"}}));
}

TEST_F(Dialogs, FileListCancelKeepsThePaths)
{
    using Step = SScriptedPlatform::ListStep;
    ulib::SFileListDialog dialog;
    dialog.paths = {"/a.png", "/b.png"};
    platform.QueueFileListSteps({{Step::Action::Delete, {0, 1}}, {Step::Action::Cancel, {}}});
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(dialog.paths.Count(), 2);
}
