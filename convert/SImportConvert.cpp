#include "SImportConvert.h"

#include "SCel.h"
#include "SDocumentRecords.h"
#include "SEarlyImport.h"
#include "SImportPasses.h"
#include "SParallel.h"
#include "SReplacingFile.h"

#include <atomic>
#include <cstring>
#include <functional>
#include <limits>
#include <optional>
#include <utility>

using namespace ulib;

namespace {

constexpr std::int32_t ThumbnailSide = 128;

SError Abort() { return ErrorFromIdentifier("abort"); }

// One step of the conversion: its share of the caller's range, open while the step runs.
class Step
{
public:
    Step(SAbort* abort, std::int32_t from, std::int32_t to) : abort_(abort)
    {
        if (abort_)
            abort_->PushRange(from, to, 0, 100);
    }
    ~Step()
    {
        if (abort_)
            abort_->PopRange();
    }
    Step(const Step&) = delete;
    Step& operator=(const Step&) = delete;

private:
    SAbort* abort_;
};

// A channel of a pixel of the given alpha put over white paper, rounded to the nearest level.
constexpr std::uint8_t OverPaper(std::uint32_t channel, std::uint32_t alpha)
{
    return std::uint8_t((channel * alpha + 255 * (255 - alpha) + 127) / 255);
}

// The picture as a 24-bit image, blue, green and red of each pixel. A picture with an alpha channel
// (line art on a transparent background) lies on white paper; other transparency is dropped.
SError CopyToGenga(const SBitmap& picture, SBitmap& genga, SAbort* abort)
{
    const std::int32_t w = picture.Width(), h = picture.Height(), format = picture.Format();
    const bool onPaper = format == 32 && picture.HasAlpha();
    if (abort)
        abort->PushRange(0, 100, 0, h);
    SError err = 0;
    for (std::int32_t y = 0; y < h; ++y) {
        if (abort && abort->SetPosition(y)) {
            err = Abort();
            break;
        }
        std::uint8_t* out = genga.Row(y);
        if (format == 24) {
            std::memcpy(out, picture.Row(y), std::size_t(w) * 3);
        } else if (onPaper) {
            const std::uint8_t* in = picture.Row(y);
            for (std::int32_t x = 0; x < w; ++x, in += 4, out += 3) {
                out[0] = OverPaper(in[0], in[3]);
                out[1] = OverPaper(in[1], in[3]);
                out[2] = OverPaper(in[2], in[3]);
            }
        } else if (format == 32) {
            const std::uint8_t* in = picture.Row(y);
            for (std::int32_t x = 0; x < w; ++x, in += 4, out += 3) {
                out[0] = in[0];
                out[1] = in[1];
                out[2] = in[2];
            }
        } else {
            for (std::int32_t x = 0; x < w; ++x, out += 3) {
                const SColor c = picture.GetColor(x, y);
                out[0] = c.b;
                out[1] = c.g;
                out[2] = c.r;
            }
        }
    }
    if (abort)
        abort->PopRange();
    return err;
}

// The trace passes after extraction: steps 30 to 40 of the conversion.
SError FinishTrace(SBitmap& trace, bool binarize, SAbort* abort)
{
    Step step(abort, 30, 40);
    {
        Step specks(abort, 0, 50);
        if (SError err = RemoveTraceSpecks(trace, abort))
            return err;
    }
    if (binarize) {
        Step binarizing(abort, 50, 100);
        if (SError err = BinarizeTrace(trace, abort))
            return err;
    }
    return 0;
}

// The paint passes after classification: steps 40 to 70 of the conversion (the genga's mode and
// the coding run beside them).
SError FinishPaint(SBitmap& paint, SAbort* abort)
{
    {
        Step step(abort, 40, 50);
        if (SError err = SmoothPaintBorders(paint, abort))
            return err;
    }
    SBorderMask mask;
    if (SError err = mask.Make(paint))
        return err;
    SError err = 0;
    {
        Step step(abort, 50, 60);
        static constexpr std::int32_t bounds[4] = {0, 33, 66, 100};
        for (std::int32_t pass = 0; pass < 3 && err == 0; ++pass) {
            Step part(abort, bounds[pass], bounds[pass + 1]);
            err = ExtendBorderNotches(mask, abort);
        }
    }
    if (err == 0) {
        Step step(abort, 60, 70);
        err = ThinBorderLines(mask, abort);
    }
    if (err == 0)
        mask.ApplyTo(paint);
    return err;
}

// The genga's compression mode: 1 flattens near-white, 2 leaves the picture out (all white).
SError FinishGenga(SBitmap& genga, std::int32_t mode, SAbort* abort)
{
    if (mode == 1) {
        if (SError err = FlattenNearWhite(genga, nullptr))
            return err;
    } else if (mode == 2) {
        for (std::int32_t y = 0; y < genga.Height(); ++y)
            std::memset(genga.Row(y), 0xFF, std::size_t(genga.Width()) * 3);
    }
    return abort && abort->IsAborted() ? Abort() : 0;
}

// picture: the picture read, or null when genga already holds it as 24 bits (taken over from a
// 24-bit picture that is not needed afterwards, which spares a copy of it).
SError RunSteps(const SBitmap* picture, SBitmap& genga, SQuickPress& document, const SHuedraneOptions& options,
                SAbort* abort, const SEarlyRows& early = {})
{
    const std::int32_t w = picture ? picture->Width() : genga.Width(), h = picture ? picture->Height() : genga.Height();
    SBitmap paint, trace;
    {
        Step step(abort, 0, 10);
        if (picture) {
            genga.Create(w, h, 24);
            if (genga.Width() != w || genga.Height() != h)
                return ErrorFromIdentifier("memory_alloc");
            Step copy(abort, 0, 50);
            if (SError err = CopyToGenga(*picture, genga, abort))
                return err;
        } else if (abort && abort->SetPosition(50)) {
            return Abort();
        }
        if (options.importLevelEnabled) {
            Step level(abort, 50, 100);
            if (SError err = ApplyInputLevel(genga, options.importLevelBlack, options.importLevelWhite, abort))
                return err;
        }
        if (early.paint && early.trace) {
            paint.Swap(*early.paint);
            trace.Swap(*early.trace);
        } else {
            paint.Create(w, h, 32);
            trace.Create(w, h, 32);
        }
        if (paint.Width() != w || paint.Height() != h || trace.Width() != w || trace.Height() != h)
            return ErrorFromIdentifier("memory_alloc");
    }
    {
        Step step(abort, 10, 20);
        if (SError err = ExtractTraceLines(genga, trace, abort, early.extracted))
            return err;
    }
    {
        Step step(abort, 20, 30);
        if (options.importAntiHole) {
            const SRect inner{1, 1, w - 1, h - 1};
            const SBitmap filtered = ConvolveImage(genga, SAntiHoleFilter(), &inner);
            if (filtered.IsEmpty())
                return ErrorFromIdentifier("memory_alloc");
            if (SError err = ClassifyPaintBorders(filtered, paint, abort))
                return err;
        } else if (SError err = ClassifyPaintBorders(genga, paint, abort, early.classified)) {
            return err;
        }
    }
    // From here each layer has passes of its own left: the trace its specks, the paint its border
    // passes (both here, in that order), the genga its compression mode (on a second thread). The
    // three layers are coded by whichever thread is free, each taking tile rows only once its
    // layer is final (a flag set after the last change, so a thread that finds it unset leaves
    // that coding to the other). That thread reports no positions; it stops at an abort.
    if (SError err = document.SetCount(4))
        return err;
    document.width = w;
    document.height = h;
    document.format = 32;
    std::optional<STileCoding> ownGengaCoding;
    STileCoding& gengaCoding = early.gengaCoding ? *early.gengaCoding : ownGengaCoding.emplace(genga);
    STileCoding traceCoding(trace), paintCoding(paint);
    std::atomic<bool> gengaFinal{false}, paintFinal{false}, traceFinal{false};
    auto going = [abort] { return !(abort && abort->IsAborted()); };
    SError paintErr = 0, gengaErr = 0;
    // Each thread finishes its own layer, then codes it, the trace and the other's layer once final.
    auto share = [&](const std::function<SError()>& finish, SError& err, std::atomic<bool>& final, STileCoding& own,
                     const std::atomic<bool>& otherFinal, STileCoding& other) {
        err = finish();
        if (err == 0)
            final.store(true, std::memory_order_release);
        if (err == 0 && going())
            own.Work();
        if (traceFinal.load(std::memory_order_acquire) && going())
            traceCoding.Work();
        if (otherFinal.load(std::memory_order_acquire) && going())
            other.Work();
    };
    RunInParallel({
        [&] {
            share(
                [&] {
                    if (SError err = FinishTrace(trace, options.importBinarize, abort))
                        return err;
                    traceFinal.store(true, std::memory_order_release);
                    return FinishPaint(paint, abort);
                },
                paintErr, paintFinal, paintCoding, gengaFinal, gengaCoding);
        },
        [&] {
            const SSerialScope serial;
            share([&] { return FinishGenga(genga, options.importGengaCompress, abort); }, gengaErr, gengaFinal,
                  gengaCoding, paintFinal, paintCoding);
        },
    }, std::int64_t(w) * h);
    if (!going())
        return Abort();
    for (SError err : {paintErr, gengaErr})
        if (err)
            return err;
    for (auto [coding, index] : {std::pair{&gengaCoding, 0}, {&paintCoding, 1}, {&traceCoding, 2}})
        if (SError err = coding->Finish(document[index]))
            return err;
    {
        Step step(abort, 90, 100);
        if (SError err = document[3].Compress(MakeThumbnail(trace, paint, ThumbnailSide)))
            return err;
        document[3].kind = document_kind::Thumbnail;
        if (abort && abort->SetPosition(100))
            return Abort();
    }
    if (abort && abort->IsAborted())
        return Abort();
    return 0;
}

// ConvertImageToDocument for a picture nobody needs afterwards: a 24-bit one becomes the genga
// itself instead of being copied into it. early: the work done on it while it was read.
SError ConvertOwnPicture(SBitmap& picture, SQuickPress& document, const SHuedraneOptions& options, SAbort* abort,
                         const SEarlyRows& early)
{
    if (picture.Format() != 24 || picture.IsEmpty())
        return ConvertImageToDocument(picture, &document, options, abort);
    document.Clear();
    const SError err = RunSteps(nullptr, picture, document, options, abort, early);
    if (err)
        document.Clear();
    return err;
}

}  // namespace

