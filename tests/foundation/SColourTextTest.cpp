#include "SColourText.h"

#include <gtest/gtest.h>

#include <string>

using ulib::ColourToText;
using ulib::SColor;
using ulib::SString;
using ulib::TextToColour;

TEST(ColourText, WritesOpaqueColoursAsThreeNumbersAndOthersWithAlpha)
{
    EXPECT_EQ(ColourToText(SColor(255, 128, 0), ""), SString("(255,128,0)"));
    EXPECT_EQ(ColourToText(SColor(255, 128, 0), "/"), SString("(255,128,0)"));
    EXPECT_EQ(ColourToText(SColor(1, 20, 3, 55), ""), SString("(1,20,3,200)"));
    EXPECT_EQ(ColourToText(SColor(1, 20, 3, 55), "/"), SString("(1,20,3) 200"));
    EXPECT_EQ(ColourToText(SColor(0, 0, 0, 255), ""), SString("(0,0,0,0)"));
}

TEST(ColourText, WrittenTextsReadBackAsTheSameColour)
{
    for (const SColor colour : {SColor::Black, SColor(255, 128, 0), SColor(9, 99, 199, 1), SColor(7, 8, 9, 255)})
        EXPECT_EQ(TextToColour(ColourToText(colour, "").View()), colour);
}

TEST(ColourText, ReadsHexWithEightSixOrSevenDigits)
{
    EXPECT_EQ(TextToColour("#FF8000"), SColor(255, 128, 0));
    EXPECT_EQ(TextToColour("#ff8000c8"), SColor(255, 128, 0, 55));
    EXPECT_EQ(TextToColour("#FF80001"), SColor(255, 128, 0));     // the seventh digit is ignored
    EXPECT_EQ(TextToColour("#ff8000c8ee"), SColor(255, 128, 0, 55));  // only eight digits are read
    EXPECT_EQ(TextToColour("#FF8000 c8"), SColor(255, 128, 0));   // reading ends at the blank
    EXPECT_EQ(TextToColour("#FF80"), SColor::Black);
    EXPECT_EQ(TextToColour("#"), SColor::Black);
    EXPECT_EQ(TextToColour("#12345g78"), SColor::Black);
}

TEST(ColourText, ReadsAnyListOfNumbersWhateverSeparatesThem)
{
    const SColor orange(255, 128, 0);
    EXPECT_EQ(TextToColour("(255,128,0)"), orange);
    EXPECT_EQ(TextToColour("255 128 0"), orange);
    EXPECT_EQ(TextToColour("R255G128B0"), orange);
    EXPECT_EQ(TextToColour(""), SColor::Black);
    EXPECT_EQ(TextToColour("red"), SColor::Black);
    EXPECT_EQ(TextToColour("(12)"), SColor(12, 0, 0));
    EXPECT_EQ(TextToColour("(1,2,3,200)"), SColor(1, 2, 3, 55));
    EXPECT_EQ(TextToColour("(1,2,3) 200"), SColor(1, 2, 3, 55));
    EXPECT_EQ(TextToColour("1 2 3 4 5"), SColor(1, 2, 3, 251));  // a fifth number is not read
    EXPECT_EQ(TextToColour("007 08 9"), SColor(7, 8, 9));       // leading zeros are decimal
}

TEST(ColourText, ClampsNumbersAndSaturatesLongOnes)
{
    EXPECT_EQ(TextToColour("(300,-5,128)"), SColor(255, 0, 128));
    EXPECT_EQ(TextToColour("(1,2,3,-1)"), SColor(1, 2, 3, 255));
    EXPECT_EQ(TextToColour("5-3 9"), SColor(5, 0, 9));  // a "-" before a digit is a sign
    EXPECT_EQ(TextToColour("- 3"), SColor(3, 0, 0));    // one not directly before it separates
    const std::string huge(400, '9');
    EXPECT_EQ(TextToColour(huge + " -" + huge + " 0x" + std::string(300, 'f')), SColor(255, 0, 255));
}

TEST(ColourText, PrefixesSelectTheBaseAndReadOnlyItsDigits)
{
    EXPECT_EQ(TextToColour("0xff 0b101 0o17"), SColor(255, 5, 15));
    EXPECT_EQ(TextToColour("0XfF,0HA,0D12"), SColor(255, 10, 12));
    EXPECT_EQ(TextToColour("0b102"), SColor(2, 2, 0));      // "2" is no binary digit: a new number
    EXPECT_EQ(TextToColour("0o78"), SColor(7, 8, 0));
    EXPECT_EQ(TextToColour("0x1g2"), SColor(1, 2, 0));      // "g" separates
    EXPECT_EQ(TextToColour("0x 7 8 9"), SColor(0, 7, 8, 246));  // a prefix without digits is 0
    EXPECT_EQ(TextToColour("-0x10 10x5"), SColor(0, 10, 5));  // "10x5": the prefix is only "0x"
    EXPECT_EQ(TextToColour("00x5"), SColor(0, 5, 0));
}

TEST(ColourText, StopsAtTheFirstByteOutsidePrintableAscii)
{
    EXPECT_EQ(TextToColour("1 2\t3 4"), SColor(1, 2, 0));
    EXPECT_EQ(TextToColour("1 2 \xE3\x81\x82 3"), SColor(1, 2, 0));
    EXPECT_EQ(TextToColour(std::string_view("9 8\0 7", 6)), SColor(9, 8, 0));
    EXPECT_EQ(TextToColour("\n1 2 3"), SColor::Black);
}
