#include "SImportPasses.h"

#include "SParallel.h"
#include "SPixelScan.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cstdint>
#include <mutex>
#include <new>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

using namespace ulib;
using namespace import_value;

namespace {

// Opens a range over the rows of a pass inside the caller's current range (its local from..to)
// and closes it again when the pass ends.
class RowProgress
{
public:
    RowProgress(SAbort* abort, std::int32_t rows, std::int32_t from = 0, std::int32_t to = 100) : abort_(abort)
    {
        if (abort_)
            abort_->PushRange(from, to, 0, std::max(rows, 1));
    }
    ~RowProgress()
    {
        if (abort_)
            abort_->PopRange();
    }
    RowProgress(const RowProgress&) = delete;
    RowProgress& operator=(const RowProgress&) = delete;

    // True when the operation is to stop.
    bool Stop(std::int32_t row) { return abort_ && abort_->SetPosition(row); }

private:
    SAbort* abort_;
};

SError Abort() { return ErrorFromIdentifier("abort"); }
SError Domain() { return ErrorFromIdentifier("domain"); }

// Rows per band below which a pass stays on one thread.
constexpr std::int32_t RowsPerBand = 64;

// Runs row(y, local) for every y of first..end-1 in bands of rows on the cores, for a pass whose
// rows read nothing another row writes, so any order gives the same pixels; each band has its own
// Local, handed to merge(local) once the band ends (one band at a time). Positions are reported as
// the pass has always reported them (rows of 0..rows inside the caller's from..to): the caller's
// band, the first, steps through the whole pass as it goes through its share; every band stops
// once the abort is requested.
template <class Local, class Row, class Merge>
SError InRowBandsCollecting(SAbort* abort, std::int32_t rows, std::int32_t first, std::int32_t end, const Row& row,
                            const Merge& merge, std::int32_t progressFrom = 0, std::int32_t progressTo = 100)
{
    RowProgress progress(abort, rows, progressFrom, progressTo);
    std::atomic<bool> stopped{false};
    std::mutex merging;
    const std::int32_t count = std::max(end - first, 0);
    ForEachBand(count, RowsPerBand, [&](std::int32_t from, std::int32_t to) {
        Local local{};
        const std::int32_t share = to - from;
        for (std::int32_t i = from; i < to; ++i) {
            const bool stop = from == 0 ? progress.Stop(first + std::int32_t(std::int64_t(i) * count / share))
                                        : abort && abort->IsAborted();
            if (stop || stopped.load(std::memory_order_relaxed)) {
                stopped = true;
                break;
            }
            row(first + i, local);
        }
        const std::lock_guard lock(merging);
        merge(local);
    });
    return stopped ? Abort() : 0;
}

template <class Row>
SError InRowBands(SAbort* abort, std::int32_t rows, std::int32_t first, std::int32_t end, const Row& row)
{
    struct None
    {
    };
    return InRowBandsCollecting<None>(
        abort, rows, first, end, [&](std::int32_t y, None&) { row(y); }, [](None&) {});
}

// The first x of from..end-1 whose trace pixel has a line density, or end: most of a trace is
// empty, and the speck pass skips it four pixels at a time.
std::int32_t NextWithLineDensity(const std::uint32_t* row, std::int32_t from, std::int32_t end)
{
    return FirstPixel(row, from, end, cel_values::HasLineDensity, [](auto words) {
        const auto density = _mm_and_si128(words, _mm_set1_epi32(std::int32_t(cel_values::LineDensityBits)));
        return _mm_xor_si128(_mm_cmpeq_epi32(density, _mm_setzero_si128()), _mm_set1_epi32(-1));
    });
}

bool SameSize(const SBitmap& a, const SBitmap& b) { return a.Width() == b.Width() && a.Height() == b.Height(); }

// d(p, q) of the colour line rules.
std::uint32_t ColourDensity(std::int32_t p, std::int32_t q) { return std::uint32_t(std::min(255, (255 - (p + q) / 2) * 5 / 4)); }

// acc[i] += weight * src[i]; the two never overlap, which lets the loop be vectorised.
void AddWeighted(std::int32_t* __restrict acc, const std::uint8_t* __restrict src, std::int32_t n, std::int32_t weight)
{
    std::int32_t i = 0;
    for (; i + 16 <= n; i += 16)
        for (std::int32_t k = 0; k < 16; ++k)
            acc[i + k] += weight * src[i + k];
    for (; i < n; ++i)
        acc[i] += weight * src[i];
}

bool Dark(const std::uint8_t* bgr) { return bgr[0] < 192 && bgr[1] < 192 && bgr[2] < 192; }

}  // namespace

