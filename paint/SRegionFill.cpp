// The region fill. A span is a run of non-border pixels of one row; it is named by the key
// (first column << 16) + row + 1, so 0 never names a span. Two tables drive the walk:
//   processed: the keys of the spans painted so far (at most 32768);
//   pending:   a stack of keys still to visit (at most 65536), each key at most once at a time.
// Both are kept as hashed sets (plus the stack itself for pending) so a fill costs time in
// proportion to the spans it paints; the order of visiting (last offered, first visited) and the
// points where a full table stops the walk are those of two plain key arrays.
#include "SRegionFill.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

using namespace ulib;
using cel_values::IsBorder;

namespace {

// The row scans below look at four pixels at a time: the spans of a large region are long, and
// a row is scanned up to three times (as a span and as the neighbour of the spans above and below).
// The vector test is IsBorder on four pixels.
#if defined(__SSE2__)
inline __m128i Equals4(__m128i v, std::uint32_t value) { return _mm_cmpeq_epi32(v, _mm_set1_epi32(int(value))); }

inline int BorderMask4(const std::uint32_t* p)
{
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i border =
        _mm_or_si128(_mm_or_si128(Equals4(v, cel_values::BorderBlack), Equals4(v, cel_values::BorderBlue)),
                     _mm_or_si128(Equals4(v, cel_values::BorderGreen), Equals4(v, cel_values::BorderRed)));
    return _mm_movemask_ps(_mm_castsi128_ps(border));
}
#endif

// The first border column in [x, end), else end.
inline std::int32_t NextBorder(const std::uint32_t* row, std::int32_t x, std::int32_t end)
{
#if defined(__SSE2__)
    for (; x + 4 <= end; x += 4)
        if (const int mask = BorderMask4(row + x))
            return x + __builtin_ctz(unsigned(mask));
#endif
    while (x < end && !IsBorder(row[x]))
        ++x;
    return x;
}

// The first column in [x, end) that is not a border, else end.
inline std::int32_t NextOpen(const std::uint32_t* row, std::int32_t x, std::int32_t end)
{
#if defined(__SSE2__)
    for (; x + 4 <= end; x += 4)
        if (const int mask = BorderMask4(row + x) ^ 0xF)
            return x + __builtin_ctz(unsigned(mask));
#endif
    while (x < end && IsBorder(row[x]))
        ++x;
    return x;
}

inline std::uint32_t KeyOf(std::int32_t x, std::int32_t y) { return (std::uint32_t(x) << 16) + std::uint32_t(y) + 1; }

// A set of non-zero keys: linear probing in a power-of-two table kept at most half full.
// Erasing shifts the following entries back, so no tombstones build up.
class KeySet
{
public:
    void Attach(std::uint32_t* slots, unsigned bits)
    {
        slots_ = slots;
        mask_ = (std::uint32_t(1) << bits) - 1;
        shift_ = 32 - bits;
    }

    bool Contains(std::uint32_t key) const
    {
        for (std::uint32_t i = Home(key);; i = (i + 1) & mask_) {
            if (slots_[i] == key)
                return true;
            if (slots_[i] == 0)
                return false;
        }
    }

    // The key must not be in the set yet.
    void Insert(std::uint32_t key)
    {
        std::uint32_t i = Home(key);
        while (slots_[i] != 0)
            i = (i + 1) & mask_;
        slots_[i] = key;
    }

    // The key must be in the set.
    void Erase(std::uint32_t key)
    {
        std::uint32_t hole = Home(key);
        while (slots_[hole] != key)
            hole = (hole + 1) & mask_;
        // Every later entry of the cluster whose home does not lie cyclically in (hole, j] moves
        // into the hole, which then moves on to where the entry was.
        for (std::uint32_t j = (hole + 1) & mask_; slots_[j] != 0; j = (j + 1) & mask_) {
            const std::uint32_t home = Home(slots_[j]);
            const bool stays = ((j - home) & mask_) < ((j - hole) & mask_);
            if (!stays) {
                slots_[hole] = slots_[j];
                hole = j;
            }
        }
        slots_[hole] = 0;
    }

private:
    std::uint32_t Home(std::uint32_t key) const { return (key * 0x9E3779B1u) >> shift_; }

