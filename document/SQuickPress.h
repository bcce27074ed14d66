// Compressed layers and the document container. SQuickPressLayer holds one image as a list of coded
// tiles of at most 64 by 64 pixels (the coder is STileCodec.h); SQuickPress is a list of such layers
// with the document's size and format, and written out byte for byte it is the document file.
#pragma once

#include "SBinary.h"
#include "SBitmap.h"
#include "SError.h"
#include "SGeometry.h"
#include "SMap.h"
#include "SPalette.h"
#include "SString.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace ulib {

// One compressed image. A cleared layer (the default) has an empty name, palette, tile list and
// extra bytes, origin (0, 0), size 0 by 0, format 24, flags 1 and kind 1.
class SQuickPressLayer
{
public:
    static constexpr std::int32_t TileSide = 64;
    // Decoding refuses tiles larger than this on either side ("data").
    static constexpr std::int32_t MaxDecodedTileSide = 128;

    SString name;
    SPalette palette;                // colour table of the source image (empty without one)
    SMap<SRect, SBinary> tiles;      // (tile rectangle, coded bytes) in the order they were made
    SBinary extra;                   // the owner's bytes
    std::int32_t originX = 0;        // top-left corner of the compressed rectangle
    std::int32_t originY = 0;
    std::int32_t width = 0;          // size and pixel format of the image it decodes into
    std::int32_t height = 0;
    std::int32_t format = 24;
    std::int32_t flags = 1;          // stored (bit 0 only), never consulted
    std::int32_t kind = 1;           // the owner's tag (document records: document_kind)

    // Replaces origin, size, format, palette and tiles with the coded image: tiles on the 64-pixel
    // grid from (0, 0), rows outer, columns inner. 32- and 24-bit images are read row by row,
    // others through GetColor. Name, extra, flags and kind stay.
    // Errors: "memory_temp" (scratch buffers), "memory_alloc" (a tile's bytes or list entry);
    // on an error the layer holds no tiles and a 0 by 0 size.
    SError Compress(const SBitmap& bitmap);

    // Recreates the bitmap at the layer's size and format (keeping its tag, resolutions and colour
    // table; an image of that shape already is reset to its fresh fill in place) and writes the
    // decoded pixels. Tiles are placed at the origin plus *offset when given; only pixels inside the
    // bitmap's bounds intersected with *clip (when given) are written, and only tiles that meet that
    // rectangle are decoded. Pixels no tile covers keep the fresh fill (white for 15, 16, 24, 48,
    // zero otherwise). 32-bit targets get B, G, R, A bytes, 24-bit B, G, R, others SetColor.
    // Errors: "memory_alloc" (the image could not be made), "data" (a tile of negative size, or
    // larger than 128 on a side), "memory_temp", and DecodeTile's; an error releases the bitmap.
    SError Decode(SBitmap& bitmap, const SPoint* offset = nullptr, const SRect* clip = nullptr) const;

    // As Decode, composited onto the bitmap as it is: A = 0 leaves a pixel, A = 255 writes B, G, R
    // directly on targets of 24 bits and more (A = 255 on 32 bits) and through SetColor below;
    // other A through BlendColor. Same errors; an error releases the bitmap.
    SError DecodeOnto(SBitmap& bitmap, const SPoint* offset = nullptr, const SRect* clip = nullptr) const;

    // The piece of Decode that threads can share: writes the decoded pixels inside *clip (clipped to
    // the bounds) into a bitmap that already has the layer's size and format ("domain" otherwise),
    // and touches no byte outside it, so several threads may decode disjoint rectangles of one
    // bitmap at once (for formats below 8 bits, split at rows). Pixels of the rectangle that no tile
    // covers keep their values: start from a fresh or ResetPixels image unless CoversImage().
    // Errors as Decode; the bitmap is left as it is and the caller discards it.
    SError DecodeInto(SBitmap& bitmap, const SPoint* offset = nullptr, const SRect* clip = nullptr) const;

    // True when the tiles are the 64-pixel grid Compress makes over width by height at origin
    // (0, 0), so that a decode without offset writes every pixel.
    bool CoversImage() const;

    void Clear();
    // A deep copy of every field. Error: "memory_alloc" (the layer is then cleared).
    SError Assign(const SQuickPressLayer& other);
    // Name, tiles, palette, extra, origin, size, format and kind equal; flags are ignored.
    bool Equals(const SQuickPressLayer& other) const;
    // The bytes of this layer's record in a document file.
    std::size_t ByteSize() const;
};