void MakeLevelTable(std::int32_t black, std::int32_t white, std::uint8_t table[256])
{
    // black >= white has no input range (white - black + 1 would be 1 or less, down to a zero
    // divisor at black = white + 1): treated like the identity levels.
    const bool identity = black >= white || (black == 0 && white == 255);
    for (std::int32_t v = 0; v < 256; ++v) {
        if (identity) {
            table[v] = std::uint8_t(v);
            continue;
        }
        const std::int64_t c = std::clamp(v, black, white);
        const std::int64_t out = 256 * (c - black) / (std::int64_t(white) - black + 1);
        table[v] = std::uint8_t(std::clamp<std::int64_t>(out, 0, 255));
    }
}

SError ApplyInputLevel(SBitmap& genga, std::int32_t black, std::int32_t white, SAbort* abort)
{
    const std::int32_t format = genga.Format();
    if (format != 24 && format != 32)
        return Domain();
    if (black >= white || (black == 0 && white == 255))
        return 0;
    std::uint8_t table[256];
    MakeLevelTable(black, white, table);
    const std::int32_t w = genga.Width(), h = genga.Height(), step = format / 8;
    return InRowBands(abort, h, 0, h, [&](std::int32_t y) {
        std::uint8_t* p = genga.Row(y);
        for (std::int32_t x = 0; x < w; ++x, p += step) {
            p[0] = table[p[0]];
            p[1] = table[p[1]];
            p[2] = table[p[2]];
        }
    });
}

void ExtractTraceRow(const SBitmap& genga, SBitmap& trace, std::int32_t y)
{
    const std::int32_t w = genga.Width(), h = genga.Height();
    const std::uint8_t* row = genga.Row(y);
    std::uint32_t* out = trace.Row32(y);
    for (std::int32_t x = 0; x < w; ++x) {
        const std::uint8_t* p = row + 3 * x;
        const std::int32_t B = p[0], G = p[1], R = p[2];
        std::uint32_t v = 0;
        if (G - R > 4 && G - B > 4 && G >= 128) {
            v = 0;  // green
        } else if (R - B >= 96 && G - B >= 64) {
            v = 0;  // yellow, orange
        } else if (R - G >= 25 && R - B >= 25 && R >= 128) {
            v = cel_values::ColouredLine(ColourDensity(G, B), cel_values::CodeRed);
        } else if (B - R > 32 && B - G > 32 && B >= 128) {
            const std::uint32_t d = ColourDensity(G, R);
            v = d ? cel_values::ColouredLine(d, BlueKind) : 0;
        } else if (R < 192 && G < 192 && B < 192) {
            v = cel_values::BlackLine(std::uint32_t(255 - (R + G + B) / 3));
        } else if (R >= 224 || G >= 224 || B >= 224) {
            v = 0;  // light
        } else {
            // Light grey: a line only beside a dark pixel (the picture wraps at its edges).
            const std::uint8_t* left = row + 3 * (x == 0 ? w - 1 : x - 1);
            const std::uint8_t* right = row + 3 * (x == w - 1 ? 0 : x + 1);
            const std::uint8_t* up = genga.Row(y == 0 ? h - 1 : y - 1) + 3 * x;
            const std::uint8_t* down = genga.Row(y == h - 1 ? 0 : y + 1) + 3 * x;
            if (Dark(left) || Dark(up) || Dark(right) || Dark(down))
                v = cel_values::BlackLine(std::uint32_t(255 - (R + G + B) / 3));
        }
        out[x] = v;
    }
}

SError ExtractTraceLines(const SBitmap& genga, SBitmap& trace, SAbort* abort, SRowsDone done)
{
    if (genga.Format() != 24 || trace.Format() != 32 || !SameSize(genga, trace))
        return Domain();
    const std::int32_t h = genga.Height();
    return InRowBands(abort, h, 0, h, [&](std::int32_t y) {
        if (!done.Holds(y))
            ExtractTraceRow(genga, trace, y);
    });
}

