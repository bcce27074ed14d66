#include "SQuickPress.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace ulib;

namespace {

using Bytes = std::vector<std::uint8_t>;

// Puts the program's tag back however a test ends.
struct TagGuard
{
    ~TagGuard() { SetApplicationTag("huedrane", false); }
};

// A layer that fills every field of its record.
SQuickPressLayer SmallLayer()
{
    SQuickPressLayer layer;
    layer.name = "ab";
    SError err = 0;
    layer.palette.SetCount(2, err);
    layer.palette.Set(0, SColor(1, 2, 3));
    layer.palette.Set(1, SColor(4, 5, 6));
    const std::uint8_t token = 0xE4;
    layer.tiles.Append(SRect{1, 2, 3, 4}, SBinary(&token, 1));
    const std::uint8_t extra[] = {7, 8};
    layer.extra.Assign(extra, 2);
    layer.originX = -2;
    layer.originY = 3;
    layer.width = 5;
    layer.height = 6;
    layer.format = -8;
    layer.flags = 6;
    layer.kind = 1003;
    return layer;
}

SQuickPress SmallList()
{
    SQuickPress list;
    list.width = 10;
    list.height = 11;
    list.format = 32;
    list.SetCount(1);
    list[0].Assign(SmallLayer());
    return list;
}

Bytes Written(const SQuickPress& list)
{
    Bytes bytes(list.ByteSize());
    EXPECT_EQ(list.WriteTo(bytes.data(), bytes.data() + bytes.size()), 0u);
    return bytes;
}

void Put32(Bytes& b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + std::size_t(i)] = std::uint8_t(v >> (8 * i));
}
void Put16(Bytes& b, std::size_t at, std::uint32_t v)
{
    b[at] = std::uint8_t(v);
    b[at + 1] = std::uint8_t(v >> 8);
}

// Reads the bytes and expects the named error with the list left empty.
void ExpectRefused(const Bytes& bytes, const char* identifier)
{
    SQuickPress list = SmallList();
    EXPECT_EQ(list.ReadFrom(bytes.data(), bytes.data() + bytes.size()), ErrorFromIdentifier(identifier)) << identifier;
    EXPECT_TRUE(list.Equals(SQuickPress())) << identifier;
}

