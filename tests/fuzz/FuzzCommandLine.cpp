// Command-line texts as a desktop or a script might hand them over: splitting must stay inside the
// text, never invent a byte, and reading the switches must pick its file among the arguments.
#include "SCommandLine.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const ulib::SArray<ulib::SString> arguments = SplitCommandLine(ulib::SString(text));
    std::size_t from = 0;
    bool fileFound = false;
    const SCommandLine line = ParseCommandLine(arguments);
    for (const ulib::SString& argument : arguments) {
        // Arguments come in order, each a piece of the text.
        const std::size_t at = text.find(argument.Str(), from);
        if (at == std::string::npos)
            std::abort();
        from = at + argument.Str().size();
        fileFound = fileFound || argument == line.file;
    }
    if (!line.file.IsEmpty() && !fileFound)
        std::abort();
    return 0;
}
