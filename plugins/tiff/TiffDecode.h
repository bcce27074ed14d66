// Reading the first picture of a TIFF file held in memory into the two blocks a picture plug-in
// returns: a packed BITMAPINFO and the bottom-up pixel rows.
#pragma once

#include "SusiePlugin.h"

#include <cstdint>

namespace tiffplugin {

// Pictures above this many pixels are refused with SPI_NO_MEMORY: at most 1 GiB of 32-bit output,
// well within what the BMP header's 32-bit size fields hold.
constexpr std::uint64_t DefaultMaxPixels = std::uint64_t(1) << 28;

struct DecodeRequest
{
    const std::uint8_t* data = nullptr;
    std::uint64_t size = 0;
    SpiProgress progress = nullptr;  // may be null
    intptr_t progressData = 0;
    std::uint64_t maxPixels = DefaultMaxPixels;
};

// Whether the bytes start with a TIFF or BigTIFF signature (either byte order); at least 4 bytes.
bool HasTiffSignature(const std::uint8_t* bytes);

// Decodes the file. On SPI_SUCCESS *info and *pixels own SpiAlloc'd blocks for the caller; on any
// other result both are null and nothing is left allocated. Results: SPI_NOT_SUPPORTED (no TIFF
// signature, or a layout no reader here renders), SPI_BAD_FORMAT (damaged file), SPI_NO_MEMORY
// (too large, or an allocation failed), SPI_ABORT (the progress function asked to stop).
int DecodeTiff(const DecodeRequest& request, SpiHandle* info, SpiHandle* pixels);

}  // namespace tiffplugin
