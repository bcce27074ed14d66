// Colour chart files as a damaged or hostile file would give them: parsing must stay inside the
// bytes, and what it reads must write out and parse again. (Names holding "=", "]", ";" or control
// bytes do not survive a save and load unchanged, so the text itself is not compared.)
#include "SColourChart.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const ulib::SColourGroups groups =
        ulib::SColourChart::ParseChart(std::string_view(reinterpret_cast<const char*>(data), size));
    const ulib::SColourGroups again = ulib::SColourChart::ParseChart(ulib::SColourChart::FormatChart(groups));
    if (again.Count() > groups.Count())  // writing never invents a group
        std::abort();
    return 0;
}
