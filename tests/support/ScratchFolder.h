// A scratch folder for tests that write files.
#pragma once

#include "SString.h"

#include <string>
#include <vector>

// A fresh folder under TMPDIR (or /tmp), removed with everything in it.
class ScratchFolder
{
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string Path(const std::string& name) const { return folder_ + "/" + name; }
    ulib::SString SPath(const std::string& name) const { return ulib::SString(Path(name)); }
    // The names in the folder, sorted (hidden ones included).
    std::vector<std::string> Names() const;

private:
    std::string folder_;
};