SError RemoveTraceSpecks(SBitmap& trace, SAbort* abort)
{
    if (trace.Format() != 32)
        return Domain();
    const std::int32_t w = trace.Width(), h = trace.Height();
    RowProgress progress(abort, h);
    for (std::int32_t y = 1; y < h - 1; ++y) {
        if (progress.Stop(y))
            return Abort();
        std::uint32_t* up = trace.Row32(y - 1);
        std::uint32_t* row = trace.Row32(y);
        std::uint32_t* down = trace.Row32(y + 1);
        // Only the pixel itself is written, so the pixels skipped ahead are as the loop would find them.
        for (std::int32_t x = NextWithLineDensity(row, 1, w - 1); x < w - 1; x = NextWithLineDensity(row, x + 1, w - 1)) {
            std::uint32_t v = row[x];
            const std::uint32_t n[8] = {row[x - 1], up[x],     row[x + 1], down[x],
                                        up[x - 1],  up[x + 1], down[x - 1], down[x + 1]};
            if (cel_values::BlackDensity(v)) {
                bool allFaint = true, anyColour = false;
                for (std::uint32_t q : n) {
                    allFaint = allFaint && cel_values::BlackDensity(q) < 32;
                    anyColour = anyColour || cel_values::ColourDensity(q);
                }
                if (allFaint) {
                    v = anyColour ? FullRedLine : 0;
                    row[x] = v;
                }
            }
            if (cel_values::ColourDensity(v)) {
                bool allEmpty = true;
                for (std::uint32_t q : n)
                    allEmpty = allEmpty && q == 0;
                if (allEmpty)
                    row[x] = 0;
            }
        }
    }
    return 0;
}

SError BinarizeTrace(SBitmap& trace, SAbort* abort)
{
    if (trace.Format() != 32)
        return Domain();
    const std::int32_t w = trace.Width(), h = trace.Height();
    RowProgress progress(abort, h);
    for (std::int32_t y = 0; y < h; ++y) {
        if (progress.Stop(y))
            return Abort();
        std::uint8_t* p = trace.Row(y);
        for (std::int32_t x = 0; x < w; ++x, p += 4) {
            if (p[3] != 0)
                continue;
            if (p[0])
                p[0] = p[0] < 64 ? 0 : 255;
            if (p[2])
                p[2] = p[2] < 64 ? 0 : 255;
        }
    }
    return 0;
}

SBitmap ConvolveImage(const SBitmap& source, const SImageRankFanctor& kernel, const SRect* rect)
{
    SBitmap out(source);
    const std::int32_t w = source.Width(), h = source.Height();
    if (out.Width() != w || out.Height() != h || source.IsEmpty())
        return out;
    const std::int32_t count = kernel.TapCount();
    if (count < 1 || count > 1024)
        return out;
    std::vector<SImageRankTap> taps(static_cast<std::size_t>(count));
    std::int32_t bias = 0, divisor = 1;
    kernel.FillTaps(taps.data(), bias, divisor);
    if (divisor == 0)
        divisor = 1;
    for (SImageRankTap& t : taps)
        t.weight = std::clamp(t.weight, -256, 256);

    SRect r = rect ? *rect : source.Bounds();
    r.left = std::max(r.left, 0);
    r.top = std::max(r.top, 0);
    r.right = std::min(r.right, w);
    r.bottom = std::min(r.bottom, h);
    if (r.IsEmpty())
        return out;

    // |sum| <= 1024 * 256 * 255 fits 32 bits; the bias is added in 64.
    auto finish = [&](std::int32_t sum) {
        return std::uint8_t(std::clamp<std::int64_t>(std::int64_t(bias) + sum / divisor, 0, 255));
    };
    const std::int32_t format = source.Format();
    if (format == 24 || format == 32) {
        // Weighted sums of whole row segments, every byte of a pixel at once; the fourth byte of
        // a 32-bit pixel is summed but never written.
        const std::int32_t step = format / 8;
        std::vector<std::int32_t> acc(std::size_t(r.Width()) * step);
        for (std::int32_t y = r.top; y < r.bottom; ++y) {
            std::fill(acc.begin(), acc.end(), 0);
            for (const SImageRankTap& t : taps) {
                const std::int32_t sy = y + t.dy;
                if (sy < 0 || sy >= h)
                    continue;
                const std::int32_t xs = std::max(r.left, -t.dx), xe = std::min(r.right, w - t.dx);
                if (xs >= xe)
                    continue;
                AddWeighted(acc.data() + std::ptrdiff_t(xs - r.left) * step,
                            source.Row(sy) + std::ptrdiff_t(xs + t.dx) * step, (xe - xs) * step, t.weight);
            }
            std::uint8_t* dst = out.Row(y) + std::ptrdiff_t(r.left) * step;
            const std::int32_t* a = acc.data();
            for (std::int32_t x = r.left; x < r.right; ++x, dst += step, a += step) {
                dst[0] = finish(a[0]);
                dst[1] = finish(a[1]);
                dst[2] = finish(a[2]);
            }
        }
        return out;
    }
    for (std::int32_t y = r.top; y < r.bottom; ++y) {
        for (std::int32_t x = r.left; x < r.right; ++x) {
            std::int32_t sr = 0, sg = 0, sb = 0;
            for (const SImageRankTap& t : taps) {
                const std::int32_t sx = x + t.dx, sy = y + t.dy;
                if (sx < 0 || sx >= w || sy < 0 || sy >= h)
                    continue;
                const SColor c = source.GetColor(sx, sy);
                sr += t.weight * c.r;
                sg += t.weight * c.g;
                sb += t.weight * c.b;
            }
            out.SetColor(x, y, SColor(finish(sr), finish(sg), finish(sb), source.GetColor(x, y).t));
        }
    }
    return out;
}

