// huedrane-spi-host: makes one call into one picture plug-in on the program's behalf (the
// descriptors and the result layout are in SSpiProtocol.h). A plug-in that crashes or hangs takes
// only this process with it; the program sees a missing result and goes on. The process never
// outlives the program and cannot take more than its memory limit.
#include "SSpiProtocol.h"
#include "SusiePlugin.h"

#include <dlfcn.h>
#include <errno.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string_view>

namespace protocol = ulib::spi_protocol;

namespace {

bool aborted = false;

bool WriteAll(int fd, const void* data, std::size_t size, off_t offset)
{
    const char* at = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = pwrite(fd, at, size, offset);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        at += n;
        size -= std::size_t(n);
        offset += n;
    }
    return true;
}

void Send(protocol::MessageKind kind, std::int32_t a, std::int32_t b)
{
    std::uint8_t record[protocol::MessageSize];
    record[0] = kind;
    protocol::PutInt32(record + 1, a);
    protocol::PutInt32(record + 5, b);
    // Nine bytes fit the socket's buffer in one piece; a program that has gone away is no concern.
    while (send(protocol::ChannelFd, record, sizeof record, MSG_NOSIGNAL) < 0 && errno == EINTR) {
    }
}

// The plug-in's progress function: reports, then answers with whatever abort request has arrived
// so far (never waits for one, so a plug-in calling it often is not slowed down).
extern "C" int OnProgress(int done, int total, intptr_t)
{
    Send(protocol::MessageProgress, done, total);
    std::uint8_t byte = 0;
    while (!aborted && recv(protocol::ChannelFd, &byte, 1, MSG_DONTWAIT) == 1)
        aborted = byte == protocol::AbortByte;
    return aborted ? 1 : 0;
}

// The header alone: the plug-in was not usable, or declined.
int Answer(protocol::Status status, std::int32_t code = 0)
{
    protocol::ResultHeader header{protocol::ResultMagic, status, code, 0, 0, 0};
    if (ftruncate(protocol::ResultFd, sizeof header) != 0 || !WriteAll(protocol::ResultFd, &header, sizeof header, 0))
        return 1;
    return 0;
}

struct Plugin
{
    void* library = nullptr;
    SpiGetPluginInfo getInfo = nullptr;
    SpiIsSupported isSupported = nullptr;
    SpiGetPicture getPicture = nullptr;
    bool complete = false;  // every entry point a reader needs is exported

    explicit Plugin(const char* path) : library(dlopen(path, RTLD_NOW | RTLD_LOCAL))
    {
        if (!library)
            return;
        getInfo = reinterpret_cast<SpiGetPluginInfo>(dlsym(library, "GetPluginInfo"));
        isSupported = reinterpret_cast<SpiIsSupported>(dlsym(library, "IsSupported"));
        getPicture = reinterpret_cast<SpiGetPicture>(dlsym(library, "GetPicture"));
        complete = getInfo && isSupported && getPicture && dlsym(library, "GetPictureInfo");
    }
    ~Plugin()
    {
        if (library)
            dlclose(library);
    }
    Plugin(const Plugin&) = delete;
    Plugin& operator=(const Plugin&) = delete;

    bool IsPicturePlugin() const
    {
        char text[protocol::InfoTextSize] = {};
        return protocol::IsPictureVersion(text, getInfo(0, text, sizeof text));
    }
};

// One GetPluginInfo answer, stored in its entry of the result.
bool StoreInfo(const Plugin& plugin, int number, bool* isPicture)
{
    std::uint8_t entry[protocol::InfoEntrySize] = {};
    char* text = reinterpret_cast<char*>(entry + 4);
    const int length = plugin.getInfo(number, text, protocol::InfoTextSize);
    protocol::PutInt32(entry, length);
    if (isPicture)
        *isPicture = protocol::IsPictureVersion(text, length);
    const off_t at = off_t(sizeof(protocol::ResultHeader) + std::size_t(number) * protocol::InfoEntrySize);
    return WriteAll(protocol::ResultFd, entry, sizeof entry, at);
}

// Version and filter texts: every entry as the plug-in wrote it; the program cuts and trims them.
// Only a picture plug-in is asked for its filters (numbers 2 to 99).
int RunInfo(const char* path)
{
    Plugin plugin(path);
    if (!plugin.library)
        return Answer(protocol::StatusNotFound);
    if (!plugin.getInfo)
        return Answer(protocol::StatusInvalid);
    if (ftruncate(protocol::ResultFd, protocol::InfoResultSize) != 0)
        return Answer(protocol::StatusNoMemory);
    bool isPicture = false;
    if (!StoreInfo(plugin, 0, &isPicture))
        return 1;
    for (int number = 2; isPicture && number < protocol::InfoEntryCount; ++number)
        if (!StoreInfo(plugin, number, nullptr))
            return 1;
    const protocol::ResultHeader header{protocol::ResultMagic, protocol::StatusRead, 0, 0, 0, 0};
    return WriteAll(protocol::ResultFd, &header, sizeof header, 0) ? 0 : 1;
}

