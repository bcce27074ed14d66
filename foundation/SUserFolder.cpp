#include "SUserFolder.h"

#include <cstdlib>
#include <string>

namespace ulib {

SString UserFolder(const char* variable, const char* fallback)
{
    std::string base;
    if (const char* set = std::getenv(variable); set && set[0] == '/') {
        base = set;
    } else {
        const char* home = std::getenv("HOME");
        if (!home || home[0] == '\0')
            return SString();
        base = std::string(home) + "/" + fallback;
    }
    while (base.size() > 1 && base.back() == '/')
        base.pop_back();
    return SString(base);
}

}  // namespace ulib
