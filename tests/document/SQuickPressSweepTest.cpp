// Damaged document bytes and tiles: every bit of a few small seeds flipped and every length cut.
// Each read gives success or a named error (with the list left empty), and whatever reads decodes
// the same way. The seeds are also the fuzz corpora of FuzzReadFrom and FuzzDecodeTile, checked
// here byte for byte (HUEDRANE_WRITE_SEEDS=1 writes them into the source tree).
#include "FuzzSeeds.h"
#include "SQuickPress.h"
#include "STileCodec.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <vector>

using namespace ulib;

namespace {

using test::Bytes;
using test::Seeds;

std::set<SError> Named(std::initializer_list<const char*> identifiers)
{
    std::set<SError> errors;
    for (const char* identifier : identifiers)
        errors.insert(ErrorFromIdentifier(identifier));
    return errors;
}

const std::set<SError>& ReadErrors()
{
    static const std::set<SError> errors =
        Named({"InvalidArgument", "EmptyData", "UnacceptableFormat", "UnacceptableVersion", "InvalidData", "memory",
               "nodata", "taillostdata", "bad_format", "array_size", "memory_alloc"});
    return errors;
}

const std::set<SError>& DecodeErrors()
{
    static const std::set<SError> errors = Named({"data", "file_version", "memory_alloc", "memory_temp"});
    return errors;
}

// An image with runs, soft steps, noise and alpha, so that every token kind appears.
SBitmap SeedImage(std::int32_t w, std::int32_t h, std::int32_t format, std::uint32_t seed)
{
    std::mt19937 rng(seed);
    SBitmap image;
    image.Create(w, h, format);
    for (std::int32_t y = 0; y < h; ++y)
        for (std::int32_t x = 0; x < w; ++x) {
            const std::uint32_t v = rng();
            const std::uint8_t g = std::uint8_t(x * 9 + y * 5);
            SColor c = (x / 3 + y) % 4 == 0 ? SColor(g, std::uint8_t(g + 2), g, 0)
                       : v % 5 == 0         ? SColor(std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16), std::uint8_t(v >> 24))
                       : v % 5 == 1         ? SColor(g, g, g)
                                            : SColor::White;
            if (format != 32)
                c.t = 0;
            image.SetColor(x, y, c);
        }
    return image;
}

Bytes Written(const SQuickPress& list)
{
    Bytes bytes(list.ByteSize());
    EXPECT_EQ(list.WriteTo(bytes.data(), bytes.data() + bytes.size()), 0u);
    return bytes;
}

Seeds ContainerSeeds()
{
    Seeds seeds;
    SQuickPress document;
    document.Append(SeedImage(20, 9, 24, 1));
    document.Append(SeedImage(70, 5, 32, 2));  // a 64-wide and a 6-wide tile
    document.SetCount(4);
    document[2].kind = 2;
    document[2].Compress(SeedImage(8, 8, 24, 3));
    document[3].kind = 3;
    const char memo[] = "line\r\n";
    document[3].extra.Assign(memo, 6);
    seeds.push_back({"small-document", Written(document)});

    SQuickPress indexed;
    SBitmap picture;
    picture.Create(5, 3, 4);
    for (std::int32_t i = 0; i < 16; ++i)
        picture.SetPaletteEntry(i, SColor(std::uint8_t(i * 16), 40, std::uint8_t(255 - i)));
    for (std::int32_t y = 0; y < 3; ++y)
        for (std::int32_t x = 0; x < 5; ++x)
            picture.SetIndex(x, y, std::uint32_t(x * y + x));
    indexed.Append(picture);
    indexed[0].name = "x";
    indexed[0].originX = -3;
    seeds.push_back({"palette-record", Written(indexed)});

    SQuickPress empty;
    empty.format = -8;
    seeds.push_back({"empty-list", Written(empty)});
    return seeds;
}

// A tile seed as FuzzDecodeTile reads it: height, width, colour entries, then the coded bytes.
struct TileSeed
{
    std::int32_t w;
    std::int32_t h;
    Bytes bytes;
};

std::vector<STilePixel> TileBuffer(const SBitmap& image)
{
    std::vector<STilePixel> buffer(std::size_t(image.Width()), 0u);
    for (std::int32_t y = 0; y < image.Height(); ++y)
        for (std::int32_t x = 0; x < image.Width(); ++x) {
            const SColor c = image.GetColor(x, y);
            buffer.push_back(STilePixel(c.r) | STilePixel(c.g) << 8 | STilePixel(c.b) << 16 | STilePixel(255 - c.t) << 24);
        }
    return buffer;
}

std::vector<TileSeed> TileSeeds()
{
    std::vector<TileSeed> seeds;
    const std::int32_t sizes[][2] = {{8, 5}, {16, 16}, {1, 6}, {3, 1}};
    std::uint32_t seed = 20;
    for (const auto& size : sizes) {
        const SBitmap image = SeedImage(size[0], size[1], 32, seed++);
        const std::vector<STilePixel> pixels = TileBuffer(image);
        Bytes out(TileCodeCapacity(size[0], size[1]));
        out.resize(EncodeTile(pixels, size[1], size[0], out));
        seeds.push_back({size[0], size[1], out});
    }
    return seeds;
}

