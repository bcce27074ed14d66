// Run-length BMPs (compression 1 for 8-bit, 2 for 4-bit pictures): random rows through a small
// encoder read back to themselves, hand-written streams cover moves and early ends, and streams
// that reach outside the picture or stop short are refused with the bitmap left empty.
#include "PictureFixture.h"
#include "RasterFixture.h"
#include "Sximage.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

using namespace ulib;

namespace {

using Rows = std::vector<Bytes>;  // indices, in the file's row order (bottom row first)

// The length of the run starting at x: equal indices, or in 4-bit pictures two alternating ones.
std::size_t RunAt(const Bytes& row, std::size_t x, bool fourBits)
{
    const std::size_t period = fourBits ? 2 : 1;
    std::size_t run = 1;
    while (x + run < row.size() && run < 255 && row[x + run] == row[x + run % period])
        ++run;
    return run;
}

// Encodes rows as runs and literal stretches, each row closed by an end-of-row mark; the last mark
// becomes the end of the picture.
Bytes Encode(const Rows& rows, bool fourBits)
{
    Bytes out;
    for (const Bytes& row : rows) {
        for (std::size_t x = 0; x < row.size();) {
            std::size_t n = 0;
            while (x + n < row.size() && n < 255 && RunAt(row, x + n, fourBits) < 3)
                ++n;
            if (n < 3) {  // a run (or a single index, as a run of one)
                const std::size_t run = n == 0 ? RunAt(row, x, fourBits) : 1;
                const std::uint8_t second = x + 1 < row.size() ? row[x + 1] : 0;
                out.push_back(std::uint8_t(run));
                out.push_back(fourBits ? std::uint8_t(row[x] << 4 | (run > 1 ? second : 0)) : row[x]);
                x += run;
                continue;
            }
            out.push_back(0);
            out.push_back(std::uint8_t(n));
            Bytes literal;
            for (std::size_t i = 0; i < n; ++i)
                if (!fourBits)
                    literal.push_back(row[x + i]);
                else if (i % 2 == 0)
                    literal.push_back(std::uint8_t(row[x + i] << 4));
                else
                    literal.back() |= row[x + i];
            if (literal.size() % 2 != 0)
                literal.push_back(0);
            out.insert(out.end(), literal.begin(), literal.end());
            x += n;
        }
        out.push_back(0);
        out.push_back(0);
    }
    out.back() = 1;
    return out;
}

BmpRecipe RunLengths(std::int32_t width, std::int32_t height, bool fourBits, Bytes data)
{
    BmpRecipe recipe;
    recipe.width = width;
    recipe.height = height;
    recipe.bitCount = fourBits ? 4 : 8;
    recipe.compression = fourBits ? 2 : 1;
    recipe.coloursUsed = 16;
    for (std::uint32_t i = 0; i < 16; ++i)
        recipe.table.push_back(0x010203u * i + 0x000040u);
    recipe.pixels = std::move(data);
    return recipe;
}

SError Read(SBitmap& image, const BmpRecipe& recipe)
{
    const Bytes file = MakeBmp(recipe);
    return ReadBmp(image, file.data(), file.data() + file.size());
}

// The picture's indices in the file's row order.
Rows Indices(const SBitmap& image, bool topDown)
{
    Rows rows(std::size_t(image.Height()), Bytes(std::size_t(image.Width())));
    for (std::int32_t y = 0; y < image.Height(); ++y)
        for (std::int32_t x = 0; x < image.Width(); ++x)
            rows[std::size_t(topDown ? y : image.Height() - 1 - y)][std::size_t(x)] =
                std::uint8_t(image.GetIndex(x, y));
    return rows;
}

}  // namespace

TEST(ReadBmp, RunLengthRowsReadBackToTheEncodedIndices)
{
    std::mt19937 random(3);
    for (bool fourBits : {false, true})
        for (std::int32_t width : {1, 2, 3, 7, 40, 300}) {
            Rows rows(5, Bytes(std::size_t(width)));
            for (Bytes& row : rows)
                for (std::uint8_t& index : row)  // few values make runs; some make literal stretches
                    index = std::uint8_t(random() % 4 == 0 ? random() % (fourBits ? 16 : 256) : random() % 2);
            for (std::int32_t height : {5, -5}) {
                SBitmap image;
                const std::string what = std::to_string(fourBits ? 4 : 8) + " bits, " + std::to_string(width) + " x " +
                                         std::to_string(height);
                ASSERT_EQ(Read(image, RunLengths(width, height, fourBits, Encode(rows, fourBits))), 0u) << what;
                EXPECT_EQ(image.Format(), fourBits ? 4 : 8) << what;
                EXPECT_EQ(Indices(image, height < 0), rows) << what;
                EXPECT_EQ(image.GetPaletteEntry(3), SColor(0x03, 0x06, 0x49)) << what;
            }
        }
}

