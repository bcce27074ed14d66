// Command-line parsing for the converter.
#include "CliArguments.h"

#include <functional>
#include <set>
#include <string_view>

namespace {

std::vector<std::string> SplitList(std::string_view list)
{
    std::vector<std::string> items;
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t comma = list.find(',', start);
        const std::size_t end = comma == std::string_view::npos ? list.size() : comma;
        if (end > start)
            items.emplace_back(list.substr(start, end - start));
        start = end + 1;
    }
    return items;
}

const std::set<std::string, std::less<>> ValuedOptions = {"--level",  "--genga", "-j",          "--format",
                                                          "--depth",  "--layers", "--reduce",   "--black-trace",
                                                          "--gamut",  "--background", "--underlay", "--from",
                                                          "--gap",    "--min-speck"};
const std::set<std::string, std::less<>> Switches = {"--binarize", "--anti-hole", "--force",  "--keep-going",
                                                     "--progress", "--binarize-outline", "--in-place", "--json",
                                                     "--include-edge"};

}  // namespace

bool ParseCliArguments(int argc, char** argv, SCliArguments& out, std::string& problem)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        auto value = [&](std::string_view name) -> const char* {
            if (i + 1 >= argc) {
                problem = std::string(name) + " needs a value";
                return nullptr;
            }
            return argv[++i];
        };
        if (arg == "-o" || arg == "--output") {
            const char* v = value(arg);
            if (!v)
                return false;
            // An empty name would read as no -o at all and write beside the input.
            if (!*v) {
                problem = std::string(arg) + " needs a file name";
                return false;
            }
            out.output = v;
        } else if (arg == "--script") {
            const char* v = value(arg);
            if (!v)
                return false;
            out.script = v;
        } else if (arg == "--hide") {
            const char* v = value(arg);
            if (!v)
                return false;
            for (std::string& layer : SplitList(v))
                out.hide.push_back(std::move(layer));
        } else if (arg.starts_with("--hide=")) {
            for (std::string& layer : SplitList(arg.substr(7)))
                out.hide.push_back(std::move(layer));
        } else if (arg == "--silhouette") {
            out.silhouette = true;
        } else if (ValuedOptions.count(arg)) {
            const char* v = value(arg);
            if (!v)
                return false;
            out.values[std::string(arg)] = v;
        } else if (Switches.count(arg)) {
            out.flags.insert(std::string(arg));
        } else if (arg.size() > 1 && arg[0] == '-' && arg != "-") {
            problem = "unknown option " + std::string(arg);
            return false;
        } else if (out.command.empty()) {
            out.command = arg;
        } else {
            out.operands.emplace_back(arg);
        }
    }
    if (out.command.empty()) {
        problem = "no command given";
        return false;
    }
    return true;
}
