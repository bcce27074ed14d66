#include "SBinary.h"

#include <cstring>
#include <functional>
#include <new>
#include <stdexcept>

namespace ulib {

SBinary::SBinary(const void* data, std::size_t length)
{
    Assign(data, length);  // a failed copy leaves the buffer empty
}

SError SBinary::Resize(std::size_t length)
{
    try {
        bytes_.resize(length, 0);
    } catch (const std::bad_alloc&) {
        return ErrorFromIdentifier("memory_alloc");
    } catch (const std::length_error&) {
        return ErrorFromIdentifier("memory_alloc");
    }
    return 0;
}

SError SBinary::Assign(const void* data, std::size_t length)
{
    if (!data && length != 0)
        return ErrorFromIdentifier("null_pointer");
    // Copy first, so a source inside this buffer survives and a failure changes nothing.
    SBinary copy;
    if (const SError err = copy.Resize(length))
        return err;
    if (length != 0)
        std::memcpy(copy.bytes_.data(), data, length);
    bytes_.swap(copy.bytes_);
    return 0;
}

SError SBinary::Append(const void* data, std::size_t length)
{
    if (length == 0)
        return 0;
    if (!data)
        return ErrorFromIdentifier("null_pointer");
    const auto* source = static_cast<const std::uint8_t*>(data);
    const std::uint8_t* begin = bytes_.data();
    const std::uint8_t* end = begin + bytes_.size();
    // Growing may move the block, so a source inside it is found again by its offset.
    const std::less<const std::uint8_t*> before;
    const bool inside = !bytes_.empty() && !before(source, begin) && before(source, end);
    const std::size_t offset = inside ? std::size_t(source - begin) : 0;
    const std::size_t oldLength = bytes_.size();
    if (length > bytes_.max_size() - oldLength)
        return ErrorFromIdentifier("memory_alloc");
    if (const SError err = Resize(oldLength + length))
        return err;
    std::memmove(bytes_.data() + oldLength, inside ? bytes_.data() + offset : source, length);
    return 0;
}

void SBinary::Clear()
{
    bytes_.clear();
    bytes_.shrink_to_fit();
}

}  // namespace ulib
