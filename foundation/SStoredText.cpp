// CP932 conversion through iconv. "CP932" rather than "SHIFT_JIS": the latter maps ～ and ① differently
// or not at all.
#include "SStoredText.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <iconv.h>

namespace ulib {

namespace {

class Converter
{
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter()
    {
        if (Valid())
            iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool Valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts all of `in`; on a byte sequence it cannot convert, `onBad` decides: it returns the
    // replacement to append and how many input bytes to skip, or false to give up.
    template <typename OnBad>
    bool Convert(std::string_view in, std::string& out, OnBad onBad)
    {
        char* src = const_cast<char*>(in.data());
        std::size_t left = in.size();
        char buffer[1024];
        while (left > 0) {
            char* dst = buffer;
            std::size_t room = sizeof buffer;
            const std::size_t r = iconv(cd_, &src, &left, &dst, &room);
            out.append(buffer, std::size_t(dst - buffer));
            if (r != std::size_t(-1))
                continue;
            if (errno == E2BIG)
                continue;
            std::string replacement;
            std::size_t skip = 0;
            if (!onBad(replacement, skip))
                return false;
            out += replacement;
            skip = std::min(skip, left);
            src += skip;
            left -= skip;
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
        return true;
    }

private:
    iconv_t cd_;
};

}  // namespace

bool IsValidUtf8(std::string_view bytes)
{
    std::size_t i = 0;
    while (i < bytes.size()) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        std::size_t n = 0;
        std::uint32_t code = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if (c >= 0xC2 && c <= 0xDF) {
            n = 1, code = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            n = 2, code = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            n = 3, code = c & 0x07;
        } else {
            return false;
        }
        if (i + n >= bytes.size())
            return false;  // cut short
        for (std::size_t k = 1; k <= n; ++k) {
            const unsigned char d = static_cast<unsigned char>(bytes[i + k]);
            if ((d & 0xC0) != 0x80)
                return false;
            code = code << 6 | (d & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
        if ((n == 2 && code < 0x800) || (n == 3 && code < 0x10000) || code > 0x10FFFF ||
            (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += n + 1;
    }
    return true;
}

std::string EncodeStoredText(std::string_view utf8)
{
    Converter toCp932("CP932", "UTF-8");
    std::string out;
    if (toCp932.Valid() && toCp932.Convert(utf8, out, [](std::string&, std::size_t&) { return false; }))
        return out;
    return std::string(utf8);
}

std::string DecodeStoredText(std::string_view bytes)
{
    if (IsValidUtf8(bytes))
        return std::string(bytes);
    Converter fromCp932("UTF-8", "CP932");
    std::string out;
    if (fromCp932.Valid() && fromCp932.Convert(bytes, out, [](std::string& replacement, std::size_t& skip) {
            replacement = "\xEF\xBF\xBD";
            skip = 1;
            return true;
        }))
        return out;
    return std::string(bytes);
}

}  // namespace ulib
