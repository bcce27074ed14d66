#include "SStoredText.h"

#include <gtest/gtest.h>

using namespace ulib;

namespace {

TEST(StoredText, JapaneseIsStoredAsCp932AndReadBack)
{
    const std::string text = "原画の修正～①";  // ～ and ① are where CP932 and Shift_JIS differ
    const std::string stored = EncodeStoredText(text);
    EXPECT_EQ(stored.substr(0, 4), "\x8C\xB4\x89\xE6");  // 原画
    EXPECT_EQ(stored.substr(stored.size() - 4), "\x81\x60\x87\x40");  // ～ ①
    EXPECT_EQ(DecodeStoredText(stored), text);
}

TEST(StoredText, TextCp932CannotHoldStaysUtf8)
{
    const std::string text = "paint 🎨 é";
    EXPECT_EQ(EncodeStoredText(text), text);
    EXPECT_EQ(DecodeStoredText(EncodeStoredText(text)), text);
    EXPECT_EQ(EncodeStoredText("plain"), "plain");
}

TEST(StoredText, BytesThatAreNeitherAreReplacedNotLost)
{
    // 0x81 0x20 is a CP932 lead byte with an invalid trail; 0xA0 is unassigned.
    const std::string decoded = DecodeStoredText(std::string("a\x81\x20" "b", 4));
    EXPECT_EQ(decoded.front(), 'a');
    EXPECT_EQ(decoded.back(), 'b');
    EXPECT_NE(decoded.find("\xEF\xBF\xBD"), std::string::npos);
}

TEST(StoredText, Utf8ValidityRejectsOverlongSurrogateAndTruncatedForms)
{
    EXPECT_TRUE(IsValidUtf8("abc"));
    EXPECT_TRUE(IsValidUtf8("\xE5\x8E\x9F"));
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));          // overlong '/'
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));      // surrogate
    EXPECT_FALSE(IsValidUtf8("\xE5\x8E"));          // cut short
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));  // past U+10FFFF
}

}  // namespace
