// The about box's texts: the program's name and version, the maker line, and the notices that the
// licences of the libraries linked into the program ask to be shown, with the versions they report.
#pragma once

#include <string>
#include <string_view>

namespace about_text {

// "Huedrane ver1.4".
const char* Title();
// The line naming the maker.
const char* Maker();

// The versions of the linked libraries as they report them at run time (the JPEG library's from its
// headers, since it has no run-time query). Qt's comes from the caller, which is the only side that
// links it.
struct SLinkedVersions
{
    std::string png;
    std::string zlib;
    std::string jpeg;
    std::string qt;
};
SLinkedVersions LinkedVersions(std::string_view qtVersion);

// The read-only memo of the about box: maker, build tool, then one notice per library (libpng,
// zlib, the IJG's JPEG software as shipped in libjpeg-turbo, Qt, libtiff), lines joined by "\n".
std::string Notices(const SLinkedVersions& versions);

}  // namespace about_text