void ClassifyPaintRow(const SBitmap& source, SBitmap& paint, std::int32_t y)
{
    const std::int32_t w = source.Width();
    const std::uint8_t* p = source.Row(y);
    std::uint32_t* out = paint.Row32(y);
    for (std::int32_t x = 0; x < w; ++x, p += 3) {
        const std::int32_t B = p[0], G = p[1], R = p[2];
        std::uint32_t v;
        if (G - R > 48 && G - B > 48)
            v = Unpainted;
        else if (R - B >= 128 && G - B >= 64)
            v = Unpainted;
        else if (B - R > 32 && B - G > 16)
            v = RedBorder;
        else if (R - G > 32 && R - B > 32)
            v = RedBorder;
        else if (R < 192 && G < 192 && B < 192)
            v = BlackBorder;
        else
            v = Unpainted;
        out[x] = v;
    }
}

SError ClassifyPaintBorders(const SBitmap& source, SBitmap& paint, SAbort* abort, SRowsDone done)
{
    if (source.Format() != 24 || paint.Format() != 32 || !SameSize(source, paint))
        return Domain();
    const std::int32_t h = source.Height();
    return InRowBands(abort, h, 0, h, [&](std::int32_t y) {
        if (!done.Holds(y))
            ClassifyPaintRow(source, paint, y);
    });
}

SError SmoothPaintBorders(SBitmap& paint, SAbort* abort)
{
    if (paint.Format() != 32)
        return Domain();
    // The 4-neighbour majority vote is taken only where all eight neighbours equal the pixel, and
    // there its four direct neighbours always elect the pixel's own value: the stage leaves every
    // pixel as it is. It keeps its place in the pipeline and its abort checks.
    const std::int32_t h = paint.Height();
    RowProgress progress(abort, h);
    for (std::int32_t y = 1; y < h - 1; ++y)
        if (progress.Stop(y))
            return Abort();
    return 0;
}

SError SBorderMask::Make(const SBitmap& paint)
{
    cells_.reset();
    width_ = height_ = 0;
    marked_ = false;
    if (paint.Format() != 32)
        return Domain();
    const std::int32_t w = paint.Width(), h = paint.Height();
    // Every cell is written below: left uninitialised rather than cleared first.
    cells_.reset(new (std::nothrow) std::uint8_t[std::size_t(w) * std::size_t(h)]);
    if (!cells_ && w > 0 && h > 0)
        return ErrorFromIdentifier("memory_alloc");
    width_ = w;
    height_ = h;
    std::atomic<bool> marked{false};
    ForEachBand(h, RowsPerBand, [&](std::int32_t from, std::int32_t to) {
        bool markers = false;
        for (std::int32_t y = from; y < to; ++y) {
            const std::uint32_t* in = paint.Row32(y);
            std::uint8_t* out = Row(y);
            std::int32_t x = 0;
#if defined(__SSE2__)
            // Sixteen pixels at a time: 1 where not unpainted, plus 1 where a marker.
            const __m128i unpainted = _mm_set1_epi32(std::int32_t(Unpainted));
            const __m128i marker = _mm_set1_epi32(std::int32_t(Marker));
            const __m128i one = _mm_set1_epi32(1);
            __m128i anyMarker = _mm_setzero_si128();
            for (; x + 16 <= w; x += 16) {
                __m128i cells[4];
                for (int i = 0; i < 4; ++i) {
                    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + x + 4 * i));
                    const __m128i isMarker = _mm_cmpeq_epi32(v, marker);
                    anyMarker = _mm_or_si128(anyMarker, isMarker);
                    cells[i] = _mm_add_epi32(_mm_andnot_si128(_mm_cmpeq_epi32(v, unpainted), one), _mm_and_si128(isMarker, one));
                }
                const __m128i bytes =
                    _mm_packus_epi16(_mm_packs_epi32(cells[0], cells[1]), _mm_packs_epi32(cells[2], cells[3]));
                _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), bytes);
            }
            markers = markers || _mm_movemask_epi8(anyMarker) != 0;
