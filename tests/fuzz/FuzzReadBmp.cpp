// Feeds arbitrary bytes to the BMP reader. The reader allocates only what the data can fill, so no
// input is skipped. A read either succeeds or leaves the bitmap empty.
#include "PictureReadCheck.h"
#include "Sximage.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ulib::SBitmap image;
    ulib::SError err = ulib::ReadBmp(image, data, data + size);
    CheckPictureRead(err, image);
    return 0;
}
