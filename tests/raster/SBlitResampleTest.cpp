// Copying rectangles between images and scaling by area averaging.
#include "RasterFixture.h"
#include "SBitmap.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <algorithm>
#include <initializer_list>
#include <random>
#include <string>
#include <vector>

using namespace ulib;

namespace {

using Art = std::vector<std::string>;

// '.' is index 0, a digit or letter its hexadecimal value.
SBitmap IndexImage(const Art& rows, std::int32_t format = 8)
{
    SBitmap image;
    image.Create(std::int32_t(rows[0].size()), std::int32_t(rows.size()), format);
    for (std::size_t y = 0; y < rows.size(); ++y)
        for (std::size_t x = 0; x < rows[y].size(); ++x) {
            char c = rows[y][x];
            std::uint32_t index = c == '.' ? 0 : std::uint32_t(std::stoul(std::string(1, c), nullptr, 16));
            image.SetIndex(std::int32_t(x), std::int32_t(y), index);
        }
    return image;
}

Art IndexArt(const SBitmap& image)
{
    Art rows;
    for (std::int32_t y = 0; y < image.Height(); ++y) {
        std::string row;
        for (std::int32_t x = 0; x < image.Width(); ++x) {
            std::uint32_t i = image.GetIndex(x, y);
            row += i == 0 ? '.' : "0123456789ABCDEF"[i & 15];
        }
        rows.push_back(row);
    }
    return rows;
}

// 1-bit images have no index accessors; read and write their bits directly.
SBitmap BitImage(const Art& rows)
{
    SBitmap image;
    image.Create(std::int32_t(rows[0].size()), std::int32_t(rows.size()), 1);
    for (std::size_t y = 0; y < rows.size(); ++y)
        for (std::size_t x = 0; x < rows[y].size(); ++x)
            if (rows[y][x] == '#')
                image.Row(std::int32_t(y))[x / 8] |= std::uint8_t(0x80 >> (x % 8));
    return image;
}

Art BitArt(const SBitmap& image)
{
    Art rows;
    for (std::int32_t y = 0; y < image.Height(); ++y) {
        std::string row;
        for (std::int32_t x = 0; x < image.Width(); ++x)
            row += (image.Row(y)[x / 8] >> (7 - x % 8)) & 1 ? '#' : '.';
        rows.push_back(row);
    }
    return rows;
}

// A one-row 24-bit image with the given blue values (green and red derived from them).
SBitmap BlueRow(std::initializer_list<std::uint8_t> blues)
{
    SBitmap image = Made(std::int32_t(blues.size()), 1, 24);
    std::int32_t x = 0;
    for (std::uint8_t b : blues)
        image.SetColor(x++, 0, SColor(std::uint8_t(b / 2), std::uint8_t(255 - b), b));
    return image;
}

// Area averaging straight from its definition, pixel by pixel, for checking the row-wise version.
SColor ReferencePixel(const SBitmap& source, SPoint size, SPoint at)
{
    auto span = [](std::int32_t from, std::int32_t to, std::int32_t d) {
        std::uint64_t scale = std::uint64_t(from) * 65536 / std::uint64_t(to);
        std::uint64_t start = std::uint64_t(d) * scale >> 8;
        return std::pair{start, std::max(std::uint64_t(d + 1) * scale >> 8, start + 1)};
    };
    auto [x0, x1] = span(source.Width(), size.x, at.x);
    auto [y0, y1] = span(source.Height(), size.y, at.y);
    bool alpha = source.Format() == 32;
    std::uint64_t sum[4] = {}, weights = 0, alphaWeights = 0;
    for (std::uint64_t sy = y0 >> 8; sy * 256 < y1; ++sy)
        for (std::uint64_t sx = x0 >> 8; sx * 256 < x1; ++sx) {
            std::uint64_t w = (std::min(x1, sx * 256 + 256) - std::max(x0, sx * 256)) *
                              (std::min(y1, sy * 256 + 256) - std::max(y0, sy * 256));
            SColor c = source.GetColor(std::int32_t(sx), std::int32_t(sy));
            std::uint64_t a = alpha ? 255u - c.t : 1;
            weights += w;
            alphaWeights += w * a;
            sum[0] += w * a * c.r, sum[1] += w * a * c.g, sum[2] += w * a * c.b, sum[3] += w * c.t;
        }
    if (!alpha)
        return SColor(std::uint8_t(sum[0] / weights), std::uint8_t(sum[1] / weights), std::uint8_t(sum[2] / weights),
                      std::uint8_t(sum[3] / weights));
    if (alphaWeights == 0)
        return SColor(0, 0, 0, 255);
    return SColor(std::uint8_t(sum[0] / alphaWeights), std::uint8_t(sum[1] / alphaWeights),
                  std::uint8_t(sum[2] / alphaWeights), std::uint8_t(255 - alphaWeights / weights));
}

SBitmap Noise(std::int32_t width, std::int32_t height, std::int32_t format, unsigned seed)
{
    SBitmap image = Made(width, height, format);
    std::mt19937 random(seed);
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width; ++x) {
            std::uint32_t v = random();
            std::uint8_t t = (v >> 24) < 64 ? 255 : (v >> 24) < 128 ? 0 : std::uint8_t(v >> 24);
            image.SetColor(x, y, SColor(std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16), t));
        }
    return image;
}

}  // namespace

