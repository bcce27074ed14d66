// Editing scripts for the converter: one command a line, run on the working cel exactly as the
// painting window's tools and menus would run them (same undo steps, same colour modes).
#pragma once

#include <string>
#include <vector>

struct SScriptCommand
{
    int line = 0;                    // 1-based, for messages
    std::string word;                // the command word
    std::vector<std::string> args;   // the words after it
    std::string rest;                // the text after the command word (colour and memo texts)
};

// "brush" with exactly three numbers sets the brush (radius, shape, density); with pairs of
// numbers it is a drag of the brush tool.
bool IsBrushSetting(const SScriptCommand& command);

// Parses and checks a whole script. Blank lines and lines starting with '#' are skipped. On the
// first unknown or malformed line, returns false with "line N: reason".
bool ParseScript(const std::string& text, std::vector<SScriptCommand>& commands, std::string& problem);
