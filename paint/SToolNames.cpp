// The tools' names as the settings store and the scripts spell them.
#include "STools.h"

const char* ToolSettingsName(std::int32_t tool)
{
    static const char* const names[] = {"",      "paint",  "spuit", "trace",  "brush",    "fix",      "fixrm", "move",
                                        "zoom",  "unzoom", "remap", "liquid", "unliquid", "extra",    "knife"};
    return tool >= 1 && tool <= 14 ? names[tool] : "";
}
