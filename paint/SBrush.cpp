// Brush dabs, strokes and the colour mix.
#include "SBrush.h"

#include "SToolRows.h"

#include <algorithm>
#include <optional>

using namespace ulib;
using namespace tool_rows;

namespace {

// 0..255 onto 0..4095.
constexpr std::uint32_t Widen(std::uint32_t v) { return (v << 4) | (v >> 4); }

// The brush colour: the current colour, white fully transparent for the eraser, or the reference
// picture at each pixel's own position (opaque black without a picture).
class SBrushColour
{
public:
    SBrushColour(const SToolState& tools, const SBitmap& reference)
        : reference_(tools.colourMode == SColourMode::Bitmap && !reference.IsEmpty() ? &reference : nullptr)
    {
        switch (tools.colourMode) {
        case SColourMode::Eraser:
            fixed_ = SColor(255, 255, 255, 255);
            break;
        case SColourMode::Bitmap:
            fixed_ = SColor(0, 0, 0, 0);
            break;
        default:
            fixed_ = tools.currentColour;
        }
    }
    const SBitmap* Picture() const { return reference_; }
    SColor Fixed() const { return fixed_; }

private:
    const SBitmap* reference_;
    SColor fixed_;
};

struct SDabShape
{
    std::int64_t radius;
    std::int64_t inner;    // distances up to this get the full density
    std::int64_t density;  // 0..255
};

// The weight of the brush at distance floor(sqrt(d2)) from the centre: full density inside the
// inner disc, falling off linearly beyond it.
std::uint32_t Strength(const SDabShape& s, std::int64_t d2)
{
    const std::int64_t f = IntegerSqrt(std::uint64_t(d2));
    if (f <= s.inner)
        return std::uint32_t(s.density);
    const std::int64_t m = s.density * (s.radius - f + 1) / (s.radius - s.inner);
    return std::uint32_t(std::clamp<std::int64_t>(m, 0, 255));
}

void DabRow(std::uint32_t* row, std::int32_t y, std::int32_t x0, std::int32_t x1, SPoint at, const SDabShape& shape,
            const SBrushColour& colour, bool skipBorders)
{
    const std::int64_t dy = std::int64_t(y) - at.y;
    std::optional<SReferenceRow> source;
    if (const SBitmap* picture = colour.Picture())
        source.emplace(*picture, y);
    for (std::int32_t x = x0; x < x1; ++x) {
        const std::uint32_t v = row[x];
        if (skipBorders && !cel_values::TakesPaint(v))
            continue;
        const std::int64_t dx = std::int64_t(x) - at.x;
        const SColor c = source ? source->At(x) : colour.Fixed();
        const SColor mixed = MixColour(SColor::FromPixel(v), c, Strength(shape, dx * dx + dy * dy));
        row[x] = mixed.t == 255 ? cel_values::Unpainted : mixed.Pixel();
    }
}

}  // namespace

SColor MixColour(SColor b, SColor c, std::uint32_t w)
{
    if (w >= 255)
        return c;
    if (w == 0 || b == c)
        return b;
    std::uint32_t d = Widen(w);
    std::uint32_t k = Widen(255 - w);
    std::uint8_t t = b.t;
    if (b.t != c.t) {
        const std::uint32_t bigK = k * Widen(255u - b.t);
        const std::uint32_t f = (Widen(255u - c.t) * d) >> 12;
        const std::uint32_t g = f + (bigK >> 12);
        if (g == 0)
            return SColor(0, 0, 0, 255);
        d = f * 4096 / g;
        k = (bigK & ~0xFFFu) / g;
        t = std::uint8_t((g >> 4) ^ 255u);
    }
    // k + d never exceeds 4096, so every mixed byte stays within 0..255.
    auto mix = [&](std::uint8_t bv, std::uint8_t cv) { return std::uint8_t((k * bv + d * cv) >> 12); };
    return SColor(mix(b.r, c.r), mix(b.g, c.g), mix(b.b, c.b), t);
}

SRect BrushDab(SPaintContext& context, SBrushLayer layerChoice, SPoint at)
{
    SCel& cel = context.cel;
    const bool onPaint = layerChoice == SBrushLayer::Paint;
    SBitmap& layer = onPaint ? cel.paint : cel.extra;
    if (!cel.visible[onPaint ? LayerPaint : LayerExtra] || layer.IsEmpty())
        return {};
    const SBrushSettings& brush = context.tools.brush;
    SDabShape shape;
    shape.radius = std::clamp<std::int64_t>(brush.radius, 0, SBitmap::MaxSize);
    shape.inner = shape.radius * std::clamp<std::int64_t>(brush.shape, 0, 100) / 100;
    shape.density = std::clamp<std::int64_t>(brush.density, 0, 255);

    const SRect box = BoxAround(at, shape.radius, LayerArea(cel, layer));
    if (box.IsEmpty())
        return {};
    const SBrushColour colour(context.tools, context.reference);
    SError err = 0;
    for (std::int32_t y = box.top; y < box.bottom; ++y) {
        context.undo.RecordRow(layer, y, box.left, box.right);
        const std::int64_t w = DiscHalfWidth(shape.radius, std::int64_t(y) - at.y);
        const SRect span = ClipRect(at.x - w, y, at.x + w + 1, y + 1, box);
        if (!span.IsEmpty())
            DabRow(layer.Row32(y), y, span.left, span.right, at, shape, colour, onPaint);
        cel.ComposeRow(y, box.left, box.right, err);
    }
    return box;
}

SRect BrushStroke(SPaintContext& context, SBrushLayer layer, SPoint p, SPoint q)
{
    SRect changed = BrushDab(context, layer, q);
    if (context.tools.brush.radius < 4) {
        auto between = [](std::int64_t a, std::int64_t b, std::int64_t wa, std::int64_t wb) {
            return std::int32_t((a * wa + b * wb) / 4);
        };
        const SPoint steps[3] = {{between(q.x, p.x, 3, 1), between(q.y, p.y, 3, 1)},
                                 {between(q.x, p.x, 2, 2), between(q.y, p.y, 2, 2)},
                                 {between(q.x, p.x, 1, 3), between(q.y, p.y, 1, 3)}};
        for (const SPoint& s : steps)
            changed = changed.Union(BrushDab(context, layer, s));
    }
    return changed;
}
