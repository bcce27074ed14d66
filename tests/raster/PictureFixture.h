// Helpers for the picture file tests: a scratch folder, whole-file bytes, and builders of BMP, PNG
// and JPEG bytes of every kind the readers meet (including kinds the writers never produce), plus
// the small seed pictures shared by the damage sweep and the fuzz corpora.
#pragma once

#include "FuzzSeeds.h"
#include "ScratchFolder.h"

#include "SBitmap.h"
#include "SError.h"
#include "SString.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

using ulib::test::Bytes;
using ulib::test::ReadFileBytes;
using ulib::test::WriteFileBytes;

inline ulib::SError Id(const char* identifier) { return ulib::ErrorFromIdentifier(identifier); }

// A BMP file from its fields. The pixel offset defaults to the true one (after the table and gap).
struct BmpRecipe
{
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t bitCount = 24;
    std::uint32_t compression = 0;
    std::uint32_t infoSize = 40;
    std::uint32_t coloursUsed = 0;
    std::vector<std::uint32_t> masks{};  // from byte 40 of the information header, past its end if need be
    std::int32_t resolutionX = 0;
    std::int32_t resolutionY = 0;
    std::vector<std::uint32_t> table{};  // written as given, 4 bytes each
    std::uint32_t gap = 0;             // bytes of 0xEE between the table and the pixels
    bool pixelOffsetGiven = false;
    std::uint32_t pixelOffset = 0;
    Bytes pixels{};                     // written as given
};
Bytes MakeBmp(const BmpRecipe& recipe);

// A PNG from rows already packed as the colour type and depth require (top row first; 16-bit
// samples big-endian, as in the file).
struct PngRecipe
{
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int colourType = 2;
    int depth = 8;
    bool interlaced = false;
    std::vector<std::uint8_t> paletteRgb;  // 3 bytes per entry
    // A tRNS chunk when not empty: an alpha per palette entry, or the transparent grey or red,
    // green, blue sample.
    std::vector<std::uint16_t> transparent;
    std::vector<Bytes> rows;
};
Bytes MakePng(const PngRecipe& recipe);

// A JPEG from interleaved samples in the given colour space (1 byte per component, top row first).
struct JpegRecipe
{
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int components = 3;
    int colourSpace = 2;  // J_COLOR_SPACE: 1 grey, 2 RGB, 4 CMYK
    bool progressive = false;
    int quality = 90;
    Bytes samples;
};
Bytes MakeJpeg(const JpegRecipe& recipe);

// Small pictures of every kind the readers take, named by file name.
using ulib::test::Seeds;
Seeds BmpSeeds();
Seeds ImageSeeds();  // PNG and JPEG, plus one BMP