TEST(Blit, ClipsToTargetAndSource)
{
    SBitmap target = IndexImage({"....", "....", "...."});
    SBitmap source = IndexImage({"123", "456"});
    Blit(target, source, {-1, 2});
    EXPECT_EQ(IndexArt(target), (Art{"....", "....", "23.."}));

    SRect part{1, -5, 9, 9};
    Blit(target, source, {2, 0}, &part);
    EXPECT_EQ(IndexArt(target), (Art{"...2", "...5", "23.."}));

    SRect outside{5, 5, 8, 8};
    Blit(target, source, {0, 0}, &outside);
    Blit(target, source, {INT32_MAX, INT32_MIN});
    EXPECT_EQ(IndexArt(target), (Art{"...2", "...5", "23.."}));
}

TEST(Blit, SameImageOverlapReadsTheOriginal)
{
    SBitmap image = IndexImage({"1234", "5678"});
    Blit(image, image, {1, 0});
    EXPECT_EQ(IndexArt(image), (Art{"1123", "5567"}));
    Blit(image, image, {-1, 1});
    EXPECT_EQ(IndexArt(image), (Art{"1123", "1237"}));

    SBitmap nibbles = IndexImage({"9ABC", "DEF1"}, 4);
    Blit(nibbles, nibbles, {1, 1});
    EXPECT_EQ(IndexArt(nibbles), (Art{"9ABC", "D9AB"}));
}

TEST(Blit, EqualFormatsCopyTheStoredPixels)
{
    SBitmap target = Made(3, 1, 32);
    SBitmap source = Made(2, 1, 32);
    source.SetColor(0, 0, SColor(1, 2, 3, 40));
    source.SetColor(1, 0, SColor(4, 5, 6, 255));
    Blit(target, source, {1, 0});
    EXPECT_EQ(target.GetColor(0, 0), SColor(0, 0, 0, 255));
    EXPECT_EQ(target.GetColor(1, 0), SColor(1, 2, 3, 40));
    EXPECT_EQ(target.GetColor(2, 0), SColor(4, 5, 6, 255));

    SBitmap bits = BitImage({"..........", ".........."});
    Blit(bits, BitImage({"#.##", ".#.."}), {7, 1});
    EXPECT_EQ(BitArt(bits), (Art{"..........", ".......#.#"}));
    Blit(bits, BitImage({"#.##"}), {6, 0});
    EXPECT_EQ(BitArt(bits), (Art{"......#.##", ".......#.#"}));

    SBitmap wideIndex = Made(2, 1, -16);
    SBitmap wideSource = Made(1, 1, -16);
    wideSource.Row(0)[0] = 77;
    Blit(wideIndex, wideSource, {1, 0});
    EXPECT_EQ(wideIndex.GetIndex(1, 0), 77u);
}

