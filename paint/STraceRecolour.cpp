// Trace-line recolouring and the trace pen.
#include "STraceRecolour.h"

#include "SToolRows.h"

using namespace ulib;
using namespace tool_rows;

namespace {

// A line colour is red, green and blue in the low 24 bits; this marks "no colour".
constexpr std::uint32_t NoColour = 0xFFFFFFFFu;

std::uint32_t LineColourOf(SColor c)
{
    if (c.t == 255 || (c.r == 255 && c.g == 255 && c.b == 255))
        return NoColour;  // pure white counts as "take the colour off" like transparency
    return cel_values::ColourBits(c);
}

// The trace value after recolouring v with the line colour; `flag` is the pixel's flag byte or
// nullptr when the flag layer does not hold it.
std::uint32_t Recolour(std::uint32_t v, std::uint32_t colour, std::uint8_t* flag)
{
    if (colour != NoColour) {
        if (cel_values::IsConvertedLine(v))
            return cel_values::ConvertedLine(cel_values::ConvertedDensity(v), colour);
        if (cel_values::BlackDensity(v))
            return v;  // black lines are never converted
        if (const std::uint32_t density = cel_values::ColourDensity(v)) {
            if (flag)
                *flag = std::uint8_t((*flag & ~3u) | (cel_values::ColourCode(v) & 3u));
            return cel_values::ConvertedLine(density, colour);
        }
        return v;
    }
    if (cel_values::IsConvertedLine(v)) {
        const std::uint32_t code = flag ? (*flag & 3u) : 0u;
        if (flag)
            *flag = std::uint8_t(*flag & ~3u);
        return cel_values::ColouredLine(cel_values::ConvertedDensity(v), code);
    }
    return v;
}

}  // namespace

void RecolourTraceSpan(SCel& cel, const SToolState& tools, const SBitmap& reference, std::int32_t y, std::int32_t x0,
                       std::int32_t x1)
{
    SBitmap& trace = cel.trace;
    if (trace.Format() != 32 || y < 0 || y >= trace.Height())
        return;
    x0 = std::max(x0, 0);
    x1 = std::min(x1, trace.Width());
    if (x0 >= x1)
        return;
    std::uint32_t* row = trace.Row32(y);
    std::uint8_t* flags = FlagRow(cel.flag, y, x1);

    std::uint32_t colour = NoColour;
    if (tools.colourMode == SColourMode::Colour && tools.currentColour.t != 255)
        colour = cel_values::ColourBits(tools.currentColour);
    if (tools.colourMode == SColourMode::Bitmap && !reference.IsEmpty()) {
        const SReferenceRow picture(reference, y);
        for (std::int32_t x = x0; x < x1; ++x)
            if (row[x] != 0 && row[x] != cel_values::NoLine)
                row[x] = Recolour(row[x], LineColourOf(picture.At(x)), flags ? flags + x : nullptr);
        return;
    }
    for (std::int32_t x = x0; x < x1; ++x)
        if (row[x] != 0 && row[x] != cel_values::NoLine)
            row[x] = Recolour(row[x], colour, flags ? flags + x : nullptr);
}

SRect TracePenDab(SPaintContext& context, SPoint at)
{
    SCel& cel = context.cel;
    if (!cel.visible[LayerTrace])
        return {};
    const SRect area = LayerArea(cel, cel.trace);
    const std::int64_t r = PenRadius(context.tools);
    SRect changed;
    SError err = 0;
    for (std::int64_t dy = -r; dy <= r; ++dy) {
        const std::int64_t w = DiscHalfWidth(r, dy);
        const SRect span = ClipRect(at.x - w, at.y + dy, at.x + w + 1, at.y + dy + 1, area);
        if (span.IsEmpty())
            continue;
        context.undo.RecordRow(cel.trace, span.top, span.left, span.right);
        RecolourTraceSpan(cel, context.tools, context.reference, span.top, span.left, span.right);
        cel.ComposeRow(span.top, span.left, span.right, err);
        changed = changed.Union(span);
    }
    return changed;
}
