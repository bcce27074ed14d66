// Resample: scales an image by area averaging.
//
// Positions are fixed point: the scale is source size * 65536 / target size (16.16), and the source
// span a target pixel covers is taken in 1/256-pixel units. A source pixel contributes the overlap
// in x times the overlap in y (65536 for a whole pixel). The weights are separable, so the source
// rows of one target row are first summed per source column, times their row weights, and those
// column sums are then reduced across each target column's span: the integer results are the same
// as summing pixel by pixel, and the per-pixel work is a straight loop over a row.
#include "SBitmap.h"

#include <algorithm>
#include <array>
#include <vector>

namespace ulib {

namespace {

// The source pixels each target position covers along one axis, with their weights (0..256).
struct AxisSpans
{
    std::vector<std::int32_t> first;    // first source pixel per target position
    std::vector<std::uint32_t> offset;  // start in `weights` per target position, plus the end
    std::vector<std::uint32_t> weights;
    std::vector<std::uint64_t> total;  // summed weights per target position
    std::vector<double> inverse;       // 1 / total
};

AxisSpans ComputeSpans(std::int32_t sourceSize, std::int32_t targetSize)
{
    AxisSpans a;
    std::uint64_t scale = std::uint64_t(sourceSize) * 65536 / std::uint64_t(targetSize);
    a.first.resize(std::size_t(targetSize));
    a.offset.resize(std::size_t(targetSize) + 1);
    a.total.resize(std::size_t(targetSize));
    a.inverse.resize(std::size_t(targetSize));
    for (std::int32_t d = 0; d < targetSize; ++d) {
        std::uint64_t start = std::uint64_t(d) * scale >> 8;
        std::uint64_t end = std::uint64_t(d + 1) * scale >> 8;
        // Enlarging by more than 256 times leaves spans shorter than one unit: keep one unit so
        // every target pixel has a source pixel and no sum is divided by zero.
        end = std::max(end, start + 1);
        a.first[std::size_t(d)] = std::int32_t(start >> 8);
        a.offset[std::size_t(d)] = std::uint32_t(a.weights.size());
        std::uint64_t sum = 0;
        for (std::uint64_t i = start >> 8; i * 256 < end; ++i) {
            std::uint64_t w = std::min(end, (i + 1) * 256) - std::max(start, i * 256);
            a.weights.push_back(std::uint32_t(w));
            sum += w;
        }
        a.total[std::size_t(d)] = sum;
        a.inverse[std::size_t(d)] = 1.0 / double(sum);
    }
    a.offset[std::size_t(targetSize)] = std::uint32_t(a.weights.size());
    return a;
}

struct Plan
{
    AxisSpans xs, ys;
    bool alphaWeighted;
};

struct Channels
{
    std::uint8_t b, g, r, a;  // a: alpha for 32-bit sources, transparency otherwise
};

// Per source column, the sums of one target row's source rows, each pixel times its row weight.
// With AlphaWeighted the colour channels are weighted by A as well (so pixels with A = 0 add
// nothing to the colour) and the fourth sum collects the A weights; the alpha is their average over
// the whole covered area. Acc is 32 bits wherever the sums fit.
template <typename Acc>
struct ColumnSums
{
    std::vector<Acc> c0, c1, c2, c3;

    explicit ColumnSums(std::int32_t width)
        : c0(std::size_t(width)), c1(std::size_t(width)), c2(std::size_t(width)), c3(std::size_t(width))
    {
    }
    void Clear()
    {
        std::fill(c0.begin(), c0.end(), 0);
        std::fill(c1.begin(), c1.end(), 0);
        std::fill(c2.begin(), c2.end(), 0);
        std::fill(c3.begin(), c3.end(), 0);
    }

