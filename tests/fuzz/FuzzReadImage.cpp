// Feeds arbitrary bytes to ReadImageBytes, which chooses the BMP, PNG or JPEG reader by signature.
// PNG and JPEG headers may claim pictures up to the 12000-pixel limit with a few bytes of data;
// inputs claiming more than 4096 x 4096 pixels are skipped here so that each run stays small.
#include "PictureReadCheck.h"
#include "Sximage.h"

#include <png.h>

#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

namespace {

constexpr std::uint64_t MaxPixels = 4096ull * 4096ull;

std::uint32_t BigEndian32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

struct HeaderFailure
{
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

[[noreturn]] void OnFatal(j_common_ptr common) { std::longjmp(reinterpret_cast<HeaderFailure*>(common->err)->jump, 1); }
void OnMessage(j_common_ptr) {}

// The pixel count a JPEG's frame header claims, 0 when libjpeg cannot read the header. No object
// with a destructor lives here: libjpeg leaves through longjmp.
std::uint64_t JpegPixels(const std::uint8_t* data, std::size_t size)
{
    static jpeg_decompress_struct info;
    static HeaderFailure failure;
    info = {};
    info.err = jpeg_std_error(&failure.manager);
    failure.manager.error_exit = OnFatal;
    failure.manager.output_message = OnMessage;
    if (setjmp(failure.jump)) {
        jpeg_destroy_decompress(&info);
        return 0;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&info, TRUE);
    std::uint64_t pixels = std::uint64_t(info.image_width) * info.image_height;
    jpeg_destroy_decompress(&info);
    return pixels;
}

bool ClaimsTooMuch(const std::uint8_t* data, std::size_t size)
{
    if (size >= 24 && ulib::HasSignature(data, data + size, ulib::PngSignature))
        return std::uint64_t(BigEndian32(data + 16)) * BigEndian32(data + 20) > MaxPixels;  // IHDR comes first
    if (size >= 2 && ulib::HasSignature(data, data + size, ulib::JpegSignature))
        return JpegPixels(data, size) > MaxPixels;
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (ClaimsTooMuch(data, size))
        return 0;
    ulib::SBitmap image;
    ulib::SError err = ulib::ReadImageBytes(image, data, data + size);
    CheckPictureRead(err, image);
    return 0;
}
