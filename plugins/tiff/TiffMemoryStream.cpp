// libtiff client procedures over a block of memory. Reads are clamped to the block, seeks outside
// it fail, and the mapping procedure hands libtiff the block itself, so uncompressed strips are
// read without a copy (libtiff only reads a mapping opened for reading).
#include "TiffMemoryStream.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace tiffplugin {

namespace {

MemoryStream& Stream(thandle_t handle) { return *static_cast<MemoryStream*>(handle); }

tmsize_t Read(thandle_t handle, void* buffer, tmsize_t size)
{
    MemoryStream& stream = Stream(handle);
    if (size <= 0 || stream.position >= stream.size)
        return 0;
    const std::uint64_t count = std::min<std::uint64_t>(std::uint64_t(size), stream.size - stream.position);
    std::memcpy(buffer, stream.data + stream.position, std::size_t(count));
    stream.position += count;
    return tmsize_t(count);
}

tmsize_t Write(thandle_t, void*, tmsize_t) { return -1; }

toff_t Seek(thandle_t handle, toff_t offset, int whence)
{
    MemoryStream& stream = Stream(handle);
    std::uint64_t base = 0;
    if (whence == SEEK_CUR)
        base = stream.position;
    else if (whence == SEEK_END)
        base = stream.size;
    else if (whence != SEEK_SET)
        return toff_t(-1);
    // Offsets are unsigned here; a position past the end is refused rather than remembered.
    if (offset > stream.size - base)
        return toff_t(-1);
    stream.position = base + offset;
    return stream.position;
}

int Close(thandle_t) { return 0; }

toff_t Size(thandle_t handle) { return Stream(handle).size; }

int Map(thandle_t handle, void** base, toff_t* size)
{
    MemoryStream& stream = Stream(handle);
    *base = const_cast<std::uint8_t*>(stream.data);
    *size = stream.size;
    return 1;
}

void Unmap(thandle_t, void*, toff_t) {}

// Returning 1 tells libtiff the message is handled, so the process-wide handlers are not called.
int Quiet(TIFF*, void*, const char*, const char*, va_list) { return 1; }

// No single buffer of libtiff's (a strip, a tile, a table) may exceed this; the largest picture we
// accept needs at most a 1 GiB strip of 8-bit RGBA.
constexpr tmsize_t MaxLibtiffAllocation = tmsize_t(1) << 30;

}  // namespace

void SilenceLibtiff()
{
    static std::once_flag once;
    std::call_once(once, [] {
        TIFFSetErrorHandler(nullptr);
        TIFFSetWarningHandler(nullptr);
    });
}

TIFF* OpenMemoryTiff(MemoryStream& stream)
{
    SilenceLibtiff();
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    if (!options)
        return nullptr;
    TIFFOpenOptionsSetErrorHandlerExtR(options, Quiet, nullptr);
    TIFFOpenOptionsSetWarningHandlerExtR(options, Quiet, nullptr);
    TIFFOpenOptionsSetMaxSingleMemAlloc(options, MaxLibtiffAllocation);
    stream.position = 0;
    TIFF* tiff = TIFFClientOpenExt("memory", "r", &stream, Read, Write, Seek, Close, Size, Map, Unmap, options);
    TIFFOpenOptionsFree(options);
    return tiff;
}

}  // namespace tiffplugin
