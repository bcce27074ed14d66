// Damaged pictures: every bit of a few small seed files flipped and every length cut, read through
// ReadImageBytes: each read either succeeds or gives a named error with the bitmap emptied. The
// same seeds make the fuzz corpora; HUEDRANE_WRITE_SEEDS=1 rewrites them into the source tree.
#include "PictureFixture.h"
#include "RasterFixture.h"
#include "SErrorRegistry.h"
#include "Sximage.h"
#include "Sxpng.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>

using namespace ulib;

namespace {

const std::set<SError>& NamedReadErrors()
{
    static const std::set<SError> errors = {
        Id("InvalidArgument"),  Id("InvalidData"),  Id("UnacceptableVersion"),
        Id("memory_alloc"),     Id("taillostdata"), Id("UnacceptableFormat"), Id("data"),
        error_definitions::PngError().value, error_definitions::PngError2().value, ReadJpegError(),
    };
    return errors;
}

// Reads a buffer of exactly the given bytes, so that the sanitizers see any read past its end,
// telling the rows to a listener that checks what it is told: rows only growing, never past the
// picture, every told row final (its bytes as the picture ends with them), and a
// failure after told rows announced while the bitmap still holds them. Returns whether the read
// succeeded.
bool ReadDamaged(const Bytes& bytes, const std::string& what)
{
    SBitmap image = Made(2, 2, 32);
    std::int32_t told = 0;
    bool abandoned = false;
    std::uint64_t sum = 0;
    const SRowsRead listener = [&](const SBitmap& bitmap, std::int32_t rows) {
        EXPECT_FALSE(abandoned) << what;
        if (rows < 0) {
            EXPECT_GT(told, 0) << what;
            EXPECT_GT(bitmap.Height(), 0) << what;
            abandoned = true;
            return true;
        }
        EXPECT_EQ(&bitmap, &image) << what;
        EXPECT_GT(rows, told) << what;
        EXPECT_LE(rows, bitmap.Height()) << what;
        for (std::int32_t y = told; y < rows && y < bitmap.Height(); ++y)
            for (std::int32_t i = 0; i < bitmap.Stride(); ++i)
                sum += bitmap.Row(y)[i];
        told = rows;
        return true;
    };
    SError err = ReadImageBytes(image, bytes.data(), bytes.data() + bytes.size(), &listener);
    if (err == 0) {
        EXPECT_FALSE(image.IsPristine()) << what;
        EXPECT_FALSE(abandoned) << what;
        EXPECT_TRUE(told == 0 || told == image.Height()) << what << ": " << told << " of " << image.Height();
        // Told rows held their final pixels when they were told.
        std::uint64_t final = 0;
        for (std::int32_t y = 0; y < told; ++y)
            for (std::int32_t i = 0; i < image.Stride(); ++i)
                final += image.Row(y)[i];
        EXPECT_EQ(sum, final) << what;
        return true;
    }
    EXPECT_TRUE(NamedReadErrors().count(err)) << what << ": error " << err << " " << ErrorText(err);
    EXPECT_TRUE(image.IsPristine()) << what;
    EXPECT_EQ(abandoned, told > 0) << what;
    return false;
}

// Returns how many of the cut copies were read successfully.
std::size_t Sweep(const std::string& name, const Bytes& seed)
{
    std::size_t cutsRead = 0;
    for (std::size_t length = 0; length < seed.size(); ++length)
        cutsRead += ReadDamaged(Bytes(seed.begin(), seed.begin() + std::ptrdiff_t(length)),
                                name + " cut at " + std::to_string(length));
    Bytes flipped = seed;
    for (std::size_t bit = 0; bit < seed.size() * 8; ++bit) {
        flipped[bit / 8] ^= std::uint8_t(1u << (bit % 8));
        ReadDamaged(flipped, name + " bit " + std::to_string(bit));
        flipped[bit / 8] = seed[bit / 8];
    }
    return cutsRead;
}

}  // namespace

TEST(PictureDamage, EveryBitFlipAndCutGivesANamedErrorOrAPicture)
{
    Seeds seeds = BmpSeeds();
    for (auto& seed : ImageSeeds())
        seeds.push_back(seed);
    for (const auto& [name, bytes] : seeds) {
        SBitmap intact;
        ASSERT_EQ(ReadImageBytes(intact, bytes.data(), bytes.data() + bytes.size()), 0u) << name;
        std::size_t cutsRead = Sweep(name, bytes);
        // A BMP or PNG cut anywhere is refused, never padded; libjpeg completes cut JPEG data.
        if (!name.ends_with(".jpg")) {
            EXPECT_EQ(cutsRead, 0u) << name;
        }
    }
}

TEST(PictureDamage, FuzzCorporaHoldReadableSeeds)
{
    const std::pair<const char*, Seeds> targets[] = {{"FuzzReadBmp", BmpSeeds()}, {"FuzzReadImage", ImageSeeds()}};
    for (const auto& [target, seeds] : targets) {
        ulib::test::WriteSeedsWhenAsked(target, seeds);
        const std::filesystem::path folder = ulib::test::FuzzCorpusFolder(target);
        ASSERT_TRUE(std::filesystem::is_directory(folder)) << folder << " (HUEDRANE_WRITE_SEEDS=1 makes it)";
        std::size_t count = 0;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            Bytes bytes = ReadFileBytes(entry.path().string());
            SBitmap image;
            EXPECT_EQ(ReadImageBytes(image, bytes.data(), bytes.data() + bytes.size()), 0u) << entry.path();
            ++count;
        }
        EXPECT_GE(count, seeds.size()) << target;
    }
}
