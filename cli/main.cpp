// huedrane-cli: the headless converter. Exit status 0 on success, 1 on a failure (one line on
// stderr: "huedrane-cli: IDENTIFIER: MESSAGE"), 2 on a usage error (and 3 when check finds mistakes).
#include "CliArguments.h"
#include "CliBatch.h"
#include "CliCommands.h"
#include "CliOutput.h"
#include "SHuedraneSettings.h"
#include "SLanguage.h"
#include "SMessage.h"
#include "SQuickPress.h"
#include "SReplacingFile.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <iostream>
#include <set>
#include <string>

namespace {

constexpr const char* Usage =
    "usage: huedrane-cli COMMAND ...\n"
    "  info DOCUMENT                      the document's records, memo and flags as JSON\n"
    "  render DOCUMENT -o OUT.png [--hide under,genga,paint,trace,extra] [--silhouette]\n"
    "                                     the composed cel as a 32-bit PNG\n"
    "  thumbnail DOCUMENT -o OUT.png      the stored thumbnail as a PNG\n"
    "  edit DOCUMENT --script FILE|- -o OUT.hdq\n"
    "                                     runs an editing script on the cel and saves it\n"
    "  import [--level BLACK/WHITE] [--genga normal|lossy|none] [--binarize] [--anti-hole]\n"
    "         [-j N] [--force] [--keep-going] [--progress] PICTURE... [-o OUT.hdq]\n"
    "  export [--format bmp|png|jpg] [--depth 24|32] [--layers 0..5] [--reduce 0..8]\n"
    "         [--black-trace COLOUR] [--gamut MIN/MAX] [--binarize-outline] [--background COLOUR]\n"
    "         [--underlay PICTURE] [-j N] [--force] [--keep-going] [--progress] DOCUMENT... [-o OUT]\n"
    "  carry --from PAINTED.hdq TARGET.hdq... (-o OUT.hdq | --in-place) [--gap N] [--json] [-j N]\n"
    "                                     carries the painted cel's colours along the targets in order\n"
    "  check [--min-speck N] [--include-edge] [--json] [-j N] DOCUMENT...\n"
    "                                     lists unpainted areas, specks and unconverted lines; exit 3\n"
    "                                     when there are any\n";

int UsageError(const std::string& problem)
{
    if (!problem.empty())
        std::cerr << "huedrane-cli: " << problem << "\n";
    std::cerr << Usage;
    return 2;
}

// What each command needs beyond its word: operand count and whether -o is required.
bool Valid(const SCliArguments& a, std::string& problem)
{
    static const std::set<std::string> layerNames = {"under", "genga", "paint", "trace", "extra"};
    if (a.command == "import" || a.command == "export")
        return CheckBatchArguments(a, problem);
    if (a.command == "carry")
        return CheckCarryArguments(a, problem);
    if (a.command == "check")
        return CheckCheckArguments(a, problem);
    if (!a.values.empty() || !a.flags.empty()) {
        problem = "batch options do not belong to " + a.command;
        return false;
    }
    if (a.command != "info" && a.command != "render" && a.command != "thumbnail" && a.command != "edit") {
        problem = "unknown command " + a.command;
        return false;
    }
    if (a.operands.size() != 1) {
        problem = a.command + " takes one document";
        return false;
    }
    if (a.command != "info" && a.output.empty()) {
        problem = a.command + (a.command == "edit" ? " needs -o OUT.hdq" : " needs -o OUT.png");
        return false;
    }
    if ((a.command == "edit") != !a.script.empty()) {
        problem = a.command == "edit" ? "edit needs --script FILE" : "--script belongs to edit";
        return false;
    }
    for (const std::string& layer : a.hide)
        if (!layerNames.count(layer)) {
            problem = "unknown layer " + layer;
            return false;
        }
    return true;
}

// The script's text from a file, or from standard input for "-".
bool ReadScript(const std::string& name, std::string& text)
{
    std::ifstream file;
    std::istream* in = &std::cin;
    if (name != "-") {
        file.open(name, std::ios::binary);
        if (!file)
            return false;
        in = &file;
    }
    text.assign(std::istreambuf_iterator<char>(*in), std::istreambuf_iterator<char>());
    return !in->bad();
}

}  // namespace

int main(int argc, char** argv)
{
    ulib::SetApplicationTitle("huedrane-cli");
    // Messages in the window's language (identifiers stay as they are, for scripts that read them).
    ulib::SetLanguage(ulib::ChooseLanguage(StoredLanguage().View()));
    ulib::SetApplicationTag("huedrane", false);
    SCliArguments args;
    std::string problem;
    if (argc < 2)
        return UsageError("");
    if (!ParseCliArguments(argc, argv, args, problem) || !Valid(args, problem))
        return UsageError(problem);

    if (args.command == "import" || args.command == "export") {
        SHuedraneOptions options;
        // The conversion options come from the arguments alone; the plug-in folder is the window's.
        options.spiDirectory = StoredSpiDirectory();
        const bool valid = args.command == "import" ? ImportOptionsFromArguments(args, options, problem)
                                                   : ExportOptionsFromArguments(args, options, problem);
        if (!valid)
            return UsageError(problem);
        return RunBatch(args, options);
    }
    if (args.command == "carry")
        return RunCarry(args);
    if (args.command == "check")
        return RunCheck(args);

    std::vector<SScriptCommand> script;
    if (args.command == "edit") {
        std::string text;
        if (!ReadScript(args.script, text))
            return UsageError("cannot read the script " + args.script);
        if (!ParseScript(text, script, problem))
            return UsageError(problem);
    }

    // A target no save may replace is refused before any work, with its own error.
    ulib::SError err = args.output.empty() ? 0 : ulib::SReplacingFile::CheckTarget(ulib::SString(args.output));
    if (err == 0) {
        if (args.command == "edit")
            err = RunEdit(args, script);
        else if (args.command == "info")
            err = RunInfo(args, std::cout);
        else if (args.command == "render")
            err = RunRender(args);
        else
            err = RunThumbnail(args);
    }
    if (err) {
        PrintFailure(err);
        return 1;
    }
    return 0;
}
