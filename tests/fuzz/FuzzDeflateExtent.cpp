// Walking a raw deflate stream's blocks on any bytes: no read outside them, and a stream found
// valid ends inside them after its last block's header; making it continuable then adds an empty
// stored block on a byte boundary.
#include "SDeflateExtent.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ulib::SDeflateExtent extent;
    if (!ulib::FindDeflateExtent(data, size, extent))
        return 0;
    if (extent.endBit > size * 8 || extent.lastBlockBit >= extent.endBit)
        std::abort();
    std::vector<std::uint8_t> stream(data, data + size);
    if (!ulib::EndWithoutFinalBlock(stream) || stream.size() != (extent.endBit + 3 + 7) / 8 + 4)
        std::abort();
    return 0;
}
