// The platform seam for a program without windows: the command-line converter, and every
// program until it installs its own seam. Boxes become lines on the error stream; a console
// cannot ask, so a box with choices takes the answer that changes nothing, every dialog is
// cancelled and no manual is opened. Conversions are simply waited for (the converter prints its
// own progress), and other instances are started as plain child processes.
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

    // Every dialog answers Cancel; the colour dialog gives its custom colours back unchanged.
    SFileDialogResponse FileDialog(const SFileDialogRequest& request) override;
    SFolderDialogResponse FolderDialog(const SFolderDialogRequest& request) override;
    SColourDialogResponse ColourDialog(const SColourDialogRequest& request) override;
    SFileListDialogResponse FileListDialog(const SFileListDialogRequest& request) override;

    // There is no viewer to open: always false.
    bool OpenHelp(const std::string& path, std::int32_t context) override;

    // Sleeps in short steps until the conversion has finished; nothing is shown.
    void WaitForConversion(const SConversionWait& request) override;
    // Nothing to show.
    void SetProgressLines(const std::string& message, const std::string& fileLine) override;
    // posix_spawn of program (not searched on PATH) with argument as its only argument, in a
    // session of its own; a detached thread reaps it when it ends. False when it cannot start or
    // either text holds a NUL byte.
    bool StartInstance(const std::string& program, const std::string& argument) override;

private:
    std::FILE* out_;
};

}  // namespace ulib
