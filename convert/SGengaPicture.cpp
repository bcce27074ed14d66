#include "SGengaPicture.h"

#include "SImportPasses.h"
#include "Sximage.h"

#include <algorithm>
#include <cstdlib>

using namespace ulib;

namespace {

constexpr std::int32_t TileSide = SQuickPressLayer::TileSide;

bool IsWhite(const SBitmap& genga)
{
    for (std::int32_t y = 0; y < genga.Height(); ++y)
        for (std::int32_t x = 0; x < genga.Width(); ++x) {
            const SColor c = genga.GetColor(x, y);
            if (c.r != 255 || c.g != 255 || c.b != 255)
                return false;
        }
    return true;
}

bool Near(std::uint8_t a, std::uint8_t b)
{
    return std::abs(int(a) - int(b)) <= 255 - NearWhite;
}

}  // namespace

bool PictureHoldsGenga(const SQuickPress& document, const SBitmap& picture)
{
    // The record's size is the document's: a picture of another size is told apart without decoding.
    if (document.Count() < 1 || picture.Dimensions() != SPoint{document[0].width, document[0].height})
        return false;
    SBitmap genga;
    if (document.DecodeLayer(0, genga) != 0 || genga.IsEmpty() || genga.Dimensions() != picture.Dimensions())
        return false;
    if (IsWhite(genga))
        return true;
    for (std::int32_t y = 0; y < genga.Height(); ++y)
        for (std::int32_t x = 0; x < genga.Width(); ++x) {
            const SColor g = genga.GetColor(x, y), p = picture.GetColor(x, y);
            if (!Near(g.r, p.r) || !Near(g.g, p.g) || !Near(g.b, p.b))
                return false;
        }
    return true;
}

bool PictureFileHoldsGenga(const SQuickPress& document, const SString& path)
{
    if (document.Count() < 1)
        return false;
    // The rows are compared as the reader decodes them, the genga decoded a band of tiles ahead,
    // and the read stops at the first row that tells the two apart: an export that would replace
    // its own earlier output is told apart within the first rows, not after decoding both whole.
    const SQuickPressLayer& record = document[0];
    SBitmap genga;
    genga.Create(record.width, record.height, record.format);
    if (genga.Dimensions() != SPoint{record.width, record.height} || genga.IsEmpty())
        return false;
    const std::int32_t w = genga.Width(), h = genga.Height();
    std::int32_t decoded = 0, compared = 0;
    bool white = true, near = true, failed = false;
    const SRowsRead listener = [&](const SBitmap& picture, std::int32_t rows) {
        if (rows < 0)
            return true;
        if (picture.Dimensions() != genga.Dimensions()) {
            failed = true;
            return false;
        }
        if (rows > decoded) {
            const SRect band{0, decoded, w, std::min(h, (rows + TileSide - 1) / TileSide * TileSide)};
            if (record.DecodeInto(genga, nullptr, &band) != 0) {
                failed = true;
                return false;
            }
            decoded = band.bottom;
        }
        for (; compared < rows; ++compared)
            for (std::int32_t x = 0; x < w; ++x) {
                const SColor g = genga.GetColor(x, compared), p = picture.GetColor(x, compared);
                white = white && g.r == 255 && g.g == 255 && g.b == 255;
                near = near && Near(g.r, p.r) && Near(g.g, p.g) && Near(g.b, p.b);
            }
        return white || near;
    };
    SBitmap picture;
    if (ReadImageFile(&picture, path, nullptr, nullptr, &listener) != 0 || failed)
        return false;
    // Readers that tell no rows (BMP, interlaced PNG) leave the whole comparison to the end.
    if (compared == 0)
        return PictureHoldsGenga(document, picture);
    return compared == h && (white || near);
}