    // Plain loops over contiguous arrays, so the compiler can vectorise them.
    template <bool AlphaWeighted, typename Load>
    void Add(std::int32_t width, Load load, Acc rowWeight)
    {
        Acc* s0 = c0.data();
        Acc* s1 = c1.data();
        Acc* s2 = c2.data();
        Acc* s3 = c3.data();
        // Row weight (at most 256) times a byte fits 16 bits; 16 x 16-bit products widen cheaply.
        std::uint16_t rw = std::uint16_t(rowWeight);
        for (std::int32_t x = 0; x < width; ++x) {
            Channels c = load(x);
            std::uint16_t w = rw;
            if constexpr (AlphaWeighted)
                w = std::uint16_t(rw * std::uint16_t(c.a));
            s0[x] += Acc(std::uint32_t(w) * std::uint16_t(c.b));
            s1[x] += Acc(std::uint32_t(w) * std::uint16_t(c.g));
            s2[x] += Acc(std::uint32_t(w) * std::uint16_t(c.r));
            s3[x] += AlphaWeighted ? Acc(w) : Acc(std::uint32_t(w) * std::uint16_t(c.a));
        }
    }
};

// Where the source pixels come from: rows read in place for 24 and 32 bits, through the colour
// table for 8 and -8, and through GetColor (once per row into a buffer) for everything else.
class SourceRows
{
public:
    explicit SourceRows(const SBitmap& source) : source_(source), format_(source.Format())
    {
        if (format_ == 8 || format_ == -8) {
            for (std::int32_t i = 0; i < 256; ++i) {
                SColor c = source.GetPaletteEntry(i);
                table_[std::size_t(i)] = {c.b, c.g, c.r, c.t};
            }
        } else if (format_ != 24 && format_ != 32) {
            buffer_.resize(std::size_t(source.Width()));
        }
    }

