#include "SGengaPicture.h"

#include "SImportPasses.h"
#include "Sximage.h"

#include <cstdlib>

using namespace ulib;

namespace {

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
    SBitmap picture;
    return ReadImageFile(&picture, path) == 0 && PictureHoldsGenga(document, picture);
}
