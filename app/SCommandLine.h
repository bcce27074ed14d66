// The program's command line: splitting a command-line text into arguments, reading the switches
// and the file name from them, and carrying them out on the controller once the main window is
// first shown (after the settings are loaded).
#pragma once

#include "SArray.h"
#include "SString.h"

class SHuedraneController;

// Splits text into arguments at blanks (space and the other bytes up to 0x20). An argument that
// starts with a double quote runs to the next double quote followed by a blank or the end, and
// loses both quotes; a quote elsewhere is an ordinary byte. Only ASCII bytes separate arguments,
// and neither UTF-8 nor CP932 uses them inside a multibyte character, so no character is split.
ulib::SArray<ulib::SString> SplitCommandLine(const ulib::SString& text);

// What the arguments ask for.
struct SCommandLine
{
    bool remove = false;       // U: remove the settings and end
    bool import = false;       // G: import the file as a picture
    bool batchImport = false;  // I
    bool batchExport = false;  // E
    bool quit = false;         // Q: close the main window at the end
    ulib::SString file;        // the last file name given; empty when none
};

// Reads the switches, judged by their second character in either case ("U", "G", "I", "E", "Q";
// others are ignored): every argument starting with "-", and one starting with "/" only when it
// is exactly two characters long, so absolute paths stay file names. Every other non-empty
// argument is a file name; the last one wins.
SCommandLine ParseCommandLine(const ulib::SArray<ulib::SString>& arguments);

enum class SCommandLineOutcome
{
    Continue,     // carry on with the main window
    ExitNow,      // end the process at once with exit code 0 (after "U")
    CloseWindow,  // close the main window as the user would (asks to save, saves the settings)
};

// Carries out the command line. "U" removes the installation (programPath: the running program,
// for its file association) and nothing else. A file, unless both "I" and "E" are given: "G"
// imports it after the save question; "I" batch-imports it; "E" batch-exports it; otherwise it is
// opened as a document, and when that fails (not by "cancel" or "abort") it is imported as a
// picture without the question and without a message. Failures of "G" are shown except
// "cancel"; the batch commands' are shown, "cancel" included. A successful import leaves the
// document modified, so that it is offered for saving. A recovery copy in the autosave's folder
// (handed over by another window's recovery dialog) is opened as the document it copies, its
// failure shown.
SCommandLineOutcome RunCommandLine(SHuedraneController& controller, const SCommandLine& commandLine,
                                   const ulib::SString& programPath);
