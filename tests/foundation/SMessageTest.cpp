#include "SError.h"
#include "SMessage.h"
#include "SPlatform.h"
#include "SScriptedPlatform.h"

#include <gtest/gtest.h>

#include <string>

using ulib::SBoxAnswer;
using ulib::ShowMessageBox;
using ulib::ShowPlainMessage;
namespace style = ulib::box_style;

namespace {

class MessageBoxes : public testing::Test
{
protected:
    void SetUp() override { ulib::SetApplicationTitle("Huedrane"); }
    void TearDown() override { ulib::SetApplicationTitle(""); }

    std::uint32_t StyleFor(const char* kind, const char* options)
    {
        ShowMessageBox(kind, "text", options);
        return platform.LastBox().style;
    }

    ulib::test::SScriptedPlatform platform;
    ulib::test::ScopedPlatform installed{platform};
};

}  // namespace

TEST(ApplicationTitle, FallsBackToTheProgramNameAndCanBeSet)
{
    ulib::SetApplicationTitle("");
    EXPECT_EQ(ulib::ApplicationTitle(), ulib::SString("foundation_tests"));
    ulib::SetApplicationTitle("Huedrane");
    EXPECT_EQ(ulib::ApplicationTitle(), ulib::SString("Huedrane"));
    ulib::SetApplicationTitle("");
}

TEST_F(MessageBoxes, QuestionWithYesNoCancelMapsEachAnswer)
{
    platform.QueueAnswers({SBoxAnswer::Yes, SBoxAnswer::No, SBoxAnswer::Cancel});
    EXPECT_EQ(ShowMessageBox("question", "保存しますか？", "y"), 1);
    EXPECT_EQ(ShowMessageBox("question", "保存しますか？", "y"), -1);
    EXPECT_EQ(ShowMessageBox("question", "保存しますか？", "y"), 0);

    const auto box = platform.LastBox();
    EXPECT_EQ(box.style, style::SetForeground | style::IconQuestion | style::YesNoCancel);
    EXPECT_EQ(box.caption, "Huedrane");
    EXPECT_EQ(box.text, "保存しますか？");
}

TEST_F(MessageBoxes, AnswersMapToOneMinusOneOrZero)
{
    platform.QueueAnswers({SBoxAnswer::Ok, SBoxAnswer::Retry, SBoxAnswer::Abort, SBoxAnswer::Ignore,
                           SBoxAnswer::Failed});
    EXPECT_EQ(ShowMessageBox("error", "t", "O"), 1);
    EXPECT_EQ(ShowMessageBox("error", "t", "r"), 1);
    EXPECT_EQ(ShowMessageBox("error", "t", "a"), -1);
    EXPECT_EQ(ShowMessageBox("error", "t", "a"), 0);
    EXPECT_EQ(ShowMessageBox("error", "t", "o"), 0);
}

TEST_F(MessageBoxes, KindWordsAreComparedExactly)
{
    EXPECT_EQ(StyleFor("warning", ""), style::SetForeground | style::IconWarning);
    EXPECT_EQ(StyleFor("information", ""), style::SetForeground | style::IconInformation);
    EXPECT_EQ(StyleFor("error", ""), style::SetForeground | style::IconError);
    EXPECT_EQ(StyleFor("Warning", ""), style::SetForeground);
    EXPECT_EQ(StyleFor("question ", ""), style::SetForeground);
    EXPECT_EQ(StyleFor(nullptr, nullptr), style::SetForeground);
}

TEST_F(MessageBoxes, OptionsAreReadWhilePrintable)
{
    EXPECT_EQ(StyleFor("", "Y"), style::SetForeground | style::YesNo);
    EXPECT_EQ(StyleFor("", "o"), style::SetForeground | style::OkCancel);
    EXPECT_EQ(StyleFor("", "a"), style::SetForeground | style::AbortRetryIgnore);
    EXPECT_EQ(StyleFor("", "r"), style::SetForeground | style::RetryCancel);
    EXPECT_EQ(StyleFor("", "hy"), style::SetForeground | style::Help | style::YesNoCancel);
    EXPECT_EQ(StyleFor("", "H"), style::SetForeground | style::Help);
    EXPECT_EQ(StyleFor("", "x?y"), style::SetForeground | style::YesNoCancel);  // other bytes are skipped
    EXPECT_EQ(StyleFor("", "\ty"), style::SetForeground);                       // a control byte ends the run
    EXPECT_EQ(StyleFor("", "y\x7Fh"), style::SetForeground | style::YesNoCancel);
    EXPECT_EQ(StyleFor("", "\xE3\x81\x82y"), style::SetForeground);
}

