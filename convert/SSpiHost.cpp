// Running the plug-in helper: one process per call, started with posix_spawn (the program has
// worker threads, so it never forks itself), every descriptor of ours close-on-exec except the three
// the helper is handed.
#include "SSpiHost.h"

#include "SSpiAccess.h"
#include "SSpiHostMessages.h"

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
#include <optional>
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

    // Kills the helper's whole process group (whatever a plug-in started goes too; harmless once
    // they have exited) and reaps the helper, so no call leaves a zombie behind.
    void End()
    {
        if (pid <= 0)
            return;
        kill(-pid, SIGKILL);
        while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
        }
        pid = -1;
    }
};

// The descriptors a helper is handed (SSpiProtocol.h); data is -1 for an info call.
struct SHelperFds
{
    int result = -1;
    int channel = -1;
    int data = -1;
    int messages = -1;
};

SError Spawn(const SSpiHostCall& call, const SHelperFds& fds, SChild& child)
{
    std::string mode = call.read ? "read" : "info";
    std::string host = call.spi->hostPath.Str();
    std::string program = std::to_string(getpid());
    std::string memory = std::to_string(call.spi->memoryLimitBytes);
    std::string plugin = call.pluginPath.Str();
    std::string file = call.fileName.Str();
    char* argv[] = {host.data(),   mode.data(), program.data(), memory.data(), plugin.data(),
                    call.read ? file.data() : nullptr, nullptr};

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, fds.messages, 2);
    posix_spawn_file_actions_adddup2(&actions, fds.result, protocol::ResultFd);
    posix_spawn_file_actions_adddup2(&actions, fds.channel, protocol::ChannelFd);
    if (fds.data >= 0)
        posix_spawn_file_actions_adddup2(&actions, fds.data, protocol::DataFd);

    // Signals the program ignores or blocks (Ctrl+C is handled by the batch, SIGPIPE by the
    // console) would otherwise stay ignored or blocked in the helper. Its own process group keeps
    // the terminal's Ctrl+C for the program, which ends the helper itself.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    for (int number : {SIGPIPE, SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGCHLD})
        sigaddset(&defaults, number);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);

    const int code = posix_spawn(&child.pid, host.c_str(), &actions, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (code != 0) {
        child.pid = -1;
        return ErrorFromSystemCode(code);
    }
    return 0;
}

// Relays one progress record's position to the SAbort.
void Progress(const std::uint8_t* record, SAbort* abort)
{
    const std::int64_t done = protocol::GetInt32(record + 1);
    const std::int64_t total = protocol::GetInt32(record + 5);
    if (!abort || total == 0)
        return;
    abort->SetPosition(std::int32_t(std::clamp<std::int64_t>(done * 100 / total, INT32_MIN, INT32_MAX)));
}

using Clock = std::chrono::steady_clock;

// now + milliseconds; never for a limit of zero or less.
Clock::time_point After(Clock::time_point now, std::int32_t milliseconds)
{
    return milliseconds > 0 ? now + std::chrono::milliseconds(milliseconds) : Clock::time_point::max();
}

// How often a waiting call looks at the abort request; a helper that reports nothing would
// otherwise keep an abort waiting for the silence limit.
constexpr auto AbortPoll = std::chrono::milliseconds(50);

// Watches one helper run: its records on the channel, its messages on the pipe, the silence and
// overall limits and the abort request.
class SHelperWatch
{
public:
    SHelperWatch(const SSpiHostCall& call, int channel, int messagePipe)
        : call_(call), channel_(channel), messagePipe_(messagePipe)
    {
    }

    // 0 once the helper says it is done; "plugin_exception" when it dies first, is silent for the
    // time-out or runs past the call limit; "abort" when an abort request outlasts the grace.
    SError Await()
    {
        const SSpiAccess& spi = *call_.spi;
        const Clock::time_point start = Clock::now();
        const Clock::time_point callEnd = After(start, spi.callLimitMilliseconds);
        silenceEnd_ = After(start, spi.timeoutMilliseconds);
        for (;;) {
            const Clock::time_point now = Clock::now();
            if (call_.abort && call_.abort->IsAborted() && abortEnd_ == Clock::time_point::max())
                StartAbort(now);
            if (now >= abortEnd_)
                return ErrorFromIdentifier("abort");
            if (now >= silenceEnd_ || now >= callEnd)
                return ErrorFromIdentifier("plugin_exception");
            Clock::time_point wake = std::min({silenceEnd_, callEnd, abortEnd_});
            if (call_.abort)
                wake = std::min(wake, now + AbortPoll);
            if (const std::optional<bool> done = Wait(wake - now))
                return *done ? 0 : ErrorFromIdentifier("plugin_exception");
        }
    }