#endif
            for (; x < w; ++x) {
                out[x] = in[x] == Unpainted ? Open : in[x] == Marker ? Marked : Closed;
                markers = markers || in[x] == Marker;
            }
        }
        if (markers)
            marked = true;
    });
    marked_ = marked;
    return 0;
}

void SBorderMask::ApplyTo(SBitmap& paint) const
{
    const std::int32_t w = width_;
    ForEachBand(height_, RowsPerBand, [&](std::int32_t from, std::int32_t to) {
        for (std::int32_t y = from; y < to; ++y) {
            const std::uint8_t* in = Row(y);
            std::uint32_t* out = paint.Row32(y);
            std::int32_t x = 0;
#if defined(__SSE2__)
            // Sixteen cells at a time: each open byte widened to a pixel mask selecting Unpainted.
            const __m128i unpainted = _mm_set1_epi32(std::int32_t(Unpainted));
            for (; x + 16 <= w; x += 16) {
                const __m128i open = _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in + x)),
                                                    _mm_setzero_si128());
                const __m128i halves[2] = {_mm_unpacklo_epi8(open, open), _mm_unpackhi_epi8(open, open)};
                for (int i = 0; i < 4; ++i) {
                    const __m128i mask = i % 2 == 0 ? _mm_unpacklo_epi16(halves[i / 2], halves[i / 2])
                                                    : _mm_unpackhi_epi16(halves[i / 2], halves[i / 2]);
                    __m128i* p = reinterpret_cast<__m128i*>(out + x + 4 * i);
                    const __m128i v = _mm_loadu_si128(p);
                    _mm_storeu_si128(p, _mm_or_si128(_mm_and_si128(mask, unpainted), _mm_andnot_si128(mask, v)));
                }
            }
#endif
            for (; x < w; ++x)
                out[x] = in[x] == Open ? Unpainted : out[x];
        }
    });
}

void SBorderMask::ClearMarks()
{
    if (!marked_)
        return;
    // Marked is Closed with one more bit, so clearing it keeps exactly the closed cells.
    static_assert(Open == 0 && (Marked & Closed) == 0);
    const std::size_t count = std::size_t(width_) * std::size_t(height_);
    for (std::size_t i = 0; i < count; ++i)
        cells_[i] &= Closed;
    marked_ = false;
}

namespace {

// The cells a pass opens. Its decisions read only whether cells were open when it began, so the
// cells are opened once every band has decided: the same cells, in any order.
using MarkList = std::vector<std::uint8_t*>;

void OpenAll(const MarkList& list)
{
    for (std::uint8_t* cell : list)
        *cell = SBorderMask::Open;
}

}  // namespace

namespace {

#if defined(__SSE2__)
// 0xFF in each byte of the 16 cells from p that is not open.
__m128i ClosedBytes(const std::uint8_t* p)
{
    const __m128i open = _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), _mm_setzero_si128());
    return _mm_xor_si128(open, _mm_set1_epi8(-1));
}
#endif

