#include "SString.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <string_view>

using ulib::SString;

TEST(SString, KeepsTextsUpToTheLimitAndDropsLongerOnes)
{
    EXPECT_EQ(SString(std::string(SString::MaxLength, 'a')).Length(), SString::MaxLength);
    EXPECT_TRUE(SString(std::string(SString::MaxLength + 1, 'a')).IsEmpty());
    EXPECT_TRUE(SString(static_cast<const char*>(nullptr)).IsEmpty());
    EXPECT_STREQ(SString().CStr(), "");
    EXPECT_EQ(SString("日本").Length(), 6);  // bytes, not characters
    EXPECT_EQ(SString(std::string_view("a\0b", 3)).Length(), 3);  // zero bytes are ordinary bytes
}

TEST(SString, SetLengthFillsWithBlanksAndEmptiesOutsideTheRange)
{
    SString s("ab");
    s.SetLength(5);
    EXPECT_EQ(s, SString("ab   "));
    s.SetLength(1);
    EXPECT_EQ(s, SString("a"));
    s.SetLength(SString::MaxLength);
    EXPECT_EQ(s.Length(), SString::MaxLength);
    EXPECT_EQ(s[-1], ' ');

    s.SetLength(SString::MaxLength + 1);
    EXPECT_TRUE(s.IsEmpty());
    s = "abc";
    s.SetLength(-1);
    EXPECT_TRUE(s.IsEmpty());
}

TEST(SString, IndexWrapsAroundAndNegativeCountsFromTheEnd)
{
    const SString s("abc");
    EXPECT_EQ(s[0], 'a');
    EXPECT_EQ(s[3], 'a');
    EXPECT_EQ(s[7], 'b');
    EXPECT_EQ(s[-1], 'c');
    EXPECT_EQ(s[-3], 'a');
    EXPECT_EQ(s[-4], 'c');
    EXPECT_EQ(s[INT_MIN], s[INT_MIN % 3 + 3]);
    EXPECT_EQ(s[INT_MAX], s[INT_MAX % 3]);

    EXPECT_EQ(SString()[0], '\0');
    EXPECT_EQ(SString()[-5], '\0');
}

TEST(SString, SetAtWrapsAndIgnoresTheEmptyString)
{
    SString s("abc");
    s.SetAt(-1, 'z');
    s.SetAt(4, 'y');
    EXPECT_EQ(s, SString("ayz"));

    SString empty;
    empty.SetAt(0, 'x');
    EXPECT_TRUE(empty.IsEmpty());
}

TEST(SString, AppendRefusesToPassTheLimitAndKeepsTheText)
{
    SString s(std::string(SString::MaxLength - 2, 'a'));
    EXPECT_TRUE(s.Append("bc"));
    EXPECT_EQ(s.Length(), SString::MaxLength);
    EXPECT_FALSE(s.Append("d"));
    EXPECT_EQ(s.Length(), SString::MaxLength);
    EXPECT_EQ(s[-1], 'c');

    SString t("無題");
    t += " - Huedrane";
    EXPECT_EQ(t.View(), "無題 - Huedrane");
    EXPECT_EQ((SString("ab") + "cd").View(), "abcd");

    SString self("xy");
    self.Append(self.View());
    EXPECT_EQ(self.View(), "xyxy");
}
