// The converter's check command: each document read (paint and trace layers only), checked on a
// worker of its own, N at a time, and its findings printed in the order the documents were given as
// soon as those before it are printed. Ctrl+C stops the checks in progress and starts no more.
#include "CliBatch.h"
#include "CliCommands.h"
#include "CliInterrupt.h"
#include "CliOutput.h"
#include "SCelCheck.h"
#include "SDocumentFile.h"
#include "SErrorCause.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <iostream>
#include <mutex>
#include <system_error>
#include <thread>

using namespace ulib;

namespace {

struct SCheckJob
{
    SError err = 0;
    std::vector<SFinding> findings;
    bool done = false;
};

void PrintText(const std::string& document, const std::vector<SFinding>& findings)
{
    if (findings.empty())
        std::cout << document << ": clean\n";
    for (const SFinding& f : findings) {
        std::cout << document << ": " << FindingKindName(f.kind);
        if (f.kind == SFindingKind::Line)
            std::cout << " " << LineCodeName(f.code);
        std::cout << " " << f.pixels << " px at " << f.at.x << "," << f.at.y << " in " << f.bounds.left << ","
                  << f.bounds.top << "-" << f.bounds.right << "," << f.bounds.bottom << "\n";
    }
}

void PrintJson(const std::string& document, const std::vector<SFinding>& findings)
{
    std::cout << "{\"document\":";
    WriteJsonString(std::cout, document);
    std::cout << ",\"findings\":[";
    for (std::size_t i = 0; i < findings.size(); ++i) {
        const SFinding& f = findings[i];
        std::cout << (i ? "," : "") << "{\"kind\":\"" << FindingKindName(f.kind) << "\"";
        if (f.kind == SFindingKind::Line)
            std::cout << ",\"colour\":\"" << LineCodeName(f.code) << "\"";
        std::cout << ",\"pixels\":" << f.pixels << ",\"at\":[" << f.at.x << "," << f.at.y << "],\"bounds\":["
                  << f.bounds.left << "," << f.bounds.top << "," << f.bounds.right << "," << f.bounds.bottom << "]}";
    }
    std::cout << "]}\n";
}

class SCheckRun
{
public:
    explicit SCheckRun(const SCliArguments& args) : args_(args), jobs_(args.operands.size())
    {
        if (args.values.count("--min-speck"))
            options_.minSpeck = std::atoi(args.values.at("--min-speck").c_str());
        options_.includeEdge = args.flags.count("--include-edge") != 0;
        json_ = args.flags.count("--json") != 0;
        int threads = args.values.count("-j") ? std::atoi(args.values.at("-j").c_str()) : 1;
        if (threads == 0)
            threads = int(std::max(1u, std::thread::hardware_concurrency()));
        threads_ = std::min<std::size_t>(std::size_t(threads), jobs_.size());
    }

    int Run()
    {
        const SCliInterruptScope interrupt;
        std::vector<std::thread> workers;
        try {
            while (workers.size() < threads_)
                workers.emplace_back([this] { Work(); });
        } catch (const std::system_error&) {
            if (workers.empty())
                Work();  // no thread to be had: every document is checked here, then printed
        }
        bool failed = false, found = false;
        std::size_t printed = 0;
        for (; printed < jobs_.size(); ++printed) {
            std::unique_lock<std::mutex> lock(mutex_);
            ready_.wait(lock, [&] { return jobs_[printed].done; });
            SCheckJob job = std::move(jobs_[printed]);
            lock.unlock();
            if (ErrorIdentity(job.err) == ErrorFromIdentifier("abort") && CliInterrupted().load())
                break;
            const std::string& document = args_.operands[printed];
            if (job.err) {
                PrintFailure(job.err, document);
                failed = true;
                continue;
            }
            found = found || !job.findings.empty();
            json_ ? PrintJson(document, job.findings) : PrintText(document, job.findings);
            std::cout.flush();
        }
        for (std::thread& t : workers)
            t.join();
        if (CliInterrupted().load()) {
            PrintInterrupted("check", printed, jobs_.size(), "checked");
            return 1;
        }
        return failed ? 1 : found ? 3 : 0;
    }

private:
    void Work()
    {
        for (std::size_t i; (i = next_.fetch_add(1)) < jobs_.size();) {
            SCheckJob job;
            SAbort abort(&CliInterrupted());
            if (abort.IsAborted()) {
                job.err = ErrorFromIdentifier("abort");
            } else {
                SCel cel;
                cel.visible = PaintAndTraceShown;
                job.err = LoadDocument(cel, SString(args_.operands[i]));
                if (!job.err)
                    job.err = CheckCel(cel.paint, cel.trace, options_, job.findings, &abort);
            }
            {
                std::lock_guard<std::mutex> lock(mutex_);
                job.done = true;
                jobs_[i] = std::move(job);
            }
            ready_.notify_all();
        }
    }

    const SCliArguments& args_;
    SCheckOptions options_;
    bool json_ = false;
    std::size_t threads_ = 1;
    std::vector<SCheckJob> jobs_;
    std::atomic<std::size_t> next_{0};
    std::mutex mutex_;
    std::condition_variable ready_;
};

}  // namespace

bool CheckCheckArguments(const SCliArguments& args, std::string& problem)
{
    if (!CheckCommandOptions(args, problem))
        return false;
    if (args.operands.empty()) {
        problem = "check needs at least one document";
        return false;
    }
    if (!args.output.empty()) {
        problem = "check writes no file: -o does not belong to it";
        return false;
    }
    return true;
}

int RunCheck(const SCliArguments& args)
{
    SCheckRun run(args);
    return run.Run();
}
