// What passes between the program and its plug-in helper huedrane-spi-host. The helper is started
// once per call, in a process group of its own, as
//     huedrane-spi-host info <program pid> <memory> <plug-in path>
//     huedrane-spi-host read <program pid> <memory> <plug-in path> <file name>
// <program pid> is its parent's process id: the helper ends when that process does, or has already.
// <memory> is the address space in bytes it may add to what it maps at start (0: no limit).
// These descriptors are already open:
//     0, 1  /dev/null
//     2  a pipe the program reads: the first few lines the plug-in writes are passed on
//     3  the result memory file: created by the program, sized and filled by the helper
//     4  the channel: a stream socket; the helper sends Message records, the program sends one
//        AbortByte when the reading should stop
//     5  (read only) the picture bytes as a memory file, at least 2048 bytes long
// The result file holds a ResultHeader, then:
//     info  InfoEntryCount entries, each a little int32 (the length GetPluginInfo returned) and the
//           InfoTextSize bytes of its buffer; entries not asked for have length 0
//     read  infoSize bytes of the information block, then pixelSize bytes of the pixel block
// The helper sends MessageDone only after the whole result is in the file; anything it sends
// after that, and any result without it, is ignored. The program trusts none of the sizes.
#pragma once

#include "SByteOrder.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace ulib::spi_protocol {

inline constexpr int ResultFd = 3;
inline constexpr int ChannelFd = 4;
inline constexpr int DataFd = 5;

inline constexpr std::uint32_t ResultMagic = 0x31505348;  // "HSP1"

enum Status : std::uint32_t {
    StatusRead = 1,      // read: GetPicture was called and gave `code`; info: the texts follow
    StatusNotFound = 2,  // the plug-in could not be loaded
    StatusInvalid = 3,   // an entry point is missing or the version text is not a picture plug-in's
    StatusDeclined = 4,  // IsSupported gave 0
    StatusNoMemory = 5,  // the helper could not map the picture or size the result
};

struct ResultHeader
{
    std::uint32_t magic;
    std::uint32_t status;
    std::int32_t code;
    std::uint32_t reserved;
    std::uint64_t infoSize;
    std::uint64_t pixelSize;
};
static_assert(sizeof(ResultHeader) == 32);

// Blocks larger than this are refused on both sides: no picture the bitmap can hold needs more.
inline constexpr std::uint64_t MaxBlockSize = std::uint64_t(1) << 32;

inline constexpr int InfoEntryCount = 100;  // info numbers 0..99
inline constexpr int InfoTextSize = 256;
inline constexpr std::size_t InfoEntrySize = 4 + InfoTextSize;
inline constexpr std::size_t InfoResultSize = sizeof(ResultHeader) + InfoEntryCount * InfoEntrySize;

// Records on the channel, helper to program: kind, then two little int32 values.
enum MessageKind : std::uint8_t {
    MessageProgress = 'P',  // done, total
    MessageDone = 'D',      // 0, 0
};
inline constexpr std::size_t MessageSize = 9;
inline constexpr std::uint8_t AbortByte = 'A';

inline void PutInt32(std::uint8_t* at, std::int32_t value)
{
    ulib::PutLE32(at, static_cast<std::uint32_t>(value));
}

inline std::int32_t GetInt32(const std::uint8_t* at)
{
    return static_cast<std::int32_t>(ulib::GetLE32(at));
}

// A picture plug-in's version text (info 0): at least four characters beginning with "00IN".
// Archive plug-ins ("00AM") and anything else are never used.
inline bool IsPictureVersion(const char* text, std::int32_t length)
{
    return length >= 4 && std::memcmp(text, "00IN", 4) == 0;
}

}  // namespace ulib::spi_protocol