TEST_F(MessageBoxes, DefaultButtonDigitsKeepTheButtonChoice)
{
    EXPECT_EQ(StyleFor("", "y2"), style::SetForeground | style::YesNoCancel | style::DefaultButton2);
    EXPECT_EQ(StyleFor("", "3Y"), style::SetForeground | style::YesNo | style::DefaultButton3);
    EXPECT_EQ(StyleFor("", "y21"), style::SetForeground | style::YesNoCancel);
}

TEST_F(MessageBoxes, BoxesFollowTheOwnerWindow)
{
    ShowMessageBox("warning", "t", "Y");
    EXPECT_FALSE(platform.LastBox().hasOwner);
    platform.SetHasOwner(true);
    ShowMessageBox("warning", "t", "Y");
    EXPECT_TRUE(platform.LastBox().hasOwner);
    EXPECT_EQ(platform.LastBox().style, style::SetForeground | style::IconWarning | style::YesNo);
}

TEST_F(MessageBoxes, PlainMessageIsTaskModalWithoutOwner)
{
    EXPECT_EQ(ShowPlainMessage("SPIが次のエラーを返しました。"), 0u);
    auto box = platform.LastBox();
    EXPECT_EQ(box.text, "SPIが次のエラーを返しました。");
    EXPECT_EQ(box.caption, "Huedrane");
    EXPECT_EQ(box.style, style::TaskModal);

    platform.SetHasOwner(true);
    EXPECT_EQ(ShowPlainMessage("x"), 0u);
    EXPECT_EQ(platform.LastBox().style, 0u);
    EXPECT_TRUE(platform.LastBox().hasOwner);
}

TEST_F(MessageBoxes, PlainMessageFailures)
{
    EXPECT_EQ(ShowPlainMessage(nullptr), ulib::ErrorFromIdentifier("domain"));
    EXPECT_EQ(ShowPlainMessage(""), 0u);
    EXPECT_EQ(platform.BoxCount(), 0u);

    const std::string tooLong(ulib::SString::MaxLength + 1, 'a');
    EXPECT_EQ(ShowPlainMessage(tooLong.c_str()), ulib::ErrorFromIdentifier("memory_temp"));
    EXPECT_EQ(platform.BoxCount(), 0u);

    platform.QueueAnswers({SBoxAnswer::Failed});
    EXPECT_EQ(ShowPlainMessage("x"), ulib::ErrorFromIdentifier("io"));
}

TEST_F(MessageBoxes, AssertionReportsFileLineAndExpression)
{
    ulib::SetApplicationTitle("Hue\x01" "dra\nne");
    ulib::AssertionFailed(true, "x > 0", "/src/foundation/SAbort.cpp", 12);
    EXPECT_EQ(platform.BoxCount(), 0u);

    ulib::AssertionFailed(false, "x > 0", "/src/foundation/SAbort.cpp", 12);
    auto box = platform.LastBox();
    EXPECT_EQ(box.caption, "アサーション(Huedrane)");
    EXPECT_EQ(box.text, "SAbort.cpp (12)\nx > 0");
    EXPECT_EQ(box.style, style::SystemModal);

    platform.SetHasOwner(true);
    const int line = __LINE__ + 1;
    ULIB_ASSERT(1 + 1 == 3);
    box = platform.LastBox();
    EXPECT_EQ(box.text, "SMessageTest.cpp (" + std::to_string(line) + ")\n1 + 1 == 3");
    EXPECT_EQ(box.style, 0u);
    EXPECT_EQ(platform.BoxCount(), 2u);
}
