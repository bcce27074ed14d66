// Opening a TIFF held in memory: libtiff reads through our client procedures, which never reach
// outside the given bytes, and reports its errors and warnings to us instead of printing them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <tiffio.h>

namespace tiffplugin {

// The bytes of one file and the reading position; lives as long as the TIFF opened on it.
struct MemoryStream
{
    const std::uint8_t* data = nullptr;
    std::uint64_t size = 0;
    std::uint64_t position = 0;
};

// Opens the stream for reading (first directory read). Returns nullptr when libtiff refuses the
// bytes; libtiff's messages are dropped. The caller closes the result with TIFFClose.
TIFF* OpenMemoryTiff(MemoryStream& stream);

// Makes libtiff's process-wide handlers silent; only the first call does anything.
void SilenceLibtiff();

}  // namespace tiffplugin