// Calls cell(x, k) for every cell x + k (k < 16) whose bit k is set in what chunkBits(x) gives for
// the chunk of cells x..x+15, chunk by chunk through from..end-1, and tail(x) for each cell after
// the last whole chunk.
template <class ChunkBits, class Cell, class Tail>
void ForCandidates(std::int32_t from, std::int32_t end, const ChunkBits& chunkBits, const Cell& cell, const Tail& tail)
{
    std::int32_t x = from;
#if defined(__SSE2__)
    for (; x + 16 <= end; x += 16)
        for (unsigned bits = chunkBits(x); bits != 0; bits &= bits - 1)
            cell(x, std::countr_zero(bits));
#else
    (void)chunkBits;
    (void)cell;
#endif
    for (; x < end; ++x)
        tail(x);
}

// The notch rules at cell x of the centre row r[2], rows r[0..4] around it.
void NotchCell(std::uint8_t* const r[5], std::int32_t x, MarkList& local)
{
    for (std::int32_t i = 1; i <= 3; ++i)
        if (!(r[i][x - 1] && r[i][x] && r[i][x + 1]))
            return;
    if (r[0][x - 1] && r[0][x + 1] && !r[0][x])
        local.push_back(&r[1][x]);
    if (r[4][x - 1] && r[4][x + 1] && !r[4][x])
        local.push_back(&r[3][x]);
    if (r[1][x - 2] && r[3][x - 2] && !r[2][x - 2])
        local.push_back(&r[2][x - 1]);
    if (r[1][x + 2] && r[3][x + 2] && !r[2][x + 2])
        local.push_back(&r[2][x + 1]);
}

}  // namespace

SError ExtendBorderNotches(SBorderMask& mask, SAbort* abort)
{
    const std::int32_t w = mask.Width(), h = mask.Height();
    MarkList marks;
    const SError err = InRowBandsCollecting<MarkList>(
        abort, h, 3, h - 3,
        [&](std::int32_t y, MarkList& local) {
            std::uint8_t* r[5];
            for (std::int32_t i = 0; i < 5; ++i)
                r[i] = mask.Row(y - 2 + i);
            // Sixteen cells at a time: only cells whose 3 x 3 block is closed can be notched.
            ForCandidates(
                3, w - 3,
                [&](std::int32_t x) {
#if defined(__SSE2__)
                    __m128i block = _mm_set1_epi8(-1);
                    for (std::int32_t i = 1; i <= 3; ++i)
                        block = _mm_and_si128(block, _mm_and_si128(ClosedBytes(r[i] + x - 1),
                                                                   _mm_and_si128(ClosedBytes(r[i] + x), ClosedBytes(r[i] + x + 1))));
                    return unsigned(_mm_movemask_epi8(block));
#else
                    (void)x;
                    return 0u;
#endif
                },
                [&](std::int32_t x, std::int32_t k) { NotchCell(r, x + k, local); },
                [&](std::int32_t x) { NotchCell(r, x, local); });
        },
        [&](MarkList& local) { marks.insert(marks.end(), local.begin(), local.end()); });
    OpenAll(marks);
    mask.ClearMarks();
    return err;
}

