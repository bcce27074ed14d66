// SBinary: an owned byte buffer with a length, for file contents, compressed layers and other
// raw data. New bytes are always zero. A failed allocation gives "memory_alloc" and leaves the
// buffer as it was; callers check sizes taken from outside data before asking for them.
#pragma once

#include "SError.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace ulib {

class SBinary
{
public:
    SBinary() = default;
    // Copies length bytes from data (nothing when data is null). A failed copy leaves it empty.
    SBinary(const void* data, std::size_t length);

    std::size_t Length() const { return bytes_.size(); }
    bool IsEmpty() const { return bytes_.empty(); }

    // The bytes, owned by the buffer; valid until its length changes. Null when empty.
    std::uint8_t* Data() { return bytes_.empty() ? nullptr : bytes_.data(); }
    const std::uint8_t* Data() const { return bytes_.empty() ? nullptr : bytes_.data(); }
    std::span<std::uint8_t> Bytes() { return bytes_; }
    std::span<const std::uint8_t> Bytes() const { return bytes_; }

    // Keeps the first bytes; lengthening adds zero bytes. Error: "memory_alloc".
    SError Resize(std::size_t length);
    // Replaces the contents with a copy of data; data may point into this buffer.
    // Error: "memory_alloc" (contents unchanged); a null data with a length gives "null_pointer".
    SError Assign(const void* data, std::size_t length);
    // Appends a copy of data; data may point into this buffer. Errors as Assign.
    SError Append(const void* data, std::size_t length);
    void Clear();

    bool operator==(const SBinary&) const = default;

private:
    std::vector<std::uint8_t> bytes_;
};

}  // namespace ulib
