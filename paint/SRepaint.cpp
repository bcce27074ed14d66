// The repaint tool.
#include "SRepaint.h"

#include "SColourSource.h"
#include "SToolRows.h"

#include <optional>

using namespace ulib;
using namespace tool_rows;

namespace {

// The colour to replace, or nothing when the pixel gives none.
std::optional<std::uint32_t> TargetAt(const SCel& cel, SPoint at)
{
    if (cel.visible[LayerTrace] && LayerArea(cel, cel.trace).Contains(at)) {
        const std::uint32_t t = cel.trace.Row32(at.y)[at.x];
        if (t != cel_values::NoLine) {
            if (cel_values::IsConvertedLine(t))
                return t | 0xFF000000u;
            if (cel_values::BlackDensity(t))
                return std::nullopt;  // a black line ends the operation
            if (cel_values::ColourDensity(t))
                return cel_values::Unpainted;
        }
    }
    if (cel.visible[LayerPaint] && LayerArea(cel, cel.paint).Contains(at)) {
        const std::uint32_t p = cel.paint.Row32(at.y)[at.x];
        if (cel_values::IsBlackOrRedBorder(p))
            return std::nullopt;
        return cel_values::IsPainted(p) ? p : cel_values::Unpainted;
    }
    return std::nullopt;
}

void PaintPass(SPaintContext& c, std::uint32_t target)
{
    SBitmap& paint = c.cel.paint;
    const SRect area = LayerArea(c.cel, paint);
    const SColourSource source(c.tools, c.reference);
    for (std::int32_t y = area.top; y < area.bottom; ++y) {
        const std::uint32_t* row = paint.Row32(y);
        for (std::int32_t x = area.left; x < area.right;) {
            if (row[x] != target) {
                ++x;
                continue;
            }
            std::int32_t end = x + 1;
            while (end < area.right && row[end] == target)
                ++end;
            c.undo.RecordRow(paint, y, x, end);
            PaintSpan(paint, source, y, x, end);
            x = end;
        }
    }
}

// Whether the trace pass recolours the value: converted lines of the target's colour for a
// painted target, coloured lines for an unpainted one.
bool IsTargetLine(std::uint32_t v, std::uint32_t target)
{
    if (v == cel_values::NoLine)
        return false;
    if (cel_values::IsConvertedLine(v))
        return cel_values::IsPainted(target) && cel_values::ColourBits(v) == cel_values::ColourBits(target);
    return !cel_values::IsPainted(target) && cel_values::BlackDensity(v) == 0 && cel_values::ColourDensity(v) != 0;
}

// The line recoloured with colour c: converted when c is not fully transparent, else a red
// coloured line; the density is kept either way.
std::uint32_t Relined(std::uint32_t v, SColor c)
{
    const std::uint32_t density =
        cel_values::IsConvertedLine(v) ? cel_values::ConvertedDensity(v) : cel_values::ColourDensity(v);
    if (c.t != 255)
        return cel_values::ConvertedLine(density, cel_values::ColourBits(c));
    return cel_values::ColouredLine(density, cel_values::CodeRed);
}

void TracePass(SPaintContext& c, std::uint32_t target)
{
    SBitmap& trace = c.cel.trace;
    const SRect area = LayerArea(c.cel, trace);
    const bool bitmap = c.tools.colourMode == SColourMode::Bitmap;
    SColor fixed = c.tools.currentColour;
    if (bitmap)
        fixed = SColor(0, 0, 0, 0);  // without a reference picture
    const bool fromPicture = bitmap && !c.reference.IsEmpty();
    for (std::int32_t y = area.top; y < area.bottom; ++y) {
        std::uint32_t* row = trace.Row32(y);
        std::optional<SReferenceRow> picture;
        for (std::int32_t x = area.left; x < area.right;) {
            if (!IsTargetLine(row[x], target)) {
                ++x;
                continue;
            }
            std::int32_t end = x + 1;
            while (end < area.right && IsTargetLine(row[end], target))
                ++end;
            c.undo.RecordRow(trace, y, x, end);
            if (fromPicture && !picture)
                picture.emplace(c.reference, y);
            for (; x < end; ++x)
                row[x] = Relined(row[x], picture ? picture->At(x) : fixed);
        }
    }
}

}  // namespace

SRect Repaint(SPaintContext& context, SPoint at)
{
    SCel& cel = context.cel;
    if (!cel.display.Bounds().Contains(at))
        return {};
    const std::optional<std::uint32_t> target = TargetAt(cel, at);
    if (!target)
        return {};
    PaintPass(context, *target);
    TracePass(context, *target);
    cel.ComposeAll();
    return cel.display.Bounds();
}