namespace {

// Thinning action by neighbour pattern (bit 0 top-left ... bit 7 bottom-right).
constexpr std::uint8_t ThinActions[256] = {
    2,  6, 7, 6, 8, 0, 8,  7,  5,  6,  0, 6,  0,  0,  0, 1,   //
    9,  0, 0, 0, 9, 0, 1,  8,  0,  0,  0, 0,  0,  0,  0, 11,  //
    4,  0, 0, 0, 0, 0, 0,  0,  5,  5,  0, 6,  0,  0,  0, 1,   //
    0,  0, 0, 0, 0, 0, 0,  0,  0,  0,  0, 0,  0,  0,  0, 11,  //
    3,  0, 0, 0, 0, 0, 0,  0,  0,  0,  0, 0,  0,  0,  0, 0,   //
    0,  0, 0, 0, 0, 0, 0,  0,  0,  0,  0, 0,  0,  0,  0, 0,   //
    3,  0, 0, 0, 0, 0, 0,  0,  1,  1,  0, 14, 0,  0,  0, 14,  //
    0,  0, 0, 0, 0, 0, 0,  0,  0,  0,  0, 0,  0,  0,  0, 0,   //
    10, 0, 0, 0, 0, 0, 0,  0,  0,  0,  0, 0,  0,  0,  0, 0,   //
    10, 0, 0, 0, 9, 0, 1,  1,  0,  0,  0, 0,  0,  0,  0, 11,  //
    0,  0, 0, 0, 0, 0, 0,  0,  0,  0,  0, 0,  0,  0,  0, 0,   //
    0,  0, 0, 0, 0, 0, 0,  0,  0,  0,  0, 0,  0,  0,  0, 11,  //
    3,  0, 0, 0, 0, 0, 0,  0,  0,  0,  0, 0,  0,  0,  0, 0,   //
    1,  0, 0, 0, 1, 0, 12, 12, 0,  0,  0, 0,  0,  0,  0, 0,   //
    3,  0, 0, 0, 0, 0, 0,  0,  1,  1,  0, 14, 0,  0,  0, 14,  //
    1,  0, 0, 0, 1, 0, 12, 12, 13, 13, 0, 0,  13, 13, 0, 0,   //
};

// The closed neighbours of cell x of the centre row r[2] (bit 0 top-left ... bit 7 bottom-right).
std::uint32_t NeighbourPattern(std::uint8_t* const r[5], std::int32_t x)
{
    auto closed = [](std::uint8_t cell) { return std::uint32_t(cell != SBorderMask::Open); };
    const std::uint8_t *up = r[1], *row = r[2], *down = r[3];
    return closed(up[x - 1]) | closed(up[x]) << 1 | closed(up[x + 1]) << 2 | closed(row[x - 1]) << 3 |
           closed(row[x + 1]) << 4 | closed(down[x - 1]) << 5 | closed(down[x]) << 6 | closed(down[x + 1]) << 7;
}

// Marks cell x of the centre row if a thinning pass opens it.
void ThinCell(std::uint8_t* const r[5], std::int32_t x, std::uint32_t pattern, MarkList& local)
{
    const std::uint8_t action = ThinActions[pattern];
    if (action == 0)
        return;
    // Cell i of the 5 x 5 window, row by row from (x - 2, y - 2).
    auto set = [&](std::int32_t i) { return r[i / 5][x + i % 5 - 2] != SBorderMask::Open; };
    auto clear3 = [&](std::int32_t a, std::int32_t b, std::int32_t c) { return !set(a) && !set(b) && !set(c); };
    bool mark = false;
    switch (action) {
    case 1: mark = true; break;
    case 2: {
        static constexpr std::int32_t ring[16] = {0, 1, 2, 3, 4, 5, 9, 10, 14, 15, 19, 20, 21, 22, 23, 24};
        mark = true;
        for (std::int32_t i : ring)
            mark = mark && !set(i);
        break;
    }
    case 3: mark = clear3(1, 2, 3); break;
    case 4: mark = clear3(3, 4, 9); break;
    case 5: mark = clear3(9, 14, 19); break;
    case 6: mark = clear3(19, 23, 24); break;
    case 7: mark = clear3(21, 22, 23); break;
    case 8: mark = clear3(15, 20, 21); break;
    case 9: mark = clear3(5, 10, 15); break;
    case 10: mark = clear3(0, 1, 5); break;
    case 11: mark = set(2); break;
    case 12: mark = set(14); break;
    case 13: mark = set(22); break;
    case 14: mark = set(10); break;
    default: break;
    }
    if (mark)
        local.push_back(&r[2][x]);
}

// Marks the cells of row y that a thinning pass opens.
void ThinRow(SBorderMask& mask, std::int32_t y, MarkList& local)
{
    const std::int32_t w = mask.Width();
    std::uint8_t* r[5];
    for (std::int32_t i = 0; i < 5; ++i)
        r[i] = mask.Row(y - 2 + i);
    // Sixteen cells at a time: the patterns of a chunk are made together, then its closed cells
    // looked up one by one.
    std::uint8_t patterns[16] = {};
    ForCandidates(
        2, w - 2,
        [&](std::int32_t x) {
#if defined(__SSE2__)
            static constexpr std::int32_t offsets[8][2] = {{1, -1}, {1, 0}, {1, 1}, {2, -1},
                                                           {2, 1},  {3, -1}, {3, 0}, {3, 1}};
            __m128i pattern = _mm_setzero_si128();
            for (std::int32_t bit = 0; bit < 8; ++bit)
                pattern = _mm_or_si128(pattern, _mm_and_si128(ClosedBytes(r[offsets[bit][0]] + x + offsets[bit][1]),
                                                              _mm_set1_epi8(char(1 << bit))));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(patterns), pattern);
            return unsigned(_mm_movemask_epi8(ClosedBytes(r[2] + x)));
#else
            (void)x;
            return 0u;
#endif
        },
        [&](std::int32_t x, std::int32_t k) { ThinCell(r, x + k, patterns[k], local); },
        [&](std::int32_t x) {
            if (r[2][x] != SBorderMask::Open)
                ThinCell(r, x, NeighbourPattern(r, x), local);
        });
}

