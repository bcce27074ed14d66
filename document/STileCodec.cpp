#include "STileCodec.h"

#include <algorithm>
#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace ulib {

static_assert(std::endian::native == std::endian::little, "pixel words are read as little-endian bytes");

namespace {

constexpr std::int32_t MaxSide = 255;

// Where c0 sits in a pixel word: bit 0 for the public order (c0, c1, c2, A bytes), bit 16 for the
// 32-bit layer order (B, G, R, A bytes). c1 is always bits 8-15 and A bits 24-31.
template <unsigned S0>
struct Order
{
    static constexpr unsigned S2 = 16 - S0;
    static constexpr std::uint32_t ColourMask = 0x00FFFFFF;

    static int C0(std::uint32_t p) { return int((p >> S0) & 255); }
    static int C1(std::uint32_t p) { return int((p >> 8) & 255); }
    static int C2(std::uint32_t p) { return int((p >> S2) & 255); }
    static std::uint32_t A(std::uint32_t p) { return p >> 24; }
    static std::uint32_t Make(int c0, int c1, int c2, std::uint32_t a)
    {
        return (std::uint32_t(c0) & 255) << S0 | (std::uint32_t(c1) & 255) << 8 | (std::uint32_t(c2) & 255) << S2 |
               a << 24;
    }
};

// The colour table as the coder needs it: raw entries, so that no call wraps an index.
struct Table
{
    const SColor* entries = nullptr;
    std::int32_t count = 0;

    explicit Table(const SPalette* palette)
    {
        if (palette != nullptr && !palette->IsEmpty()) {
            entries = palette->Data();
            count = palette->Count();
        }
    }
    // Whether FC g decodes back to grey g.
    bool GreyTokenKeeps(int g) const
    {
        if (g >= count)
            return true;
        const SColor e = entries[g];
        return e.r == g && e.g == g && e.b == g;
    }
};

// How many of p[0..n) equal v, from the start.
std::size_t RunLength(const std::uint32_t* p, std::size_t n, std::uint32_t v)
{
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i value = _mm_set1_epi32(std::int32_t(v));
    for (; i + 8 <= n; i += 8) {
        const __m128i a = _mm_cmpeq_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i)), value);
        const __m128i b = _mm_cmpeq_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + 4)), value);
        const unsigned mask = unsigned(_mm_movemask_epi8(a)) | unsigned(_mm_movemask_epi8(b)) << 16;
        if (mask != 0xFFFFFFFFu)
            return i + std::size_t(std::countr_one(mask) >> 2);
    }
#endif
    while (i < n && p[i] == v)
        ++i;
    return i;
}

std::uint8_t* PutRun(std::uint8_t* o, std::size_t n)
{
    if (n < 16) {
        *o++ = std::uint8_t(0xE6 + n);
    } else if (n < 256) {
        *o++ = 0xF6;
        *o++ = std::uint8_t(n);
    } else {
        *o++ = 0xF7;
        *o++ = std::uint8_t(n >> 8);
        *o++ = std::uint8_t(n);
    }
    return o;
}

// The channel deltas of cur against a neighbour, each biased by `bias`, packed with `bits` bits a
// channel; fits is false when some delta lies outside -bias..bias-1.
template <class O, int bias, unsigned bits>
bool PackDelta(std::uint32_t cur, std::uint32_t neighbour, std::uint32_t& packed)
{
    const std::uint32_t d0 = std::uint32_t(O::C0(cur) - O::C0(neighbour) + bias);
    const std::uint32_t d1 = std::uint32_t(O::C1(cur) - O::C1(neighbour) + bias);
    const std::uint32_t d2 = std::uint32_t(O::C2(cur) - O::C2(neighbour) + bias);
    // 2 * bias is a power of two, so one compare of the OR checks all three (negatives wrap high).
    if ((d0 | d1 | d2) >= std::uint32_t(2 * bias))
        return false;
    packed = d0 << (2 * bits) | d1 << bits | d2;
    return true;
}

