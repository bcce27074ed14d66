#include "SError.h"
#include "SErrorCause.h"
#include "SHelp.h"
#include "SLanguage.h"
#include "SScriptedPlatform.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

using ulib::SString;
namespace fs = std::filesystem;

namespace {

// A program installed in <temp>/bin with its documentation folder in <temp>/share/doc/huedrane/.
class Help : public testing::Test
{
protected:
    void SetUp() override
    {
        root = fs::temp_directory_path() / ("huedrane-help-" + std::to_string(::getpid()));
        fs::create_directories(root / "bin");
        fs::create_directories(root / "share/doc/huedrane");
    }
    void TearDown() override { fs::remove_all(root); }

    std::string Touch(const fs::path& relative)
    {
        std::ofstream(root / relative) << "manual";
        return (root / relative).string();
    }

    ulib::SError Show(std::int32_t context, const std::string& program = "bin/huedrane")
    {
        return ulib::ShowHelpFor(SString((root / program).string()),
                                 SString((root / "share/doc/huedrane/").string()), context);
    }

    std::vector<std::string> Opened() const
    {
        std::vector<std::string> paths;
        for (const auto& call : platform.HelpCalls())
            paths.push_back(call.path);
        return paths;
    }

    fs::path root;
    ulib::test::SScriptedPlatform platform;
    ulib::test::ScopedPlatform installed{platform};
};

}  // namespace

TEST_F(Help, CandidatesComeInTheDocumentedOrder)
{
    const std::vector<SString> candidates =
        ulib::HelpCandidates("/opt/h/bin/huedrane.bin", "/opt/h/share/doc/huedrane/");
    const std::vector<SString> expected{"/opt/h/bin/huedrane.pdf",  "/opt/h/bin/huedrane.htm",
                                        "/opt/h/bin/huedrane.html", "/opt/h/bin/huedrane.txt",
                                        "/opt/h/bin/index.htm",     "/opt/h/bin/index.html",
                                        "/opt/h/bin/readme.txt",    "/opt/h/bin/readme.doc",
                                        "/opt/h/share/doc/huedrane/ja/index.html",
                                        "/opt/h/share/doc/huedrane/index.html"};
    EXPECT_EQ(candidates, expected);
    // A dot in a folder name or at the start of the file name is no extension.
    EXPECT_EQ(ulib::HelpCandidates("/x.d/.huedrane", "").front(), SString("/x.d/.huedrane.pdf"));
    EXPECT_EQ(ulib::HelpCandidates("", "/doc/"), (std::vector<SString>{"/doc/ja/index.html", "/doc/index.html"}));
    // An English run opens the English manual.
    ulib::SetLanguage(ulib::SLanguage::English);
    EXPECT_EQ(ulib::HelpCandidates("", "/doc/"), std::vector<SString>{"/doc/index.html"});
    ulib::ClearLanguage();
}

TEST_F(Help, TheFirstExistingManualThatOpensWins)
{
    const std::string installed = Touch("share/doc/huedrane/index.html");
    const std::string index = Touch("bin/index.html");
    const std::string text = Touch("bin/huedrane.txt");
    fs::create_directories(root / "bin/huedrane.pdf");  // a folder is not a manual

    EXPECT_EQ(Show(1001), 0u);
    ASSERT_EQ(platform.HelpCalls().size(), 1u);
    EXPECT_EQ(platform.HelpCalls()[0].path, text);
    EXPECT_EQ(platform.HelpCalls()[0].context, 1001);

    // A manual the viewer cannot open gives way to the next one.
    platform.Clear();
    platform.RefuseHelp(text);
    platform.RefuseHelp(index);
    EXPECT_EQ(ulib::ShowHelpFor(SString((root / "bin/huedrane").string()),
                                SString((root / "share/doc/huedrane/").string()), 0),
              0u);
    EXPECT_EQ(Opened(), (std::vector<std::string>{text, index, installed}));
    EXPECT_EQ(platform.HelpCalls().back().context, 0);
}

TEST_F(Help, NothingFoundOrNothingOpenedIsTheHelpErrorSayingWhereTheManualIs)
{
    const ulib::SError missing = Show(0);
    EXPECT_EQ(ulib::ErrorIdentity(missing), ulib::ErrorFromIdentifier("help"));
    EXPECT_EQ(ulib::ErrorText(missing), "ヘルプが表示できませんでした。\nマニュアルが見つかりません: " +
                                            (root / "share/doc/huedrane/index.html").string());
    EXPECT_TRUE(platform.HelpCalls().empty());
    EXPECT_EQ(platform.BoxCount(), 0u);  // the caller reports it

    // No viewer: the manual that exists is named, so the user can open it by hand.
    const std::string readme = Touch("bin/readme.txt");
    Touch("share/doc/huedrane/index.html");
    platform.SetHelpResult(false);
    const ulib::SError unopened = Show(0);
    EXPECT_EQ(ulib::ErrorIdentifier(unopened), "help");
    EXPECT_EQ(ulib::ErrorText(unopened), "ヘルプが表示できませんでした。\nマニュアルの場所: " + readme);
    EXPECT_EQ(platform.HelpCalls().size(), 2u);
}
