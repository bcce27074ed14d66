// Feeds arbitrary bytes to the TIFF plug-in's reader, as GetPicture would. Pictures are capped far
// below the plug-in's own limit so that a claimed size costs no more than the data can fill. A read
// either gives two blocks whose sizes agree with the header or gives nothing.
#include "TiffDecode.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

std::uint32_t Get32(const std::uint8_t* at) { return at[0] | at[1] << 8 | at[2] << 16 | std::uint32_t(at[3]) << 24; }

void CheckBlocks(SpiHandle info, SpiHandle pixels)
{
    if (SpiSize(info) < 40)
        std::abort();
    const auto* header = static_cast<const std::uint8_t*>(SpiData(info));
    const std::uint64_t width = Get32(header + 4);
    const std::uint64_t height = Get32(header + 8);
    const unsigned bits = header[14];
    const std::uint64_t entries = bits <= 8 ? 1u << bits : 0;
    const std::uint64_t stride = (width * bits + 31) / 32 * 4;
    // The V5 header is only for 32-bit pictures with alpha: bit fields B, G, R, A.
    const std::uint32_t headerSize = Get32(header);
    const bool alpha = headerSize == 124 && SpiSize(info) >= 124 && bits == 32 && Get32(header + 16) == 3 &&
                       Get32(header + 40) == 0xFF0000 && Get32(header + 44) == 0xFF00 && Get32(header + 48) == 0xFF &&
                       Get32(header + 52) == 0xFF000000;
    if ((headerSize != 40 && !alpha) || width == 0 || height == 0 || SpiSize(info) != headerSize + 4 * entries ||
        SpiSize(pixels) != stride * height || Get32(header + 20) != stride * height)
        std::abort();
    // Touch both ends of the pixel rows, so the sanitizers see a block shorter than it claims.
    const auto* rows = static_cast<const volatile std::uint8_t*>(SpiData(pixels));
    volatile std::uint8_t sink = rows[0] ^ rows[SpiSize(pixels) - 1];
    (void)sink;
}

int Progress(int done, int total, intptr_t)
{
    if (done < 0 || done > total)
        std::abort();
    return 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    tiffplugin::DecodeRequest request;
    request.data = data;
    request.size = size;
    request.progress = Progress;
    request.maxPixels = std::uint64_t(1) << 22;
    SpiHandle info = nullptr;
    SpiHandle pixels = nullptr;
    const int code = tiffplugin::DecodeTiff(request, &info, &pixels);
    if (code == SPI_SUCCESS)
        CheckBlocks(info, pixels);
    else if (info || pixels)
        std::abort();
    SpiFree(info);
    SpiFree(pixels);
    return 0;
}
