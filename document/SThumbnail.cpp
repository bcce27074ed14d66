// The small picture stored in document files: trace flattened over paint over white, 4 samples a pixel.
#include "SCel.h"
#include "SOver.h"

using namespace ulib;

namespace {

// One sample of the flattened cel, as an opaque colour.
SColor FlattenedSample(const SBitmap& trace, const SBitmap& paint, std::int32_t x, std::int32_t y)
{
    const std::uint32_t p = paint.GetColor(x, y).Pixel();
    // A missing trace layer has no lines (reading it would wrap into zero, i.e. opaque black).
    const std::uint32_t t = trace.Dimensions() == paint.Dimensions() ? trace.GetColor(x, y).Pixel() : cel_values::NoLine;
    SColor colour = SColor::White;
    if (p == cel_values::BorderBlack)
        colour = SColor::Black;
    else if (p == cel_values::BorderRed)
        colour = SColor::Red;
    else if (cel_values::IsPainted(p))
        colour = Over(SColor::FromPixel(p), SColor::White);

    if (t != cel_values::NoLine) {
        if (cel_values::IsConvertedLine(t))
            colour = SColor::FromPixel(t | 0xFF000000u);
        else if (cel_values::BlackDensity(t))
            colour = SColor::Black;
        else if (cel_values::ColourDensity(t))
            colour = SColor::Red;
    }
    return colour;
}

}  // namespace

SBitmap MakeThumbnail(const SBitmap& trace, const SBitmap& paint, std::int32_t box)
{
    SBitmap thumbnail;
    const std::int32_t width = paint.Width();
    const std::int32_t height = paint.Height();
    if (width <= 0 || height <= 0 || box <= 0)
        return thumbnail;

    std::int32_t tw = box, th = box;
    if (height > width)
        tw = std::int32_t(std::int64_t(box) * width / height);
    else
        th = std::int32_t(std::int64_t(box) * height / width);
    if (tw <= 0 || th <= 0)
        return thumbnail;

    thumbnail.Create(tw, th, 24);
    const std::int32_t dx = width * 16 / tw;
    const std::int32_t dy = height * 16 / th;
    const std::int32_t q = dx / 4, r = dy / 4;
    const SPoint offsets[4] = {{q, r}, {3 * q, r}, {q, 3 * r}, {3 * q, 3 * r}};
    for (std::int32_t ty = 0; ty < th; ++ty) {
        for (std::int32_t tx = 0; tx < tw; ++tx) {
            std::uint32_t sr = 0, sg = 0, sb = 0;
            for (const SPoint& o : offsets) {
                const SColor c = FlattenedSample(trace, paint, (tx * dx + o.x) >> 4, (ty * dy + o.y) >> 4);
                sr += c.r;
                sg += c.g;
                sb += c.b;
            }
            thumbnail.SetColor(tx, ty, SColor(std::uint8_t(sr / 4), std::uint8_t(sg / 4), std::uint8_t(sb / 4)));
        }
    }
    return thumbnail;
}