TEST(QuickPressFile, WritesTheHeaderAndRecordByteForByte)
{
    const SQuickPress list = SmallList();
    EXPECT_EQ(list[0].ByteSize(), 36u + 3 + 8 + 21 + 2 + 4);
    ASSERT_EQ(list.ByteSize(), 110u);

    Bytes bytes(120, 0xCC);
    ASSERT_EQ(list.WriteTo(bytes.data(), bytes.data() + bytes.size()), 0u);
    const Bytes expected{
        0x51, 0x55, 0x49, 0x50, 0x52, 0x53, 0x80, 0x00, 'h', 'u', 'e', 'd', 'r', 'a', 'n', 'e',
        0, 0, 1, 0, 0, 0, 0, 0, 10, 0, 11, 0, 32, 0, 0, 0, 0, 0, 0, 0,
        // record
        74, 0, 0, 0, 0xEB, 0x03, 0, 0, 3, 0, 0, 0, 2, 0, 1, 0, 2, 0, 0, 0,
        0xFE, 0xFF, 3, 0, 5, 0, 6, 0, 8, 0, 1, 0, 1, 0, 0, 0,
        'a', 'b', 0,
        1, 2, 3, 0xFF, 4, 5, 6, 0xFF,
        1, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0, 4, 0, 0, 0, 0xE4,
        7, 8,
        0, 0, 0, 0,
        // the rest of the buffer is cleared
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(bytes, expected);
}

TEST(QuickPressFile, RoundTripsThroughItsBytes)
{
    SQuickPress list;
    SBitmap image;
    image.Create(130, 70, 32);
    for (std::int32_t y = 0; y < 70; ++y)
        for (std::int32_t x = 0; x < 130; ++x)
            image.Row32(y)[x] = std::uint32_t(x * 0x010203 + y * 0x300000) | (x % 7 == 0 ? 0x80000000u : 0);
    ASSERT_EQ(list.Append(image), 0u);
    image.Create(20, 10, 8);
    ASSERT_EQ(list.Append(image), 0u);
    ASSERT_EQ(list.SetCount(4), 0u);
    list[2].Assign(SmallLayer());
    list[3].kind = 3;
    const std::uint8_t memo[] = {'a', 13, 10};
    list[3].extra.Assign(memo, 3);
    list.format = -8;

    const Bytes bytes = Written(list);
    SQuickPress read;
    ASSERT_EQ(read.ReadFrom(bytes.data(), bytes.data() + bytes.size()), 0u);
    EXPECT_TRUE(read.Equals(list));
    EXPECT_EQ(read.format, -8);
    EXPECT_EQ(read[2].flags, 1);  // only bit 0 is kept
    EXPECT_EQ(read[2].originX, -2);
    EXPECT_EQ(read.ByteSize(), bytes.size());
    SBitmap decoded;
    ASSERT_EQ(read.DecodeLayer(0, decoded), 0u);
    SBitmap original;
    ASSERT_EQ(list.DecodeLayer(0, original), 0u);
    EXPECT_EQ(std::memcmp(decoded.PixelArea(), original.PixelArea(), original.PixelAreaSize()), 0);
}

TEST(QuickPressFile, WriteToRefusesBadBuffersAndFieldsTooSmall)
{
    SQuickPress list = SmallList();
    Bytes bytes(list.ByteSize());
    std::uint8_t* begin = bytes.data();
    std::uint8_t* end = begin + bytes.size();
    EXPECT_EQ(list.WriteTo(nullptr, end), ErrorFromIdentifier("InvalidArgument"));
    EXPECT_EQ(list.WriteTo(begin, nullptr), ErrorFromIdentifier("InvalidArgument"));
    EXPECT_EQ(list.WriteTo(end, begin), ErrorFromIdentifier("InvalidArgument"));
    EXPECT_EQ(list.WriteTo(begin, end - 1), ErrorFromIdentifier("insuf_buf"));

    // A value its field cannot hold is an error, not a silently different file; the records
    // around it are still written.
    ASSERT_EQ(list.SetCount(3), 0u);
    list[2].Assign(SmallLayer());
    list[1].width = 70000;
    bytes.assign(list.ByteSize(), 0xCC);
    EXPECT_EQ(list.WriteTo(bytes.data(), bytes.data() + bytes.size()), ErrorFromIdentifier("data"));
    const std::size_t second = 36 + list[0].ByteSize();
    EXPECT_EQ(bytes[second], 0);
    EXPECT_EQ(bytes[second + list[1].ByteSize()], 74);
    list[1].width = 0;
    list[1].originY = 40000;
    EXPECT_EQ(list.WriteTo(bytes.data(), bytes.data() + bytes.size()), ErrorFromIdentifier("data"));
    list[1].originY = 0;
    list.height = 65536;
    EXPECT_EQ(list.WriteTo(bytes.data(), bytes.data() + bytes.size()), ErrorFromIdentifier("data"));
}

TEST(QuickPressFile, ReadFromChecksTheHeaderInOrder)
{
    TagGuard guard;
    const Bytes good = Written(SmallList());
    SQuickPress list;
    EXPECT_EQ(list.ReadFrom(nullptr, good.data()), ErrorFromIdentifier("InvalidArgument"));
    EXPECT_EQ(list.ReadFrom(good.data() + 1, good.data()), ErrorFromIdentifier("InvalidArgument"));
    EXPECT_EQ(list.ReadFrom(good.data(), good.data()), ErrorFromIdentifier("EmptyData"));
    ExpectRefused(Bytes(good.begin(), good.begin() + 35), "UnacceptableFormat");

    Bytes b = good;
    b[6] = 0x81;
    ExpectRefused(b, "UnacceptableFormat");
    b = good;
    std::memcpy(b.data() + 8, "othertag", 8);  // another program's file, right magic
    ExpectRefused(b, "UnacceptableFormat");
    SetApplicationTag("any", true);
    EXPECT_EQ(list.ReadFrom(b.data(), b.data() + b.size()), 0u);
    SetApplicationTag("othertag-and-more", false);
    EXPECT_EQ(list.ReadFrom(b.data(), b.data() + b.size()), 0u);
    EXPECT_EQ(Written(list)[15], 'g');
    SetApplicationTag("abc", false);
    EXPECT_EQ(Written(list)[11], 0);
    SetApplicationTag("huedrane", false);

    b = good;
    Put16(b, 22, 1);
    ExpectRefused(b, "UnacceptableVersion");
    b = good;
    Put16(b, 28, 7);
    ExpectRefused(b, "InvalidData");
    Put16(b, 28, 0);
    Put16(b, 30, 1);
    ExpectRefused(b, "InvalidData");
    b = good;
    Put16(b, 28, 8);
    Put16(b, 30, 1);
    ASSERT_EQ(list.ReadFrom(b.data(), b.data() + b.size()), 0u);
    EXPECT_EQ(list.format, -8);
}

TEST(QuickPressFile, ReadFromRefusesEveryDamagedRecord)
{
    const Bytes good = Written(SmallList());
    const std::size_t r = 36;  // the record
    const std::size_t tile = r + 36 + 3 + 8;
    Bytes b;

    b = good;
    Put16(b, 18, 2);  // a second record that is not there
    ExpectRefused(b, "nodata");
    b = good;
    Put32(b, 32, 0xFFFFFFFFu);  // first record far past the end
    ExpectRefused(b, "nodata");
    b.assign(good.begin(), good.begin() + 36 + 35);
    ExpectRefused(b, "taillostdata");
    b = good;
    Put32(b, r, 75);  // one byte more than there is
    ExpectRefused(b, "taillostdata");
    Put32(b, r, 0xFFFFFFFFu);
    ExpectRefused(b, "taillostdata");
    b = good;
    Put16(b, r + 28, 12);
    ExpectRefused(b, "bad_format");
    b = good;
    Put32(b, r, 20);  // shorter than its own fields
    ExpectRefused(b, "taillostdata");
    b = good;
    Put16(b, r + 8, 60);  // name passing the record's end
    ExpectRefused(b, "taillostdata");
    b = good;
    Put16(b, r + 10, 4);  // reserved items passing the record's end
    ExpectRefused(b, "taillostdata");
    b = good;
    Put16(b, r + 12, 9);  // colours passing the record's end
    ExpectRefused(b, "taillostdata");
    b = good;
    Put16(b, r + 14, 2);  // a tile header cut by the record's end
    ExpectRefused(b, "taillostdata");
    b = good;
    Put32(b, tile, 0xFFFFFFFFu);  // coded bytes passing the end, without overflowing the sum
    ExpectRefused(b, "taillostdata");
    Put32(b, tile, 15);
    ExpectRefused(b, "taillostdata");
    b = good;
    Put32(b, r + 16, 0xFFFFFFFFu);
    ExpectRefused(b, "taillostdata");
    Put32(b, r + 16, 7);
    ExpectRefused(b, "taillostdata");
    b.assign(good.begin(), good.begin() + std::ptrdiff_t(tile) + 20);  // cut inside a tile
    Put32(b, r, std::uint32_t(b.size() - r));
    ExpectRefused(b, "taillostdata");

    // Reserved items are counted too: a bare record has no room for one.
    SQuickPress bare;
    bare.SetCount(1);
    bare[0].name = "ab";
    b = Written(bare);
    ASSERT_EQ(b.size(), 36u + 43);
    Put16(b, r + 10, 1);
    ExpectRefused(b, "taillostdata");

    // More than 256 colour entries, with room for them.
    SQuickPress big = SmallList();
    big[0].extra.Resize(2000);
    b = Written(big);
    Put16(b, r + 12, 300);
    ExpectRefused(b, "array_size");
}

TEST(QuickPressFile, ReadFromSkipsWhatTheRecordsDoNotDescribe)
{
    const Bytes good = Written(SmallList());
    SQuickPress list;

    // Bytes between the header and the first record, named by the offset field.
    Bytes b(good.begin(), good.begin() + 36);
    Put32(b, 32, 4);
    b.insert(b.end(), {9, 9, 9, 9});
    b.insert(b.end(), good.begin() + 36, good.end());
    ASSERT_EQ(list.ReadFrom(b.data(), b.data() + b.size()), 0u);
    EXPECT_TRUE(list.Equals(SmallList()));

    // Reserved items after the name, and bytes after the trailing zero word.
    b.assign(good.begin(), good.begin() + 36 + 36 + 3);
    b.insert(b.end(), 18, 0x77);
    b.insert(b.end(), good.begin() + 36 + 36 + 3, good.end());
    b.insert(b.end(), {1, 2, 3});
    Put32(b, 36, 74 + 18 + 3);
    Put16(b, 36 + 10, 2);
    Put16(b, 36 + 8, 5);  // the name reads up to its zero byte
    b[36 + 36 + 3] = 'c';
    b[36 + 36 + 4] = 0;
    ASSERT_EQ(list.ReadFrom(b.data(), b.data() + b.size()), 0u);
    SQuickPress expected = SmallList();
    EXPECT_TRUE(list.Equals(expected));
    EXPECT_EQ(list.ByteSize(), good.size());
}

}  // namespace
