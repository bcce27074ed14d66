// The converter's carry command: the colours of a painted cel carried along a cut. Each target takes
// them from the target before it (as carried), then from the painted cel for what that left, and is
// written before the next one starts, so a failure or Ctrl+C keeps every target before it written
// and writes nothing for it or after it. Only one source is in memory beside the target at a time
// (the painted cel is read again for each target): three 4000 x 3000 cels and the carry's label maps
// would not fit the memory a workstation gives one conversion. The chain is sequential whatever -j
// says: each target needs the one before.
#include "CliBatch.h"
#include "CliCommands.h"
#include "CliInterrupt.h"
#include "CliOutput.h"
#include "SCarry.h"
#include "SDocumentFile.h"
#include "SErrorCause.h"
#include "SReplacingFile.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <system_error>

using namespace ulib;

namespace {

// The caption of the undo step a target is carried in, as a whole-cel operation's.
constexpr const char* CarryStepCaption = "色の引き継ぎ";

bool SameFile(const std::string& a, const std::string& b)
{
    std::error_code ec;
    return a == b || std::filesystem::equivalent(a, b, ec);
}

SError LoadCel(SCel& cel, const std::string& path)
{
    // A carried cel is composed and saved but never shown: the genga stays undecoded (its stored
    // record is written back as it is).
    cel.visible = PaintAndTraceShown;
    return LoadDocument(cel, SString(path));
}

// A source is only read by the carry (paint, trace and flag layers): its display buffer, extra
// layer and stored records go.
void KeepSourceLayers(SCel& cel)
{
    cel.display.Release();
    cel.extra.Release();
    cel.held.Clear();
}

// Applies the sources' plans to the cel in one undo step of its own, as the window's whole-cel
// operations run.
SError CarryInto(SCel& cel, std::vector<SCarryPlan> plans, SCarryReport& report)
{
    SHuedraneUndoBuffer undo(cel.trace, cel.paint, cel.extra);
    undo.SetDocumentSize(cel.display.Width(), cel.display.Height());
    SToolState tools;
    const SBitmap noReference;
    SPaintContext context{cel, undo, tools, noReference};
    undo.BeginStep(SString(CarryStepCaption));
    return CarryPlans(std::move(plans), context, report);
}

class SCarryChain
{
public:
    explicit SCarryChain(const SCliArguments& args)
        : args_(args), paintedPath_(args.values.at("--from")), json_(args.flags.count("--json") != 0),
          gap_(args.values.count("--gap") ? std::atoi(args.values.at("--gap").c_str()) : 0)
    {
    }

