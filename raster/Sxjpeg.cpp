// JPEG pictures through libjpeg. A fatal library error leaves the operation by longjmp, so the
// functions that call the library keep their state in a plain job record owned by the caller and
// hold no object with a destructor. Three-component rows are asked for in blue, green, red order,
// the order of the bitmap's pixels.
#include "Sxpng.h"

#include "SErrorCause.h"
#include "SErrorRegistry.h"
#include "SFileMapper.h"
#include "SOver.h"
#include "SReplacingFile.h"

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include <jpeglib.h>

namespace ulib {

namespace {

// Real progressive files have a dozen scans; a file with thousands is built to take minutes.
constexpr int MaxScans = 1000;

struct JpegFailure
{
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

[[noreturn]] void OnJpegFatal(j_common_ptr common)
{
    std::longjmp(reinterpret_cast<JpegFailure*>(common->err)->jump, 1);
}

// Warnings (a file cut short, stray bytes) would only reach stderr.
void OnJpegMessage(j_common_ptr) {}

void InstallFailure(JpegFailure& failure, j_common_ptr common)
{
    common->err = jpeg_std_error(&failure.manager);
    failure.manager.error_exit = OnJpegFatal;
    failure.manager.output_message = OnJpegMessage;
}

void LimitScans(j_common_ptr common)
{
    auto* decompress = reinterpret_cast<j_decompress_ptr>(common);
    if (decompress->input_scan_number > MaxScans)
        OnJpegFatal(common);
}

struct JpegReadJob
{
    jpeg_decompress_struct info;
    JpegFailure failure;
    jpeg_progress_mgr progress;
    const std::uint8_t* begin;
    std::size_t size;
    SBitmap* bitmap;
    JSAMPROW* rows;  // malloc'd, freed by the caller
    const SRowsRead* rowsRead;
    JDIMENSION told;  // rows told to *rowsRead
    SError result;
};

// Rows decoded between two tellings: enough to keep the listener's waking rare.
constexpr JDIMENSION RowsPerTelling = 16;

// No object with a destructor may live here: libjpeg leaves this function through longjmp.
void RunJpegRead(JpegReadJob* job)
{
    j_decompress_ptr info = &job->info;
    InstallFailure(job->failure, reinterpret_cast<j_common_ptr>(info));
    if (setjmp(job->failure.jump)) {
        jpeg_destroy_decompress(info);
        job->result = ReadJpegError();
        return;
    }
    jpeg_create_decompress(info);
    job->progress.progress_monitor = LimitScans;
    info->progress = &job->progress;
    jpeg_mem_src(info, job->begin, static_cast<unsigned long>(job->size));
    jpeg_read_header(info, TRUE);
    const int components = info->num_components;
    if (components != 1 && components != 3)
        OnJpegFatal(reinterpret_cast<j_common_ptr>(info));
    const JDIMENSION width = info->image_width, height = info->image_height;
    if (width > JDIMENSION(SBitmap::MaxSize) || height > JDIMENSION(SBitmap::MaxSize)) {
        jpeg_destroy_decompress(info);
        job->result = ErrorFromIdentifier("memory_alloc");
        return;
    }
    SBitmap& bitmap = *job->bitmap;
    bitmap.Create(std::int32_t(width), std::int32_t(height), components == 1 ? -8 : 24);
    job->rows = static_cast<JSAMPROW*>(std::malloc(std::size_t(height) * sizeof(JSAMPROW) + 1));
    if (bitmap.Width() != std::int32_t(width) || bitmap.Height() != std::int32_t(height) || job->rows == nullptr) {
        jpeg_destroy_decompress(info);
        job->result = ErrorFromIdentifier("memory_alloc");
        return;
    }
    for (JDIMENSION y = 0; y < height; ++y)
        job->rows[y] = bitmap.Row(std::int32_t(y));

    info->out_color_space = components == 1 ? JCS_GRAYSCALE : JCS_EXT_BGR;
    jpeg_start_decompress(info);
    if (info->output_width != width || info->output_height != height || info->output_components != components)
        OnJpegFatal(reinterpret_cast<j_common_ptr>(info));
    while (info->output_scanline < info->output_height) {
        jpeg_read_scanlines(info, job->rows + info->output_scanline, info->output_height - info->output_scanline);
        const JDIMENSION done = info->output_scanline;
        if (job->rowsRead != nullptr && (done - job->told >= RowsPerTelling || done == info->output_height)) {
            job->told = done;
            if (!(*job->rowsRead)(bitmap, std::int32_t(done))) {
                jpeg_destroy_decompress(info);
                job->result = ErrorFromIdentifier("abort");
                return;
            }
        }
    }
    jpeg_finish_decompress(info);
    jpeg_destroy_decompress(info);
    job->result = 0;
}

// One row of the bitmap as blue, green, red bytes, colours that are not opaque composited onto white.
void FillRow(const SBitmap& bitmap, std::int32_t y, JSAMPLE* out)
{
    const std::int32_t width = bitmap.Width();
    if (bitmap.Format() == 24) {
        std::memcpy(out, bitmap.Row(y), std::size_t(width) * 3);
        return;
    }
    for (std::int32_t x = 0; x < width; ++x, out += 3) {
        SColor c = bitmap.GetColor(x, y);
        if (c.t != 0)
            c = Over(c, SColor::White);
        out[0] = c.b;
        out[1] = c.g;
        out[2] = c.r;
    }
}

struct JpegWriteJob
{
    jpeg_compress_struct info;
    JpegFailure failure;
    std::FILE* out;
    const SBitmap* bitmap;
    JSAMPLE* row;  // malloc'd, width * 3 bytes
    bool written;
};

// As RunJpegRead: nothing with a destructor lives here.
void RunJpegWrite(JpegWriteJob* job)
{
    j_compress_ptr info = &job->info;
    InstallFailure(job->failure, reinterpret_cast<j_common_ptr>(info));
    if (setjmp(job->failure.jump)) {
        jpeg_destroy_compress(info);
        job->written = false;
        return;
    }
    const SBitmap& bitmap = *job->bitmap;
    jpeg_create_compress(info);
    jpeg_stdio_dest(info, job->out);
    info->image_width = JDIMENSION(bitmap.Width());
    info->image_height = JDIMENSION(bitmap.Height());
    info->input_components = 3;
    info->in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(info);
    jpeg_set_quality(info, 80, TRUE);
    jpeg_start_compress(info, TRUE);
    JSAMPROW rows[1] = {job->row};
    for (std::int32_t y = 0; y < bitmap.Height(); ++y) {
        FillRow(bitmap, y, job->row);
        jpeg_write_scanlines(info, rows, 1);
    }
    jpeg_finish_compress(info);  // flushes the stream and fails on a write error
    jpeg_destroy_compress(info);
    job->written = true;
}

}  // namespace

SError ReadJpegError()
{
    static const SError value = [] {
        static constexpr std::string_view message = "エラー1が発生しました。";
        for (const SErrorDefinition* definition : RegisteredErrorDefinitions())
            if (definition->Identifier() == "error" && definition->Message() == message)
                return definition->value;
        return ErrorFromIdentifier("error");
    }();
    return value;
}

SError ReadJpegBytes(SBitmap& bitmap, const std::uint8_t* begin, const std::uint8_t* end, const SRowsRead* rowsRead)
{
    bitmap.Release();
    if (begin == nullptr || end == nullptr || end <= begin)
        return ReadJpegError();
    JpegReadJob job{};
    job.begin = begin;
    job.size = std::size_t(end - begin);
    job.bitmap = &bitmap;
    job.rowsRead = rowsRead;
    RunJpegRead(&job);
    std::free(job.rows);
    if (job.result != 0) {
        if (job.told != 0)
            (*rowsRead)(bitmap, -1);
        bitmap.Release();
    }
    return job.result;
}

SError ReadJpegFile(SBitmap* bitmap, const SString& path)
{
    if (bitmap == nullptr)
        return ErrorFromIdentifier("pointer");
    if (path.IsEmpty()) {
        bitmap->Release();
        return 1;  // the generic failure value
    }
    SFileMapper file;
    if (file.OpenRead(path) != 0) {
        bitmap->Release();
        return ErrorFromIdentifier("file_open");
    }
    SError result = ReadJpegBytes(*bitmap, file.Begin(), file.End());
    if (file.Close() != 0 && result == 0) {
        bitmap->Release();
        result = ErrorFromIdentifier("file_close");
    }
    return result;
}

SError WriteJpegFile(const SBitmap& bitmap, const SString& path)
{
    const SError failed = error_definitions::JpegError().value;
    if (bitmap.IsEmpty())
        return failed;
    SReplacingFile file;
    if (SError err = file.Open(path))
        return ExplainFailure(failed, err, path.Str());
    if (file.Stream() == nullptr)
        return ErrorWithSystemCause(failed, errno, path.Str());
    JpegWriteJob job{};
    job.out = file.Stream();
    job.bitmap = &bitmap;
    job.row = static_cast<JSAMPLE*>(std::malloc(std::size_t(bitmap.Width()) * 3));
    if (job.row == nullptr)
        return failed;
    RunJpegWrite(&job);
    const int writeCode = StreamWriteCode(job.out);
    std::free(job.row);
    // Every failure keeps the identifier callers know; one the system explains (a full disk, a
    // read-only folder) says so with the path. The previous file stays untouched.
    if (!job.written)
        return ErrorWithSystemCause(failed, writeCode, path.Str());
    if (SError err = file.Commit())
        return ExplainFailure(failed, err, path.Str());
    return 0;
}

}  // namespace ulib