    template <bool AlphaWeighted, typename Acc>
    void Add(std::int32_t y, std::uint32_t rowWeight, ColumnSums<Acc>& sums)
    {
        const std::uint8_t* row = source_.Row(y);
        std::int32_t width = source_.Width();
        Acc w = Acc(rowWeight);
        if (format_ == 32) {
            sums.template Add<AlphaWeighted>(width, [row](std::int32_t x) {
                const std::uint8_t* p = row + std::size_t(x) * 4;
                return Channels{p[0], p[1], p[2], p[3]};
            }, w);
        } else if (format_ == 24) {
            sums.template Add<AlphaWeighted>(width, [row](std::int32_t x) {
                const std::uint8_t* p = row + std::size_t(x) * 3;
                return Channels{p[0], p[1], p[2], 0};
            }, w);
        } else if (format_ == 8 || format_ == -8) {
            sums.template Add<AlphaWeighted>(width, [row, this](std::int32_t x) { return table_[row[x]]; }, w);
        } else {
            for (std::int32_t x = 0; x < width; ++x) {
                SColor c = source_.GetColor(x, y);
                buffer_[std::size_t(x)] = {c.b, c.g, c.r, c.t};
            }
            sums.template Add<AlphaWeighted>(width, [this](std::int32_t x) { return buffer_[std::size_t(x)]; }, w);
        }
    }

private:
    const SBitmap& source_;
    std::int32_t format_;
    std::array<Channels, 256> table_{};
    std::vector<Channels> buffer_;
};

// Exact floor(n / d) for the channel averages (quotients 0..255): a 64-bit division per channel
// costs more than the rest of a pixel, so divide once in floating point and correct the estimate.
// Its relative error is a few units of 2^-53, so it is off by at most one, and only where n / d is
// within rounding of a whole number; q * d stays far below 2^64 for any image size.
class Quotients
{
public:
    explicit Quotients(std::uint64_t d) : Quotients(d, 1.0 / double(std::int64_t(d))) {}
    Quotients(std::uint64_t d, double inverse) : d_(d), inverse_(inverse) {}
    // Signed conversions: every sum here is far below 2^63, and they are single instructions.
    std::uint8_t operator()(std::uint64_t n) const
    {
        std::uint64_t q = std::uint64_t(std::int64_t(double(std::int64_t(n)) * inverse_));
        if (q * d_ > n)
            --q;
        else if ((q + 1) * d_ <= n)
            ++q;
        return std::uint8_t(q);
    }

private:
    std::uint64_t d_;
    double inverse_;
};

// Reduces the column sums across every target column's span and writes one target row.
template <typename Acc>
void WriteRow(SBitmap& result, std::int32_t y, const ColumnSums<Acc>& sums, const Plan& plan)
{
    const AxisSpans& xs = plan.xs;
    bool alphaWeighted = plan.alphaWeighted;
    std::uint64_t rowTotal = plan.ys.total[std::size_t(y)];
    double rowInverse = plan.ys.inverse[std::size_t(y)];
    std::int32_t format = result.Format();
    std::uint8_t* row = result.Row(y);
    for (std::int32_t x = 0; x < result.Width(); ++x) {
        std::uint64_t s0 = 0, s1 = 0, s2 = 0, s3 = 0;
        std::size_t column = std::size_t(xs.first[std::size_t(x)]);
        for (std::uint32_t k = xs.offset[std::size_t(x)]; k < xs.offset[std::size_t(x) + 1]; ++k, ++column) {
            std::uint64_t w = xs.weights[k];
            s0 += w * sums.c0[column];
            s1 += w * sums.c1[column];
            s2 += w * sums.c2[column];
            s3 += w * sums.c3[column];
        }
        Quotients byTotal(xs.total[std::size_t(x)] * rowTotal, xs.inverse[std::size_t(x)] * rowInverse);
        std::uint8_t b = 0, g = 0, r = 0, last;
        if (alphaWeighted) {
            if (s3 != 0) {
                Quotients byAlpha(s3);
                b = byAlpha(s0), g = byAlpha(s1), r = byAlpha(s2);
            }
            last = byTotal(s3);  // alpha: the area average
        } else {
            b = byTotal(s0), g = byTotal(s1), r = byTotal(s2);
            last = byTotal(s3);  // transparency
        }
        if (format == 32) {
            std::uint8_t* p = row + std::size_t(x) * 4;
            p[0] = b, p[1] = g, p[2] = r, p[3] = last;
        } else if (format == 24) {
            std::uint8_t* p = row + std::size_t(x) * 3;
            p[0] = b, p[1] = g, p[2] = r;
        } else {
            result.SetColor(x, y, SColor(r, g, b, last));
        }
    }
}

template <typename Acc>
void ResampleRows(const SBitmap& source, SBitmap& result, const Plan& plan)
{
    const AxisSpans& ys = plan.ys;
    bool alphaWeighted = plan.alphaWeighted;
    SourceRows rows(source);
    ColumnSums<Acc> sums(source.Width());
    for (std::int32_t y = 0; y < result.Height(); ++y) {
        sums.Clear();
        std::int32_t sy = ys.first[std::size_t(y)];
        for (std::uint32_t k = ys.offset[std::size_t(y)]; k < ys.offset[std::size_t(y) + 1]; ++k, ++sy) {
            if (alphaWeighted)
                rows.Add<true>(sy, ys.weights[k], sums);
            else
                rows.Add<false>(sy, ys.weights[k], sums);
        }
        WriteRow(result, y, sums, plan);
    }
}

}  // namespace

SBitmap Resample(const SBitmap& source, std::int32_t width, std::int32_t height)
{
    SBitmap result;
    result.Create(width, height, source.Format() > 8 ? source.Format() : 24);
    if (result.Width() != width || result.Height() != height)
        return result;  // an invalid size gives the empty image
    result.SetResolutionX(source.ResolutionX());
    result.SetResolutionY(source.ResolutionY());
    if (result.IsEmpty() || source.IsEmpty())
        return result;

    Plan plan{ComputeSpans(source.Width(), width), ComputeSpans(source.Height(), height), source.Format() == 32};
    // A column sum is at most the summed row weights times 255 * 255; 32 bits hold it unless the
    // image shrinks to less than about 1/258 of its height.
    std::uint64_t rowSpan = *std::max_element(plan.ys.total.begin(), plan.ys.total.end());
    if (rowSpan * 255 * 255 <= 0xFFFFFFFFu)
        ResampleRows<std::uint32_t>(source, result, plan);
    else
        ResampleRows<std::uint64_t>(source, result, plan);
    return result;
}

}  // namespace ulib