// One thinning pass over rows 2..h-3 (marks not yet cleared).
SError ThinPass(SBorderMask& mask, SAbort* abort, std::int32_t from, std::int32_t to)
{
    const std::int32_t h = mask.Height();
    MarkList marks;
    const SError err = InRowBandsCollecting<MarkList>(
        abort, h, 2, h - 2, [&](std::int32_t y, MarkList& local) { ThinRow(mask, y, local); },
        [&](MarkList& local) { marks.insert(marks.end(), local.begin(), local.end()); }, from, to);
    OpenAll(marks);
    return err;
}

}  // namespace

SError ThinBorderLines(SBorderMask& mask, SAbort* abort)
{
    static constexpr std::int32_t bounds[4] = {0, 33, 66, 100};
    for (std::int32_t pass = 0; pass < 3; ++pass) {
        const SError err = ThinPass(mask, abort, bounds[pass], bounds[pass + 1]);
        mask.ClearMarks();
        if (err)
            return err;
    }
    return 0;
}

namespace {

// A mask pass on a paint layer: the layer brought in line with the mask also after an abort.
SError OnMask(SBitmap& paint, SAbort* abort, SError (*pass)(SBorderMask&, SAbort*))
{
    SBorderMask mask;
    if (SError err = mask.Make(paint))
        return err;
    const SError err = pass(mask, abort);
    mask.ApplyTo(paint);
    return err;
}

}  // namespace

SError ExtendPaintNotches(SBitmap& paint, SAbort* abort) { return OnMask(paint, abort, ExtendBorderNotches); }

SError ThinPaintLines(SBitmap& paint, SAbort* abort) { return OnMask(paint, abort, ThinBorderLines); }

SError FlattenNearWhite(SBitmap& genga, SAbort* abort)
{
    const std::int32_t format = genga.Format();
    if (format != 24 && format != 32 && format != 48 && format != 64)
        return Domain();
    const std::int32_t w = genga.Width(), h = genga.Height();
    RowProgress progress(abort, h);
    // Setting a pixel white never changes whether it counts as a near-white neighbour, so the
    // pass can work in place.
    if (format == 24 || format == 32) {
        const std::int32_t step = format / 8;
        auto atLeast = [](const std::uint8_t* p, std::uint8_t v) { return p[0] >= v && p[1] >= v && p[2] >= v; };
        for (std::int32_t y = 1; y < h - 1; ++y) {
            if (progress.Stop(y))
                return Abort();
            std::uint8_t* row = genga.Row(y);
            const std::uint8_t* up = genga.Row(y - 1);
            const std::uint8_t* down = genga.Row(y + 1);
            for (std::int32_t x = 1; x < w - 1; ++x) {
                std::uint8_t* p = row + std::ptrdiff_t(x) * step;
                const std::ptrdiff_t o = std::ptrdiff_t(x) * step;
                if (atLeast(p, NearWhite) && atLeast(p - step, NearWhiteNeighbour) &&
                    atLeast(p + step, NearWhiteNeighbour) && atLeast(up + o, NearWhiteNeighbour) &&
                    atLeast(down + o, NearWhiteNeighbour))
                    p[0] = p[1] = p[2] = 255;
            }
        }
        return 0;
    }
    auto atLeast = [&](std::int32_t x, std::int32_t y, std::uint8_t v) {
        const SColor c = genga.GetColor(x, y);
        return c.r >= v && c.g >= v && c.b >= v;
    };
    for (std::int32_t y = 1; y < h - 1; ++y) {
        if (progress.Stop(y))
            return Abort();
        for (std::int32_t x = 1; x < w - 1; ++x)
            if (atLeast(x, y, NearWhite) && atLeast(x - 1, y, NearWhiteNeighbour) &&
                atLeast(x + 1, y, NearWhiteNeighbour) && atLeast(x, y - 1, NearWhiteNeighbour) &&
                atLeast(x, y + 1, NearWhiteNeighbour))
                genga.SetColor(x, y, SColor(255, 255, 255, genga.GetColor(x, y).t));
    }
    return 0;
}