    int Run()
    {
        const SCliInterruptScope interrupt;
        {
            SCel painted;  // read once before any target, so a bad painted cel is named as such
            if (SError err = LoadCel(painted, paintedPath_))
                return Failed(err, paintedPath_, 0);
        }
        for (std::size_t i = 0; i < args_.operands.size(); ++i) {
            if (abort_.IsAborted())
                return Failed(ErrorFromIdentifier("abort"), args_.operands[i], i);
            if (SError err = CarryTarget(i))
                return Failed(err, args_.operands[i], i);
        }
        return 0;
    }

private:
    // Loads, carries and writes target i; on success the carried cel becomes the next one's source.
    SError CarryTarget(std::size_t i)
    {
        const auto start = std::chrono::steady_clock::now();
        const std::string& target = args_.operands[i];
        const std::string& output = args_.output.empty() ? target : args_.output;
        // Refused before the target is read: a FIFO given for in-place work would block the read.
        if (SError err = SReplacingFile::CheckTarget(SString(output)))
            return err;
        SCel cel;
        if (SError err = LoadCel(cel, target))
            return err;
        // Planning reads the paint, trace and flag layers only: the display buffer is composed
        // again for the fills, so it does not add to the planning's peak.
        const std::int32_t width = cel.display.Width(), height = cel.display.Height();
        cel.display.Release();
        std::vector<SCarryPlan> plans;
        if (i > 0) {
            SCarryPlan plan;
            const SError err = PlanCarry(previous_, cel, plan, &abort_, gap_);
            // A previous cel the carry left without any paint has nothing to give: the painted one still has.
            if (err && ErrorIdentity(err) != ErrorFromIdentifier("carry_unpainted"))
                return err;
            if (!err)
                plans.push_back(std::move(plan));
            previous_ = SCel();
        }
        {
            SCel painted;
            SCarryPlan plan;
            if (SError err = LoadCel(painted, paintedPath_))
                return ErrorWithPath(err, paintedPath_);
            KeepSourceLayers(painted);
            if (SError err = PlanCarry(painted, cel, plan, &abort_, gap_))
                return err;
            plans.push_back(std::move(plan));
        }
        cel.display.Create(width, height, 32);
        if (cel.display.Width() != width || cel.display.Height() != height)
            return ErrorFromIdentifier("memory");
        cel.ComposeAll();
        SCarryReport report;
        if (SError err = CarryInto(cel, std::move(plans), report))
            return err;
        if (abort_.IsAborted())
            return ErrorFromIdentifier("abort");
        {
            // A stop request that arrives while the document is written still keeps the previous file.
            const SCommitAbortScope scope(&abort_);
            if (SError saved = scope.Result(SaveDocument(cel, SString(output))))
                return saved;
        }
        const auto elapsed = std::chrono::steady_clock::now() - start;
        Print(target, output, report, std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
        KeepSourceLayers(cel);
        previous_ = std::move(cel);
        return 0;
    }

    void Print(const std::string& target, const std::string& output, const SCarryReport& r, long long milliseconds)
    {
        if (!json_) {
            std::cout << target << (output == target ? "" : " -> " + output) << ": " << r.regions << " regions, "
                      << r.painted << " painted, " << r.left << " left, " << r.lines << " line pixels" << std::endl;
            return;
        }
        std::cout << "{\"target\":";
        WriteJsonString(std::cout, target);
        std::cout << ",\"output\":";
        WriteJsonString(std::cout, output);
        std::cout << ",\"regions\":" << r.regions << ",\"painted\":" << r.painted << ",\"left\":" << r.left
                  << ",\"lines\":" << r.lines << ",\"milliseconds\":" << milliseconds << "}" << std::endl;
    }

    // Reports the failure at target i (Ctrl+C as one line saying how many targets were written).
    int Failed(SError err, const std::string& file, std::size_t i)
    {
        const bool interrupted = CliInterrupted().load();
        if (!interrupted || ErrorIdentity(err) != ErrorFromIdentifier("abort"))
            PrintFailure(err, file);
        if (interrupted)
            PrintInterrupted("carry", i, args_.operands.size());
        return 1;
    }

    const SCliArguments& args_;
    const std::string& paintedPath_;
    const bool json_;
    const std::int32_t gap_;  // the openings the regions are split at and the fills close
    SAbort abort_{&CliInterrupted()};
    SCel previous_;  // the target before, as carried: the first source of the next one
};

}  // namespace

bool CheckCarryArguments(const SCliArguments& args, std::string& problem)
{
    if (!CheckCommandOptions(args, problem))
        return false;
    const auto from = args.values.find("--from");
    if (from == args.values.end() || from->second.empty()) {
        problem = "carry needs --from PAINTED.hdq";
        return false;
    }
    if (args.operands.empty()) {
        problem = "carry needs at least one target document";
        return false;
    }
    const bool inPlace = args.flags.count("--in-place") != 0;
    if (inPlace == !args.output.empty()) {
        problem = "carry needs either -o OUT.hdq or --in-place";
        return false;
    }
    if (!inPlace && args.operands.size() != 1) {
        problem = "-o takes a single target";
        return false;
    }
    for (const std::string& written : inPlace ? args.operands : std::vector<std::string>{args.output})
        if (SameFile(written, from->second)) {
            problem = "carry never writes the painted cel " + from->second;
            return false;
        }
    return true;
}

int RunCarry(const SCliArguments& args)
{
    SCarryChain chain(args);
    return chain.Run();
}