    std::uint32_t* slots_ = nullptr;
    std::uint32_t mask_ = 0;
    unsigned shift_ = 32;
};

constexpr unsigned ProcessedBits = 16;  // 65536 slots for 32768 keys
constexpr unsigned PendingBits = 17;    // 131072 slots for 65536 keys
constexpr std::size_t TableWords = (std::size_t(1) << ProcessedBits) + (std::size_t(1) << PendingBits) +
                                   std::size_t(FillPendingCapacity);

// The last run of a row the walk has seen, as [start, end) (end may fall short of the run's end).
// Borders never change during a fill, so a neighbouring span that starts inside it need not walk
// left to find where its run starts: without this a row of teeth hanging from a long bar would walk
// the bar once per tooth.
struct KnownRun
{
    std::int32_t start;
    std::int32_t end;
};
static_assert(sizeof(KnownRun) == 2 * sizeof(std::uint32_t));

struct FreeDeleter
{
    void operator()(std::uint32_t* p) const { std::free(p); }
};

// The two key tables of one fill and, for each row of the document, its known run and its
// address in the paint layer: one zeroed allocation.
class FillTables
{
public:
    bool Allocate(SBitmap& paint, std::int32_t rows)
    {
        static_assert(TableWords % 2 == 0 && alignof(KnownRun) <= 8 && alignof(std::uint32_t*) <= 8);
        const std::size_t words = TableWords + 2 * std::size_t(rows) + 2 * std::size_t(rows);
        block_.reset(static_cast<std::uint32_t*>(std::calloc(words, sizeof(std::uint32_t))));
        if (!block_)
            return false;
        std::uint32_t* p = block_.get();
        processed_.Attach(p, ProcessedBits);
        p += std::size_t(1) << ProcessedBits;
        pendingSet_.Attach(p, PendingBits);
        p += std::size_t(1) << PendingBits;
        stack_ = p;
        p += FillPendingCapacity;
        knownRuns_ = reinterpret_cast<KnownRun*>(p);
        p += 2 * std::size_t(rows);
        rows_ = reinterpret_cast<std::uint32_t**>(p);
        for (std::int32_t y = 0; y < rows; ++y)
            rows_[y] = paint.Row32(y);
        return true;
    }

    KnownRun& KnownRunOf(std::int32_t y) { return knownRuns_[y]; }
    std::uint32_t* Row(std::int32_t y) const { return rows_[y]; }

    // Processed list.
    bool WasProcessed(std::uint32_t key) const { return processedCount_ != 0 && processed_.Contains(key); }
    bool ProcessedFull() const { return processedCount_ == FillProcessedCapacity; }
    void AddProcessed(std::uint32_t key)
    {
        if (processedCount_++ == 0)
            firstProcessed_ = key;
        processed_.Insert(key);
    }
    std::uint32_t FirstProcessed() const { return firstProcessed_; }

    // Pending stack.
    bool IsPending(std::uint32_t key) const { return pendingSet_.Contains(key); }
    bool PendingFull() const { return pendingCount_ == FillPendingCapacity; }
    bool PendingEmpty() const { return pendingCount_ == 0; }
    void Push(std::uint32_t key)
    {
        stack_[pendingCount_++] = key;
        pendingSet_.Insert(key);
    }
    std::uint32_t Pop()
    {
        const std::uint32_t key = stack_[--pendingCount_];
        pendingSet_.Erase(key);
        return key;
    }

private:
    std::unique_ptr<std::uint32_t, FreeDeleter> block_;
    KeySet processed_;
    KeySet pendingSet_;
    std::uint32_t* stack_ = nullptr;
    KnownRun* knownRuns_ = nullptr;
    std::uint32_t** rows_ = nullptr;
    std::int32_t processedCount_ = 0;
    std::int32_t pendingCount_ = 0;
    std::uint32_t firstProcessed_ = 0;
};

class RegionWalk
{
public:
    RegionWalk(SPaintContext& context, FillTables& tables, std::int32_t width, std::int32_t height)
        : context_(context),
          paint_(context.cel.paint),
          source_(context.tools, context.reference),
          tables_(tables),
          width_(width),
          height_(height),
          overflow_(ErrorFromIdentifier("buf_overflow"))
    {
    }

    SError Visit(std::int32_t x, std::int32_t y);
    SRect Changed() const { return changed_; }

private:
    SError OfferRow(std::int32_t row, std::int32_t xStart, std::int32_t xEnd);
    std::int32_t RunStart(std::int32_t y, std::int32_t x);
    SError Offer(std::uint32_t key);
    void PaintRun(std::int32_t y, std::int32_t xStart, std::int32_t xEnd);

