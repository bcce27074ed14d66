// What a plug-in writes to its standard error. The helper's descriptor 2 is a pipe the program
// drains while the call runs (a talkative plug-in never stalls on a full pipe and never reaches
// the program's own error stream); the first few lines are kept and passed on, the rest dropped.
#pragma once

#include "SString.h"

#include <cstddef>
#include <string>
#include <vector>

namespace ulib {

class SSpiHostMessages
{
public:
    static constexpr std::size_t MaxLines = 4;
    static constexpr std::size_t MaxLineBytes = 200;

    // Takes whatever the non-blocking pipe holds now. False once it is at its end or broken.
    bool Read(int fd);
    // The kept lines (an unfinished last one counts), each cut to MaxLineBytes with control bytes
    // shown as '?', as "huedrane-spi-host: <plug-in file name>: <line>\n"; empty when none.
    std::string Text(const SString& pluginPath) const;
    // Writes Text to the standard error stream in one piece, so lines of helpers running side by
    // side never mix.
    void PassOn(const SString& pluginPath) const;

private:
    void Take(const char* bytes, std::size_t size);

    std::vector<std::string> lines_;
    std::string partial_;
};

}  // namespace ulib
