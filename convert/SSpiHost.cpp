// Running the plug-in helper: one process per call, started with posix_spawn (the program has
// worker threads, so it never forks itself), every descriptor of ours close-on-exec except the three
// the helper is handed.
#include "SSpiHost.h"

#include "SSpiAccess.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string>

extern char** environ;

namespace ulib {

namespace protocol = spi_protocol;

namespace {

constexpr std::size_t MinimumData = 2048;

class SFd
{
public:
    explicit SFd(int fd = -1) : fd_(fd) {}
    ~SFd() { Reset(); }
    SFd(const SFd&) = delete;
    SFd& operator=(const SFd&) = delete;
    int Get() const { return fd_; }
    bool IsOpen() const { return fd_ >= 0; }
    int Release()
    {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }
    void Reset(int fd = -1)
    {
        if (fd_ >= 0)
            close(fd_);
        fd_ = fd;
    }

private:
    int fd_;
};

// Moves the descriptor above the helper's fixed numbers, so that handing them over can never
// overwrite one source with another.
int Lifted(int fd)
{
    if (fd < 0)
        return -1;
    const int lifted = fcntl(fd, F_DUPFD_CLOEXEC, 10);
    close(fd);
    return lifted;
}

bool WriteAll(int fd, const std::uint8_t* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = write(fd, data, std::min<std::size_t>(size, 1 << 30));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= std::size_t(n);
    }
    return true;
}

// The picture as the plug-in sees it: the file's bytes, zero-filled up to 2048 bytes.
int DataFile(const std::uint8_t* data, std::size_t size)
{
    SFd fd(Lifted(memfd_create("huedrane-spi-data", MFD_CLOEXEC)));
    if (!fd.IsOpen() || !WriteAll(fd.Get(), data, size))
        return -1;
    if (size < MinimumData && ftruncate(fd.Get(), MinimumData) != 0)
        return -1;
    return fd.Release();
}

struct SChild
{
    pid_t pid = -1;

    // Kills (harmless once it has exited) and reaps, so no call leaves a zombie behind.
    void End()
    {
        if (pid <= 0)
            return;
        kill(pid, SIGKILL);
        while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
        }
        pid = -1;
    }
};

SError Spawn(const SSpiHostCall& call, int resultFd, int channelFd, int dataFd, SChild& child)
{
    std::string mode = call.read ? "read" : "info";
    std::string host = call.spi->hostPath.Str();
    std::string plugin = call.pluginPath.Str();
    std::string file = call.fileName.Str();
    char* argv[] = {host.data(), mode.data(), plugin.data(), call.read ? file.data() : nullptr, nullptr};

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, resultFd, protocol::ResultFd);
    posix_spawn_file_actions_adddup2(&actions, channelFd, protocol::ChannelFd);
    if (dataFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, dataFd, protocol::DataFd);

    // Signals the program ignores or blocks (Ctrl+C is handled by the batch, SIGPIPE by the
    // console) would otherwise stay ignored or blocked in the helper.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    for (int number : {SIGPIPE, SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGCHLD})
        sigaddset(&defaults, number);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    const int code = posix_spawn(&child.pid, host.c_str(), &actions, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (code != 0) {
        child.pid = -1;
        return ErrorFromSystemCode(code);
    }
    return 0;
}

// Relays one progress record: the position goes to the SAbort, and an abort it reports goes back
// to the helper (once).
void Progress(const std::uint8_t* record, SAbort* abort, int channel, bool& abortSent)
{
    const std::int64_t done = protocol::GetInt32(record + 1);
    const std::int64_t total = protocol::GetInt32(record + 5);
    if (!abort || total == 0)
        return;
    const std::int64_t position = std::clamp<std::int64_t>(done * 100 / total, INT32_MIN, INT32_MAX);
    if (abort->SetPosition(std::int32_t(position)) && !abortSent) {
        const std::uint8_t byte = protocol::AbortByte;
        abortSent = send(channel, &byte, 1, MSG_NOSIGNAL | MSG_DONTWAIT) == 1;
    }
}

