#include "SPngBands.h"

#include "SParallel.h"

#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>

namespace ulib {

namespace {

constexpr std::int32_t RowsPerBand = 128;     // below this a band is not worth a thread
constexpr std::size_t Window = 32768;         // deflate's history: what primes the next band
constexpr std::size_t ChunkBytes = 1 << 16;   // data of one IDAT chunk

// A filtered byte's weight in the filter choice: its distance from 0 as a signed byte.
inline std::uint32_t Weight(std::uint8_t v) { return v < 128 ? v : 256u - v; }

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

// The row filtered by one predictor into out; the weight of the result.
template <class Predict>
std::uint32_t Filtered(const std::uint8_t* row, const std::uint8_t* prior, std::size_t bytes, std::size_t bpp,
                       std::uint8_t* out, Predict predict)
{
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < bpp && i < bytes; ++i) {
        out[i] = std::uint8_t(row[i] - predict(0, prior[i], 0));
        sum += Weight(out[i]);
    }
    for (std::size_t i = bpp; i < bytes; ++i) {
        out[i] = std::uint8_t(row[i] - predict(row[i - bpp], prior[i], prior[i - bpp]));
        sum += Weight(out[i]);
    }
    return sum;
}

// Writes the filter type byte and the filtered row to out: the first of None, Sub, Up, Average,
// Paeth whose weight is smallest. prior is the previous row's samples (zero above the first);
// trial holds bytes bytes.
void FilterRow(const std::uint8_t* row, const std::uint8_t* prior, std::size_t bytes, std::size_t bpp,
               std::uint8_t* out, std::uint8_t* trial)
{
    std::uint32_t best = 0;
    for (std::size_t i = 0; i < bytes; ++i)
        best += Weight(row[i]);
    out[0] = 0;
    std::memcpy(out + 1, row, bytes);
    const auto consider = [&](std::uint8_t type, std::uint32_t sum) {
        if (sum < best) {
            best = sum;
            out[0] = type;
            std::memcpy(out + 1, trial, bytes);
        }
    };
    consider(1, Filtered(row, prior, bytes, bpp, trial, [](std::int32_t a, std::int32_t, std::int32_t) { return a; }));
    consider(2, Filtered(row, prior, bytes, bpp, trial, [](std::int32_t, std::int32_t b, std::int32_t) { return b; }));
    consider(3, Filtered(row, prior, bytes, bpp, trial,
                         [](std::int32_t a, std::int32_t b, std::int32_t) { return (a + b) / 2; }));
    consider(4, Filtered(row, prior, bytes, bpp, trial,
                         [](std::int32_t a, std::int32_t b, std::int32_t c) { return std::int32_t(Paeth(a, b, c)); }));
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
    std::size_t from = 0;  // the band's first byte in the filtered data
    std::vector<std::uint8_t> deflated;
    uLong adler = 1;
    std::size_t length = 0;
};

// Deflates filtered[from, to) as a part of one stream: primed with the window before it, ended on a
// byte boundary (or finished, for the last part).
bool DeflateBand(const std::vector<std::uint8_t>& filtered, std::size_t from, std::size_t to, SBandOutput& band)
{
    z_stream z{};
    if (deflateInit2(&z, 6, Z_DEFLATED, -15, 8, Z_FILTERED) != Z_OK)
        return false;
    bool ok = true;
    if (from > 0) {
        const std::size_t primed = std::min(from, Window);
        ok = deflateSetDictionary(&z, filtered.data() + from - primed, uInt(primed)) == Z_OK;
    }
    const bool last = to == filtered.size();
    band.from = from;
    band.length = to - from;
    band.adler = adler32(1, filtered.data() + from, uInt(to - from));
    band.deflated.resize(deflateBound(&z, uLong(to - from)) + 16);
    z.next_in = const_cast<Bytef*>(filtered.data() + from);
    z.avail_in = uInt(to - from);
    z.next_out = band.deflated.data();
    z.avail_out = uInt(band.deflated.size());
    const int status = ok ? deflate(&z, last ? Z_FINISH : Z_SYNC_FLUSH) : Z_STREAM_ERROR;
    ok = ok && (last ? status == Z_STREAM_END : status == Z_OK) && z.avail_in == 0;
    band.deflated.resize(band.deflated.size() - z.avail_out);
    deflateEnd(&z);
    return ok;
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
    const std::size_t rowBytes = std::size_t(width) * std::size_t(channels);
    const std::size_t stride = rowBytes + 1;
    try {
        std::vector<std::uint8_t> filtered(stride * std::size_t(height));
        ForEachBand(height, RowsPerBand, [&](std::int32_t from, std::int32_t to) {
            std::vector<std::uint8_t> rows(2 * rowBytes, 0), scratch(rowBytes);
            std::uint8_t* prior = rows.data();
            std::uint8_t* row = rows.data() + rowBytes;
            if (from > 0)
                Samples(bitmap, from - 1, channels, prior);
            for (std::int32_t y = from; y < to; ++y) {
                Samples(bitmap, y, channels, row);
                FilterRow(row, prior, rowBytes, std::size_t(channels), filtered.data() + std::size_t(y) * stride,
                          scratch.data());
                std::swap(prior, row);
            }
        });

        std::vector<SBandOutput> bands;
        std::mutex joining;
        bool deflated = true;
        ForEachBand(height, RowsPerBand, [&](std::int32_t from, std::int32_t to) {
            SBandOutput band;
            const bool ok = DeflateBand(filtered, std::size_t(from) * stride, std::size_t(to) * stride, band);
            const std::lock_guard<std::mutex> lock(joining);
            deflated = deflated && ok;
            bands.push_back(std::move(band));
        });
        if (!deflated)
            return ErrorFromIdentifier("data");
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
