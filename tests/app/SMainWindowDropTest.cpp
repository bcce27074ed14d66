// The main window's rules that go through document files: dropped files, the close query and the
// history submenu after real opens.
#include "SMainWindowRules.h"

#include "../convert/ScanFixture.h"
#include "../document/CelFixture.h"
#include "SDocumentFile.h"
#include "SScriptedPlatform.h"
#include "Sximage.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

using namespace ulib;
using ulib::test::ScopedPlatform;
using ulib::test::SScriptedPlatform;

namespace {

class MainWindowFiles : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder_ = std::filesystem::temp_directory_path() /
                  ("huedrane-drop-" + std::to_string(::getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    SString Path(const std::string& name) const { return SString((folder_ / name).string()); }

    // A document of the given size with one black line pixel, written as `name`.
    SString WriteDocument(const std::string& name, std::int32_t width = 12, std::int32_t height = 9)
    {
        SCel cel = MakeCel(width, height);
        cel.trace.Row32(1)[1] = 0x000000FFu;
        cel.held.Append(cel.genga);  // the genga in stored form, as an import keeps it
        const SString path = Path(name);
        EXPECT_EQ(SaveDocument(cel, path), 0u);
        return path;
    }

    SString WriteScan(const std::string& name)
    {
        const SString path = Path(name);
        EXPECT_EQ(WriteBmpFile(OutlinedScan(40, 30, 6), path), 0u);
        return path;
    }

    SScriptedPlatform platform_;
    ScopedPlatform scope_{platform_};
    SHuedraneController c_;
    std::filesystem::path folder_;
};

TEST_F(MainWindowFiles, HistorySubmenuAfterOpeningTwoFilesListsOnlyTheFirst)
{
    const SString a = WriteDocument("a.hdq");
    const SString b = WriteDocument("b.hdq");
    ASSERT_EQ(Id(c_.Open(a)), "");
    ASSERT_EQ(Id(c_.Open(b)), "");
    ASSERT_EQ(c_.History().Count(), 2);

    const SControlStates s = ControlStates(c_, main_refresh::FileMenu);
    EXPECT_TRUE(s["MenuHistory"].enabled);
    EXPECT_TRUE(s["MenuHistory1"].visible);
    EXPECT_EQ(s["MenuHistory1"].caption, SString("(&1)a.hdq"));
    EXPECT_FALSE(s["MenuHistory2"].visible);

    // Choosing it opens the first file again, which becomes the current one.
    EXPECT_EQ(OpenHistoryEntry(c_, 1), 0u);
    EXPECT_EQ(c_.Path(), a);
    EXPECT_EQ(OpenHistoryEntry(c_, 5), 0u);  // no entry 5: nothing happens
    EXPECT_EQ(c_.Path(), a);
    EXPECT_EQ(c_.History().Count(), 3);
}

TEST_F(MainWindowFiles, DroppingAPictureImportsItAsAModifiedUntitledCel)
{
    const SString scan = WriteScan("scan.bmp");
    const std::uint32_t refresh = DropFiles(c_, {scan}, SString("/opt/huedrane"));

    EXPECT_EQ(refresh & main_refresh::NewDocument, main_refresh::NewDocument);
    EXPECT_EQ(platform_.BoxCount(), 0u) << platform_.LastBox().text;
    EXPECT_EQ(c_.State(), SDocumentState::Modified);
    EXPECT_EQ(c_.Cel().display.Dimensions(), (SPoint{40, 30}));
    EXPECT_EQ(c_.Title(), SString("無題 - Huedrane"));
    EXPECT_TRUE(c_.Path().IsEmpty());
    EXPECT_TRUE(platform_.Starts().empty());

    // Something dropped that is no local file brings up no dialog.
    EXPECT_EQ(DropFiles(c_, {SString()}, SString("/opt/huedrane")), 0u);
    EXPECT_TRUE(platform_.FileRequests().empty());
}

TEST_F(MainWindowFiles, DroppingThreeDocumentsOpensTheFirstAndStartsTwoInstances)
{
    const SString a = WriteDocument("a.hdq"), b = WriteDocument("b.hdq"), d = WriteDocument("d.hda");
    DropFiles(c_, {a, b, d}, SString("/opt/huedrane/bin/huedrane"));

    EXPECT_EQ(c_.Path(), a);
    EXPECT_EQ(c_.State(), SDocumentState::Saved);
    const auto starts = platform_.Starts();
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(starts[0].program, "/opt/huedrane/bin/huedrane");
    EXPECT_EQ(starts[0].argument, b.Str());
    EXPECT_EQ(starts[1].argument, d.Str());
    EXPECT_EQ(platform_.BoxCount(), 0u);
}

TEST_F(MainWindowFiles, AnUnreadableDropShowsTheImportErrorAndAFailedStartIsShown)
{
    const SString junk = Path("junk.hdq");
    {
        FILE* f = std::fopen(junk.CStr(), "wb");
        ASSERT_NE(f, nullptr);
        std::fputs("neither a document nor a picture", f);
        std::fclose(f);
    }
    platform_.SetStartResult(false);
    DropFiles(c_, {junk, WriteDocument("b.hdq")}, SString("/opt/huedrane"));
    EXPECT_EQ(c_.State(), SDocumentState::None);
    EXPECT_EQ(platform_.BoxCount(), 2u);  // the import's error, then the instance that did not start
    EXPECT_EQ(platform_.Starts().size(), 1u);
}

TEST_F(MainWindowFiles, TheSaveQuestionOfADropDecidesWhetherTheCelIsReplaced)
{
    const SString a = WriteDocument("a.hdq");
    ASSERT_EQ(Id(c_.Open(a)), "");
    c_.MarkModified();
    platform_.QueueAnswers({SBoxAnswer::Cancel});
    DropFiles(c_, {WriteScan("scan.bmp")}, SString("/opt/huedrane"));
    EXPECT_EQ(c_.Path(), a);
    EXPECT_EQ(c_.State(), SDocumentState::Modified);
    EXPECT_EQ(platform_.BoxCount(), 1u);  // only the question

    // Declining to save lets the picture replace the cel.
    platform_.QueueAnswers({SBoxAnswer::No});
    DropFiles(c_, {WriteScan("scan.bmp")}, SString("/opt/huedrane"));
    EXPECT_EQ(c_.Cel().display.Dimensions(), (SPoint{40, 30}));
    EXPECT_EQ(c_.State(), SDocumentState::Modified);
    EXPECT_EQ(platform_.BoxCount(), 2u);
}

// When the unsaved cel cannot be saved, neither a drop nor closing may throw it away.
TEST_F(MainWindowFiles, AFailedSaveBeforeADropOrACloseKeepsTheUnsavedCel)
{
    ASSERT_EQ(Id(c_.Open(WriteDocument("a.hdq"))), "");
    c_.MarkModified();
    c_.TakePath(Path("missing-folder/a.hdq"));  // the folder is gone: saving fails

    platform_.QueueAnswers({SBoxAnswer::Yes});
    DropFiles(c_, {WriteScan("scan.bmp")}, SString("/opt/huedrane"));
    EXPECT_EQ(c_.State(), SDocumentState::Modified);
    EXPECT_EQ(c_.Cel().display.Dimensions(), (SPoint{12, 9}));
    EXPECT_EQ(platform_.BoxCount(), 2u);  // the question, then the save's error

    platform_.QueueAnswers({SBoxAnswer::Yes});
    EXPECT_FALSE(QueryCloseWindow(c_));
    EXPECT_EQ(platform_.BoxCount(), 4u);
}

TEST_F(MainWindowFiles, CloseQueryFollowsTheSaveQuestion)
{
    EXPECT_TRUE(QueryCloseWindow(c_));  // nothing to save
    ASSERT_EQ(Id(c_.Open(WriteDocument("a.hdq"))), "");
    c_.MarkModified();
    platform_.QueueAnswers({SBoxAnswer::Cancel});
    EXPECT_FALSE(QueryCloseWindow(c_));
    EXPECT_EQ(platform_.BoxCount(), 1u);  // the question; a cancel is not shown
    platform_.QueueAnswers({SBoxAnswer::No});
    EXPECT_TRUE(QueryCloseWindow(c_));
}

}  // namespace