// Reads the helper's records until it says it is done; false when it dies first or is silent for
// the time-out.
bool AwaitDone(int channel, const SSpiHostCall& call)
{
    using Clock = std::chrono::steady_clock;
    // No positive time-out: wait as long as the helper lives.
    const bool timed = call.spi->timeoutMilliseconds > 0;
    const auto timeout = std::chrono::milliseconds(timed ? call.spi->timeoutMilliseconds : 0);
    auto deadline = Clock::now() + timeout;
    std::uint8_t buffer[protocol::MessageSize * 64];
    std::size_t held = 0;
    bool abortSent = false;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (timed && left <= 0)
            return false;
        pollfd entry{channel, POLLIN, 0};
        const int ready = poll(&entry, 1, timed ? int(std::min<long long>(left, INT32_MAX)) : -1);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return false;
        const ssize_t n = recv(channel, buffer + held, sizeof buffer - held, 0);
        if (n < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (n <= 0)
            return false;
        held += std::size_t(n);
        deadline = Clock::now() + timeout;
        std::size_t at = 0;
        for (; held - at >= protocol::MessageSize; at += protocol::MessageSize) {
            if (buffer[at] == protocol::MessageDone)
                return true;
            if (buffer[at] == protocol::MessageProgress)
                Progress(buffer + at, call.abort, channel, abortSent);
        }
        std::memmove(buffer, buffer + at, held - at);
        held -= at;
    }
}

}  // namespace

SSpiHostAnswer::~SSpiHostAnswer()
{
    if (map_)
        munmap(map_, size_);
}

std::int32_t SSpiHostAnswer::InfoLength(std::int32_t number) const
{
    if (!map_ || number < 0 || number >= protocol::InfoEntryCount || size_ < protocol::InfoResultSize)
        return 0;
    return protocol::GetInt32(map_ + sizeof header_ + std::size_t(number) * protocol::InfoEntrySize);
}

const char* SSpiHostAnswer::InfoText(std::int32_t number) const
{
    static const char empty[protocol::InfoTextSize] = {};
    if (!map_ || number < 0 || number >= protocol::InfoEntryCount || size_ < protocol::InfoResultSize)
        return empty;
    return reinterpret_cast<const char*>(map_ + sizeof header_ + std::size_t(number) * protocol::InfoEntrySize + 4);
}

// Seals the result against any further change in size (so a mapping of it can never fault), then
// checks every size the helper wrote against the bytes really there.
SError SSpiHostAnswer::Take(int fd, bool read)
{
    const SError broken = ErrorFromIdentifier("plugin_exception");
    if (fcntl(fd, F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE) != 0 &&
        fcntl(fd, F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_GROW) != 0)
        return broken;
    struct stat st;
    if (fstat(fd, &st) != 0 || st.st_size < off_t(sizeof header_) || std::uint64_t(st.st_size) > 3 * protocol::MaxBlockSize)
        return broken;
    if (pread(fd, &header_, sizeof header_, 0) != ssize_t(sizeof header_) || header_.magic != protocol::ResultMagic)
        return broken;
    const std::uint64_t size = std::uint64_t(st.st_size);
    if (header_.status == protocol::StatusRead) {
        if (!read && size < protocol::InfoResultSize)
            return broken;
        if (read && (header_.infoSize > protocol::MaxBlockSize || header_.pixelSize > protocol::MaxBlockSize ||
                     sizeof header_ + header_.infoSize + header_.pixelSize > size))
            return broken;
    } else {
        header_.infoSize = header_.pixelSize = 0;
    }
    void* map = mmap(nullptr, std::size_t(size), PROT_READ, MAP_PRIVATE, fd, 0);
    if (map == MAP_FAILED)
        return ErrorFromIdentifier("Workspace");
    map_ = static_cast<std::uint8_t*>(map);
    size_ = std::size_t(size);
    return 0;
}

SError RunPluginHost(const SSpiHostCall& call, SSpiHostAnswer* answer)
{
    if (!call.spi || !answer || (call.read && (!call.data || call.size == 0)))
        return ErrorFromIdentifier("pointer");
    const SError workspace = ErrorFromIdentifier("Workspace");
    SFd result(Lifted(memfd_create("huedrane-spi-result", MFD_CLOEXEC | MFD_ALLOW_SEALING)));
    SFd data(call.read ? DataFile(call.data, call.size) : -1);
    if (!result.IsOpen() || (call.read && !data.IsOpen()))
        return workspace;
    int pair[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0)
        return ErrorFromSystemCode(errno);
    SFd channel(Lifted(pair[0]));
    SFd childEnd(Lifted(pair[1]));
    if (!channel.IsOpen() || !childEnd.IsOpen())
        return ErrorFromSystemCode(EMFILE);

    SChild child;
    if (SError err = Spawn(call, result.Get(), childEnd.Get(), data.Get(), child))
        return err;
    // Only the helper holds its end now, so its death ends our reading.
    childEnd.Reset();
    data.Reset();
    const bool done = AwaitDone(channel.Get(), call);
    child.End();
    if (!done)
        return ErrorFromIdentifier("plugin_exception");
    return answer->Take(result.Get(), call.read);
}

}  // namespace ulib
