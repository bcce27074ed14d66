// The converter's shared output.
#include "CliOutput.h"

#include <iostream>

void PrintFailure(ulib::SError err, const std::string& file)
{
    const std::string identifier = ulib::ErrorIdentifier(err);
    std::cerr << "huedrane-cli: " << (identifier.empty() ? "error" : identifier) << ": " << ulib::ErrorText(err);
    if (!file.empty())
        std::cerr << " (" << file << ")";
    std::cerr << std::endl;
}

void PrintInterrupted(const char* what, std::size_t written, std::size_t total, const char* done)
{
    std::cerr << "huedrane-cli: abort: " << ulib::ErrorText(ulib::ErrorFromIdentifier("abort")) << " (" << what
              << " interrupted, " << written << " of " << total << " files " << done << ")" << std::endl;
}

void WriteJsonString(std::ostream& out, std::string_view utf8)
{
    static const char* const hex = "0123456789abcdef";
    out << '"';
    for (const char ch : utf8) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\')
            out << '\\' << ch;
        else if (c < 0x20)
            out << "\\u00" << hex[c >> 4] << hex[c & 15];
        else
            out << ch;
    }
    out << '"';
}