TEST(ReadBmp, RunLengthMovesAndEarlyEndsLeaveIndexZero)
{
    struct Case
    {
        const char* what;
        bool fourBits;
        std::int32_t width;
        Bytes data;
        Rows expected;  // the file's row order
    };
    const Case cases[] = {
        {"delta, then the end", false, 4, {2, 5, 0, 2, 1, 1, 1, 7, 0, 1}, {{5, 5, 0, 0}, {0, 0, 0, 7}, {0, 0, 0, 0}}},
        {"odd literal, padded", false, 4, {0, 3, 9, 8, 7, 0, 0, 0, 4, 1, 0, 0, 0, 1},
         {{9, 8, 7, 0}, {1, 1, 1, 1}, {0, 0, 0, 0}}},
        {"delta to the row's end", false, 4, {0, 2, 4, 0, 0, 0, 1, 3, 0, 1},
         {{0, 0, 0, 0}, {3, 0, 0, 0}, {0, 0, 0, 0}}},
        {"delta onto the last row", false, 2, {0, 2, 1, 2, 1, 6, 0, 1}, {{0, 0}, {0, 0}, {0, 6}}},
        {"nothing but the end", false, 3, {0, 1}, {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}}},
        {"4 bits: alternating run", true, 5, {5, 0x12, 0, 0, 0, 3, 0xAB, 0xC0, 0, 1},
         {{1, 2, 1, 2, 1}, {10, 11, 12, 0, 0}, {0, 0, 0, 0, 0}}},
        {"4 bits: literal padded", true, 5, {0, 5, 0x12, 0x34, 0x50, 0, 0, 0, 0, 2, 2, 1, 1, 0xF0, 0, 1},
         {{1, 2, 3, 4, 5}, {0, 0, 0, 0, 0}, {0, 0, 15, 0, 0}}},
    };
    for (const Case& c : cases) {
        SBitmap image = Made(2, 2, 32);
        ASSERT_EQ(Read(image, RunLengths(c.width, 3, c.fourBits, c.data)), 0u) << c.what;
        EXPECT_EQ(Indices(image, false), c.expected) << c.what;
    }
}

TEST(ReadBmp, RunLengthStreamsOutsideThePictureOrCutShortAreRefused)
{
    struct Case
    {
        const char* what;
        bool fourBits;
        Bytes data;
        const char* error;
    };
    // Pictures 4 x 2.
    const Case cases[] = {
        {"run past the row", false, {5, 1, 0, 1}, "data"},
        {"run after the last row", false, {0, 0, 0, 0, 1, 1, 0, 1}, "data"},
        {"literal past the row", false, {2, 0, 0, 3, 1, 2, 3, 0, 0, 1}, "data"},
        {"delta past the row", false, {0, 2, 5, 0, 0, 1}, "data"},
        {"delta past the picture", false, {0, 2, 0, 3, 0, 1}, "data"},
        {"end of row past the picture", false, {0, 0, 0, 0, 0, 0, 0, 1}, "data"},
        {"4 bits: run past the row", true, {5, 0x11, 0, 1}, "data"},
        {"4 bits: literal past the row", true, {1, 0, 0, 4, 0x12, 0x34, 0, 1}, "data"},
        {"no data", false, {}, "taillostdata"},
        {"no end of the picture", false, {4, 1}, "taillostdata"},
        {"half a code", false, {4, 1, 0}, "taillostdata"},
        {"literal cut", false, {0, 4, 1, 2}, "taillostdata"},
        {"literal without its padding", false, {0, 3, 1, 2, 3}, "taillostdata"},
        {"4 bits: literal cut", true, {0, 4, 0x12}, "taillostdata"},
        {"delta cut", false, {0, 2, 1}, "taillostdata"},
    };
    for (const Case& c : cases) {
        SBitmap image = Made(2, 2, 32);
        EXPECT_EQ(Read(image, RunLengths(4, 2, c.fourBits, c.data)), Id(c.error)) << c.what;
        EXPECT_TRUE(image.IsPristine()) << c.what;
    }

    // Run lengths belong to 8-bit (compression 1) and 4-bit (compression 2) pictures only.
    BmpRecipe mismatched = RunLengths(4, 2, false, {0, 1});
    mismatched.bitCount = 4;
    SBitmap image;
    EXPECT_EQ(Read(image, mismatched), Id("UnacceptableVersion"));
    mismatched = RunLengths(4, 2, true, {0, 1});
    mismatched.bitCount = 8;
    EXPECT_EQ(Read(image, mismatched), Id("UnacceptableVersion"));

    // A picture too large for the bitmap is refused before any data are looked at.
    EXPECT_EQ(Read(image, RunLengths(60000, 60000, false, {0, 1})), Id("memory_alloc"));
    EXPECT_EQ(Read(image, RunLengths(12001, 1, true, {0, 1})), Id("memory_alloc"));
    EXPECT_TRUE(image.IsPristine());
}
