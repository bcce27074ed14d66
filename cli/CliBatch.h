// The converter's batch commands: import pictures into documents and export documents into
// pictures, several files at once, with progress lines and Ctrl+C.
#pragma once

#include "CliArguments.h"
#include "SHuedraneOptions.h"

#include <string>

// Builds the options record from the command's options; false with a reason on a usage error.
bool ImportOptionsFromArguments(const SCliArguments& args, SHuedraneOptions& options, std::string& problem);
bool ExportOptionsFromArguments(const SCliArguments& args, SHuedraneOptions& options, std::string& problem);

// Checks that every option given belongs to the command (import, export or carry) and that -j N is
// 0..1024; false with a reason on a usage error.
bool CheckCommandOptions(const SCliArguments& args, std::string& problem);

// Checks what both batch commands share (-j, -o with one input, the options that belong to the
// command); false with a reason on a usage error.
bool CheckBatchArguments(const SCliArguments& args, std::string& problem);

// Runs the batch; returns the exit status: 0 all converted, 1 any file failed or the batch was
// interrupted. Each failure is one stderr line "huedrane-cli: IDENTIFIER: MESSAGE (FILE)"; Ctrl+C
// gives one "huedrane-cli: abort: MESSAGE (batch interrupted, N of M files written)" instead of a
// line for each file it stopped.
int RunBatch(const SCliArguments& args, const SHuedraneOptions& options);
