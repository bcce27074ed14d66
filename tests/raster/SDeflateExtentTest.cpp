// Finding where a raw deflate stream ends, and making it continuable: streams compressed apart
// from pieces of random data of every kind, at every libdeflate level (stored, fixed and dynamic
// blocks), joined after EndWithoutFinalBlock, inflate through zlib to the whole data.
#include "SDeflateExtent.h"

#include <gtest/gtest.h>

#include <libdeflate.h>
#include <zlib.h>

#include <random>
#include <vector>

using namespace ulib;

namespace {

using Bytes = std::vector<std::uint8_t>;

// Noise, runs and repeated phrases mixed, so every block type and code shape turns up.
Bytes RandomData(std::mt19937& random, std::size_t size)
{
    Bytes data(size);
    const int kind = int(random() % 3);
    for (std::size_t i = 0; i < size; ++i) {
        if (kind == 0)
            data[i] = std::uint8_t(random());
        else if (kind == 1)
            data[i] = std::uint8_t(i / (1 + random() % 300) % 7);
        else
            data[i] = i >= 40 && random() % 4 != 0 ? data[i - 37] : std::uint8_t('a' + random() % 20);
    }
    return data;
}

Bytes Deflate(const Bytes& data, int level)
{
    libdeflate_compressor* compressor = libdeflate_alloc_compressor(level);
    Bytes out(libdeflate_deflate_compress_bound(compressor, data.size()));
    out.resize(libdeflate_deflate_compress(compressor, data.data(), data.size(), out.data(), out.size()));
    libdeflate_free_compressor(compressor);
    return out;
}

// Inflates a raw stream; empty with ok = false when zlib refuses it or it does not end.
Bytes Inflate(const Bytes& stream, std::size_t expected, bool& ok)
{
    Bytes out(expected + 1);
    z_stream z{};
    inflateInit2(&z, -15);
    z.next_in = const_cast<Bytef*>(stream.data());
    z.avail_in = uInt(stream.size());
    z.next_out = out.data();
    z.avail_out = uInt(out.size());
    ok = inflate(&z, Z_FINISH) == Z_STREAM_END;
    out.resize(z.total_out);
    inflateEnd(&z);
    return out;
}

TEST(SDeflateExtent, FindsTheEndOfEveryStreamAndJoinedStreamsInflateToTheWholeData)
{
    std::mt19937 random(41);
    const std::size_t sizes[] = {0, 1, 5, 300, 4096, 70000, 400000};
    for (const int level : {0, 1, 6, 12})
        for (int trial = 0; trial < 6; ++trial) {
            Bytes whole, joined;
            for (int piece = 0; piece < 3; ++piece) {
                const Bytes data = RandomData(random, sizes[random() % std::size(sizes)]);
                Bytes stream = Deflate(data, level);
                ASSERT_FALSE(stream.empty());
                SDeflateExtent extent;
                ASSERT_TRUE(FindDeflateExtent(stream.data(), stream.size(), extent)) << level << " " << data.size();
                // The stream ends in its last byte (libdeflate pads only that one), after its last header.
                EXPECT_GT(extent.endBit, (stream.size() - 1) * 8);
                EXPECT_LE(extent.endBit, stream.size() * 8);
                EXPECT_LT(extent.lastBlockBit, extent.endBit);
                EXPECT_EQ((stream[extent.lastBlockBit / 8] >> (extent.lastBlockBit % 8)) & 1, 1);
                if (piece < 2) {
                    ASSERT_TRUE(EndWithoutFinalBlock(stream));
                    EXPECT_EQ(Bytes(stream.end() - 4, stream.end()), (Bytes{0, 0, 0xFF, 0xFF}));
                }
                whole.insert(whole.end(), data.begin(), data.end());
                joined.insert(joined.end(), stream.begin(), stream.end());
            }
            bool ok = false;
            const Bytes inflated = Inflate(joined, whole.size(), ok);
            ASSERT_TRUE(ok) << "level " << level << " trial " << trial;
            ASSERT_EQ(inflated, whole) << "level " << level << " trial " << trial;
        }
}

TEST(SDeflateExtent, RefusesCutAndDamagedStreamsLeavingThemUnchanged)
{
    std::mt19937 random(8);
    const Bytes stream = Deflate(RandomData(random, 3000), 6);
    for (std::size_t length = 0; length < stream.size(); ++length) {
        Bytes cut(stream.begin(), stream.begin() + std::ptrdiff_t(length));
        const Bytes before = cut;
        EXPECT_FALSE(EndWithoutFinalBlock(cut)) << length;
        EXPECT_EQ(cut, before) << length;
    }
    const Bytes reserved = {0x07};  // a final block of the reserved type 3
    SDeflateExtent extent;
    EXPECT_FALSE(FindDeflateExtent(reserved.data(), reserved.size(), extent));
    const Bytes badStored = {0x01, 0x05, 0x00, 0x00, 0x00};  // LEN 5 with a wrong NLEN
    EXPECT_FALSE(FindDeflateExtent(badStored.data(), badStored.size(), extent));
    EXPECT_FALSE(FindDeflateExtent(nullptr, 0, extent));
}

}  // namespace
