#include "SConsolePlatform.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <spawn.h>
#include <string>
#include <sys/types.h>
#include <sys/wait.h>
#include <system_error>
#include <thread>

extern char** environ;

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

void SConsolePlatform::WaitForConversion(const SConversionWait& request)
{
    // Short conversions end within the first steps; long ones cost a wake-up every few ms.
    auto step = std::chrono::microseconds(100);
    while (request.finished && !request.finished()) {
        std::this_thread::sleep_for(step);
        step = std::min<std::chrono::microseconds>(step * 2, std::chrono::milliseconds(5));
    }
}

void SConsolePlatform::SetProgressLines(const std::string&, const std::string&) {}

bool SConsolePlatform::StartInstance(const std::string& program, const std::string& argument)
{
    if (program.empty() || program.find('\0') != std::string::npos || argument.find('\0') != std::string::npos)
        return false;

    posix_spawnattr_t attributes;
    if (posix_spawnattr_init(&attributes) != 0)
        return false;
    // The new instance must not share our signal mask, ignored signals or our terminal's process
    // group (a Ctrl+C meant for this program would end it too).
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    for (int signal : {SIGPIPE, SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGCHLD})
        sigaddset(&defaults, signal);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSID);

    std::string programArg = program, fileArg = argument;
    char* argv[] = {programArg.data(), fileArg.data(), nullptr};
    pid_t child = 0;
    const int spawned = posix_spawn(&child, program.c_str(), nullptr, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    if (spawned != 0)
        return false;

    // Reaped by a thread of its own so no zombie stays, whether the instance ends at once or
    // outlives this program (then the waiter simply ends with us).
    try {
        std::thread([child] {
            while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
            }
        }).detach();
    } catch (const std::system_error&) {
        // No thread to spare: the instance still runs; it stays a zombie only until we end.
    }
    return true;
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
