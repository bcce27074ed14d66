#include "SConversionStarters.h"

#include "SAbort.h"
#include "SPlatform.h"
#include "TConvertThread.h"

#include <filesystem>
#include <string>

namespace ulib {

namespace {

// What one starter hands to the worker; the rest of the run is the same for all four.
struct SConversionJob
{
    TConvertThread::Mode mode = TConvertThread::Import;
    SQuickPress* document = nullptr;
    const SArray<SString>* files = nullptr;
    SString fileName;
    const SSpiAccess* spi = nullptr;  // imports only
    std::string message;              // the box's first lines; empty: the worker sets them
    std::string fileLine;
};

std::string NameAndExtension(const SString& path)
{
    return std::filesystem::path(path.Str()).filename().string();
}

// Runs the worker while the seam keeps the interface alive, then returns the worker's result.
// The progress object is this run's own, so an abort pressed during an earlier conversion never
// carries over.
SError RunConversion(const SConversionJob& job, const SHuedraneOptions& options)
{
    SAbort progress;
    TConvertThread worker(progress);
    worker.mode = job.mode;
    worker.document = job.document;
    if (job.files)
        worker.files = *job.files;
    worker.fileName = job.fileName;
    worker.options = options;
    if (job.spi)
        worker.plugins = PluginPictureReader(*job.spi);
    // Called on the worker thread; the seam hands the lines over to the interface thread.
    worker.messages = [](const SString& message, const SString& fileLine) {
        Platform().SetProgressLines(message.Str(), fileLine.Str());
    };

    // A worker that cannot start has already finished with "internal": nothing to wait for.
    if (worker.Start() == 0) {
        SConversionWait request;
        request.progress = &progress;
        request.finished = [&worker] { return worker.Finished(); };
        request.message = job.message;
        request.fileLine = job.fileLine;
        Platform().WaitForConversion(request);
    }
    // The wait may end early (the program is quitting); the worker still runs to its end, since
    // the document and the progress object it uses live in this frame.
    worker.Join();
    return worker.Result();
}

}  // namespace

SError RunImport(SQuickPress& document, const SString& fileName, const SHuedraneOptions& options,
                 const SSpiAccess& spi)
{
    SConversionJob job;
    job.mode = TConvertThread::Import;
    job.document = &document;
    job.fileName = fileName;
    job.spi = &spi;
    job.message = "インポート処理中です";
    job.fileLine = NameAndExtension(fileName);
    return RunConversion(job, options);
}

SError RunExport(SQuickPress& document, const SString& fileName, const SHuedraneOptions& options)
{
    SConversionJob job;
    job.mode = TConvertThread::Export;
    job.document = &document;
    job.fileName = fileName;
    job.message = "エクスポート処理中です";
    job.fileLine = NameAndExtension(fileName);
    return RunConversion(job, options);
}

SError RunBatchImport(const SArray<SString>& files, const SHuedraneOptions& options, const SSpiAccess& spi)
{
    SConversionJob job;
    job.mode = TConvertThread::BatchImport;
    job.files = &files;
    job.spi = &spi;
    return RunConversion(job, options);
}

SError RunBatchExport(const SArray<SString>& files, const SHuedraneOptions& options)
{
    SConversionJob job;
    job.mode = TConvertThread::BatchExport;
    job.files = &files;
    job.message = "一括エクスポート変換中です";
    job.fileLine = "ファイル名は不明";
    return RunConversion(job, options);
}

}  // namespace ulib