// Writes pixel k (not a run) by the first rule that codes it.
template <class O>
std::uint8_t* PutPixel(const std::uint32_t* px, std::ptrdiff_t k, std::ptrdiff_t w, std::uint8_t* o, const Table& table)
{
    const std::uint32_t cur = px[k];
    const std::uint32_t left = px[k - 1];
    const std::uint32_t up = px[k - w];
    // With w = 1 the upright position is the pixel itself, which a decoder has not made yet.
    const bool hasUpright = w > 1;
    const std::uint32_t upright = px[k - w + 1];
    if (cur == up) {
        *o++ = 0xE4;
        return o;
    }
    if (hasUpright && cur == upright) {
        *o++ = 0xE5;
        return o;
    }
    const std::uint32_t a = O::A(cur);
    if (((cur ^ left) & O::ColourMask) == 0) {
        *o++ = 0xE6;
        *o++ = std::uint8_t(a);
        return o;
    }
    std::uint32_t v;
    const bool sameLeftA = a == O::A(left);
    if (sameLeftA && PackDelta<O, 2, 2>(cur, left, v)) {
        *o++ = std::uint8_t(0x80 | v);
        return o;
    }
    if (sameLeftA && PackDelta<O, 16, 5>(cur, left, v)) {
        *o++ = std::uint8_t(v >> 8);
        *o++ = std::uint8_t(v);
        return o;
    }
    if (a == O::A(up) && PackDelta<O, 4, 3>(cur, up, v)) {
        *o++ = std::uint8_t(0xE0 | v >> 8);
        *o++ = std::uint8_t(v);
        return o;
    }
    if (hasUpright && a == O::A(upright) && PackDelta<O, 4, 3>(cur, upright, v)) {
        *o++ = std::uint8_t(0xE2 | v >> 8);
        *o++ = std::uint8_t(v);
        return o;
    }
    const int c0 = O::C0(cur);
    const int c1 = O::C1(cur);
    const int c2 = O::C2(cur);
    if (c0 == c1 && c1 == c2 && a == 255 && table.GreyTokenKeeps(c0)) {
        *o++ = 0xFC;
        *o++ = std::uint8_t(c0);
        return o;
    }
    if (sameLeftA && PackDelta<O, 64, 7>(cur, left, v)) {
        *o++ = std::uint8_t(0xC0 | v >> 16);
        *o++ = std::uint8_t(v >> 8);
        *o++ = std::uint8_t(v);
        return o;
    }
    *o++ = a == 255 ? 0xFD : 0xFE;
    *o++ = std::uint8_t(c0);
    *o++ = std::uint8_t(c1);
    *o++ = std::uint8_t(c2);
    if (a != 255)
        *o++ = std::uint8_t(a);
    return o;
}

template <class O>
std::size_t Encode(const std::uint32_t* buffer, std::ptrdiff_t h, std::ptrdiff_t w, std::uint8_t* out, const Table& table)
{
    // Indexes are signed: neighbours of the first row reach back into the zero row.
    const std::uint32_t* px = buffer + w;  // px[-1] is the last zero pixel, left of the first one
    const std::ptrdiff_t n = h * w;
    std::uint8_t* o = out;
    std::ptrdiff_t k = 0;
    while (k < n) {
        const std::uint32_t left = px[k - 1];
        if (px[k] == left) {
            const std::size_t run = RunLength(px + k, std::size_t(n - k), left);
            k += std::ptrdiff_t(run);
            o = PutRun(o, run);
            if (k == n) {
                // The tile's last pixel closes the run and is also written on its own.
                o = PutPixel<O>(px, n - 1, w, o, table);
                break;
            }
        }
        o = PutPixel<O>(px, k, w, o, table);
        ++k;
    }
    return std::size_t(o - out);
}

// Bytes each token takes, by its first byte; 0 marks the unused F8-FB.
constexpr auto TokenLengths = [] {
    struct Lengths
    {
        std::uint8_t of[256];
    } t{};
    for (int b = 0; b < 256; ++b) {
        std::uint8_t n = 1;
        if (b < 0x80)
            n = 2;
        else if (b < 0xC0)
            n = 1;
        else if (b < 0xE0)
            n = 3;
        else if (b <= 0xE3 || b == 0xE6 || b == 0xF6 || b == 0xFC)
            n = 2;
        else if (b == 0xF7)
            n = 3;
        else if (b >= 0xF8 && b <= 0xFB)
            n = 0;
        else if (b == 0xFD)
            n = 4;
        else if (b == 0xFE)
            n = 5;
        else if (b == 0xFF)
            n = 9;
        t.of[b] = n;
    }
    return t;
}();

