// Running a batch: every file on its own objects, N at a time, the first failure stopping the
// rest unless asked to keep going. Ctrl+C raises one flag that every conversion's abort object
// reports, so each running conversion stops and drops its file, and no further file starts.
#include "CliBatch.h"

#include "CliInterrupt.h"
#include "CliOutput.h"
#include "SAbort.h"
#include "SBitmap.h"
#include "SDocumentRecords.h"
#include "SErrorCause.h"
#include "SExportFile.h"
#include "SGengaPicture.h"
#include "SImportConvert.h"
#include "SParallel.h"
#include "SQuickPress.h"
#include "SReplacingFile.h"
#include "SSpiAccess.h"
#include "TConvertThread.h"
#include "Sximage.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <mutex>
#include <optional>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <vector>

using namespace ulib;

namespace {

struct SBatchJob
{
    std::string source;
    std::string target;
    SAbort progress{&CliInterrupted()};
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
    // An export never replaces the scan the document was imported from.
    if (Exists(job.target) && PictureFileHoldsGenga(document, SString(job.target)))
        return ErrorWithPath(ErrorFromIdentifier("genga_overwrite"), job.target);
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
        const SCliInterruptScope interrupt;
        // This thread converts too, so the batch runs even when no further thread can be started.
        std::vector<std::thread> helpers;
        std::thread printer;
        try {
            while (helpers.size() + 1 < threads_)
                helpers.emplace_back([this] { Work(); });
            if (showProgress_)
                printer = std::thread([this] { ShowProgress(); });
        } catch (const std::system_error&) {
            // Fewer threads than asked for: the batch is shared by those started.
        }
        Work();
        for (std::thread& t : helpers)
            t.join();
        {
            std::lock_guard<std::mutex> lock(finishing_);
            finished_ = true;
        }
        finish_.notify_all();
        if (printer.joinable())
            printer.join();
        if (showProgress_)
            PrintProgress();
        if (CliInterrupted().load())
            ReportInterrupt();
        return failed_.load() || CliInterrupted().load() ? 1 : 0;
    }

private:
    void Work()
    {
        // With a file per thread the cores are busy already: each file's passes stay on its thread.
        std::optional<SSerialScope> serial;
        if (threads_ > 1)
            serial.emplace();
        while (!CliInterrupted().load() && !(stop_.load() && !keepGoing_)) {
            const std::size_t i = next_.fetch_add(1);
            if (i >= jobs_.size())
                return;
            SBatchJob& job = *jobs_[i];
            job.running = true;
            job.result = Convert(job);
            job.running = false;
            job.done = true;
            if (job.result) {
                failed_ = true;
                stop_ = true;
                // Files stopped by Ctrl+C are counted in the one line that reports the interrupt.
                if (!CliInterrupted().load() || ErrorIdentifier(job.result) != "abort")
                    Report(job.result, job.source);
            }
        }
    }

    SError Convert(SBatchJob& job)
    {
        if (SError err = SReplacingFile::CheckTarget(SString(job.target)))
            return err;
        const bool exists = Exists(job.target);
        if (exists && !force_)
            return ErrorFromIdentifier("file_exist");
        if (import_)
            return ImportImageFileToDocumentFile(SString(job.source), SString(job.target), options_, &job.progress,
                                                 PluginPictureReader(spi_));
        if (!underlay_.IsEmpty())
            return ExportWithUnderlay(job, options_, underlay_, &job.progress);
        // An export never replaces the scan the document was imported from.
        return ExportDocumentFileToImageFile(SString(job.source), SString(job.target), options_, &job.progress,
                                             exists);
    }

    // Prints a progress line whenever the percentage changes, until the batch has finished.
    void ShowProgress()
    {
        int lastShown = -1;
        std::unique_lock<std::mutex> lock(finishing_);
        while (!finished_) {
            const int percent = Percent();
            if (percent != lastShown) {
                PrintProgress();
                lastShown = percent;
            }
            finish_.wait_for(lock, std::chrono::milliseconds(100), [this] { return finished_; });
        }
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
        PrintFailure(err, file);
    }

    void ReportInterrupt()
    {
        std::size_t written = 0;
        for (const auto& job : jobs_)
            written += job->done.load() && job->result == 0;
        std::lock_guard<std::mutex> lock(output_);
        PrintInterrupted("batch", written, jobs_.size());
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
    std::mutex finishing_;  // guards finished_
    std::condition_variable finish_;
    bool finished_ = false;
};

}  // namespace

int RunBatch(const SCliArguments& args, const SHuedraneOptions& options)
{
    SBatch batch(args, options);
    return batch.Run();
}
