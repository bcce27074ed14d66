// Feeds arbitrary bytes to the BMP reader. The reader allocates only what the data can fill, so no
// input is skipped. A read either succeeds or leaves the bitmap empty.
#include "Sximage.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ulib::SBitmap image;
    ulib::SError err = ulib::ReadBmp(image, data, data + size);
    if (err != 0 && !image.IsPristine())
        std::abort();
    if (err == 0 && !image.IsEmpty()) {
        // Touch the picture's corners, so a wrong row table shows up under the sanitizers.
        volatile std::uint32_t sink = image.GetColor(0, 0).Value() ^
                                      image.GetColor(image.Width() - 1, image.Height() - 1).Value();
        (void)sink;
    }
    return 0;
}