template <class O, int bias, unsigned bits>
std::uint32_t AddDelta(std::uint32_t base, std::uint32_t v)
{
    constexpr std::uint32_t mask = (1u << bits) - 1;
    return O::Make(O::C0(base) + int((v >> (2 * bits)) & mask) - bias, O::C1(base) + int((v >> bits) & mask) - bias,
                   O::C2(base) + int(v & mask) - bias, O::A(base));
}

// Decodes into rows[1..h] (w pixels each); rows[0] is the zero row above the tile, read only.
// Rows need not be adjacent, so a tile can be decoded straight into an image. The linear
// neighbours of the format become: left = the previous pixel of the row, or the last pixel of the
// row above; up = the pixel above; upright = the pixel above and right, or for the last pixel of a
// row the first pixel of its own row. With w = 1 that is the pixel being made, which the format
// reads from a zeroed buffer: 0.
template <class O>
SError Decode(const Table& table, const std::uint8_t* p, const std::uint8_t* end, std::ptrdiff_t h, std::ptrdiff_t w,
              std::uint32_t* const* rows)
{
    std::ptrdiff_t r = 1;
    std::ptrdiff_t c = 0;
    std::uint32_t* cur = rows[1];
    const std::uint32_t* prev = rows[0];
    auto left = [&] { return c > 0 ? cur[c - 1] : prev[w - 1]; };
    auto upright = [&] { return c + 1 < w ? prev[c + 1] : w > 1 ? cur[0] : 0u; };
    auto nextRow = [&] {
        c = 0;
        prev = cur;
        if (++r <= h)
            cur = rows[r];
    };
    while (r <= h && p != end) {
        const unsigned b = *p;
        const std::size_t length = TokenLengths.of[b];
        if (length == 0 || std::size_t(end - p) < length)
            return ErrorFromIdentifier("file_version");
        std::uint32_t v;
        if (b < 0x80) {
            v = AddDelta<O, 16, 5>(left(), b << 8 | p[1]);
        } else if (b < 0xC0) {
            v = AddDelta<O, 2, 2>(left(), b);
        } else if (b < 0xE0) {
            v = AddDelta<O, 64, 7>(left(), (b & 31) << 16 | std::uint32_t(p[1]) << 8 | p[2]);
        } else if (b >= 0xE7 && b <= 0xF7) {
            // A run may cross rows; it stops at the tile's last pixel.
            std::ptrdiff_t count = b <= 0xF5 ? b - 0xE6 : b == 0xF6 ? p[1] : std::ptrdiff_t(p[1]) << 8 | p[2];
            const std::uint32_t copy = left();
            while (count > 0 && r <= h) {
                const std::ptrdiff_t n = std::min(count, w - c);
                std::fill_n(cur + c, n, copy);
                count -= n;
                c += n;
                if (c == w)
                    nextRow();
            }
            p += length;
            continue;
        } else {
            switch (b) {
            case 0xE0: case 0xE1:
                v = AddDelta<O, 4, 3>(prev[c], (b & 1) << 8 | p[1]);
                break;
            case 0xE2: case 0xE3:
                v = AddDelta<O, 4, 3>(upright(), (b & 1) << 8 | p[1]);
                break;
            case 0xE4:
                v = prev[c];
                break;
            case 0xE5:
                v = upright();
                break;
            case 0xE6:
                v = (left() & O::ColourMask) | std::uint32_t(p[1]) << 24;
                break;
            case 0xFC:
                if (p[1] < table.count) {
                    const SColor e = table.entries[p[1]];
                    v = O::Make(e.r, e.g, e.b, 255);
                } else {
                    v = O::Make(p[1], p[1], p[1], 255);
                }
                break;
            case 0xFD:
                v = O::Make(p[1], p[2], p[3], 255);
                break;
            case 0xFE:
                v = O::Make(p[1], p[2], p[3], p[4]);
                break;
            default:  // 0xFF
                v = O::Make(p[1], p[3], p[5], p[7]);
                break;
            }
        }
        cur[c] = v;
        if (++c == w)
            nextRow();
        p += length;
    }
    // An early end leaves the rest of the tile zero.
    while (r <= h) {
        std::fill(cur + c, cur + w, 0u);
        nextRow();
    }
    return 0;
}

