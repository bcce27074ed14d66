// Trace-line conversion dabs.
#include "STraceConversion.h"

#include "SToolRows.h"

using namespace ulib;
using namespace tool_rows;

namespace {

struct SConversionRule
{
    bool black;                // converts black lines (else coloured ones)
    std::uint32_t fromBorder;  // the paint border under a converted pixel that changes ...
    std::uint32_t toBorder;    // ... into this one
};

// The trace value after conversion, or v itself when the pixel is not converted.
std::uint32_t Convert(std::uint32_t v, bool black)
{
    if (v == 0 || v == cel_values::NoLine || cel_values::IsConvertedLine(v))
        return v;
    if (black) {
        const std::uint32_t density = cel_values::BlackDensity(v);
        return density ? cel_values::ColouredLine(density, cel_values::CodeRed) : v;
    }
    const std::uint32_t density = cel_values::ColourDensity(v);
    return cel_values::BlackDensity(v) == 0 && density ? cel_values::BlackLine(density) : v;
}

// Converts columns x0..x1-1 of one row. The paint pixels that change are recorded first, as one
// segment from the first to the last of them.
void ConvertRow(SPaintContext& c, const SConversionRule& rule, std::int32_t y, std::int32_t x0, std::int32_t x1)
{
    std::uint32_t* trace = c.cel.trace.Row32(y);
    // The paint layer has the document's size; should it not, only the part it holds changes.
    const SRect paintSpan = ClipRect(x0, y, x1, y + 1, LayerArea(c.cel, c.cel.paint));
    std::uint32_t* paint = paintSpan.IsEmpty() ? nullptr : c.cel.paint.Row32(y);
    auto bordersChange = [&](std::int32_t x) {
        return paint && x >= paintSpan.left && x < paintSpan.right && paint[x] == rule.fromBorder &&
               Convert(trace[x], rule.black) != trace[x];
    };

    std::int32_t first = x1;
    std::int32_t last = x0 - 1;
    for (std::int32_t x = x0; x < x1; ++x) {
        if (bordersChange(x)) {
            first = std::min(first, x);
            last = x;
        }
    }
    if (first <= last)
        c.undo.RecordRow(c.cel.paint, y, first, last + 1);

    for (std::int32_t x = x0; x < x1; ++x) {
        const std::uint32_t v = Convert(trace[x], rule.black);
        if (v == trace[x])
            continue;
        if (bordersChange(x))
            paint[x] = rule.toBorder;
        trace[x] = v;
    }
}

}  // namespace

SRect ConversionDab(SPaintContext& context, SConversion conversion, SPoint at)
{
    SCel& cel = context.cel;
    if (!cel.visible[LayerTrace])
        return {};
    const std::int64_t r = PenRadius(context.tools);
    const SRect box = BoxAround(at, r, LayerArea(cel, cel.trace));
    if (box.IsEmpty())
        return {};
    context.undo.RecordRect(cel.trace, box);

    const SConversionRule rule = conversion == SConversion::BlackToRed
                                     ? SConversionRule{true, cel_values::BorderBlack, cel_values::BorderRed}
                                     : SConversionRule{false, cel_values::BorderRed, cel_values::BorderBlack};
    for (std::int32_t y = box.top; y < box.bottom; ++y) {
        const std::int64_t w = DiscHalfWidth(r, std::int64_t(y) - at.y);
        const SRect span = ClipRect(at.x - w, y, at.x + w + 1, y + 1, box);
        if (!span.IsEmpty())
            ConvertRow(context, rule, y, span.left, span.right);
    }
    ComposeRect(cel, box);
    return box;
}