Bytes TileFuzzInput(const TileSeed& seed)
{
    Bytes input{std::uint8_t(seed.h), std::uint8_t(seed.w), 0};
    input.insert(input.end(), seed.bytes.begin(), seed.bytes.end());
    return input;
}

// Reads exactly these bytes (so the sanitizers see any read past the end). Whatever reads must
// decode to success or a named error, and write back to bytes that read as the same list.
bool ReadDamaged(const Bytes& bytes, const std::string& what)
{
    SQuickPress list;
    list.SetCount(2);
    const SError err = list.ReadFrom(bytes.data(), bytes.data() + bytes.size());
    if (err != 0) {
        EXPECT_TRUE(ReadErrors().count(err)) << what << ": " << ErrorText(err);
        EXPECT_TRUE(list.Equals(SQuickPress())) << what;
        return false;
    }
    for (std::int32_t i = 0; i < list.Count(); ++i) {
        if (std::int64_t(list[i].width) * list[i].height > (1 << 16))
            continue;
        SBitmap image;
        const SError decoded = list[i].Decode(image);
        EXPECT_TRUE(decoded == 0 || DecodeErrors().count(decoded)) << what << ": " << ErrorText(decoded);
    }
    const Bytes again = Written(list);
    SQuickPress reread;
    EXPECT_EQ(reread.ReadFrom(again.data(), again.data() + again.size()), 0u) << what;
    EXPECT_TRUE(reread.Equals(list)) << what;
    return true;
}

template <class Check>
void Sweep(const Bytes& seed, const std::string& name, Check check)
{
    for (std::size_t length = 0; length < seed.size(); ++length)
        check(Bytes(seed.begin(), seed.begin() + std::ptrdiff_t(length)), name + " cut at " + std::to_string(length));
    Bytes flipped = seed;
    for (std::size_t bit = 0; bit < seed.size() * 8; ++bit) {
        flipped[bit / 8] ^= std::uint8_t(1u << (bit % 8));
        check(flipped, name + " bit " + std::to_string(bit));
        flipped[bit / 8] = seed[bit / 8];
    }
}

TEST(QuickPressDamage, EveryBitFlipAndCutOfAFileGivesANamedErrorOrAList)
{
    for (const auto& [name, seed] : ContainerSeeds()) {
        ASSERT_TRUE(ReadDamaged(seed, name));
        std::size_t cutsRead = 0;
        Sweep(seed, name, [&](const Bytes& bytes, const std::string& what) {
            const bool read = ReadDamaged(bytes, what);
            cutsRead += read && bytes.size() < seed.size();
        });
        EXPECT_EQ(cutsRead, 0u) << name << ": a cut file was read";
    }
}

TEST(QuickPressDamage, EveryBitFlipAndCutOfATileDecodesOrGivesFileVersion)
{
    const SError version = ErrorFromIdentifier("file_version");
    for (const TileSeed& seed : TileSeeds()) {
        const std::string name = std::to_string(seed.w) + " x " + std::to_string(seed.h);
        Sweep(seed.bytes, name, [&](const Bytes& bytes, const std::string& what) {
            std::vector<STilePixel> pixels(std::size_t(seed.w) * std::size_t(seed.h + 1));
            const SError err = DecodeTile(SPalette(), bytes, seed.h, seed.w, pixels);
            ASSERT_TRUE(err == 0 || err == version) << what;
            if (err != 0)
                return;
            // Whatever a stream decodes to, the coder codes and gets back.
            Bytes coded(TileCodeCapacity(seed.w, seed.h));
            coded.resize(EncodeTile(pixels, seed.h, seed.w, coded));
            std::vector<STilePixel> again(pixels.size());
            ASSERT_EQ(DecodeTile(SPalette(), coded, seed.h, seed.w, again), 0u) << what;
            EXPECT_EQ(again, pixels) << what;
        });
    }
}

// The stored seeds are the generator's bytes: a change to the coder or the writer shows up here
// as a file that no longer matches (a format change must be deliberate).
TEST(QuickPressDamage, FuzzCorporaHoldTheSeedsByteForByte)
{
    Seeds tiles;
    for (const TileSeed& seed : TileSeeds())
        tiles.push_back({"tile-" + std::to_string(seed.w) + "x" + std::to_string(seed.h), TileFuzzInput(seed)});
    const std::pair<const char*, Seeds> targets[] = {{"FuzzReadFrom", ContainerSeeds()}, {"FuzzDecodeTile", tiles}};
    for (const auto& [target, seeds] : targets) {
        test::WriteSeedsWhenAsked(target, seeds);
        const std::filesystem::path folder = test::FuzzCorpusFolder(target);
        for (const auto& [name, bytes] : seeds)
            EXPECT_EQ(test::ReadFileBytes(folder / name), bytes) << (folder / name) << " (HUEDRANE_WRITE_SEEDS=1 writes it)";
    }
}

}  // namespace
