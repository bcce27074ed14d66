#include "SConsolePlatform.h"
#include "SError.h"
#include "SMessage.h"
#include "SScriptedPlatform.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <stdexcept>
#include <string>

using ulib::SBoxAnswer;
using ulib::SConsolePlatform;
using ulib::SMessageBoxRequest;
namespace style = ulib::box_style;

namespace {

// A console seam writing into a temporary file that the test reads back.
class ConsoleOutput : public testing::Test
{
protected:
    void SetUp() override { ASSERT_NE(file, nullptr); }
    void TearDown() override
    {
        if (file)
            std::fclose(file);
    }

    std::string Written()
    {
        std::string text;
        std::rewind(file);
        for (int c; (c = std::fgetc(file)) != EOF;)
            text += char(c);
        return text;
    }

    SBoxAnswer Show(std::uint32_t boxStyle)
    {
        return console.ShowBox({"Huedrane", "text", boxStyle, false});
    }

    std::FILE* file = std::tmpfile();
    SConsolePlatform console{file};
};

}  // namespace

TEST_F(ConsoleOutput, WritesCaptionAndTextAsOneLine)
{
    EXPECT_EQ(console.ShowBox({"Huedrane", "ファイルが見つかりませんでした。", style::IconWarning, false}),
              SBoxAnswer::Ok);
    console.ShowBox({"", "no caption", 0, false});
    EXPECT_EQ(Written(), "Huedrane: ファイルが見つかりませんでした。\nno caption\n");
}

TEST_F(ConsoleOutput, BoxesWithChoicesTakeTheAnswerThatChangesNothing)
{
    EXPECT_EQ(Show(style::Ok | style::IconInformation), SBoxAnswer::Ok);
    EXPECT_EQ(Show(style::OkCancel), SBoxAnswer::Cancel);
    EXPECT_EQ(Show(style::YesNoCancel | style::IconQuestion), SBoxAnswer::Cancel);
    EXPECT_EQ(Show(style::YesNo | style::IconQuestion), SBoxAnswer::No);
    EXPECT_EQ(Show(style::RetryCancel), SBoxAnswer::Cancel);
    EXPECT_EQ(Show(style::AbortRetryIgnore), SBoxAnswer::Cancel);
}

TEST_F(ConsoleOutput, ACommandQuestionIsDeclined)
{
    ulib::test::ScopedPlatform installed{console};
    EXPECT_EQ(ulib::ShowMessageBox("question", "上書きしますか？", "Y"), -1);
    EXPECT_EQ(ulib::ShowMessageBox("question", "保存しますか？", "y"), 0);
    EXPECT_EQ(ulib::ShowPlainMessage("done"), 0u);
}

TEST_F(ConsoleOutput, CannotDraw)
{
    EXPECT_EQ(console.DrawPixels(nullptr, {0, 0}, {}, {0, 0, 1, 1}), ulib::ErrorFromIdentifier("device"));
    EXPECT_FALSE(console.HasOwnerWindow());
}

TEST(ConsolePlatform, AFailedWriteIsAFailedBox)
{
    std::FILE* full = std::fopen("/dev/full", "w");
    if (!full)
        GTEST_SKIP() << "/dev/full is not available";
    SConsolePlatform console(full);
    EXPECT_EQ(console.ShowBox({"c", "t", 0, false}), SBoxAnswer::Failed);
    std::fclose(full);
}

TEST(ConsolePlatform, IsTheSeamUntilAnotherIsInstalled)
{
    ulib::SPlatform* before = ulib::ReplacePlatform(nullptr);
    EXPECT_NE(dynamic_cast<SConsolePlatform*>(&ulib::Platform()), nullptr);
    {
        ulib::test::SScriptedPlatform outer, inner;
        ulib::test::ScopedPlatform installOuter{outer};
        {
            ulib::test::ScopedPlatform installInner{inner};
            EXPECT_EQ(&ulib::Platform(), &inner);
        }
        EXPECT_EQ(&ulib::Platform(), &outer);
    }
    EXPECT_NE(dynamic_cast<SConsolePlatform*>(&ulib::Platform()), nullptr);
    // An exception out of the scope (the window's run) leaves the console seam, never a dangling one.
    try {
        ulib::test::SScriptedPlatform window;
        ulib::ScopedPlatform installWindow{window};
        throw std::runtime_error("escaped the window");
    } catch (const std::runtime_error&) {
        EXPECT_NE(dynamic_cast<SConsolePlatform*>(&ulib::Platform()), nullptr);
    }
    ulib::SetPlatform(before);
}
