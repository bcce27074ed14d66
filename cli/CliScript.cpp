// Script syntax: every line's words and numbers are checked before anything runs.
#include "CliScript.h"

#include "SGapFill.h"
#include "STools.h"

#include <cstdlib>
#include <set>
#include <sstream>

namespace {

bool IsInteger(const std::string& word, long low, long high)
{
    if (word.empty())
        return false;
    char* end = nullptr;
    const long value = std::strtol(word.c_str(), &end, 10);
    return *end == '\0' && value >= low && value <= high;
}

bool IsToolWord(const std::string& word)
{
    static const std::set<std::string> tools = {"paint", "spuit", "trace",    "brush", "fix",  "fixrm",
                                                "remap", "liquid", "unliquid", "extra", "knife"};
    return tools.count(word) != 0;
}

// The reason a command is malformed, or empty when it is well formed.
std::string Check(const SScriptCommand& c)
{
    static const std::set<std::string> layers = {"under", "genga", "paint", "trace", "extra"};
    const auto& a = c.args;
    if (c.word == "mode")
        return a.size() == 1 && (a[0] == "colour" || a[0] == "eraser" || a[0] == "bitmap") ? "" : "mode takes colour, eraser or bitmap";
    if (c.word == "colour")
        return c.rest.empty() ? "colour needs a colour text" : "";
    if (c.word == "reference")
        return c.rest.empty() ? "reference needs a picture or none" : "";
    if (c.word == "pen")
        return a.size() == 1 && IsInteger(a[0], 0, 4) ? "" : "pen takes 0..4";
    if (c.word == "gap")
        return a.size() == 1 && IsInteger(a[0], 0, LargestFillGap) ? "" : "gap takes 0.." + std::to_string(LargestFillGap);
    if (IsBrushSetting(c))
        return IsInteger(a[0], 0, 200) && IsInteger(a[1], 0, 100) && IsInteger(a[2], 0, 255)
                   ? ""
                   : "brush takes RADIUS (0..200) SHAPE (0..100) DENSITY (0..255), or X Y pairs";
    if (c.word == "show" || c.word == "hide")
        return a.size() == 1 && layers.count(a[0]) ? "" : c.word + " takes under, genga, paint, trace or extra";
    if (c.word == "fillall")
        return a.size() == 1 && (a[0] == "paint" || a[0] == "trace" || a[0] == "extra" || a[0] == "both")
                   ? ""
                   : "fillall takes paint, trace, extra or both";
    if (c.word == "blacktored" || c.word == "gundress" || c.word == "undo" || c.word == "redo")
        return a.empty() ? "" : c.word + " takes nothing";
    if (c.word == "memo")
        return "";
    if (IsToolWord(c.word)) {
        if (c.word == "brush" && (a.empty() || a.size() % 2 != 0))
            return "brush takes RADIUS SHAPE DENSITY, or X Y pairs";
        if (a.empty() || a.size() % 2 != 0)
            return c.word + " takes X Y pairs";
        for (const std::string& n : a)
            if (!IsInteger(n, -100000, 100000))
                return "not a coordinate: " + n;
        return "";
    }
    return "unknown command " + c.word;
}

}  // namespace

bool IsBrushSetting(const SScriptCommand& command)
{
    return command.word == "brush" && command.args.size() == 3;
}

bool ParseScript(const std::string& text, std::vector<SScriptCommand>& commands, std::string& problem)
{
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line[start] == '#')
            continue;
        SScriptCommand c;
        c.line = number;
        std::istringstream words(line.substr(start));
        words >> c.word;
        for (std::string w; words >> w;)
            c.args.push_back(w);
        const std::size_t restAt = line.find_first_not_of(" \t", start + c.word.size());
        c.rest = restAt == std::string::npos ? "" : line.substr(restAt);
        if (std::string reason = Check(c); !reason.empty()) {
            problem = "line " + std::to_string(number) + ": " + reason;
            return false;
        }
        commands.push_back(std::move(c));
    }
    return true;
}