int WritePicture(std::int32_t code, SpiHandle info, SpiHandle pixels)
{
    const std::uint64_t infoSize = code == SPI_SUCCESS ? SpiSize(info) : 0;
    const std::uint64_t pixelSize = code == SPI_SUCCESS ? SpiSize(pixels) : 0;
    if (infoSize > protocol::MaxBlockSize || pixelSize > protocol::MaxBlockSize)
        return Answer(protocol::StatusNoMemory);
    const protocol::ResultHeader header{protocol::ResultMagic, protocol::StatusRead, code, 0, infoSize, pixelSize};
    const off_t total = off_t(sizeof header + infoSize + pixelSize);
    if (ftruncate(protocol::ResultFd, total) != 0)
        return Answer(protocol::StatusNoMemory);
    if (!WriteAll(protocol::ResultFd, SpiData(info), infoSize, sizeof header) ||
        !WriteAll(protocol::ResultFd, SpiData(pixels), pixelSize, off_t(sizeof header + infoSize)))
        return 1;
    return WriteAll(protocol::ResultFd, &header, sizeof header, 0) ? 0 : 1;
}

int RunRead(const char* path, const char* fileName)
{
    struct stat st;
    if (fstat(protocol::DataFd, &st) != 0 || st.st_size <= 0)
        return Answer(protocol::StatusNoMemory);
    const std::size_t length = std::size_t(st.st_size);
    // A private mapping: a plug-in that writes into its input changes nothing of the program's.
    void* data = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE, protocol::DataFd, 0);
    if (data == MAP_FAILED)
        return Answer(protocol::StatusNoMemory);

    int result = 0;
    {
        Plugin plugin(path);
        if (!plugin.library) {
            result = Answer(protocol::StatusNotFound);
        } else if (!plugin.complete || !plugin.IsPicturePlugin()) {
            result = Answer(protocol::StatusInvalid);
        } else if (plugin.isSupported(fileName, data) == 0) {
            result = Answer(protocol::StatusDeclined);
        } else {
            SpiHandle info = nullptr;
            SpiHandle pixels = nullptr;
            const int code = plugin.getPicture(static_cast<const char*>(data), long(length), SPI_INPUT_MEMORY, &info,
                                               &pixels, OnProgress, 0);
            result = WritePicture(code, info, pixels);
            SpiFree(info);
            SpiFree(pixels);
        }
    }
    munmap(data, length);
    return result;
}

bool Number(std::string_view text, std::uint64_t& value)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

// Ties this process's life to the program's: the kernel kills it when the thread that started it
// ends (that thread waits for the call, so only the program's death ends it early). A program
// that died before the request took effect shows as a different parent.
bool StayWithProgram(std::uint64_t program)
{
    return prctl(PR_SET_PDEATHSIG, SIGKILL) == 0 && std::uint64_t(getppid()) == program;
}

// Caps the address space at what is mapped now plus budget. Measured from now, because some
// runtimes (the sanitizers') reserve a large address space before main. Soft and hard limit alike,
// so the plug-in cannot raise it again.
bool LimitMemory(std::uint64_t budget)
{
    if (budget == 0)
        return true;
    unsigned long long pages = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%llu", &pages) != 1)
            pages = 0;
        std::fclose(statm);
    }
    const std::uint64_t mapped = std::uint64_t(pages) * std::uint64_t(sysconf(_SC_PAGESIZE));
    if (budget > std::numeric_limits<rlim_t>::max() - mapped)
        return true;
    rlimit limit{};
    if (getrlimit(RLIMIT_AS, &limit) != 0)
        return false;
    limit.rlim_cur = limit.rlim_max = std::min<rlim_t>(mapped + budget, limit.rlim_max);
    return setrlimit(RLIMIT_AS, &limit) == 0;
}

}  // namespace

int main(int argc, char** argv)
{
    signal(SIGPIPE, SIG_IGN);
    const std::string_view mode = argc > 1 ? argv[1] : "";
    const bool info = mode == "info" && argc == 5;
    const bool read = mode == "read" && argc == 6;
    std::uint64_t program = 0;
    std::uint64_t memory = 0;
    if ((!info && !read) || !Number(argv[2], program) || !Number(argv[3], memory))
        _exit(2);
    if (!StayWithProgram(program) || !LimitMemory(memory))
        _exit(3);
    const int result = info ? RunInfo(argv[4]) : RunRead(argv[4], argv[5]);
    if (result == 0)
        Send(protocol::MessageDone, 0, 0);
    // No exit handlers: a plug-in's leftovers must not run after the answer.
    _exit(result);
}