TEST(Blit, DifferentFormatsConvertThroughColours)
{
    SBitmap indexed = IndexImage({"12"});
    indexed.SetPaletteEntry(1, SColor::Red);
    indexed.SetPaletteEntry(2, SColor(10, 20, 30));
    SBitmap target = Made(2, 2, 32);
    Blit(target, indexed, {0, 1});
    EXPECT_EQ(target.GetColor(0, 1), SColor::Red);
    EXPECT_EQ(target.GetColor(1, 1), SColor(10, 20, 30));
    EXPECT_EQ(target.GetColor(0, 0), SColor(0, 0, 0, 255));

    SBitmap grey = Made(2, 1, -8);
    Blit(grey, target, {0, -1});
    EXPECT_EQ(grey.GetIndex(0, 0), 54u);  // (255 * 6969) >> 15
    EXPECT_EQ(grey.GetIndex(1, 0), 18u);  // (20 * 23434 + 10 * 6969 + 30 * 2365) >> 15
}

TEST(Resample, AveragesWholePixels)
{
    SBitmap square = Made(2, 2, 24);
    square.SetColor(0, 0, SColor(10, 0, 255));
    square.SetColor(1, 0, SColor(20, 0, 255));
    square.SetColor(0, 1, SColor(30, 0, 0));
    square.SetColor(1, 1, SColor(41, 3, 0));
    SBitmap one = Resample(square, 1, 1);
    ASSERT_EQ(one.Dimensions(), (SPoint{1, 1}));
    EXPECT_EQ(one.Format(), 24);
    EXPECT_EQ(one.GetColor(0, 0), SColor(25, 0, 127));  // 101 / 4, 3 / 4, 510 / 4, truncated

    SBitmap nine = Made(3, 3, 24);
    std::uint8_t v = 0;
    for (std::int32_t y = 0; y < 3; ++y)
        for (std::int32_t x = 0; x < 3; ++x, v += 10)
            nine.SetColor(x, y, SColor(v, std::uint8_t(v + 1), 7));
    EXPECT_EQ(Resample(nine, 1, 1).GetColor(0, 0), SColor(40, 41, 7));
}

TEST(Resample, WeighsPartlyCoveredPixelsByOverlap)
{
    // Three pixels onto two: each target covers 384/256 of a pixel, weights 256 + 128 and 128 + 256.
    SBitmap out = Resample(BlueRow({0, 90, 180}), 2, 1);
    EXPECT_EQ(out.GetColor(0, 0).b, 30);   // (90 * 128) / 384
    EXPECT_EQ(out.GetColor(1, 0).b, 150);  // (90 * 128 + 180 * 256) / 384
    EXPECT_EQ(out.GetColor(1, 0).r, 75);   // (45 * 128 + 90 * 256) / 384
    EXPECT_EQ(out.GetColor(0, 0).g, 225);  // (255 * 256 + 165 * 128) / 384
}

TEST(Resample, WeighsColourByAlphaAndAlphaByArea)
{
    SBitmap layer = Made(2, 1, 32);
    layer.SetColor(0, 0, SColor(255, 255, 255, 255));  // transparent white must not lighten
    layer.SetColor(1, 0, SColor(30, 20, 10, 55));       // A = 200
    SBitmap one = Resample(layer, 1, 1);
    EXPECT_EQ(one.Format(), 32);
    EXPECT_EQ(one.GetColor(0, 0), SColor(30, 20, 10, 155));  // A = 200 / 2

    layer.SetColor(0, 0, SColor(200, 0, 0, 0));     // A = 255
    layer.SetColor(1, 0, SColor(100, 0, 90, 170));  // A = 85
    // Red (255 * 200 + 85 * 100) / 340 = 175, blue 85 * 90 / 340 = 22, A = 340 / 2.
    EXPECT_EQ(Resample(layer, 1, 1).GetColor(0, 0), SColor(175, 0, 22, 85));

    SBitmap clear = Made(3, 3, 32);
    EXPECT_EQ(Resample(clear, 1, 1).GetColor(0, 0), SColor(0, 0, 0, 255));
}