    SPaintContext& context_;
    SBitmap& paint_;
    const SColourSource source_;
    FillTables& tables_;
    const std::int32_t width_;
    const std::int32_t height_;
    const SError overflow_;
    std::uint32_t lastVisited_ = 0;  // key of the last span whose visit ran to its end
    SRect changed_;
};

SError RegionWalk::Visit(std::int32_t x, std::int32_t y)
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return ErrorFromIdentifier("domain");
    const std::uint32_t* row = tables_.Row(y);
    if (IsBorder(row[x]))
        return 0;
    std::int32_t xStart = x;
    while (xStart > 0 && !IsBorder(row[xStart - 1]))
        --xStart;
    const std::uint32_t key = KeyOf(xStart, y);
    if (tables_.WasProcessed(key))
        return 0;
    if (tables_.ProcessedFull())
        return overflow_;
    tables_.AddProcessed(key);
    const std::int32_t xEnd = NextBorder(row, x + 1, width_);
    tables_.KnownRunOf(y) = {xStart, xEnd};
    PaintRun(y, xStart, xEnd);
    // Painting keeps every border where it was, so the neighbouring rows read the same runs as before.
    if (y > 0)
        if (SError e = OfferRow(y - 1, xStart, xEnd))
            return e;
    if (y + 1 < height_)
        if (SError e = OfferRow(y + 1, xStart, xEnd))
            return e;
    lastVisited_ = key;
    return 0;
}

void RegionWalk::PaintRun(std::int32_t y, std::int32_t xStart, std::int32_t xEnd)
{
    context_.undo.RecordRow(paint_, y, xStart, xEnd);
    if (source_.PaintsNothing())
        return;
    PaintRow(tables_.Row(y), source_, y, xStart, xEnd);
    SError ignored = 0;  // the row lies inside the display
    context_.cel.ComposeRow(y, xStart, xEnd, ignored);
    changed_ = changed_.Union({xStart, y, xEnd, y + 1});
}

// The first column of the run holding column x of row y (x not a border). The walk left stops as
// soon as it enters the row's known run; what it learns becomes the known run.
std::int32_t RegionWalk::RunStart(std::int32_t y, std::int32_t x)
{
    const std::uint32_t* row = tables_.Row(y);
    KnownRun& known = tables_.KnownRunOf(y);
    if (known.start <= x && x < known.end)
        return known.start;
    std::int32_t start = x;
    while (start > 0 && !IsBorder(row[start - 1])) {
        --start;
        if (start < known.end && start >= known.start) {
            known.end = x + 1;  // the known run reaches on to x
            return known.start;
        }
    }
    if (start < x)
        known = {start, x + 1};
    return start;
}

SError RegionWalk::Offer(std::uint32_t key)
{
    // The span visited just before and the seed span are painted already; any other painted span
    // offered again is dropped when it is visited.
    if (key == lastVisited_ || key == tables_.FirstProcessed() || tables_.IsPending(key))
        return 0;
    if (tables_.PendingFull())
        return overflow_;
    tables_.Push(key);
    return 0;
}

// Offers the start of every run of the row that shares a column with [xStart, xEnd), left to right.
SError RegionWalk::OfferRow(std::int32_t y, std::int32_t xStart, std::int32_t xEnd)
{
    // Inside a known run the only run that begins is the known one: no need to scan (most often
    // the row just visited, when the walk goes on downwards).
    const KnownRun& known = tables_.KnownRunOf(y);
    if (known.start <= xStart && xEnd <= known.end)
        return Offer(KeyOf(known.start, y));
    const std::uint32_t* row = tables_.Row(y);
    std::int32_t x = xStart;
    if (!IsBorder(row[x])) {
        // A run reaching in from the left begins at its own start; the columns up to xStart
        // belong to it and begin nothing.
        if (SError e = Offer(KeyOf(RunStart(y, x), y)))
            return e;
        x = NextBorder(row, x + 1, xEnd);
    }
    while ((x = NextOpen(row, x, xEnd)) < xEnd) {
        if (SError e = Offer(KeyOf(x, y)))
            return e;
        x = NextBorder(row, x + 1, xEnd);
    }
    return 0;
}

}  // namespace

SRect FillRegion(SPaintContext& context, SPoint seed, bool fromTool, SError& err)
{
    err = 0;
    SCel& cel = context.cel;
    // The document is the display buffer's size; a paint layer that does not cover it is being rebuilt.
    const std::int32_t width = std::min(cel.display.Width(), cel.paint.Width());
    const std::int32_t height = std::min(cel.display.Height(), cel.paint.Height());
    if (seed.x < 0 || seed.y < 0 || seed.x >= width || seed.y >= height || cel.paint.Format() != 32)
        return {};
    if (fromTool && !cel.visible[LayerPaint])
        return {};

    FillTables tables;
    if (!tables.Allocate(cel.paint, height)) {
        err = ErrorFromIdentifier("memory_temp");
        return {};
    }
    RegionWalk walk(context, tables, width, height);
    SFirstError first;
    // Every span still waiting is visited even after an error: what can be painted is painted.
    first.Keep(walk.Visit(seed.x, seed.y));
    while (!tables.PendingEmpty()) {
        const std::uint32_t key = tables.Pop() - 1;
        first.Keep(walk.Visit(std::int32_t(key >> 16), std::int32_t(key & 0xFFFF)));
    }
    err = first.Value();
    return walk.Changed();
}
