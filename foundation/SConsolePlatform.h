// The platform seam for a program without windows: the command-line converter, and every
// program until it installs its own seam. Boxes become lines on the error stream; a console
// cannot ask, so a box with choices takes the answer that changes nothing.
#pragma once

#include "SPlatform.h"

#include <cstdio>

namespace ulib {

class SConsolePlatform : public SPlatform
{
public:
    // Writes to out (not owned), the standard error stream by default.
    explicit SConsolePlatform(std::FILE* out = stderr) : out_(out) {}

    // Writes "caption: text" and a line end. A box with only an OK button answers Ok; a yes/no
    // box answers No; every other box with choices answers Cancel. A failed write answers Failed.
    SBoxAnswer ShowBox(const SMessageBoxRequest& request) override;

    // There is never an owner window.
    bool HasOwnerWindow() const override { return false; }

    // A console cannot draw: always "device".
    SError DrawPixels(SDrawSurface* surface, SPoint at, const SPixelView& pixels, const SRect& source) override;

private:
    std::FILE* out_;
};

}  // namespace ulib
