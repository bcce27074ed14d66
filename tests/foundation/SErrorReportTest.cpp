#include "SError.h"
#include "SErrorRegistry.h"
#include "SMessage.h"
#include "SPlatform.h"
#include "SScriptedPlatform.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

using ulib::ErrorFromIdentifier;
using ulib::ErrorFromSystemCode;
using ulib::ReportError;
using ulib::SError;
namespace style = ulib::box_style;

namespace {

class ErrorReport : public testing::Test
{
protected:
    void SetUp() override { ulib::SetApplicationTitle("Huedrane"); }
    void TearDown() override { ulib::SetApplicationTitle(""); }

    ulib::test::SScriptedPlatform platform;
    ulib::test::ScopedPlatform installed{platform};
};

}  // namespace

TEST(ErrorFromSystemCode, WrapsCodesByRange)
{
    EXPECT_EQ(ErrorFromSystemCode(0), 0u);
    EXPECT_EQ(ErrorFromSystemCode(2), 0x1000002u);
    EXPECT_EQ(ErrorFromSystemCode(0xFFFFFF), 0x1FFFFFFu);
    EXPECT_EQ(ErrorFromSystemCode(0x1000000), 1u);
    EXPECT_EQ(ErrorFromSystemCode(INT_MAX), 1u);
    EXPECT_EQ(ErrorFromSystemCode(-1), 0x1FFFFFFu);
    EXPECT_EQ(ErrorFromSystemCode(-0x1000000), 0x1000000u);
    EXPECT_EQ(ErrorFromSystemCode(INT_MIN), 0x82000000u);
}

TEST_F(ErrorReport, NothingIsShownForSuccess)
{
    ReportError(0);
    EXPECT_EQ(platform.BoxCount(), 0u);
    EXPECT_EQ(ulib::ErrorText(0), "");
}

TEST_F(ErrorReport, RegisteredValuesShowTheirMessageInAWarningBoxWithoutOwner)
{
    platform.SetHasOwner(true);  // the reporter never ties its box to a window
    ReportError(ErrorFromIdentifier("cancel"));
    const auto box = platform.LastBox();
    EXPECT_EQ(box.caption, "Huedrane");
    EXPECT_EQ(box.text, "操作がキャンセルされました。");
    EXPECT_EQ(box.style, style::IconWarning);
    EXPECT_FALSE(box.hasOwner);

    ReportError(ulib::error_definitions::JpegError().value);
    EXPECT_EQ(platform.LastBox().text, "LIBJPEGモジュールがエラーを返しました。");
}

TEST_F(ErrorReport, CommandFailuresShowEverythingButACancelUnlessAsked)
{
    const SError cancel = ErrorFromIdentifier("cancel");
    ulib::ReportFailure(0, true);
    ulib::ReportFailure(cancel, false);
    EXPECT_EQ(platform.BoxCount(), 0u);
    ulib::ReportFailure(cancel, true);
    ulib::ReportFailure(ErrorFromIdentifier("abort"), false);
    ASSERT_EQ(platform.BoxCount(), 2u);
    EXPECT_EQ(platform.LastBox().text, "ユーザーにより、操作が中止されました。");
}

TEST_F(ErrorReport, UnknownValuesShowError)
{
    ReportError(1);
    EXPECT_EQ(platform.LastBox().text, "Error");
    EXPECT_EQ(platform.LastBox().style, style::IconWarning);
    ReportError(ErrorFromIdentifier("no_such_word"));
    EXPECT_EQ(platform.LastBox().text, "Error");
    ReportError(0xFFFFFF);
    EXPECT_EQ(platform.LastBox().text, "Error");
    EXPECT_EQ(platform.BoxCount(), 3u);
}

TEST_F(ErrorReport, ReservedValuesShowAnEmptyBox)
{
    const auto all = ulib::RegisteredErrorDefinitions();
    ReportError(all[94]->value);
    ASSERT_EQ(platform.BoxCount(), 1u);
    EXPECT_EQ(platform.LastBox().text, "");
}

TEST_F(ErrorReport, SystemCodesShowTheLibraryTextSystemModal)
{
    ReportError(ErrorFromSystemCode(2));
    EXPECT_EQ(platform.LastBox().text, std::strerror(2));
    EXPECT_EQ(platform.LastBox().style, style::SystemModal | style::IconWarning);
    EXPECT_EQ(platform.LastBox().caption, "Huedrane");

    // The upper half of the range carries negative codes.
    ReportError(ErrorFromSystemCode(-1));
    EXPECT_EQ(platform.LastBox().text, std::strerror(-1));
    EXPECT_EQ(ulib::ErrorText(0x1800000), std::strerror(-0x800000));
    EXPECT_EQ(ulib::ErrorText(0x17FFFFE), std::strerror(0x7FFFFE));
}

TEST_F(ErrorReport, UnclassifiedValuesShowAPlainError)
{
    ReportError(ErrorFromSystemCode(INT_MIN));
    EXPECT_EQ(platform.BoxCount(), 1u);
    EXPECT_EQ(platform.LastBox().text, "Error");
    EXPECT_EQ(platform.LastBox().style, style::TaskModal);

    ReportError(0xFFFFFFFF);
    EXPECT_EQ(platform.LastBox().text, "Error");
    EXPECT_EQ(ulib::ErrorText(0x2000000), "Error");
}

TEST(ErrorIdentifier, NamesTheFirstDefinitionWithTheValue)
{
    EXPECT_EQ(ulib::ErrorIdentifier(ErrorFromIdentifier("taillostdata")), "taillostdata");
    EXPECT_EQ(ulib::ErrorIdentifier(ulib::error_definitions::JpegError().value), "pngerror");
    EXPECT_EQ(ulib::ErrorIdentifier(ErrorFromSystemCode(2)), "errno");
    EXPECT_EQ(ulib::ErrorIdentifier(0), "");
    EXPECT_EQ(ulib::ErrorIdentifier(1), "");
}