template <class O>
std::size_t EncodeChecked(std::span<const std::uint32_t> pixels, std::int32_t h, std::int32_t w,
                          std::span<std::uint8_t> out, const SPalette* palette)
{
    if (h < 1 || h > MaxSide || w < 1 || w > MaxSide)
        return 0;
    if (pixels.size() < std::size_t(h + 1) * std::size_t(w) || out.size() < TileCodeCapacity(w, h))
        return 0;
    return Encode<O>(pixels.data(), h, w, out.data(), Table(palette));
}

template <class O>
SError DecodeChecked(const SPalette& palette, std::span<const std::uint8_t> bytes, std::int32_t h, std::int32_t w,
                     std::span<std::uint32_t> pixels)
{
    if (h == 0 || w == 0)
        return 0;
    if (h < 0 || h > MaxSide || w < 0 || w > MaxSide)
        return ErrorFromIdentifier("domain");
    if (pixels.size() < std::size_t(h + 1) * std::size_t(w))
        return ErrorFromIdentifier("pointer");
    std::uint32_t* rows[MaxSide + 1];
    for (std::int32_t r = 0; r <= h; ++r)
        rows[r] = pixels.data() + std::size_t(r) * std::size_t(w);
    std::fill_n(rows[0], w, 0u);
    const SError err = Decode<O>(Table(&palette), bytes.data(), bytes.data() + bytes.size(), h, w, rows);
    if (err != 0)  // no half-decoded tile
        std::fill_n(pixels.data(), std::size_t(h + 1) * std::size_t(w), 0u);
    return err;
}

using PublicOrder = Order<0>;
using LayerOrder = Order<16>;

}  // namespace

std::size_t EncodeTile(std::span<const STilePixel> pixels, std::int32_t h, std::int32_t w, std::span<std::uint8_t> out,
                       const SPalette* palette)
{
    return EncodeChecked<PublicOrder>(pixels, h, w, out, palette);
}

SError DecodeTile(const SPalette& palette, std::span<const std::uint8_t> bytes, std::int32_t h, std::int32_t w,
                  std::span<STilePixel> pixels)
{
    return DecodeChecked<PublicOrder>(palette, bytes, h, w, pixels);
}

std::size_t EncodeTileBgra(std::span<const std::uint32_t> pixels, std::int32_t h, std::int32_t w,
                           std::span<std::uint8_t> out, const SPalette* palette)
{
    return EncodeChecked<LayerOrder>(pixels, h, w, out, palette);
}

SError DecodeTileBgra(const SPalette& palette, std::span<const std::uint8_t> bytes, std::int32_t h, std::int32_t w,
                      std::span<std::uint32_t> pixels)
{
    return DecodeChecked<LayerOrder>(palette, bytes, h, w, pixels);
}

SError DecodeTileRowsBgra(const SPalette& palette, std::span<const std::uint8_t> bytes, std::int32_t h, std::int32_t w,
                          std::uint32_t* const* rows)
{
    if (h == 0 || w == 0)
        return 0;
    if (h < 0 || h > MaxSide || w < 0 || w > MaxSide)
        return ErrorFromIdentifier("domain");
    if (rows == nullptr)
        return ErrorFromIdentifier("pointer");
    return Decode<LayerOrder>(Table(&palette), bytes.data(), bytes.data() + bytes.size(), h, w, rows);
}

const std::uint32_t* ZeroTileRow()
{
    static const std::uint32_t zeros[MaxSide] = {};
    return zeros;
}

}  // namespace ulib