// Compress split so that threads can share it as they come free: any number of threads may call
// Work at once, each coding tile rows nobody has taken yet; once every Work has returned, Finish
// gives the layer exactly the bytes Compress gives. The bitmap must outlive the coding and stay
// unchanged from the first Work on.
class STileCoding
{
public:
    explicit STileCoding(const SBitmap& bitmap);
    STileCoding(const STileCoding&) = delete;
    STileCoding& operator=(const STileCoding&) = delete;

    // Codes tile rows until none is left.
    void Work();
    // Codes one tile row nobody has taken that lies within the bitmap's first `rows` rows; false
    // when there is none.
    bool WorkRow(std::int32_t rows);
    // As Compress: the layer's origin, size, format, palette and tiles. Errors as Compress.
    SError Finish(SQuickPressLayer& layer);

private:
    const SBitmap& bitmap_;
    SPalette palette_;  // the bitmap's, copied once for every tile
    std::int32_t columns_ = 0;
    std::int32_t tileRows_ = 0;
    std::vector<SBinary> coded_;
    std::atomic<std::int32_t> next_{0};
    std::atomic<const char*> failure_{nullptr};
};

// The document container: at most 65535 layers and the size and format of the whole.
class SQuickPress
{
public:
    static constexpr std::int32_t MaxCount = 65535;
    static constexpr std::size_t HeaderSize = 36;

    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t format = 24;

    std::int32_t Count() const { return layers_.Count(); }
    // The layer at index modulo the count (negative from the end). On an empty list the const form
    // gives a shared cleared layer, the other a scratch one whose changes are discarded.
    SQuickPressLayer& operator[](std::int32_t index) { return layers_[index]; }
    const SQuickPressLayer& operator[](std::int32_t index) const { return layers_[index]; }

    // Grows with cleared layers or drops layers from the end. Errors: "array_size" (count outside
    // 0..65535; the list becomes empty), "object_alloc" (a layer could not be made; the list is
    // freed), "memory_alloc".
    SError SetCount(std::int32_t count);
    // Appends a layer, takes the list's width, height and format from the bitmap and compresses the
    // bitmap into the new layer. Errors: "object_resize" (the list could not grow), Compress's
    // (the list's size and format then become 0, 0, 24).
    SError Append(const SBitmap& bitmap);
    // Decode / DecodeOnto of the layer at index modulo the count. Error: "array_access" (empty list).
    SError DecodeLayer(std::int32_t index, SBitmap& bitmap, const SPoint* offset = nullptr,
                       const SRect* clip = nullptr) const;
    SError CompositeLayer(std::int32_t index, SBitmap& bitmap, const SPoint* offset = nullptr,
                          const SRect* clip = nullptr) const;

    // Frees every layer; width 0, height 0, format 24.
    void Clear();
    // Width, height, format, then every layer in order.
    bool Equals(const SQuickPress& other) const;

    // The document file's size: the 36-byte header and every layer's record.
    std::size_t ByteSize() const;
    // Writes the file's bytes into [begin, end); bytes after the last record are zeroed.
    // Errors: "InvalidArgument" (a missing bound, end before begin), "insuf_buf" (shorter than
    // ByteSize), "data" (a size, count or origin that its field cannot hold; that record is left
    // zero), "pointer" (a record past the end). Writing goes on after a record's error; the first
    // error is the result.
    SError WriteTo(std::uint8_t* begin, std::uint8_t* end) const;
    // Replaces the list with the file in [begin, end). Errors, in the order checked:
    // "InvalidArgument", "EmptyData", "UnacceptableFormat" (magic, then the application tag),
    // "UnacceptableVersion", "InvalidData" (header format), "memory"; then per record "nodata",
    // "taillostdata" (a record or one of its parts passing the end), "bad_format", "array_size"
    // (more than 256 colours), "memory_alloc". Any error leaves the list empty.
    SError ReadFrom(const std::uint8_t* begin, const std::uint8_t* end);

    // WriteTo through a file mapping: the file is replaced only when every step succeeded (a failed
    // write leaves the previous file whole). The first error of opening, sizing, writing and
    // closing is the result.
    SError WriteFile(const SString& path) const;
    // ReadFrom through a file mapping; any error leaves the list empty.
    SError ReadFile(const SString& path);

private:
    SArray<SQuickPressLayer> layers_;
};

// The 8-byte tag written into every document file and expected from it: the first 8 bytes of the
// text, padded with zero bytes. With skipCheck readers accept any tag. The program starts with
// "huedrane" and the check on; set it at start-up, before any reader or writer runs.
void SetApplicationTag(std::string_view text, bool skipCheck);

}  // namespace ulib
