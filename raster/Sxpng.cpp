// PNG pictures through libpng. libpng reports errors by longjmp, so the functions that call it keep
// their state in a plain job record owned by the caller and hold no object with a destructor.
#include "Sxpng.h"

#include "SErrorCause.h"
#include "SErrorRegistry.h"
#include "SFileMapper.h"
#include "SPngBands.h"
#include "SReplacingFile.h"

#include <png.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace ulib {

namespace {

SError PngError() { return error_definitions::PngError().value; }
SError PngError2() { return error_definitions::PngError2().value; }

struct PngSource
{
    const std::uint8_t* at;
    const std::uint8_t* end;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t length)
{
    auto* source = static_cast<PngSource*>(png_get_io_ptr(png));
    if (std::size_t(source->end - source->at) < length)
        png_error(png, "data cut short");
    std::memcpy(out, source->at, length);
    source->at += length;
}

// The library's messages would only reach stderr; the caller gets the error value instead.
[[noreturn]] void OnPngError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void OnPngWarning(png_structp, png_const_charp) {}

// The bitmap format for a PNG colour type and bit depth (16-bit samples reduced to 8 bits).
std::int32_t FormatFor(int colourType, int depth)
{
    switch (colourType) {
    case PNG_COLOR_TYPE_RGB_ALPHA:
    case PNG_COLOR_TYPE_GRAY_ALPHA:
        return 32;
    case PNG_COLOR_TYPE_RGB:
        return 24;
    case PNG_COLOR_TYPE_PALETTE:
        return depth == 2 ? 8 : depth;  // no 2-bit bitmap: one index a byte
    default:  // grey; no 2-bit or 16-bit grey bitmap either
        return depth == 2 || depth == 16 ? -8 : -depth;
    }
}

// The libpng transformations that turn the file's rows into rows of that format.
void AskForFormat(png_structp png, int colourType, int depth)
{
    png_set_strip_16(png);
    if (colourType == PNG_COLOR_TYPE_GRAY && depth == 2)
        png_set_expand_gray_1_2_4_to_8(png);  // v * 85; the tRNS chunk stays unused
    if (colourType == PNG_COLOR_TYPE_PALETTE && depth == 2)
        png_set_packing(png);
    if (colourType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    png_set_bgr(png);
    png_set_interlace_handling(png);
}

struct PngReadJob
{
    png_structp png = nullptr;
    png_infop info = nullptr;
    PngSource source{};
    SBitmap* bitmap = nullptr;
    png_bytep* rows = nullptr;  // malloc'd, freed by the caller
    const SRowsRead* rowsRead = nullptr;
    bool told = false;  // rows were told to *rowsRead
    SError result = 0;
};

// Rows decoded between two tellings: enough to keep the listener's waking rare.
constexpr png_uint_32 RowsPerTelling = 16;

void CopyPalette(png_structp png, png_infop info, SBitmap& bitmap)
{
    png_colorp entries = nullptr;
    int count = 0;
    if (png_get_PLTE(png, info, &entries, &count) == 0)
        count = 0;
    for (std::int32_t i = 0; i < bitmap.PaletteCount(); ++i)
        bitmap.SetPaletteEntry(i, i < count ? SColor(entries[i].red, entries[i].green, entries[i].blue) : SColor::Black);
}

// No object with a destructor may live here: libpng leaves this function through longjmp.
void RunPngRead(PngReadJob* job)
{
    png_structp png = job->png;
    png_infop info = job->info;
    if (setjmp(png_jmpbuf(png))) {
        job->result = PngError();
        return;
    }
    png_set_read_fn(png, &job->source, ReadFromMemory);
    // The size check below, not libpng's own limit, refuses large pictures, before any allocation.
    png_set_user_limits(png, PNG_UINT_31_MAX, PNG_UINT_31_MAX);
    png_read_info(png, info);
    png_uint_32 width = 0, height = 0;
    int depth = 0, colourType = 0, interlace = 0;
    png_get_IHDR(png, info, &width, &height, &depth, &colourType, &interlace, nullptr, nullptr);
    if (width > png_uint_32(SBitmap::MaxSize) || height > png_uint_32(SBitmap::MaxSize)) {
        job->result = ErrorFromIdentifier("memory_alloc");
        return;
    }
    SBitmap& bitmap = *job->bitmap;
    bitmap.Create(std::int32_t(width), std::int32_t(height), FormatFor(colourType, depth));
    job->rows = static_cast<png_bytep*>(std::malloc(std::size_t(height) * sizeof(png_bytep) + 1));
    if (bitmap.Width() != std::int32_t(width) || bitmap.Height() != std::int32_t(height) || job->rows == nullptr) {
        job->result = ErrorFromIdentifier("memory_alloc");
        return;
    }
    if (colourType == PNG_COLOR_TYPE_PALETTE)
        CopyPalette(png, info, bitmap);
    bitmap.SetHasAlpha((colourType & PNG_COLOR_MASK_ALPHA) != 0);

    AskForFormat(png, colourType, depth);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) > std::size_t(bitmap.Stride()))
        png_error(png, "row larger than the bitmap's");
    for (png_uint_32 y = 0; y < height; ++y)
        job->rows[y] = bitmap.Row(std::int32_t(y));
    if (interlace != PNG_INTERLACE_NONE || job->rowsRead == nullptr) {
        png_read_image(png, job->rows);
    } else {
        for (png_uint_32 y = 0; y < height;) {
            const png_uint_32 n = height - y < RowsPerTelling ? height - y : RowsPerTelling;
            png_read_rows(png, job->rows + y, nullptr, n);
            y += n;
            job->told = true;
            if (!(*job->rowsRead)(bitmap, std::int32_t(y))) {
                job->result = ErrorFromIdentifier("abort");
                return;
            }
        }
    }
    png_read_end(png, nullptr);
    job->result = 0;
}

}  // namespace

