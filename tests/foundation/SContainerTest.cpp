#include "SArray.h"
#include "SBinary.h"
#include "SMap.h"
#include "SString.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

using ulib::ErrorFromIdentifier;
using ulib::SArray;
using ulib::SBinary;
using ulib::SMap;
using ulib::SString;

namespace {

std::vector<int> Items(const SArray<int>& array)
{
    return {array.begin(), array.end()};
}

}  // namespace

TEST(SArray, IndexWrapsAroundAndNegativeCountsFromTheEnd)
{
    SArray<int> a{10, 20, 30};
    EXPECT_EQ(a[0], 10);
    EXPECT_EQ(a[3], 10);
    EXPECT_EQ(a[5], 30);
    EXPECT_EQ(a[-1], 30);
    EXPECT_EQ(a[-4], 30);
    EXPECT_EQ(a[INT_MIN], a[INT_MIN % 3 + 3]);
    a[-2] = 21;
    EXPECT_EQ(Items(a), (std::vector<int>{10, 21, 30}));
}

TEST(SArray, IndexingAnEmptyArrayGivesADefaultThatWritesCannotCorrupt)
{
    SArray<SString> empty;
    const SArray<SString>& constEmpty = empty;
    EXPECT_TRUE(constEmpty[3].IsEmpty());

    empty[0] = "scribble";
    EXPECT_TRUE(empty[7].IsEmpty());
    EXPECT_TRUE(constEmpty[0].IsEmpty());
    EXPECT_EQ(empty.Count(), 0);
}

TEST(SArray, SetCountOutsideTheRangeGivesArraySizeAndAnEmptyArray)
{
    const ulib::SError arraySize = ErrorFromIdentifier("array_size");
    SArray<int> a{1, 2, 3};
    EXPECT_EQ(a.SetCount(5), 0u);
    EXPECT_EQ(Items(a), (std::vector<int>{1, 2, 3, 0, 0}));
    EXPECT_EQ(a.SetCount(2), 0u);
    EXPECT_EQ(Items(a), (std::vector<int>{1, 2}));

    EXPECT_EQ(a.SetCount(-1), arraySize);
    EXPECT_TRUE(a.IsEmpty());
    a = {1};
    EXPECT_EQ(a.SetCount(SArray<int>::MaxCount + 1), arraySize);
    EXPECT_TRUE(a.IsEmpty());
    EXPECT_EQ(a.SetCount(SArray<int>::MaxCount), 0u);
    EXPECT_EQ(a.Count(), 65535);
}

TEST(SArray, AFullArrayRefusesMoreAndStaysAsItWas)
{
    SArray<char> a;
    ASSERT_EQ(a.SetCount(SArray<char>::MaxCount), 0u);
    EXPECT_EQ(a.Append('x'), ErrorFromIdentifier("array_size"));
    EXPECT_EQ(a.Insert(0, 'x'), ErrorFromIdentifier("array_size"));
    EXPECT_EQ(a.Count(), SArray<char>::MaxCount);
    EXPECT_EQ(a[0], '\0');
}

TEST(SArray, InsertClampsDeleteWrapsAndElementsStayWhereTheyAre)
{
    SArray<int> a{1, 2, 3};
    int& two = a[1];
    a.Insert(1, 9);
    a.Insert(-5, 0);
    a.Insert(100, 4);
    EXPECT_EQ(Items(a), (std::vector<int>{0, 1, 9, 2, 3, 4}));
    EXPECT_EQ(&two, &a[3]);  // elements live in their own blocks

    a.Delete(-1);
    a.Delete(6);  // wraps to index 1
    EXPECT_EQ(Items(a), (std::vector<int>{0, 9, 2, 3}));
    two = 22;
    EXPECT_EQ(a[2], 22);

    SArray<int> empty;
    empty.Delete(0);
    EXPECT_TRUE(empty.IsEmpty());
}

TEST(SArray, CopiesAreDeepAndMovesEmptyTheSource)
{
    SArray<SString> a{"one", "two"};
    SArray<SString> copy = a;
    copy[0] = "changed";
    EXPECT_EQ(a[0], SString("one"));
    EXPECT_NE(a, copy);

    SArray<SString> moved = std::move(a);
    EXPECT_EQ(moved.Count(), 2);
    EXPECT_TRUE(a.IsEmpty());  // a moved-from array is empty, not half-owned
    EXPECT_EQ(moved.IndexOf("two"), 1);
    EXPECT_EQ(moved.IndexOf("three"), -1);
}

TEST(SMap, KeepsDuplicateKeysInOrderAndFindsTheFirst)
{
    SMap<SString, int> map;
    EXPECT_EQ(map.Append("a", 1), 0u);
    EXPECT_EQ(map.Append("b", 2), 0u);
    EXPECT_EQ(map.Append("a", 3), 0u);
    EXPECT_EQ(map.Count(), 3);
    EXPECT_EQ(map.IndexOf("a"), 0);
    ASSERT_NE(map.Find("a"), nullptr);
    EXPECT_EQ(*map.Find("a"), 1);
    EXPECT_EQ(map.Find("c"), nullptr);

    EXPECT_EQ(map.Key(-1), SString("a"));
    EXPECT_EQ(map.Value(-1), 3);
    EXPECT_EQ(map.Value(4), 2);

    map.Delete(0);  // the later namesake becomes the one found
    EXPECT_EQ(*map.Find("a"), 3);
    EXPECT_EQ(map.Key(0), SString("b"));
    EXPECT_EQ(map.Value(0), 2);
}

TEST(SMap, EmptyMapGivesDefaultsAndAFullOneStaysPaired)
{
    SMap<int, int> map;
    EXPECT_EQ(map.Key(2), 0);
    EXPECT_EQ(map.Value(-1), 0);
    EXPECT_EQ(map.IndexOf(0), -1);

    constexpr int full = SMap<int, int>::MaxCount;
    for (int i = 0; i < full; ++i)
        ASSERT_EQ(map.Append(i, -i), 0u);
    EXPECT_EQ(map.Append(1, 1), ErrorFromIdentifier("array_size"));
    EXPECT_EQ(map.Count(), full);
    EXPECT_EQ(map.Key(-1), full - 1);
    EXPECT_EQ(map.Value(-1), -(full - 1));
}

TEST(SBinary, NewBytesAreZeroAndCopiesMayComeFromItself)
{
    SBinary b("abc", 3);
    ASSERT_EQ(b.Resize(6), 0u);
    EXPECT_EQ(std::memcmp(b.Data(), "abc\0\0\0", 6), 0);

    b.Resize(3);
    ASSERT_EQ(b.Append(b.Data() + 1, 2), 0u);  // the block grows under its own source
    EXPECT_EQ(std::memcmp(b.Data(), "abcbc", 5), 0);
    ASSERT_EQ(b.Assign(b.Data() + 3, 2), 0u);
    EXPECT_EQ(b, SBinary("bc", 2));
}

TEST(SBinary, NullSourcesAndEmptyBuffers)
{
    SBinary b("xy", 2);
    EXPECT_EQ(b.Assign(nullptr, 4), ErrorFromIdentifier("null_pointer"));
    EXPECT_EQ(b.Append(nullptr, 1), ErrorFromIdentifier("null_pointer"));
    EXPECT_EQ(b, SBinary("xy", 2));
    EXPECT_EQ(b.Append(nullptr, 0), 0u);

    EXPECT_TRUE(SBinary(nullptr, 5).IsEmpty());
    b.Clear();
    EXPECT_EQ(b.Data(), nullptr);
    EXPECT_EQ(b.Length(), 0u);
    EXPECT_TRUE(b.Bytes().empty());
}
