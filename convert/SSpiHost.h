// The program's side of a plug-in call: starts huedrane-spi-host with posix_spawn, hands it the
// picture through a memory file, relays its progress to the SAbort and the abort request back,
// ends it when a limit is reached, and checks the result it leaves (SSpiProtocol.h) before anyone
// reads it.
#pragma once

#include "SAbort.h"
#include "SError.h"
#include "SSpiProtocol.h"
#include "SString.h"

#include <cstddef>
#include <cstdint>

namespace ulib {

struct SSpiAccess;

struct SSpiHostCall
{
    const SSpiAccess* spi = nullptr;  // the helper's path and the limits
    bool read = false;                // false: version and filter texts; true: support test and reading
    SString pluginPath;
    SString fileName;                     // read only
    const std::uint8_t* data = nullptr;   // read only: the file's bytes, size of them (not 0)
    std::size_t size = 0;
    SAbort* abort = nullptr;              // read only; may be null
};

// The helper's checked answer: every size in the header lies inside the mapped result.
class SSpiHostAnswer
{
public:
    SSpiHostAnswer() = default;
    ~SSpiHostAnswer();
    SSpiHostAnswer(const SSpiHostAnswer&) = delete;
    SSpiHostAnswer& operator=(const SSpiHostAnswer&) = delete;

    const spi_protocol::ResultHeader& Header() const { return header_; }
    // Read results: the blocks as the plug-in allocated them (null when 0 bytes).
    const std::uint8_t* Info() const { return Payload(); }
    const std::uint8_t* Pixels() const { return Payload() ? Payload() + header_.infoSize : nullptr; }
    // Info results: the length GetPluginInfo returned for the number, and its 256-byte buffer.
    std::int32_t InfoLength(std::int32_t number) const;
    const char* InfoText(std::int32_t number) const;

private:
    friend SError RunPluginHost(const SSpiHostCall& call, SSpiHostAnswer* answer);
    SError Take(int fd, bool read);
    const std::uint8_t* Payload() const { return size_ > sizeof header_ ? map_ + sizeof header_ : nullptr; }

    spi_protocol::ResultHeader header_{};
    std::uint8_t* map_ = nullptr;
    std::size_t size_ = 0;
};

// One helper run under the limits of call.spi. Data shorter than 2048 bytes reach the plug-in as
// 2048 bytes with a zero tail. The first lines the plug-in writes to its error stream go to ours.
// err: "Workspace" (the memory files), the system error of a helper that cannot be started,
// "plugin_exception" (the helper died, answered nothing usable, sent nothing for the time-out or
// ran past the call limit), "abort" (requested on call.abort and not answered within the grace).
// The helper and its process group are killed and the helper reaped either way.
SError RunPluginHost(const SSpiHostCall& call, SSpiHostAnswer* answer);

}  // namespace ulib
