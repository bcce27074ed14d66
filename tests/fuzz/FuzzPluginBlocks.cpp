// Feeds arbitrary blocks to the check that turns a plug-in's result into a bitmap. The input is
// two little-endian bytes giving the information block's length, that block, then the pixel
// block; each is copied to a buffer of exactly its size so that any read past it is caught.
#include "PictureReadCheck.h"
#include "SSpiAccess.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    std::size_t infoSize = std::size_t(data[0]) | std::size_t(data[1]) << 8;
    data += 2;
    size -= 2;
    if (infoSize > size)
        infoSize = size;
    const std::size_t pixelSize = size - infoSize;
    std::unique_ptr<std::uint8_t[]> info(new std::uint8_t[infoSize]);
    std::unique_ptr<std::uint8_t[]> pixels(new std::uint8_t[pixelSize]);
    if (infoSize)
        std::memcpy(info.get(), data, infoSize);
    if (pixelSize)
        std::memcpy(pixels.get(), data + infoSize, pixelSize);

    ulib::SBitmap image;
    const ulib::SError err = ulib::PictureFromPluginBlocks(&image, info.get(), infoSize, pixels.get(), pixelSize);
    CheckPictureRead(err, image);
    return 0;
}
