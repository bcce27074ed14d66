// The entry points of the TIFF picture plug-in. Only these are exported; the rest of the plug-in is
// hidden, so it cannot clash with whatever else the host process has loaded.
#include "SusiePlugin.h"
#include "TiffDecode.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace {

// Texts of GetPluginInfo: the interface version, a name line, then pattern and description pairs.
const char* const InfoTexts[] = {
    "00IN",
    "Huedrane TIFF reader (libtiff)",
    "*.tif;*.tiff",
    "TIFFファイル(*.tif)",
};

}  // namespace

extern "C" {

// Copies info text number infoNumber into buffer, cut to fit with its terminating zero; returns
// the length copied, 0 for an unknown number or no room.
SPI_EXPORT int GetPluginInfo(int infoNumber, char* buffer, int bufferLength)
{
    if (!buffer || bufferLength <= 0 || infoNumber < 0 || infoNumber >= int(std::size(InfoTexts)))
        return 0;
    const char* text = InfoTexts[infoNumber];
    const std::size_t length = std::min(std::strlen(text), std::size_t(bufferLength) - 1);
    std::memcpy(buffer, text, length);
    buffer[length] = '\0';
    return int(length);
}

// The program gives at least 2048 bytes of the file; the signature needs four.
SPI_EXPORT int IsSupported(const char*, const void* firstBytes)
{
    return firstBytes && tiffplugin::HasTiffSignature(static_cast<const std::uint8_t*>(firstBytes)) ? 1 : 0;
}

// Never called by the program, but part of the interface: it writes nothing and declines.
SPI_EXPORT int GetPictureInfo(const char*, long, unsigned, void*)
{
    return SPI_OTHER_ERROR;
}

// Reads the picture from memory (flag SPI_INPUT_MEMORY; reading from a file by name is not offered).
SPI_EXPORT int GetPicture(const char* data, long length, unsigned flag, SpiHandle* info, SpiHandle* pixels,
                          SpiProgress progress, intptr_t progressData)
{
    if (info)
        *info = nullptr;
    if (pixels)
        *pixels = nullptr;
    if ((flag & 7) != SPI_INPUT_MEMORY || !info || !pixels)
        return SPI_OTHER_ERROR;
    if (!data || length <= 0)
        return SPI_BAD_FORMAT;
    tiffplugin::DecodeRequest request;
    request.data = reinterpret_cast<const std::uint8_t*>(data);
    request.size = std::uint64_t(length);
    request.progress = progress;
    request.progressData = progressData;
    return tiffplugin::DecodeTiff(request, info, pixels);
}

}  // extern "C"
