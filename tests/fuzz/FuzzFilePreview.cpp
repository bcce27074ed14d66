// The open dialog's preview of a document: its thumbnail record decoded and scaled into the box.
// Pictures take the readers FuzzReadImage covers; only documents are fed on here.
#include "SFilePreview.h"
#include "SQuickPress.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ulib::SQuickPress list;
    if (list.ReadFrom(data, data + size) != 0)
        return 0;
    SFilePreview preview;
    const ulib::SError err = ReadPreviewBytes(data, data + size, 64, preview);
    // A failure leaves nothing behind; a success fits the box.
    if (err != 0 && (!preview.picture.IsPristine() || preview.width != 0 || preview.height != 0))
        std::abort();
    if (err == 0 && (preview.picture.Width() > 64 || preview.picture.Height() > 64))
        std::abort();
    return 0;
}
