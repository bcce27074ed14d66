#include "SPngBands.h"

#include "SDeflateExtent.h"
#include "SParallel.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>

namespace ulib {

namespace {

constexpr std::int32_t RowsPerBand = 128;     // below this a band is not worth a thread
constexpr int Level = 6;                      // libpng's default level
constexpr std::size_t ChunkBytes = 1 << 16;   // data of one IDAT chunk

// A filtered byte's weight in the filter choice: its distance from 0 as a signed byte.
inline std::uint32_t Weight(std::uint8_t v) { return std::uint32_t(std::abs(std::int32_t(std::int8_t(v)))); }

inline std::uint8_t Paeth(std::int32_t a, std::int32_t b, std::int32_t c)
{
    const std::int32_t p = b - c, q = a - c;
    const std::int32_t pa = std::abs(p), pb = std::abs(q), pc = std::abs(p + q);
    return std::uint8_t(pa <= pb && pa <= pc ? a : pb <= pc ? b : c);
}

// Row y of the bitmap as PNG samples (R, G, B[, A]).
void Samples(const SBitmap& bitmap, std::int32_t y, std::int32_t channels, std::uint8_t* out)
{
    const std::uint8_t* in = bitmap.Row(y);
    for (std::int32_t x = 0; x < bitmap.Width(); ++x, in += channels, out += channels) {
        out[0] = in[2];
        out[1] = in[1];
        out[2] = in[0];
        if (channels == 4)
            out[3] = in[3];
    }
}

// The predictors, by filter type: each gives the prediction from the byte to the left (a), above
// (b) and above-left (c).
struct Sub
{
    static std::int32_t Predict(std::int32_t a, std::int32_t, std::int32_t) { return a; }
};
struct Up
{
    static std::int32_t Predict(std::int32_t, std::int32_t b, std::int32_t) { return b; }
};
struct Average
{
    static std::int32_t Predict(std::int32_t a, std::int32_t b, std::int32_t) { return (a + b) / 2; }
};
struct PaethPredictor
{
    static std::int32_t Predict(std::int32_t a, std::int32_t b, std::int32_t c) { return Paeth(a, b, c); }
};

// Bytes weighed between two looks at the limit: long enough for the loop to be vectorised.
constexpr std::size_t WeighRun = 256;

// The weight of the row filtered by P; once it reaches limit (so the filter cannot be chosen) it
// stops, returning a weight of at least limit.
template <class P>
std::uint32_t Weigh(const std::uint8_t* row, const std::uint8_t* prior, std::size_t bytes, std::size_t bpp,
                    std::uint32_t limit)
{
    std::uint32_t sum = 0;
    std::size_t i = 0;
    for (; i < bpp && i < bytes; ++i)
        sum += Weight(std::uint8_t(row[i] - P::Predict(0, prior[i], 0)));
    while (i < bytes && sum < limit) {
        const std::size_t end = std::min(bytes, i + WeighRun);
        for (; i < end; ++i)
            sum += Weight(std::uint8_t(row[i] - P::Predict(row[i - bpp], prior[i], prior[i - bpp])));
    }
    return sum;
}

template <class P>
void Apply(const std::uint8_t* row, const std::uint8_t* prior, std::size_t bytes, std::size_t bpp, std::uint8_t* out)
{
    std::size_t i = 0;
    for (; i < bpp && i < bytes; ++i)
        out[i] = std::uint8_t(row[i] - P::Predict(0, prior[i], 0));
    for (; i < bytes; ++i)
        out[i] = std::uint8_t(row[i] - P::Predict(row[i - bpp], prior[i], prior[i - bpp]));
}

// Writes the filter type byte and the filtered row to out: the first of None, Sub, Up, Average,
// Paeth whose weight is smallest. prior is the previous row's samples (zero above the first). A
// filter is weighed only until it is no lighter than the best so far, as libpng weighs them.
void FilterRow(const std::uint8_t* row, const std::uint8_t* prior, std::size_t bytes, std::size_t bpp,
               std::uint8_t* out)
{
    std::uint32_t best = 0;
    for (std::size_t i = 0; i < bytes; ++i)
        best += Weight(row[i]);
    std::uint8_t type = 0;
    const auto consider = [&](std::uint8_t candidate, std::uint32_t sum) {
        if (sum < best) {
            best = sum;
            type = candidate;
        }
    };
    consider(1, Weigh<Sub>(row, prior, bytes, bpp, best));
    consider(2, Weigh<Up>(row, prior, bytes, bpp, best));
    consider(3, Weigh<Average>(row, prior, bytes, bpp, best));
    consider(4, Weigh<PaethPredictor>(row, prior, bytes, bpp, best));
    out[0] = type;
    switch (type) {
    case 1: Apply<Sub>(row, prior, bytes, bpp, out + 1); break;
    case 2: Apply<Up>(row, prior, bytes, bpp, out + 1); break;
    case 3: Apply<Average>(row, prior, bytes, bpp, out + 1); break;
    case 4: Apply<PaethPredictor>(row, prior, bytes, bpp, out + 1); break;
    default: std::memcpy(out + 1, row, bytes); break;
    }
}

void PutBE32(std::vector<std::uint8_t>& file, std::uint32_t v)
{
    const std::uint8_t b[4] = {std::uint8_t(v >> 24), std::uint8_t(v >> 16), std::uint8_t(v >> 8), std::uint8_t(v)};
    file.insert(file.end(), b, b + 4);
}

void PutChunk(std::vector<std::uint8_t>& file, const char* type, const std::uint8_t* data, std::size_t length)
{
    PutBE32(file, std::uint32_t(length));
    const std::size_t start = file.size();
    file.insert(file.end(), type, type + 4);
    if (length > 0)
        file.insert(file.end(), data, data + length);
    PutBE32(file, std::uint32_t(crc32(0, file.data() + start, uInt(file.size() - start))));
}

struct SBandOutput
{
    std::int32_t from = 0;  // the band's first row
    std::vector<std::uint8_t> deflated;
    uLong adler = 1;
    std::size_t length = 0;
};

// Filters rows from..to-1 and deflates them as a part of one stream: the last band's stream is
// finished, the others end on a byte boundary so that the next band's stream continues them.
bool EncodeBand(const SBitmap& bitmap, std::int32_t from, std::int32_t to, SBandOutput& band)
{
    const std::int32_t channels = bitmap.Format() / 8;
    const std::size_t rowBytes = std::size_t(bitmap.Width()) * std::size_t(channels);
    const std::size_t stride = rowBytes + 1;
    const std::size_t length = stride * std::size_t(to - from);
    // Written before read: left uninitialised rather than cleared first.
    const std::unique_ptr<std::uint8_t[]> filtered(new std::uint8_t[length]);
    std::vector<std::uint8_t> rows(2 * rowBytes, 0);
    std::uint8_t* prior = rows.data();
    std::uint8_t* row = rows.data() + rowBytes;
    if (from > 0)
        Samples(bitmap, from - 1, channels, prior);
    for (std::int32_t y = from; y < to; ++y) {
        Samples(bitmap, y, channels, row);
        FilterRow(row, prior, rowBytes, std::size_t(channels), filtered.get() + std::size_t(y - from) * stride);
        std::swap(prior, row);
    }

    band.from = from;
    band.length = length;
    band.adler = libdeflate_adler32(1, filtered.get(), length);
    libdeflate_compressor* compressor = libdeflate_alloc_compressor(Level);
    if (compressor == nullptr)
        return false;
    const std::size_t bound = libdeflate_deflate_compress_bound(compressor, length);
    const std::unique_ptr<std::uint8_t[]> deflated(new std::uint8_t[bound]);
    const std::size_t size = libdeflate_deflate_compress(compressor, filtered.get(), length, deflated.get(), bound);
    libdeflate_free_compressor(compressor);
    if (size == 0)
        return false;
    band.deflated.assign(deflated.get(), deflated.get() + size);
    return to == bitmap.Height() || EndWithoutFinalBlock(band.deflated);
}

}  // namespace

SError EncodePngBands(const SBitmap& bitmap, std::vector<std::uint8_t>& file)
{
    file.clear();
    const std::int32_t format = bitmap.Format();
    if ((format != 24 && format != 32) || bitmap.IsEmpty())
        return ErrorFromIdentifier("domain");
    const std::int32_t width = bitmap.Width(), height = bitmap.Height();
    const std::int32_t channels = format / 8;
    try {
        std::vector<SBandOutput> bands;
        std::mutex joining;
        SError failure = 0;
        // Bands may run on threads of their own: nothing is thrown out of them.
        ForEachBand(height, RowsPerBand, [&](std::int32_t from, std::int32_t to) {
            SError err = 0;
            try {
                SBandOutput band;
                if (!EncodeBand(bitmap, from, to, band))
                    err = ErrorFromIdentifier("data");
                const std::lock_guard<std::mutex> lock(joining);
                bands.push_back(std::move(band));
            } catch (const std::bad_alloc&) {
                err = ErrorFromIdentifier("memory_alloc");
            }
            const std::lock_guard<std::mutex> lock(joining);
            if (failure == 0)
                failure = err;
        });
        if (failure != 0)
            return failure;
        std::sort(bands.begin(), bands.end(), [](const SBandOutput& a, const SBandOutput& b) { return a.from < b.from; });

        std::vector<std::uint8_t> stream = {0x78, 0x9C};  // deflate, 32 KB window, default level
        uLong adler = 1;
        for (const SBandOutput& band : bands) {
            stream.insert(stream.end(), band.deflated.begin(), band.deflated.end());
            adler = adler32_combine(adler, band.adler, z_off_t(band.length));
        }
        const std::uint8_t check[4] = {std::uint8_t(adler >> 24), std::uint8_t(adler >> 16), std::uint8_t(adler >> 8),
                                       std::uint8_t(adler)};
        stream.insert(stream.end(), check, check + 4);

        static const std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
        file.assign(signature, signature + 8);
        std::uint8_t header[13] = {};
        for (int i = 0; i < 4; ++i) {
            header[i] = std::uint8_t(std::uint32_t(width) >> (24 - 8 * i));
            header[4 + i] = std::uint8_t(std::uint32_t(height) >> (24 - 8 * i));
        }
        header[8] = 8;                         // bits a sample
        header[9] = channels == 4 ? 6 : 2;     // RGBA or RGB
        PutChunk(file, "IHDR", header, sizeof header);
        for (std::size_t at = 0; at < stream.size(); at += ChunkBytes)
            PutChunk(file, "IDAT", stream.data() + at, std::min(ChunkBytes, stream.size() - at));
        PutChunk(file, "IEND", nullptr, 0);
    } catch (const std::bad_alloc&) {
        file.clear();
        return ErrorFromIdentifier("memory_alloc");
    }
    return 0;
}

}  // namespace ulib
