#include "SConsolePlatform.h"

#include <atomic>
#include <string>

namespace ulib {

namespace {

std::atomic<SPlatform*> installed{nullptr};

SPlatform& ConsolePlatform()
{
    // Never destroyed: boxes may still be reported while static objects are torn down.
    static SConsolePlatform* const console = new SConsolePlatform;
    return *console;
}

}  // namespace

SBoxAnswer SConsolePlatform::ShowBox(const SMessageBoxRequest& request)
{
    std::string line = request.caption.empty() ? request.text : request.caption + ": " + request.text;
    line += '\n';
    // One write per box, so boxes of parallel conversions do not interleave.
    if (!out_ || std::fwrite(line.data(), 1, line.size(), out_) != line.size() || std::fflush(out_) != 0)
        return SBoxAnswer::Failed;

    switch (request.style & box_style::ButtonMask) {
    case box_style::Ok: return SBoxAnswer::Ok;
    case box_style::YesNo: return SBoxAnswer::No;
    default: return SBoxAnswer::Cancel;
    }
}

SError SConsolePlatform::DrawPixels(SDrawSurface*, SPoint, const SPixelView&, const SRect&)
{
    return ErrorFromIdentifier("device");
}

SFileDialogResponse SConsolePlatform::FileDialog(const SFileDialogRequest&)
{
    return {};
}

SFolderDialogResponse SConsolePlatform::FolderDialog(const SFolderDialogRequest&)
{
    return {};
}

SColourDialogResponse SConsolePlatform::ColourDialog(const SColourDialogRequest& request)
{
    SColourDialogResponse response;
    response.colour = request.colour;
    response.customColours = request.customColours;
    return response;
}

SFileListDialogResponse SConsolePlatform::FileListDialog(const SFileListDialogRequest&)
{
    return {};
}

bool SConsolePlatform::OpenHelp(const std::string&, std::int32_t)
{
    return false;
}

// The seam's default, for platforms without a file manager's names.
std::string SPlatform::DisplayName(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return name.empty() ? path : name;
}

SPlatform& Platform()
{
    SPlatform* platform = installed.load(std::memory_order_acquire);
    return platform ? *platform : ConsolePlatform();
}

void SetPlatform(SPlatform* platform)
{
    installed.store(platform, std::memory_order_release);
}

SPlatform* ReplacePlatform(SPlatform* platform)
{
    return installed.exchange(platform, std::memory_order_acq_rel);
}

}  // namespace ulib