SError ConvertImageToDocument(const SBitmap& picture, SQuickPress* document, const SHuedraneOptions& options,
                              SAbort* abort)
{
    if (!document)
        return ErrorFromIdentifier("pointer");
    document->Clear();
    if (picture.IsEmpty())
        return ErrorFromIdentifier("empty_file");
    SBitmap genga;
    const SError err = RunSteps(&picture, genga, *document, options, abort);
    if (err)
        document->Clear();
    return err;
}

SError ImportImageFile(SQuickPress* document, const SHuedraneOptions& options, const SPictureReader& plugins,
                       SAbort* abort, const SString& path)
{
    if (!document)
        return ErrorFromIdentifier("pointer");
    document->Clear();
    if (abort && abort->SetPosition(1))
        return Abort();
    SError err = 0;
    {
        SBitmap picture;
        if (abort)
            abort->PushRange(0, 10, 0, 100);
        // The picture's size is known only once it is being read: the second thread merely waits
        // on pictures too small to be worth it.
        SEarlyImport early(options);
        const SRowsRead listener = early.Listener();
        RunInParallel({
            [&] {
                err = ReadImageFile(&picture, path, plugins, abort, &listener);
                early.ReadEnds();
            },
            [&] { early.Work(); },
        }, std::numeric_limits<std::int64_t>::max());
        if (abort)
            abort->PopRange();
        if (!err && abort && abort->IsAborted())
            err = Abort();
        if (!err) {
            if (abort)
                abort->PushRange(10, 100, 0, 100);
            err = ConvertOwnPicture(picture, *document, options, abort, early.Rows());
            if (abort)
                abort->PopRange();
            if (!err && abort && abort->SetPosition(99))
                err = Abort();
        }
    }
    if (err)
        document->Clear();
    return err;
}

SError ImportImageFileToDocumentFile(const SString& sourcePath, const SString& documentPath,
                                     const SHuedraneOptions& options, SAbort* abort, const SPictureReader& plugins)
{
    SQuickPress document;
    if (SError err = ImportImageFile(&document, options, plugins, abort, sourcePath))
        return err;
    // A stop request that arrives while the document is written still keeps the previous file.
    const SCommitAbortScope scope(abort);
    return scope.Result(document.WriteFile(documentPath));
}
