#include "SCommandLine.h"

#include "SAscii.h"
#include "SError.h"
#include "SHuedraneController.h"
#include "SHuedraneSettings.h"

#include <algorithm>
#include <cstdint>

using namespace ulib;

namespace {

// The switch letter of an argument, upper case; 0 when the argument is not a switch, and '?' for
// a switch without a letter ("-" alone), which is ignored like any unknown letter.
char SwitchLetter(const SString& argument)
{
    if (argument.IsEmpty())
        return 0;
    const char first = argument[0];
    // "/" only as a whole two-character argument: "/home/..." is a path here.
    if (first != '-' && !(first == '/' && argument.Length() == 2))
        return 0;
    const char letter = argument.Length() > 1 && argument[1] ? argument[1] : '?';
    return UpperAscii(letter);
}

}  // namespace

SArray<SString> SplitCommandLine(const SString& text)
{
    SArray<SString> arguments;
    const std::string& bytes = text.Str();
    // A NUL byte ends the text, as it would a C string.
    const std::size_t size = std::min(bytes.size(), bytes.find('\0'));
    std::size_t at = 0;
    while (true) {
        while (at < size && std::uint8_t(bytes[at]) <= 0x20)
            ++at;
        if (at >= size)
            break;
        std::size_t begin = at, end = at;
        if (bytes[at] == '"') {
            begin = ++at;
            // The closing quote is the first one followed by a blank, a control byte or the end.
            while (at < size && !(bytes[at] == '"' && (at + 1 == size || std::uint8_t(bytes[at + 1]) <= 0x20)))
                ++at;
            end = at;
            if (at < size)
                ++at;  // past the closing quote
        } else {
            while (at < size && std::uint8_t(bytes[at]) > 0x20)
                ++at;
            end = at;
        }
        arguments.Append(SString(std::string_view(bytes).substr(begin, end - begin)));
    }
    return arguments;
}

SCommandLine ParseCommandLine(const SArray<SString>& arguments)
{
    SCommandLine line;
    for (const SString& argument : arguments) {
        switch (SwitchLetter(argument)) {
        case 0:
            if (!argument.IsEmpty())
                line.file = argument;
            break;
        case 'U': line.remove = true; break;
        case 'G': line.import = true; break;
        case 'I': line.batchImport = true; break;
        case 'E': line.batchExport = true; break;
        case 'Q': line.quit = true; break;
        default: break;
        }
    }
    return line;
}

SCommandLineOutcome RunCommandLine(SHuedraneController& controller, const SCommandLine& commandLine,
                                   const SString& programPath)
{
    if (commandLine.remove) {
        RemoveInstallation(programPath);
        return SCommandLineOutcome::ExitNow;
    }

    const SString& file = commandLine.file;
    // Both batch switches at once are contradictory: the file is left alone.
    if (!file.IsEmpty() && !(commandLine.batchImport && commandLine.batchExport)) {
        SArray<SString> files;
        files.Append(file);
        if (commandLine.import) {
            const SError err = controller.Import(file, true);
            if (!err)
                controller.MarkModified();
            ReportFailure(err, false);
        } else if (commandLine.batchImport) {
            ReportFailure(controller.BatchImport(files), true);
        } else if (commandLine.batchExport) {
            ReportFailure(controller.BatchExport(files), true);
        } else if (controller.IsRecoveryFile(file)) {
            ReportFailure(controller.OpenRecoveryFile(file), false);
        } else {
            // Anything that is not a document is tried as a picture, silently: a picture given
            // on the command line (or dropped on the program's icon) is simply imported.
            controller.OpenOrImport(file);
        }
    }
    return commandLine.quit ? SCommandLineOutcome::CloseWindow : SCommandLineOutcome::Continue;
}
