// The lines' half of the check: the rows' runs of unconverted coloured pencil pixels, one colour
// code to a run, grouped into pieces that touch at sides or corners (a pencil line is drawn
// through corners) and keep one colour.
#include "SCelCheck.h"

#include "SCelValues.h"
#include "SErrorCause.h"
#include "SRunGroups.h"

#include <algorithm>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

using namespace ulib;

namespace {

constexpr std::int32_t RowsBetweenPolls = 64;

// The runs of unconverted coloured line pixels of one row, split where the colour code changes.
void FindLineRuns(const std::uint32_t* row, std::int32_t y, std::int32_t w, std::vector<SKeyedRun>& runs)
{
    for (std::int32_t x = 0; x < w;) {
#if defined(__SSE2__)
        // Four pixels at a time past what holds no pencil line: most of a cel.
        const __m128i low = _mm_set1_epi32(int(0xFF0000FFu)), colour = _mm_set1_epi32(0x00FF0000);
        const __m128i zero = _mm_setzero_si128();
        while (x + 4 <= w) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x));
            // IsUnconvertedColourLine: no converted or black density, a colour density.
            const __m128i plain = _mm_cmpeq_epi32(_mm_and_si128(v, low), zero);
            const __m128i coloured = _mm_andnot_si128(_mm_cmpeq_epi32(_mm_and_si128(v, colour), zero), plain);
            if (_mm_movemask_ps(_mm_castsi128_ps(coloured)))
                break;
            x += 4;
        }
        if (x >= w)
            break;
#endif
        if (!cel_values::IsUnconvertedColourLine(row[x])) {
            ++x;
            continue;
        }
        const std::uint32_t code = cel_values::ColourCode(row[x]);
        const std::int32_t start = x;
        while (x < w && cel_values::IsUnconvertedColourLine(row[x]) && cel_values::ColourCode(row[x]) == code)
            ++x;
        runs.push_back({y, start, x, code});
    }
}

}  // namespace

SError FindUnconvertedLines(const SBitmap& trace, std::vector<SFinding>& findings, const SAbort* abort)
{
    const std::int32_t w = trace.Width(), h = trace.Height();
    std::vector<SKeyedRun> runs;
    for (std::int32_t y = 0; y < h; ++y) {
        if (y % RowsBetweenPolls == 0 && abort && abort->IsAborted())
            return ErrorFromIdentifier("abort");
        FindLineRuns(trace.Row32(y), y, w, runs);
    }
    std::vector<std::int32_t> group;
    const std::size_t begin = findings.size();
    findings.resize(begin + std::size_t(GroupRuns(runs, true, group)));
    for (std::size_t r = 0; r < runs.size(); ++r) {
        const SKeyedRun& run = runs[r];
        SFinding& f = findings[begin + std::size_t(group[r])];
        if (f.pixels == 0) {
            f.kind = SFindingKind::Line;
            f.at = {run.x0, run.y};
            f.code = run.key;
        }
        f.pixels += run.x1 - run.x0;
        f.bounds = f.bounds.Union({run.x0, run.y, run.x1, run.y + 1});
    }
    // Groups are numbered in the order of their first runs, which is row order already.
    return 0;
}
