// Tile bytes as a damaged or hostile file would give them. Input: height, width (each taken modulo
// 129: no tile larger than 128 reaches the decoder from a file), the number of colour table
// entries, then the coded bytes. Whatever decodes must code and decode back to the
// same pixels (with the same table), or the coder and decoder disagree.
#include "SPalette.h"
#include "STileCodec.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 3)
        return 0;
    const std::int32_t h = data[0] % 129;
    const std::int32_t w = data[1] % 129;
    ulib::SPalette palette;
    ulib::SError err = 0;
    palette.SetCount(data[2], err);
    for (std::int32_t i = 0; i < palette.Count(); ++i)  // greys at their own index, and others
        palette.Set(i, i % 3 == 0 ? ulib::SColor(std::uint8_t(i), std::uint8_t(i), std::uint8_t(i))
                                  : ulib::SColor(std::uint8_t(i * 7), std::uint8_t(255 - i), std::uint8_t(i * 3)));
    const std::span<const std::uint8_t> bytes(data + 3, size - 3);

    std::vector<ulib::STilePixel> pixels(std::size_t(h + 1) * std::size_t(w));
    if (ulib::DecodeTile(palette, bytes, h, w, pixels) != 0 || h == 0 || w == 0)
        return 0;
    std::vector<std::uint8_t> coded(ulib::TileCodeCapacity(w, h));
    coded.resize(ulib::EncodeTile(pixels, h, w, coded, &palette));
    std::vector<ulib::STilePixel> again(pixels.size());
    if (coded.empty() || ulib::DecodeTile(palette, coded, h, w, again) != 0 || again != pixels)
        std::abort();
    return 0;
}
