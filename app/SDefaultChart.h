// The colour chart a new user starts with. Its source is data/default-chart.ini; the build turns the
// file into data of the program, so no installed file has to be found at run time.
#pragma once

#include <string_view>

namespace ulib {

// The chart file's bytes (the format of SColourChart::ParseChart), valid for the whole run.
std::string_view DefaultChartBytes();

}  // namespace ulib
