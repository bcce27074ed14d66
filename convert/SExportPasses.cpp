#include "SExportPasses.h"

#include "SPixelScan.h"

#include <algorithm>
#include <array>
#include <utility>

using namespace ulib;

namespace {

// Reports row y; true when the operation was asked to stop.
bool RowAborted(SAbort* progress, std::int32_t y)
{
    return progress != nullptr && progress->SetPosition(y);
}

// The first x of from..end-1 whose pixel is a black or red border, or end, four pixels at a time.
std::int32_t NextBorder(const std::uint32_t* row, std::int32_t from, std::int32_t end)
{
    return FirstPixel(row, from, end, cel_values::IsBlackOrRedBorder, [](auto words) {
        return _mm_or_si128(_mm_cmpeq_epi32(words, _mm_set1_epi32(std::int32_t(cel_values::BorderBlack))),
                            _mm_cmpeq_epi32(words, _mm_set1_epi32(std::int32_t(cel_values::BorderRed))));
    });
}

}  // namespace

SError FillIsolatedGaps(SBitmap& paint, SAbort* progress)
{
    if (paint.Format() != 32)
        return ErrorFromIdentifier("domain");
    const std::int32_t w = paint.Width();
    const std::int32_t h = paint.Height();
    if (w < 32 || h < 32)
        return 0;
    struct Probe
    {
        std::int32_t dx, dy;
    };
    static constexpr std::array<Probe, 12> probes{{{-1, -2}, {0, -2}, {1, -2}, {-2, -1}, {-2, 0}, {-2, 1},
                                                   {-1, 2}, {0, 2}, {1, 2}, {2, -1}, {2, 0}, {2, 1}}};
    for (std::int32_t y = 2; y <= h - 3; ++y) {
        if (RowAborted(progress, y))
            return ErrorFromIdentifier("abort");
        std::uint32_t* row = paint.Row32(y);
        for (std::int32_t x = 2; x <= w - 3; ++x) {
            if (row[x] != cel_values::Unpainted)
                continue;
            bool open = false;
            for (const Probe& p : probes) {
                const std::int32_t px = x + p.dx;
                const std::int32_t py = y + p.dy;
                // x and y are at least 2, so only the far edges can leave the counted area.
                if (px > w - 3 || py > h - 3)
                    continue;
                if (paint.Row32(py)[px] == cel_values::Unpainted) {
                    open = true;
                    break;
                }
            }
            if (open)
                continue;
            for (std::int32_t by = y - 1; by <= y + 1; ++by) {
                std::uint32_t* block = paint.Row32(by);
                for (std::int32_t bx = x - 1; bx <= x + 1; ++bx)
                    if (block[bx] == cel_values::Unpainted)
                        block[bx] = cel_values::BorderRed;
            }
        }
    }
    return 0;
}

SError PaintUnderLines(SBitmap& paint, SAbort* progress)
{
    if (paint.Format() != 32)
        return ErrorFromIdentifier("domain");
    const std::int32_t w = paint.Width();
    const std::int32_t h = paint.Height();
    SBitmap copy(paint);
    if (copy.Width() != w || copy.Height() != h)
        return ErrorFromIdentifier("memory_alloc");
    for (std::int32_t y = 0; y < h; ++y) {
        if (RowAborted(progress, y))
            return ErrorFromIdentifier("abort");
        std::uint32_t* row = paint.Row32(y);
        std::uint32_t* result = copy.Row32(y);
        // Only the pixel itself is written in the row, so the pixels skipped ahead are as the loop
        // would find them.
        for (std::int32_t x = NextBorder(row, 0, w); x < w; x = NextBorder(row, x + 1, w)) {
            std::int32_t whites = 0;
            bool found = false;
            for (std::int32_t m = 0; m <= 3 && !found; ++m) {
                std::uint32_t sb = 0, sg = 0, sr = 0, sa = 0, count = 0;
                const std::int32_t top = std::max(0, y - m), bottom = std::min(h - 1, y + m);
                const std::int32_t left = std::max(0, x - m), right = std::min(w - 1, x + m);
                for (std::int32_t sy = top; sy <= bottom; ++sy) {
                    const std::uint32_t* s = paint.Row32(sy);
                    for (std::int32_t sx = left; sx <= right; ++sx) {
                        const std::uint32_t v = s[sx];
                        if (v == ExportOpaqueWhite) {
                            ++whites;
                        } else if (!cel_values::IsBlackOrRedBorder(v)) {
                            sb += v & 0xFF;
                            sg += (v >> 8) & 0xFF;
                            sr += (v >> 16) & 0xFF;
                            sa += cel_values::TopByte(v);
                            ++count;
                        }
                    }
                }
                if (count > 0) {
                    const std::uint32_t average =
                        (sb / count) | (sg / count) << 8 | (sr / count) << 16 | (sa / count) << 24;
                    row[x] = average;
                    result[x] = average;
                    found = true;
                } else if (whites > 1) {
                    break;
                }
            }
            if (!found)
                row[x] = cel_values::BorderBlack;  // the result keeps the border value
        }
    }
    paint.Swap(copy);
    return 0;
}

SError ColourTraceLines(SBitmap& trace, SColor colour, SAbort* progress)
{
    if (trace.Format() != 32)
        return ErrorFromIdentifier("domain");
    const std::uint32_t bgr = cel_values::ColourBits(colour);
    const std::int32_t w = trace.Width();
    for (std::int32_t y = 0; y < trace.Height(); ++y) {
        if (RowAborted(progress, y))
            return ErrorFromIdentifier("abort");
        std::uint32_t* row = trace.Row32(y);
        for (std::int32_t x = 0; x < w; ++x) {
            const std::uint32_t v = row[x];
            if (cel_values::IsConvertedLine(v))
                continue;
            // "No line" (what the eraser leaves) is not a black line of density 255.
            const std::uint32_t density = v == cel_values::NoLine ? 0 : cel_values::BlackDensity(v);
            row[x] = density != 0 ? cel_values::ConvertedLine(density, bgr) : 0;
        }
    }
    return 0;
}

SBitmap KeyTransparency(const SBitmap& source, SColor key, std::int32_t depth)
{
    SBitmap result;
    const std::int32_t w = source.Width();
    const std::int32_t h = source.Height();
    result.Create(w, h, depth);
    if (result.Width() != w || result.Height() != h) {
        result.Release();
        return result;
    }
    auto toMiddle = [](std::uint8_t v) { return std::uint8_t(v >= 128 ? v - 1 : v + 1); };
    auto keyed = [&](SColor c) {
        if (c == key) {
            c.b = toMiddle(c.b);
            c.g = toMiddle(c.g);
            c.r = toMiddle(c.r);
        }
        if (c.t >= 192)
            return key;
        c.t = 0;
        return c;
    };
    if (source.Format() == 32 && (depth == 32 || depth == 24)) {
        const std::size_t step = depth == 32 ? 4 : 3;
        for (std::int32_t y = 0; y < h; ++y) {
            const std::uint32_t* src = source.Row32(y);
            std::uint8_t* d = result.Row(y);
            for (std::int32_t x = 0; x < w; ++x, d += step) {
                const SColor c = keyed(SColor::FromPixel(src[x]));
                d[0] = c.b;
                d[1] = c.g;
                d[2] = c.r;
                if (depth == 32)
                    d[3] = std::uint8_t(255 - c.t);
            }
        }
        return result;
    }
    for (std::int32_t y = 0; y < h; ++y)
        for (std::int32_t x = 0; x < w; ++x)
            result.SetColor(x, y, keyed(source.GetColor(x, y)));
    return result;
}
