#include "TConvertThread.h"

#include "SExportFile.h"
#include "SImportConvert.h"

#include <exception>
#include <filesystem>
#include <new>
#include <system_error>

using namespace ulib;

namespace {

// Name and extension of a path, without its folder.
SString NameOf(const SString& path)
{
    return SString(std::filesystem::path(path.Str()).filename().string());
}

SString BatchLine(const SString& source, const SString& target)
{
    return NameOf(source) + "→" + NameOf(target).View();
}

}  // namespace

TConvertThread::~TConvertThread()
{
    Join();
}

SError TConvertThread::Start()
{
    if (started_)
        return ErrorFromIdentifier("internal");
    started_ = true;
    try {
        thread_ = std::thread([this] { Run(); });
    } catch (...) {
        result_ = ErrorFromIdentifier("internal");
        finished_.store(true, std::memory_order_release);
        return result_;
    }
    return 0;
}

void TConvertThread::Join()
{
    if (thread_.joinable())
        thread_.join();
}

void TConvertThread::Run()
{
    SError err = 0;
    try {
        err = Body();
    } catch (const std::bad_alloc&) {
        err = ErrorFromIdentifier("memory_alloc");
    } catch (...) {
        err = ErrorFromIdentifier("internal");
    }
    result_ = err;
    finished_.store(true, std::memory_order_release);
}

SString TConvertThread::TargetPath(const SString& source, const char* extension)
{
    std::filesystem::path path(source.Str());
    path.replace_extension(extension);
    return SString(path.string());
}

void TConvertThread::Tell(const char* message, const SString& fileLine) const
{
    if (messages)
        messages(SString(message), fileLine);
}

SError TConvertThread::Body()
{
    switch (mode) {
    case Import:
        Tell("インポート中です", NameOf(fileName));
        return ImportImageFile(document, options, plugins, &progress_, fileName);
    case Export:
        Tell("エクスポート中です", NameOf(fileName));
        if (!document)
            return ErrorFromIdentifier("pointer");
        return ExportDocumentFile(*document, options, &progress_, fileName);
    case BatchImport:
    case BatchExport:
        break;
    default:
        return ErrorFromIdentifier("internal");
    }

    const bool importing = mode == BatchImport;
    const char* extension = ".hdq";
    if (!importing) {
        if (options.exportFormat == 0)
            extension = ".bmp";
        else if (options.exportFormat == 1)
            extension = ".png";
        else if (files.Count() > 0)
            return ErrorFromIdentifier("internal");
    }
    const std::int32_t n = files.Count();
    for (std::int32_t i = 0; i < n; ++i) {
        const SString& source = files[i];
        const SString target = TargetPath(source, extension);
        progress_.PushRange(i * 100 / n, (i * 100 + 100) / n, 0, 100);
        SError err = 0;
        try {
            Tell(importing ? "一括インポート変換中です" : "一括エクスポート変換中です", BatchLine(source, target));
            err = importing ? ImportImageFileToDocumentFile(source, target, options, &progress_, plugins)
                            : ExportDocumentFileToImageFile(source, target, options, &progress_);
        } catch (...) {
            progress_.PopRange();
            throw;
        }
        progress_.PopRange();
        if (err)
            return err;
    }
    return 0;
}
