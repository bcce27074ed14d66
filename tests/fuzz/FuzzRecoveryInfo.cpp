// The information file beside a recovery copy, as a damaged or hostile file would give it: parsing
// stays inside the bytes, a refused file leaves nothing behind, and what is read writes out and
// reads back the same.
#include "SRecoveryFiles.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    SRecoveryInfo info;
    if (ParseRecoveryInfo(data, data + size, info) != 0) {
        if (!(info == SRecoveryInfo{}))
            std::abort();
        return 0;
    }
    const std::string text = RecoveryInfoText(info);
    SRecoveryInfo again;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    if (ParseRecoveryInfo(bytes, bytes + text.size(), again) != 0 || !(again == info))
        std::abort();
    return 0;
}
