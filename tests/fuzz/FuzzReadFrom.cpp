// Document file bytes: read the container; when it reads, write it back and read that again (the
// lists must be equal), and decode every record small enough to keep the fuzzer's memory small,
// then code the decoded 32- and 24-bit images again, which must give the same pixels back.
#include "SQuickPress.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr std::int64_t MaxPixels = 1 << 18;

void CheckRecord(const ulib::SQuickPressLayer& record)
{
    if (std::int64_t(record.width) * record.height > MaxPixels)
        return;
    ulib::SBitmap image;
    if (record.Decode(image) != 0 || (image.Format() != 32 && image.Format() != 24))
        return;
    ulib::SQuickPressLayer recoded;
    ulib::SBitmap again;
    if (recoded.Compress(image) != 0 || recoded.Decode(again) != 0)
        std::abort();
    if (again.PixelAreaSize() != image.PixelAreaSize() ||
        std::memcmp(again.PixelArea(), image.PixelArea(), image.PixelAreaSize()) != 0)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ulib::SQuickPress list;
    if (list.ReadFrom(data, data + size) != 0) {
        if (list.Count() != 0)
            std::abort();
        return 0;
    }
    std::vector<std::uint8_t> bytes(list.ByteSize());
    if (list.WriteTo(bytes.data(), bytes.data() + bytes.size()) == 0) {
        ulib::SQuickPress reread;
        if (reread.ReadFrom(bytes.data(), bytes.data() + bytes.size()) != 0 || !reread.Equals(list))
            std::abort();
    }
    for (std::int32_t i = 0; i < list.Count(); ++i)
        CheckRecord(list[i]);
    return 0;
}