TEST(Resample, ReadsEveryFormatAndPicksTheResultFormat)
{
    SBitmap indexed = IndexImage({"12", "21"});
    indexed.SetPaletteEntry(1, SColor(100, 0, 0));
    indexed.SetPaletteEntry(2, SColor(0, 0, 200));
    SBitmap fromIndexed = Resample(indexed, 1, 1);
    EXPECT_EQ(fromIndexed.Format(), 24);
    EXPECT_EQ(fromIndexed.GetColor(0, 0), SColor(50, 0, 100));

    SBitmap nibbles = IndexImage({"12", "21"}, 4);
    nibbles.SetPaletteEntry(1, SColor(100, 0, 0));
    nibbles.SetPaletteEntry(2, SColor(0, 0, 200));
    EXPECT_EQ(Resample(nibbles, 1, 1).GetColor(0, 0), SColor(50, 0, 100));

    SBitmap packed = Made(2, 1, 16);
    packed.SetColor(0, 0, SColor(0, 0, 0));
    SBitmap fromPacked = Resample(packed, 1, 1);
    EXPECT_EQ(fromPacked.Format(), 16);
    EXPECT_EQ(fromPacked.GetColor(0, 0), SColor(120, 124, 120));  // (0 + 248) / 2, packed again

    SBitmap wide = Made(2, 1, 64);
    wide.SetColor(0, 0, SColor(100, 0, 0, 0));
    wide.SetColor(1, 0, SColor(0, 0, 0, 100));
    SBitmap fromWide = Resample(wide, 1, 1);
    EXPECT_EQ(fromWide.Format(), 64);
    EXPECT_EQ(fromWide.GetColor(0, 0), SColor(50, 0, 0, 50));
}

TEST(Resample, KeepsResolutionsAndSurvivesDegenerateSizes)
{
    SBitmap source = BlueRow({10, 20});
    source.SetResolutionX(3780);
    source.SetResolutionY(1000);
    SBitmap grown = Resample(source, 4, 3);
    EXPECT_EQ(grown.ResolutionX(), 3780);
    EXPECT_EQ(grown.ResolutionY(), 1000);
    EXPECT_EQ(grown.GetColor(1, 2).b, 10);
    EXPECT_EQ(grown.GetColor(2, 0).b, 20);

    // Enlarging more than 256 times leaves spans under 1/256 pixel: every pixel still gets a source.
    SBitmap huge = Resample(BlueRow({40}), 1000, 1);
    ASSERT_EQ(huge.Width(), 1000);
    EXPECT_EQ(huge.GetColor(999, 0).b, 40);

    EXPECT_TRUE(Resample(source, 0, 5).IsEmpty());
    EXPECT_EQ(Resample(source, 0, 5).Height(), 5);
    EXPECT_TRUE(Resample(source, 3, 0).IsEmpty());
    EXPECT_TRUE(Resample(source, 12001, 1).IsPristine());
    EXPECT_TRUE(Resample(source, -1, 1).IsPristine());

    SBitmap fromEmpty = Resample(SBitmap(), 2, 2);
    EXPECT_EQ(fromEmpty.Dimensions(), (SPoint{2, 2}));
    EXPECT_EQ(fromEmpty.GetColor(1, 1), SColor::White);

    // The returned image belongs to its receiver: assigning from it copies.
    SBitmap copy;
    copy.Assign(grown);
    EXPECT_EQ(grown.Width(), 4);
}

TEST(Resample, MatchesThePixelByPixelDefinition)
{
    const SPoint sizes[] = {{5, 3}, {7, 11}, {1, 4}, {13, 7}, {40, 2}};
    for (std::int32_t format : {32, 24, 64}) {
        SBitmap source = Noise(13, 7, format, 7u + unsigned(format));
        for (SPoint size : sizes) {
            SBitmap out = Resample(source, size.x, size.y);
            ASSERT_EQ(out.Dimensions(), size);
            for (std::int32_t y = 0; y < size.y; ++y)
                for (std::int32_t x = 0; x < size.x; ++x)
                    ASSERT_EQ(out.GetColor(x, y), ReferencePixel(source, size, {x, y}))
                        << "format " << format << " size " << size.x << "x" << size.y << " at " << x << "," << y;
        }
    }
}

TEST(Resample, LargeReductionsDoNotOverflowTheSums)
{
    // Reducing 600 rows to 1 sums 600 * 256 row units per column: past 32 bits.
    SBitmap tall = Made(2, 600, 32);
    tall.FillRect(SColor(250, 251, 252, 0));
    EXPECT_EQ(Resample(tall, 1, 1).GetColor(0, 0), SColor(250, 251, 252, 0));
    SBitmap noise = Noise(3, 700, 32, 99);
    EXPECT_EQ(Resample(noise, 2, 1).GetColor(1, 0), ReferencePixel(noise, {2, 1}, {1, 0}));
}
