// Where a raw deflate stream's last block begins and where the stream ends, so that a stream
// compressed on its own can be continued by another: the PNG writer deflates bands of rows apart
// and joins them into one zlib stream.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace ulib {

// Bit positions from the start of the stream (bit 0 is the lowest bit of the first byte).
struct SDeflateExtent
{
    std::size_t lastBlockBit = 0;  // the last block's BFINAL bit
    std::size_t endBit = 0;        // just after the last block's end-of-block code
};

// Walks the blocks and codes of a complete raw deflate stream without producing its data. False
// when the bytes are not one valid stream (cut short, a bad code, a bad block type).
bool FindDeflateExtent(const std::uint8_t* data, std::size_t size, SDeflateExtent& extent);

// Makes a complete raw deflate stream continuable: its last block becomes an ordinary one and the
// stream ends on a byte boundary after an empty stored block, as a sync flush ends it; whatever
// stream follows continues the data. False (the bytes unchanged) when FindDeflateExtent fails.
bool EndWithoutFinalBlock(std::vector<std::uint8_t>& stream);

}  // namespace ulib