SError ReadPngBytes(SBitmap& bitmap, const std::uint8_t* begin, const std::uint8_t* end, const SRowsRead* rowsRead)
{
    bitmap.Release();
    if (begin == nullptr || end == nullptr || end < begin)
        return PngError();
    PngReadJob job;
    job.source = {begin, end};
    job.bitmap = &bitmap;
    job.rowsRead = rowsRead;
    job.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning);
    if (job.png == nullptr)
        return PngError();
    job.info = png_create_info_struct(job.png);
    if (job.info == nullptr)
        job.result = PngError();
    else
        RunPngRead(&job);
    png_destroy_read_struct(&job.png, &job.info, nullptr);
    std::free(job.rows);
    if (job.result != 0) {
        if (job.told)
            (*rowsRead)(bitmap, -1);
        bitmap.Release();
    }
    return job.result;
}

SError ReadPngFile(SBitmap* bitmap, const SString& path)
{
    if (bitmap == nullptr)
        return ErrorFromIdentifier("null_pointer");
    SFileMapper file;
    if (file.OpenRead(path) != 0) {
        bitmap->Release();
        return ErrorFromIdentifier("file_open");
    }
    SError result = ReadPngBytes(*bitmap, file.Begin(), file.End());
    SError closed = file.Close();
    if (result == 0 && closed != 0) {
        bitmap->Release();
        result = closed;
    }
    return result;
}

SError WritePngFile(const SBitmap* bitmap, const SString& path)
{
    if (bitmap == nullptr || bitmap->IsEmpty())
        return ErrorFromIdentifier("domain");
    if (bitmap->Format() != 24 && bitmap->Format() != 32)
        return PngError2();

    std::vector<std::uint8_t> bytes;
    if (EncodePngBands(*bitmap, bytes) != 0)
        return PngError();
    SReplacingFile file;
    if (SError err = file.Open(path))
        return ExplainFailure(PngError(), err, path.Str());
    if (file.Stream() == nullptr)
        return ErrorWithSystemCause(PngError(), errno, path.Str());
    // Every failure keeps the identifier callers know; one the system explains (a full disk, a
    // read-only folder) says so with the path. The previous file stays untouched.
    if (std::fwrite(bytes.data(), 1, bytes.size(), file.Stream()) != bytes.size())
        return ErrorWithSystemCause(PngError(), StreamWriteCode(file.Stream()), path.Str());
    if (SError err = file.Commit())
        return ExplainFailure(PngError(), err, path.Str());
    return 0;
}

}  // namespace ulib
