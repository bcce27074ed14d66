// The order of document files within a folder, used to step to the next or previous document.
#pragma once

#include "SString.h"

#include <cstdint>
#include <string_view>

// Orders file names: ASCII letters compared without case (other bytes by value, so the order does
// not depend on the locale), then the shorter name first, then byte by byte. Negative, 0 or
// positive as a sorts before, equal to or after b.
int CompareDocumentNames(std::string_view a, std::string_view b);

// The document file (regular file named *.hdq or *.hda, extension in any case) in the folder of
// path whose name follows (direction > 0) or precedes (direction < 0) the name of path most
// closely. Empty when there is none, when the folder cannot be read, or for direction 0.
ulib::SString NeighbourDocument(const ulib::SString& path, std::int32_t direction);
