// The stand-alone colour table.
#include "SPalette.h"

#include <gtest/gtest.h>

#include <utility>

using namespace ulib;

TEST(Palette, CountOutsideTheRangeEmptiesAndReportsIt)
{
    SPalette palette;
    SError err = 1;
    palette.SetCount(256, err);
    EXPECT_EQ(err, 0u);
    EXPECT_EQ(palette.Count(), 256);

    palette.SetCount(257, err);
    EXPECT_NE(err, 0u);
    EXPECT_EQ(err, ErrorFromIdentifier("array_size"));
    EXPECT_TRUE(palette.IsEmpty());

    palette.SetCount(4, err);
    palette.SetCount(-1, err);
    EXPECT_EQ(err, ErrorFromIdentifier("array_size"));
    EXPECT_EQ(palette.Count(), 0);

    palette.SetCount(4, err);
    palette.Set(1, SColor::Red);
    palette.SetCount(8, err);
    EXPECT_EQ(palette.Get(1), SColor::Red);
    EXPECT_EQ(palette.Get(7), SColor());
    palette.SetCount(0, err);
    EXPECT_EQ(err, 0u);
    EXPECT_TRUE(palette.IsEmpty());
}

TEST(Palette, EntriesWrapAndAreAlwaysOpaque)
{
    SPalette palette;
    EXPECT_EQ(palette.Get(3), SColor());
    palette.Set(3, SColor::Red);  // nothing to set
    EXPECT_TRUE(palette.IsEmpty());

    SError err = 0;
    palette.SetCount(3, err);
    palette.Set(-1, SColor(1, 2, 3, 200));
    EXPECT_EQ(palette.Get(2), SColor(1, 2, 3, 0));
    EXPECT_EQ(palette.Get(5), SColor(1, 2, 3, 0));
    EXPECT_EQ(palette.Get(-4), SColor(1, 2, 3, 0));
    palette.Set(4, SColor::Green);
    EXPECT_EQ(palette.Get(1), SColor::Green);
}

TEST(Palette, EqualityAndMoves)
{
    SPalette a, b;
    SError err = 0;
    EXPECT_EQ(a, b);
    a.SetCount(2, err);
    EXPECT_NE(a, b);
    b.SetCount(2, err);
    EXPECT_EQ(a, b);
    b.Set(1, SColor::Blue);
    EXPECT_NE(a, b);

    SPalette c(std::move(b));
    EXPECT_EQ(c.Get(1), SColor::Blue);
    a = std::move(c);
    EXPECT_EQ(a.Get(1), SColor::Blue);
    EXPECT_EQ(a.Count(), 2);
}
