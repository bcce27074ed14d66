#include "SQuickPress.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <thread>
#include <vector>

using namespace ulib;

namespace {

const std::int32_t AllFormats[] = {-16, -8, -4, -1, 1, 4, 8, 15, 16, 24, 32, 48, 64};

// Random bytes over the whole pixel area (so any format gets any pixel value), or, structured, flat
// blocks of a few byte patterns with ragged edges; palettes of colour formats get random entries
// plus greys at other indexes than their value, which the grey token must not turn into table reads.
SBitmap MakeImage(std::int32_t w, std::int32_t h, std::int32_t format, bool structured, std::uint32_t seed)
{
    std::mt19937 rng(seed);
    SBitmap image;
    image.Create(w, h, format);
    if (format > 0 && format <= 8) {
        for (std::int32_t i = 0; i < image.PaletteCount(); ++i)
            image.SetPaletteEntry(i, SColor(std::uint8_t(rng()), std::uint8_t(rng()), std::uint8_t(rng())));
        image.SetPaletteEntry(1, SColor(128, 128, 128));
        image.SetPaletteEntry(3, SColor(0, 0, 0));
    }
    std::uint8_t* area = image.PixelArea();
    const std::size_t size = image.PixelAreaSize();
    const std::uint8_t patterns[4] = {0x00, 0xFF, std::uint8_t(rng()), 0x01};
    for (std::size_t i = 0; i < size; ++i) {
        if (!structured)
            area[i] = std::uint8_t(rng());
        else
            area[i] = rng() % 41 == 0 ? std::uint8_t(rng()) : patterns[(i / 37 + i / std::size_t(image.Stride() * 5)) % 4];
    }
    return image;
}

void ExpectSameColours(const SBitmap& a, const SBitmap& b, const char* what)
{
    ASSERT_EQ(a.Dimensions(), b.Dimensions()) << what;
    for (std::int32_t y = 0; y < a.Height(); ++y)
        for (std::int32_t x = 0; x < a.Width(); ++x)
            if (!(a.GetColor(x, y) == b.GetColor(x, y))) {
                ADD_FAILURE() << what << ": first difference at (" << x << ", " << y << ")";
                return;
            }
}

SBitmap Canvas(std::int32_t w, std::int32_t h, std::uint32_t pixel)
{
    SBitmap canvas;
    canvas.Create(w, h, 32);
    for (std::int32_t y = 0; y < h; ++y)
        std::fill_n(canvas.Row32(y), w, pixel);
    return canvas;
}

// Replaces the coded bytes of tile i with an invalid token, so that decoding it fails.
void Poison(SQuickPressLayer& layer, std::int32_t i)
{
    const std::uint8_t bad = 0xF8;
    layer.tiles.Value(i).Assign(&bad, 1);
}

TEST(QuickPressLayer, CompressCutsTheImageInto64PixelTilesRowsFirst)
{
    SQuickPressLayer layer;
    layer.name = "keep";
    layer.kind = 7;
    layer.flags = 0;
    layer.originX = 5;
    const std::uint8_t memo[] = {1, 2};
    layer.extra.Assign(memo, 2);
    SBitmap image = MakeImage(100, 70, 8, true, 1);
    ASSERT_EQ(layer.Compress(image), 0u);

    ASSERT_EQ(layer.tiles.Count(), 4);
    EXPECT_EQ(layer.tiles.Key(0), (SRect{0, 0, 64, 64}));
    EXPECT_EQ(layer.tiles.Key(1), (SRect{64, 0, 100, 64}));
    EXPECT_EQ(layer.tiles.Key(2), (SRect{0, 64, 64, 70}));
    EXPECT_EQ(layer.tiles.Key(3), (SRect{64, 64, 100, 70}));
    EXPECT_EQ(layer.originX, 0);
    EXPECT_EQ(layer.width, 100);
    EXPECT_EQ(layer.height, 70);
    EXPECT_EQ(layer.format, 8);
    EXPECT_EQ(layer.palette, image.GetPalette());
    EXPECT_EQ(layer.name, SString("keep"));
    EXPECT_EQ(layer.kind, 7);
    EXPECT_EQ(layer.flags, 0);
    EXPECT_EQ(layer.extra.Length(), 2u);
    EXPECT_TRUE(layer.CoversImage());

    // A 64 by 64 tile of one colour is the 8-byte stream of the format's example.
    SBitmap flat = Canvas(64, 64, 0xFFC80A1Eu);
    ASSERT_EQ(layer.Compress(flat), 0u);
    const std::uint8_t expected[] = {0xFD, 0xC8, 0x0A, 0x1E, 0xF7, 0x0F, 0xFF, 0xE4};
    EXPECT_EQ(layer.tiles.Value(0), SBinary(expected, sizeof expected));

    SBitmap empty;
    ASSERT_EQ(layer.Compress(empty), 0u);
    EXPECT_TRUE(layer.tiles.IsEmpty());
    EXPECT_EQ(layer.width, 0);
}

TEST(QuickPressLayer, RoundTripsEveryFormat)
{
    for (std::int32_t format : AllFormats) {
        for (bool structured : {false, true}) {
            const SBitmap image = MakeImage(131, 67, format, structured, std::uint32_t(format + 100));
            SQuickPressLayer layer;
            ASSERT_EQ(layer.Compress(image), 0u) << format;

            // Formats whose SetColor stores the colour come back through Decode...
            SBitmap decoded;
            ASSERT_EQ(layer.Decode(decoded), 0u) << format;
            EXPECT_EQ(decoded.Format(), format);
            const bool setColorStores = format >= 15 || format == -8 || format == -4;
            if (setColorStores)
                ExpectSameColours(decoded, image, "Decode");
            if (format == 32 || format == 24) {
                const std::size_t rowBytes = std::size_t(image.Width()) * std::size_t(format / 8);
                for (std::int32_t y = 0; y < image.Height(); ++y)
                    ASSERT_EQ(std::memcmp(decoded.Row(y), image.Row(y), rowBytes), 0) << "row " << y;
            }

            // ...and every format's colours, opaque, onto a 32-bit canvas.
            SBitmap canvas = Canvas(image.Width(), image.Height(), 0);
            ASSERT_EQ(layer.DecodeOnto(canvas), 0u);
            if (format != 32 && format != 64)
                ExpectSameColours(canvas, image, "DecodeOnto");
        }
    }
}

TEST(QuickPressLayer, RoundTripsImagesWhoseLastTileColumnIsOnePixelWide)
{
    for (std::int32_t width : {1, 65, 129}) {
        const SBitmap image = MakeImage(width, 70, 32, false, std::uint32_t(width));
        SQuickPressLayer layer;
        ASSERT_EQ(layer.Compress(image), 0u);
        SBitmap decoded;
        ASSERT_EQ(layer.Decode(decoded), 0u);
        ExpectSameColours(decoded, image, "one pixel wide column");
    }
}

TEST(QuickPressLayer, DecodingAClipDecodesOnlyTheTilesThatMeetIt)
{
    const SBitmap image = MakeImage(200, 150, 32, false, 3);
    SQuickPressLayer layer;
    ASSERT_EQ(layer.Compress(image), 0u);  // 4 x 3 tiles
    for (std::int32_t i = 0; i < layer.tiles.Count(); ++i)
        if (i != 5 && i != 6)  // tiles (64, 64)-(128, 128) and (128, 64)-(192, 128)
            Poison(layer, i);

    const SRect clip{70, 70, 130, 80};
    SBitmap decoded;
    ASSERT_EQ(layer.Decode(decoded, nullptr, &clip), 0u);
    for (std::int32_t y = 0; y < 150; ++y)
        for (std::int32_t x = 0; x < 200; ++x) {
            const std::uint32_t expected = clip.Contains({x, y}) ? image.Row32(y)[x] : 0u;
            ASSERT_EQ(decoded.Row32(y)[x], expected) << x << ", " << y;
        }

    // Tiles the clip misses are not even decoded, but a negative rectangle is refused wherever it is.
    layer.tiles.Key(0) = SRect{10, 10, 5, 20};
    EXPECT_EQ(layer.Decode(decoded, nullptr, &clip), ErrorFromIdentifier("data"));
    EXPECT_TRUE(decoded.IsEmpty());

    // A poisoned tile inside the clip fails the decode and releases the bitmap.
    layer.tiles.Key(0) = SRect{0, 0, 64, 64};
    const SRect wide{0, 70, 130, 80};
    EXPECT_EQ(layer.Decode(decoded, nullptr, &wide), ErrorFromIdentifier("file_version"));
    EXPECT_TRUE(decoded.IsEmpty());
}

TEST(QuickPressLayer, PlacesTilesAtTheOriginPlusTheOffset)
{
    const SBitmap image = MakeImage(80, 40, 32, false, 4);
    SQuickPressLayer layer;
    ASSERT_EQ(layer.Compress(image), 0u);
    layer.originX = 10;
    layer.originY = -5;
    const SPoint offset{-3, 2};
    SBitmap decoded;
    ASSERT_EQ(layer.Decode(decoded, &offset), 0u);
    for (std::int32_t y = 0; y < 40; ++y)
        for (std::int32_t x = 0; x < 80; ++x) {
            const std::int32_t sx = x - 7;
            const std::int32_t sy = y + 3;
            const bool inside = sx >= 0 && sy < 40;
            ASSERT_EQ(decoded.Row32(y)[x], inside ? image.Row32(sy)[sx] : 0u) << x << ", " << y;
        }

    // Rectangles from files may hold anything: far away, nothing is decoded and nothing overflows.
    layer.tiles.Key(0) = SRect{2147483600, 2147483600, 2147483647, 2147483647};
    layer.tiles.Key(1) = SRect{-2147483647 - 1, 0, -2147483647 - 1 + 16, 16};
    const SPoint far{2147483647, -2147483647 - 1};
    EXPECT_EQ(layer.Decode(decoded, &far), 0u);
    layer.tiles.Key(1) = SRect{0, 10, 129, 11};
    EXPECT_EQ(layer.Decode(decoded), ErrorFromIdentifier("data"));
    layer.tiles.Key(1) = SRect{0, 0, 0, 100};  // empty: skipped
    EXPECT_EQ(layer.Decode(decoded), 0u);
}

TEST(QuickPressLayer, DecodingIntoAnImageOfTheSameShapeStartsFromTheFreshFill)
{
    const SBitmap image = MakeImage(150, 100, 32, true, 5);
    SQuickPressLayer layer;
    ASSERT_EQ(layer.Compress(image), 0u);

    SBitmap target = Canvas(150, 100, 0xDEADBEEFu);
    const std::uint8_t* block = target.Block();
    ASSERT_EQ(layer.Decode(target), 0u);
    EXPECT_EQ(target.Block(), block);  // reset in place, not made again
    ExpectSameColours(target, image, "covering layer");

    // Pixels outside the clip, or under no tile, lose what the image held before.
    target = Canvas(150, 100, 0xDEADBEEFu);
    const SRect clip{0, 0, 10, 10};
    ASSERT_EQ(layer.Decode(target, nullptr, &clip), 0u);
    EXPECT_EQ(target.Row32(5)[5], image.Row32(5)[5]);
    EXPECT_EQ(target.Row32(50)[50], 0u);

    layer.tiles.Delete(1);
    target = Canvas(150, 100, 0xDEADBEEFu);
    ASSERT_EQ(layer.Decode(target), 0u);
    EXPECT_EQ(target.Row32(0)[0], image.Row32(0)[0]);
    EXPECT_EQ(target.Row32(10)[70], 0u);

    SBitmap scan;
    scan.Create(150, 100, 24);
    std::memset(scan.PixelArea(), 0x42, scan.PixelAreaSize());
    SQuickPressLayer grey;
    ASSERT_EQ(grey.Compress(MakeImage(150, 100, 24, true, 6)), 0u);
    grey.tiles.Delete(0);
    ASSERT_EQ(grey.Decode(scan), 0u);
    EXPECT_EQ(scan.GetColor(3, 3), SColor::White);
}

TEST(QuickPressLayer, DecodeReportsImagesItCannotMake)
{
    SQuickPressLayer layer;
    layer.width = 20000;
    layer.height = 10;
    SBitmap target = Canvas(4, 4, 1);
    EXPECT_EQ(layer.Decode(target), ErrorFromIdentifier("memory_alloc"));
    EXPECT_TRUE(target.IsEmpty());
    layer.width = 10;
    layer.format = 12;
    EXPECT_EQ(layer.Decode(target), ErrorFromIdentifier("memory_alloc"));
}

TEST(QuickPressLayer, DecodeOntoCompositesByAlpha)
{
    SBitmap source = Canvas(4, 1, 0);
    source.Row32(0)[0] = 0x00123456u;  // A 0: nothing
    source.Row32(0)[1] = 0xFF102030u;  // A 255: written
    source.Row32(0)[2] = 0x80FF0000u;  // A 128: blended
    source.Row32(0)[3] = 0x80FF0000u;
    SQuickPressLayer layer;
    ASSERT_EQ(layer.Compress(source), 0u);

    SBitmap target = Canvas(4, 1, 0xFF0000FFu);
    target.Row32(0)[3] = 0x00000000u;  // fully transparent: takes the colour unchanged
    ASSERT_EQ(layer.DecodeOnto(target), 0u);
    SBitmap expected = Canvas(4, 1, 0xFF0000FFu);
    expected.BlendColor(2, 0, SColor::FromPixel(0x80FF0000u));
    EXPECT_EQ(target.Row32(0)[0], 0xFF0000FFu);
    EXPECT_EQ(target.Row32(0)[1], 0xFF102030u);
    EXPECT_EQ(target.Row32(0)[2], expected.Row32(0)[2]);
    EXPECT_EQ(target.Row32(0)[3], 0x80FF0000u);

    SBitmap rgb;
    rgb.Create(4, 1, 24);
    ASSERT_EQ(layer.DecodeOnto(rgb), 0u);
    EXPECT_EQ(rgb.GetColor(0, 0), SColor::White);
    EXPECT_EQ(rgb.GetColor(1, 0), SColor(0x10, 0x20, 0x30));

    SBitmap grey;
    grey.Create(4, 1, -8);
    ASSERT_EQ(layer.DecodeOnto(grey), 0u);
    EXPECT_EQ(grey.GetIndex(0, 0), 0u);
    EXPECT_EQ(grey.GetIndex(1, 0), 0x1Du);  // SetColor's grey of (0x10, 0x20, 0x30)

    // A clip and an offset apply as in Decode.
    SBitmap canvas = Canvas(4, 1, 0xFF0000FFu);
    const SPoint offset{-1, 0};
    const SRect clip{0, 0, 1, 1};
    ASSERT_EQ(layer.DecodeOnto(canvas, &offset, &clip), 0u);
    EXPECT_EQ(canvas.Row32(0)[0], 0xFF102030u);
    EXPECT_EQ(canvas.Row32(0)[1], 0xFF0000FFu);

    Poison(layer, 0);
    EXPECT_EQ(layer.DecodeOnto(canvas), ErrorFromIdentifier("file_version"));
    EXPECT_TRUE(canvas.IsEmpty());
}

TEST(QuickPressLayer, ThreadsDecodeDisjointBandsOfOneImage)
{
    const SBitmap image = MakeImage(300, 260, 32, true, 8);
    SQuickPressLayer layer;
    ASSERT_EQ(layer.Compress(image), 0u);
    SBitmap target;
    target.Create(300, 260, 32);
    SError errors[4] = {};
    std::vector<std::thread> threads;
    for (std::int32_t band = 0; band < 4; ++band)
        threads.emplace_back([&, band] {
            const SRect clip{0, band * 65, 300, band * 65 + 65};  // bands that split tiles
            errors[band] = layer.DecodeInto(target, nullptr, &clip);
        });
    for (std::thread& t : threads)
        t.join();
    for (SError err : errors)
        EXPECT_EQ(err, 0u);
    ExpectSameColours(target, image, "bands");

    SBitmap other;
    other.Create(300, 261, 32);
    EXPECT_EQ(layer.DecodeInto(other), ErrorFromIdentifier("domain"));
}

TEST(QuickPressLayer, AssignCopiesEveryFieldAndEqualsIgnoresFlags)
{
    SQuickPressLayer a;
    ASSERT_EQ(a.Compress(MakeImage(70, 10, 8, false, 9)), 0u);
    a.name = "n";
    a.kind = 3;
    a.flags = 0;
    a.originY = 4;
    const std::uint8_t bytes[] = {9, 9};
    a.extra.Assign(bytes, 2);

    SQuickPressLayer b;
    ASSERT_EQ(b.Assign(a), 0u);
    EXPECT_TRUE(b.Equals(a));
    EXPECT_EQ(b.flags, 0);
    a.tiles.Value(0).Data()[0] ^= 1;  // deep: b keeps its own bytes
    EXPECT_FALSE(b.Equals(a));
    a.tiles.Value(0).Data()[0] ^= 1;

    b.flags = 1;
    EXPECT_TRUE(b.Equals(a));
    for (int field = 0; field < 6; ++field) {
        SQuickPressLayer c;
        ASSERT_EQ(c.Assign(a), 0u);
        switch (field) {
        case 0: c.name = "m"; break;
        case 1: c.kind = 1; break;
        case 2: c.palette.Set(0, SColor(1, 2, 3)); break;
        case 3: c.extra.Clear(); break;
        case 4: c.originX = 1; break;
        default: c.format = 4; break;
        }
        EXPECT_FALSE(c.Equals(a)) << field;
    }

    b.Clear();
    EXPECT_TRUE(b.Equals(SQuickPressLayer()));
    EXPECT_EQ(b.flags, 1);
    EXPECT_EQ(b.ByteSize(), 41u);
}

TEST(QuickPress, ListOperations)
{
    SQuickPress list;
    SBitmap target;
    EXPECT_EQ(list.DecodeLayer(0, target), ErrorFromIdentifier("array_access"));
    EXPECT_EQ(list.CompositeLayer(0, target), ErrorFromIdentifier("array_access"));

    ASSERT_EQ(list.Append(MakeImage(30, 20, 24, false, 10)), 0u);
    ASSERT_EQ(list.Append(MakeImage(40, 10, 32, false, 11)), 0u);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.width, 40);
    EXPECT_EQ(list.height, 10);
    EXPECT_EQ(list.format, 32);

    ASSERT_EQ(list.DecodeLayer(-2, target), 0u);  // wraps to layer 0
    EXPECT_EQ(target.Dimensions(), (SPoint{30, 20}));
    ASSERT_EQ(list.DecodeLayer(3, target), 0u);
    EXPECT_EQ(target.Format(), 32);

    SQuickPress copy = list;
    EXPECT_TRUE(copy.Equals(list));
    copy[1].kind = 2;
    EXPECT_FALSE(copy.Equals(list));
    copy = list;
    copy.height = 11;
    EXPECT_FALSE(copy.Equals(list));

    ASSERT_EQ(list.SetCount(5), 0u);
    EXPECT_TRUE(list[4].Equals(SQuickPressLayer()));
    ASSERT_EQ(list.SetCount(1), 0u);
    EXPECT_EQ(list[0].width, 30);
    EXPECT_EQ(list.SetCount(65536), ErrorFromIdentifier("array_size"));
    EXPECT_EQ(list.Count(), 0);

    list.Clear();
    EXPECT_EQ(list.width, 0);
    EXPECT_EQ(list.format, 24);
    EXPECT_EQ(list.ByteSize(), 36u);
}

}  // namespace
