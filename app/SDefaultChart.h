// The colour chart a new user starts with, its names in the run's language. Its sources are
// data/default-chart.ini and default-chart.en.ini; the build turns the files into data of the
// program, so no installed file has to be found at run time.
#pragma once

#include <string_view>

namespace ulib {

// The chart file's bytes (the format of SColourChart::ParseChart) in the run's language (SLanguage.h),
// valid for the whole run.
std::string_view DefaultChartBytes();

}  // namespace ulib
