#include "SStringUnion.h"

#include "SLanguage.h"

#include <cstdlib>

namespace ulib {

namespace {

constexpr std::uint32_t English = 'e' | 'n' << 8;

bool IsControl(char byte)
{
    const auto value = static_cast<unsigned char>(byte);
    return value < 0x20 || value == 0x7F;
}

bool IsLetterOrDigit(char byte)
{
    return (byte >= '0' && byte <= '9') || (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z');
}

char Small(char byte)
{
    return byte >= 'A' && byte <= 'Z' ? char(byte - 'A' + 'a') : byte;
}

// The code of a segment's part before ":", or 0 when that part is not one to four letters or
// digits: "english:" or "e-n:" must not pass for a shorter code.
std::uint32_t SegmentCode(std::string_view code)
{
    if (code.empty() || code.size() > 4)
        return 0;
    std::uint32_t packed = 0;
    for (std::size_t i = 0; i < code.size(); ++i) {
        if (!IsLetterOrDigit(code[i]))
            return 0;
        packed |= std::uint32_t(static_cast<unsigned char>(Small(code[i]))) << (8 * i);
    }
    return packed;
}

// One walk over the segments; false when none has the code.
bool FindSegment(SStringUnion text, std::uint32_t code, std::string_view& found)
{
    std::size_t at = 0;
    while (at < text.size()) {
        if (IsControl(text[at])) {
            ++at;
            continue;
        }
        std::size_t end = at;
        while (end < text.size() && !IsControl(text[end]))
            ++end;
        const std::string_view segment = text.substr(at, end - at);
        const std::size_t colon = segment.find(':');
        if (colon != std::string_view::npos && SegmentCode(segment.substr(0, colon)) == code) {
            found = segment.substr(colon + 1);
            return true;
        }
        at = end;
    }
    return false;
}

bool StartsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

}  // namespace

std::uint32_t LanguageCode(std::string_view text)
{
    std::uint32_t packed = 0;
    int kept = 0;
    for (const char byte : text) {
        if (kept == 4 || IsControl(byte))
            break;
        if (IsLetterOrDigit(byte))
            packed |= std::uint32_t(static_cast<unsigned char>(Small(byte))) << (8 * kept++);
    }
    return packed;
}

std::uint32_t UserLanguage()
{
    std::string_view locale;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value) {
            locale = value;
            break;
        }
    }
    if (StartsWith(locale, "ja"))
        return LanguageCode("ja");
    if (StartsWith(locale, "zh_CN"))
        return LanguageCode("ch");
    if (StartsWith(locale, "ko"))
        return LanguageCode("kr");
    if (StartsWith(locale, "zh_TW"))
        return LanguageCode("tw");
    return English;
}

SString SelectText(SStringUnion text, std::uint32_t languageCode)
{
    // Once the run's language is chosen, the library's texts follow it rather than the locale.
    const std::uint32_t chosen = CurrentLanguage() == SLanguage::English ? English : LanguageCode("ja");
    const std::uint32_t code = languageCode ? languageCode : LanguageChosen() ? chosen : UserLanguage();
    std::string_view found;
    if (FindSegment(text, code, found) || (code != English && FindSegment(text, English, found)))
        return SString(found);
    return {};
}

}  // namespace ulib
