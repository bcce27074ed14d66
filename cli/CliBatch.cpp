// Running a batch: every file on its own objects, N at a time, the first failure stopping the
// rest unless asked to keep going; Ctrl+C asks every running conversion to abort, so the file in
// progress is never written and finished ones stay.
#include "CliBatch.h"

#include "SAbort.h"
#include "SBitmap.h"
#include "SDocumentRecords.h"
#include "SExportFile.h"
#include "SImportConvert.h"
#include "SQuickPress.h"
#include "SSpiAccess.h"
#include "TConvertThread.h"
#include "Sximage.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <vector>

using namespace ulib;

namespace {

std::atomic<bool> interrupted{false};

extern "C" void OnInterrupt(int) { interrupted.store(true); }

struct SBatchJob
{
    std::string source;
    std::string target;
    SAbort progress;
    std::atomic<bool> running{false};
    std::atomic<bool> done{false};
    SError result = 0;
};

bool Exists(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

// Export with an under layer: stored 32-bit as kind 2001, without changing the document's size.
SError ExportWithUnderlay(const SBatchJob& job, const SHuedraneOptions& options, const SBitmap& underlay, SAbort* abort)
{
    SQuickPress document;
    if (SError err = document.ReadFile(SString(job.source)))
        return err;
    SBitmap under32;
    under32.Create(underlay.Width(), underlay.Height(), 32);
    Blit(under32, underlay, {0, 0});
    const std::int32_t at = document.Count();
    if (SError err = document.SetCount(at + 1))
        return err;
    if (SError err = document[at].Compress(under32))
        return err;
    document[at].kind = document_kind::UnderLayer;
    return ExportDocumentFile(document, options, abort, SString(job.target));
}

class SBatch
{
public:
    SBatch(const SCliArguments& args, const SHuedraneOptions& options) : args_(args), options_(options)
    {
        import_ = args.command == "import";
        static const char* const exportExtensions[] = {".bmp", ".png", ".jpg"};
        const char* extension = import_ ? ".hdq" : exportExtensions[options.exportFormat];
        for (const std::string& source : args.operands) {
            jobs_.push_back(std::make_unique<SBatchJob>());
            jobs_.back()->source = source;
            jobs_.back()->target = args.output.empty() ? TConvertThread::TargetPath(SString(source), extension).Str() : args.output;
        }
        force_ = args.flags.count("--force") != 0;
        keepGoing_ = args.flags.count("--keep-going") != 0;
        showProgress_ = args.flags.count("--progress") != 0;
        int threads = args.values.count("-j") ? std::atoi(args.values.at("-j").c_str()) : 1;
        if (threads == 0)
            threads = int(std::max(1u, std::thread::hardware_concurrency()));
        threads_ = std::min<std::size_t>(std::size_t(threads), jobs_.size());
        // Pictures the built-in readers refuse (a scanner's TIFF) go to the plug-ins: the configured
        // folder, else the registered one, else the plug-ins installed with the program.
        FindPlugins(spi_, options.spiDirectory);
        spi_.showCodeBox = false;  // a failed read is reported on its own line
    }

    int Run()
    {
        if (!import_ && args_.values.count("--underlay")) {
            const SString picture(args_.values.at("--underlay"));
            if (SError err = ReadImageFile(&underlay_, picture, PluginPictureReader(spi_))) {
                Report(err, args_.values.at("--underlay"));
                return 1;
            }
        }
        auto previous = std::signal(SIGINT, OnInterrupt);
        std::vector<std::thread> workers;
        try {
            for (std::size_t i = 0; i < threads_; ++i)
                workers.emplace_back([this] { Work(); });
        } catch (const std::system_error&) {
            // Fewer threads than asked for: the ones started share the batch.
        }
        if (workers.empty())
            Work();
        Watch();
        for (std::thread& t : workers)
            t.join();
        std::signal(SIGINT, previous);
        if (showProgress_)
            PrintProgress();
        return failed_.load() || interrupted.load() ? 1 : 0;
    }

private:
    void Work()
    {
        for (;;) {
            const std::size_t i = next_.fetch_add(1);
            if (i >= jobs_.size() || interrupted.load() || (stop_.load() && !keepGoing_))
                return;
            SBatchJob& job = *jobs_[i];
            job.running = true;
            job.result = Convert(job);
            job.running = false;
            job.done = true;
            if (job.result) {
                failed_ = true;
                stop_ = true;
                Report(job.result, job.source);
            }
        }
    }

    SError Convert(SBatchJob& job)
    {
        if (!force_ && Exists(job.target))
            return ErrorFromIdentifier("file_exist");
        if (import_)
            return ImportImageFileToDocumentFile(SString(job.source), SString(job.target), options_, &job.progress,
                                                 PluginPictureReader(spi_));
        if (!underlay_.IsEmpty())
            return ExportWithUnderlay(job, options_, underlay_, &job.progress);
        return ExportDocumentFileToImageFile(SString(job.source), SString(job.target), options_, &job.progress);
    }

    // Passes Ctrl+C on to the running conversions and prints progress, until every job is settled.
    void Watch()
    {
        int lastShown = -1;
        while (!Settled()) {
            if (interrupted.load())
                for (auto& job : jobs_)
                    job->progress.RequestAbort();
            if (showProgress_) {
                const int percent = Percent();
                if (percent != lastShown) {
                    PrintProgress();
                    lastShown = percent;
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }

    bool Settled() const
    {
        for (const auto& job : jobs_)
            if (job->running.load())
                return false;
        return next_.load() >= jobs_.size() || interrupted.load() || (stop_.load() && !keepGoing_);
    }

    int Percent() const
    {
        long total = 0;
        for (const auto& job : jobs_)
            total += job->done.load() ? 100 : job->running.load() ? job->progress.Progress() : 0;
        return int(total / long(jobs_.size()));
    }

    void PrintProgress()
    {
        std::lock_guard<std::mutex> lock(output_);
        std::size_t done = 0;
        for (const auto& job : jobs_)
            done += job->done.load();
        std::cout << "progress: " << Percent() << "% (" << done << "/" << jobs_.size() << " files)" << std::endl;
    }

    void Report(SError err, const std::string& file)
    {
        std::lock_guard<std::mutex> lock(output_);
        const std::string identifier = ErrorIdentifier(err);
        std::cerr << "huedrane-cli: " << (identifier.empty() ? "error" : identifier) << ": " << ErrorText(err) << " ("
                  << file << ")" << std::endl;
    }

    const SCliArguments& args_;
    const SHuedraneOptions& options_;
    bool import_ = true;
    bool force_ = false;
    bool keepGoing_ = false;
    bool showProgress_ = false;
    std::size_t threads_ = 1;
    SBitmap underlay_;
    SSpiAccess spi_;  // read by every worker, never changed after construction
    std::vector<std::unique_ptr<SBatchJob>> jobs_;
    std::atomic<std::size_t> next_{0};
    std::atomic<bool> stop_{false};
    std::atomic<bool> failed_{false};
    std::mutex output_;
};

}  // namespace

int RunBatch(const SCliArguments& args, const SHuedraneOptions& options)
{
    SBatch batch(args, options);
    return batch.Run();
}
