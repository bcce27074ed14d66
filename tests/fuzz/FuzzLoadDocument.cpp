// Document bytes as a file would give them: read the container, then unpack it into a cel.
#include "SCel.h"
#include "SDocumentFile.h"
#include "SQuickPress.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ulib::SQuickPress list;
    if (list.ReadFrom(data, data + size) != 0)
        return 0;
    // Small documents reach every path; larger ones only cost memory and time.
    if (std::int64_t(list.width) * list.height > (1 << 16))
        return 0;
    SCel cel;
    UnpackDocument(cel, list);
    return 0;
}