    // What is left on the message pipe once the helper is gone.
    const SSpiHostMessages& Messages()
    {
        if (messagePipe_ >= 0)
            messages_.Read(messagePipe_);
        return messages_;
    }

private:
    // The plug-in hears of the abort at its next progress call and may still stop by itself.
    void StartAbort(Clock::time_point now)
    {
        const std::uint8_t byte = protocol::AbortByte;
        (void)send(channel_, &byte, 1, MSG_NOSIGNAL | MSG_DONTWAIT);
        abortEnd_ = now + std::chrono::milliseconds(std::max(0, call_.spi->abortGraceMilliseconds));
    }

    // One wait of at most `left`: true when the helper said it is done, false when it is gone,
    // nothing when the call goes on.
    std::optional<bool> Wait(Clock::duration left)
    {
        const auto milliseconds = std::chrono::ceil<std::chrono::milliseconds>(left).count();
        pollfd entries[2] = {{channel_, POLLIN, 0}, {messagePipe_, POLLIN, 0}};
        const int ready = poll(entries, messagePipe_ >= 0 ? 2 : 1, int(std::clamp<long long>(milliseconds, 0, INT32_MAX)));
        if (ready <= 0)
            return std::nullopt;  // a signal or the time: the caller checks the limits again
        if (entries[1].revents && !messages_.Read(messagePipe_))
            messagePipe_ = -1;
        if (!entries[0].revents)
            return std::nullopt;
        const ssize_t n = recv(channel_, buffer_ + held_, sizeof buffer_ - held_, 0);
        if (n < 0 && (errno == EINTR || errno == EAGAIN))
            return std::nullopt;
        if (n <= 0)
            return false;
        held_ += std::size_t(n);
        silenceEnd_ = After(Clock::now(), call_.spi->timeoutMilliseconds);
        std::size_t at = 0;
        for (; held_ - at >= protocol::MessageSize; at += protocol::MessageSize) {
            if (buffer_[at] == protocol::MessageDone)
                return true;
            if (buffer_[at] == protocol::MessageProgress)
                Progress(buffer_ + at, call_.abort);
        }
        std::memmove(buffer_, buffer_ + at, held_ - at);
        held_ -= at;
        return std::nullopt;
    }

    const SSpiHostCall& call_;
    int channel_;
    int messagePipe_;  // -1 once at its end
    SSpiHostMessages messages_;
    Clock::time_point silenceEnd_;
    Clock::time_point abortEnd_ = Clock::time_point::max();
    std::uint8_t buffer_[protocol::MessageSize * 64];
    std::size_t held_ = 0;
};

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
    if (pipe2(pair, O_CLOEXEC) != 0)
        return ErrorFromSystemCode(errno);
    SFd messages(Lifted(pair[0]));
    SFd childMessages(Lifted(pair[1]));
    if (!channel.IsOpen() || !childEnd.IsOpen() || !messages.IsOpen() || !childMessages.IsOpen() ||
        fcntl(messages.Get(), F_SETFL, O_NONBLOCK) != 0)
        return ErrorFromSystemCode(EMFILE);

    SChild child;
    if (SError err = Spawn(call, {result.Get(), childEnd.Get(), data.Get(), childMessages.Get()}, child))
        return err;
    // Only the helper holds its ends now, so its death ends our reading.
    childEnd.Reset();
    childMessages.Reset();
    data.Reset();
    SHelperWatch watch(call, channel.Get(), messages.Get());
    const SError err = watch.Await();
    child.End();
    watch.Messages().PassOn(call.pluginPath);
    if (err)
        return err;
    return answer->Take(result.Get(), call.read);
}

}  // namespace ulib
