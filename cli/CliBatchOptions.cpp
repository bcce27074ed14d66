// The batch commands' options, checked and turned into the options record.
#include "CliBatch.h"

#include "SCelCheck.h"
#include "SColourText.h"
#include "SGapSplit.h"

#include <cstdlib>
#include <map>
#include <set>
#include <thread>

namespace {

bool ParseInt(const std::string& text, long low, long high, int& out)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0' || v < low || v > high)
        return false;
    out = int(v);
    return true;
}

// "A/B" as two integers.
bool ParsePair(const std::string& text, long low, long high, int& a, int& b)
{
    const std::size_t slash = text.find('/');
    return slash != std::string::npos && ParseInt(text.substr(0, slash), low, high, a) &&
           ParseInt(text.substr(slash + 1), low, high, b);
}

// The options each command with options takes.
const std::map<std::string, std::set<std::string>> CommandOptions = {
    {"import", {"-j", "--force", "--keep-going", "--progress", "--level", "--genga", "--binarize", "--anti-hole"}},
    {"export", {"-j", "--force", "--keep-going", "--progress", "--format", "--depth", "--layers", "--reduce",
                "--black-trace", "--gamut", "--binarize-outline", "--background", "--underlay"}},
    {"carry", {"-j", "--from", "--in-place", "--json", "--gap"}},
    {"check", {"-j", "--min-speck", "--include-edge", "--json"}},
};

}  // namespace

bool CheckCommandOptions(const SCliArguments& args, std::string& problem)
{
    const std::set<std::string>& own = CommandOptions.at(args.command);
    for (const auto& [name, value] : args.values)
        if (!own.count(name)) {
            problem = name + " does not belong to " + args.command;
            return false;
        }
    for (const std::string& name : args.flags)
        if (!own.count(name)) {
            problem = name + " does not belong to " + args.command;
            return false;
        }
    int jobs = 0;
    if (args.values.count("-j") && !ParseInt(args.values.at("-j"), 0, 1024, jobs)) {
        problem = "-j takes 0 (all cores) to 1024";
        return false;
    }
    int minSpeck = 0;
    if (args.values.count("--min-speck") && !ParseInt(args.values.at("--min-speck"), 0, LargestMinSpeck, minSpeck)) {
        problem = "--min-speck takes 0 (no specks) to " + std::to_string(LargestMinSpeck);
        return false;
    }
    int gap = 0;
    if (args.values.count("--gap") && !ParseInt(args.values.at("--gap"), 0, LargestFillGap, gap)) {
        problem = "--gap takes 0 (none) to " + std::to_string(LargestFillGap);
        return false;
    }
    if (!args.hide.empty() || args.silhouette || !args.script.empty()) {
        problem = "--hide, --silhouette and --script do not belong to " + args.command;
        return false;
    }
    return true;
}

bool CheckBatchArguments(const SCliArguments& args, std::string& problem)
{
    if (!CheckCommandOptions(args, problem))
        return false;
    if (args.operands.empty()) {
        const bool import = args.command == "import";
        problem = args.command + (import ? " needs at least one picture" : " needs at least one document");
        return false;
    }
    if (!args.output.empty() && args.operands.size() != 1) {
        problem = "-o takes a single input";
        return false;
    }
    return true;
}

bool ImportOptionsFromArguments(const SCliArguments& args, SHuedraneOptions& o, std::string& problem)
{
    if (auto it = args.values.find("--level"); it != args.values.end()) {
        int black = 0, white = 0;
        if (!ParsePair(it->second, -64, 319, black, white) || black > white) {
            problem = "--level takes BLACK/WHITE (-64..319) with black not above white";
            return false;
        }
        o.importLevelEnabled = true;
        o.importLevelBlack = black;
        o.importLevelWhite = white;
    }
    if (auto it = args.values.find("--genga"); it != args.values.end()) {
        const std::string& g = it->second;
        if (g != "normal" && g != "lossy" && g != "none") {
            problem = "--genga takes normal, lossy or none";
            return false;
        }
        o.importGengaCompress = g == "normal" ? 0 : g == "lossy" ? 1 : 2;
    }
    o.importBinarize = args.flags.count("--binarize") != 0;
    o.importAntiHole = args.flags.count("--anti-hole") != 0;
    return true;
}

bool ExportOptionsFromArguments(const SCliArguments& args, SHuedraneOptions& o, std::string& problem)
{
    const auto& v = args.values;
    if (auto it = v.find("--format"); it != v.end()) {
        const std::string& f = it->second;
        if (f != "bmp" && f != "png" && f != "jpg") {
            problem = "--format takes bmp, png or jpg";
            return false;
        }
        o.exportFormat = f == "bmp" ? 0 : f == "png" ? 1 : 2;
    }
    if (auto it = v.find("--depth"); it != v.end()) {
        if (it->second != "24" && it->second != "32") {
            problem = "--depth takes 24 or 32";
            return false;
        }
        o.export24Bit = it->second == "24";
    }
    if (auto it = v.find("--layers"); it != v.end() && !ParseInt(it->second, 0, 5, o.exportTargetLayers)) {
        problem = "--layers takes 0..5";
        return false;
    }
    if (auto it = v.find("--reduce"); it != v.end() && !ParseInt(it->second, 0, 8, o.exportMinimizeRate)) {
        problem = "--reduce takes 0..8";
        return false;
    }
    if (auto it = v.find("--black-trace"); it != v.end()) {
        o.exportBlackTraceEnabled = true;
        o.exportBlackTraceColour = ulib::TextToColour(it->second);
    }
    if (auto it = v.find("--gamut"); it != v.end()) {
        int low = 0, high = 0;
        if (!ParsePair(it->second, 0, 255, low, high) || low > 127 || high < 128) {
            problem = "--gamut takes MIN/MAX with MIN 0..127 and MAX 128..255";
            return false;
        }
        o.exportGamutEnabled = true;
        o.exportGamutMin = low;
        o.exportGamutMax = high;
    }
    if (auto it = v.find("--background"); it != v.end())
        o.exportBackgroundColour = ulib::TextToColour(it->second);
    o.exportBinarizeOutline = args.flags.count("--binarize-outline") != 0;
    return true;
}
