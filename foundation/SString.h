// The library's text type: an owned byte string of at most 65536 bytes (UTF-8 text in memory).
// A string never holds more than the limit: a request for a longer length leaves it empty, and an
// append that would pass the limit is refused. Character indexes wrap around the length, so any
// index reaches a byte of a non-empty string.
#pragma once

#include <compare>
#include <cstdint>
#include <string>
#include <string_view>

namespace ulib {

class SString
{
public:
    static constexpr std::int32_t MaxLength = 65536;

    SString() = default;
    // A null text or one longer than MaxLength gives the empty string.
    SString(const char* text);
    SString(std::string_view text);
    SString(std::string text);

    std::int32_t Length() const { return static_cast<std::int32_t>(text_.size()); }
    bool IsEmpty() const { return text_.empty(); }

    // Lengthening fills the new bytes with blanks (0x20); a length outside 0..MaxLength empties
    // the string.
    void SetLength(std::int32_t length);
    void Clear() { text_.clear(); }

    // The byte at index modulo the length (negative counts from the end); 0 for the empty string.
    char operator[](std::int32_t index) const;
    // Writes the byte at the wrapped index; does nothing on the empty string.
    void SetAt(std::int32_t index, char byte);

    // Appends unless the result would be longer than MaxLength; then the string is left as it
    // was and the answer is false.
    bool Append(std::string_view more);
    SString& operator+=(std::string_view more)
    {
        Append(more);
        return *this;
    }
    // The concatenation, or the left operand alone when the result would pass the limit.
    friend SString operator+(SString left, std::string_view right)
    {
        left.Append(right);
        return left;
    }

    // The bytes, always followed by a terminating zero byte.
    const char* CStr() const { return text_.c_str(); }
    std::string_view View() const { return text_; }
    const std::string& Str() const { return text_; }

    bool operator==(const SString&) const = default;
    std::strong_ordering operator<=>(const SString& other) const { return text_.compare(other.text_) <=> 0; }

private:
    std::int32_t WrapIndex(std::int32_t index) const;

    std::string text_;
};

}  // namespace ulib
