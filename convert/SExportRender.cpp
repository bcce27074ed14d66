#include "SExportRender.h"

#include "SExportPasses.h"
#include "SParallel.h"
#include "SPixelScan.h"

#include <algorithm>
#include <array>

using namespace ulib;

namespace {

// Progress for one render: each step replaces the range and reports rows within it.
class RenderProgress
{
public:
    explicit RenderProgress(SAbort* progress) : progress_(progress) {}
    ~RenderProgress()
    {
        if (progress_ != nullptr && open_)
            progress_->PopRange();
    }
    RenderProgress(const RenderProgress&) = delete;
    RenderProgress& operator=(const RenderProgress&) = delete;

    // Moves to the percentages from..to, counted in `units` steps.
    void Step(std::int32_t from, std::int32_t to, std::int32_t units)
    {
        if (progress_ == nullptr)
            return;
        units_ = std::max(units, 1);
        if (open_)
            progress_->ReplaceRange(from, to, 0, units_);
        else
            progress_->PushRange(from, to, 0, units_);
        open_ = true;
    }
    bool Aborted() const { return progress_ != nullptr && progress_->IsAborted(); }
    // Sets the position to the end of the current step; true when abort was requested.
    bool Finish()
    {
        return progress_ != nullptr && progress_->SetPosition(units_);
    }
    SAbort* Object() const { return progress_; }

private:
    SAbort* progress_;
    bool open_ = false;
    std::int32_t units_ = 1;
};

// The first x of from..end-1 whose pixel is not fully transparent, or end: a trace is mostly
// empty, and the composite skips it four pixels at a time.
std::int32_t NextVisible(const std::uint32_t* row, std::int32_t from, std::int32_t end)
{
    return FirstPixel(
        row, from, end, [](std::uint32_t v) { return (v >> 24) != 0; },
        [](auto words) {
            const auto transparent = _mm_cmpeq_epi32(_mm_srli_epi32(words, 24), _mm_setzero_si128());
            return _mm_xor_si128(transparent, _mm_set1_epi32(-1));
        });
}

// Composites every pixel of a 32-bit layer image of the output's size onto the output, as
// BlendColor does: alpha 0 leaves the pixel, 255 writes it, anything else goes through the over rule.
SError CompositeLayerImage(SBitmap& output, const SBitmap& layer, SAbort* progress)
{
    const std::int32_t w = output.Width();
    const std::int32_t format = output.Format();
    const bool direct = format == 24 || format == 32;
    const std::size_t step = std::size_t(format / 8);
    for (std::int32_t y = 0; y < output.Height(); ++y) {
        if (progress != nullptr && progress->SetPosition(y))
            return ErrorFromIdentifier("abort");
        const std::uint32_t* src = layer.Row32(y);
        std::uint8_t* row = direct ? output.Row(y) : nullptr;
        for (std::int32_t x = NextVisible(src, 0, w); x < w; x = NextVisible(src, x + 1, w)) {
            const std::uint32_t v = src[x];
            const std::uint32_t a = v >> 24;
            if (a == 255 && direct) {
                std::uint8_t* d = row + std::size_t(x) * step;
                d[0] = std::uint8_t(v);
                d[1] = std::uint8_t(v >> 8);
                d[2] = std::uint8_t(v >> 16);
                if (format == 32)
                    d[3] = 255;
            } else {
                output.BlendColor(x, y, SColor::FromPixel(v));
            }
        }
    }
    return 0;
}

// The first record of the under layer, or -1.
std::int32_t FindUnderLayer(const SQuickPress& document)
{
    for (std::int32_t i = 0; i < document.Count(); ++i)
        if (document[i].kind == ExportUnderLayerKind)
            return i;
    return -1;
}

// In 32-bit output every pixel of alpha 0 becomes transparent white.
void WhitenTransparent(SBitmap& output)
{
    const std::int32_t w = output.Width();
    for (std::int32_t y = 0; y < output.Height(); ++y) {
        std::uint32_t* row = output.Row32(y);
        for (std::int32_t x = 0; x < w; ++x)  // a select the compiler vectorises
            row[x] = (row[x] >> 24) == 0 ? cel_values::TransparentWhite : row[x];
    }
}

// Steps 1 to 4 for the paint: the target's base picture in the output, the paint decoded, its
// specks closed, carried under the lines and composited.
SError RenderPaint(SBitmap& output, SBitmap& paint, const SQuickPress& document, ExportTarget target,
                   RenderProgress& progress)
{
    const std::int32_t h = document.height;
    if (SError err = document.DecodeLayer(1, paint))
        return err;
    // A record of another size would send the row loops below outside the images.
    if (paint.Dimensions() != output.Dimensions())
        return ErrorFromIdentifier("data");
    if (target == ExportTarget::WithUnder) {
        // Composited onto the output as it is, so that it keeps the document's size and depth.
        const std::int32_t under = FindUnderLayer(document);
        if (under >= 0)
            if (SError err = document.CompositeLayer(under, output))
                return err;
    } else if (target == ExportTarget::GengaOnly) {
        if (SError err = document.DecodeLayer(0, output))
            return err;
    }
    if (progress.Aborted())
        return ErrorFromIdentifier("abort");

    // Steps 2 and 3: specks closed and paint carried under the lines.
    progress.Step(10, 20, h);
    if (SError err = FillIsolatedGaps(paint, progress.Object()))
        return err;
    progress.Step(20, 40, h);
    if (SError err = PaintUnderLines(paint, progress.Object()))
        return err;

    // Step 4: the paint.
    progress.Step(40, 50, h);
    const bool normal = target == ExportTarget::Normal || target == ExportTarget::WithUnder;
    if (normal || target == ExportTarget::PaintOnly)
        if (SError err = CompositeLayerImage(output, paint, progress.Object()))
            return err;
    return 0;
}

SError Render(SBitmap& output, const SQuickPress& document, const SHuedraneOptions& options,
              RenderProgress& progress)
{
    const std::int32_t w = document.width;
    const std::int32_t h = document.height;
    const auto target = static_cast<ExportTarget>(options.exportTargetLayers);

    // Step 1: the output on white, the working images and the target's base picture.
    progress.Step(0, 10, 1);
    const bool out24 = options.export24Bit && !options.exportBinarizeOutline;
    output.Create(w, h, out24 ? 24 : 32);
    output.FillRect(SColor(255, 255, 255, 255));
    SBitmap paint, trace;
    paint.Create(w, h, 32);
    trace.Create(w, h, 32);
    if (output.Dimensions() != SPoint{w, h} || paint.Dimensions() != SPoint{w, h} ||
        trace.Dimensions() != SPoint{w, h})
        return ErrorFromIdentifier("memory_alloc");
    if (document.Count() < 3)
        return ErrorFromIdentifier("data");
    SColor lineColour = SColor::Black;
    if (options.exportBlackTraceEnabled) {
        lineColour = options.exportBlackTraceColour;
        lineColour.t = 0;
    }
    // The trace is decoded and coloured (step 5) on a second thread while the paint goes through
    // steps 1 to 4 here: they touch different images. That thread reports no positions; it stops
    // at an abort.
    SError traceErr = 0, paintErr = 0;
    RunInParallel({
        [&] { paintErr = RenderPaint(output, paint, document, target, progress); },
        [&] {
            const SSerialScope serial;
            traceErr = document.DecodeLayer(2, trace);
            // A record of another size would send the row loops outside the images.
            if (traceErr == 0 && trace.Dimensions() != SPoint{w, h})
                traceErr = ErrorFromIdentifier("data");
            if (traceErr == 0 && !progress.Aborted())
                traceErr = ColourTraceLines(trace, lineColour, nullptr);
        },
    }, std::int64_t(w) * h);
    if (paintErr != 0)
        return paintErr;
    if (traceErr != 0)
        return traceErr;
    paint.Release();
    progress.Step(50, 60, 1);
    progress.Step(60, 70, 1);
    if (progress.Finish())
        return ErrorFromIdentifier("abort");

    // Step 6: the trace.
    const bool normal = target == ExportTarget::Normal || target == ExportTarget::WithUnder;
    progress.Step(70, 80, h);
    if (normal || target == ExportTarget::TraceOnly)
        if (SError err = CompositeLayerImage(output, trace, progress.Object()))
            return err;
    trace.Release();

    // Step 7: the extra layer.
    progress.Step(80, 90, 1);
    if ((normal || target == ExportTarget::ExtraOnly) && document.Count() > 3 && document[3].kind == 1)
        if (SError err = document.CompositeLayer(3, output))
            return err;
    if (progress.Aborted())
        return ErrorFromIdentifier("abort");

    // Step 8: colour range, reduction, outline binarisation, transparent white.
    progress.Step(90, 100, 4);
    if (options.exportGamutEnabled)
        LimitExportGamut(output, options.exportGamutMin, options.exportGamutMax);
    const std::int32_t rate = options.exportMinimizeRate;
    if (rate != 0) {
        if (rate < 0 || output.Width() / rate == 0 || output.Height() / rate == 0)
            return ErrorFromIdentifier("domain");
        // Rate 1 is full size: area averaging at 1:1 would only repeat the image.
        if (rate > 1) {
            const std::int32_t rw = output.Width() / rate;
            const std::int32_t rh = output.Height() / rate;
            output = Resample(output, rw, rh);
            if (output.Dimensions() != SPoint{rw, rh})
                return ErrorFromIdentifier("memory_alloc");
        }
    }
    if (options.exportBinarizeOutline) {
        const SPoint size = output.Dimensions();
        output = KeyTransparency(output, options.exportBackgroundColour, options.export24Bit ? 24 : 32);
        if (output.Dimensions() != size)
            return ErrorFromIdentifier("memory_alloc");
    }
    if (!options.export24Bit && output.Format() == 32)
        WhitenTransparent(output);
    if (progress.Finish())
        return ErrorFromIdentifier("abort");
    return 0;
}

}  // namespace

void LimitExportGamut(SBitmap& image, std::int32_t min, std::int32_t max)
{
    max = std::clamp(max, 128, 255);
    min = std::clamp(min, 0, 127);
    if (min == 0 && max == 255)
        return;
    std::array<std::uint8_t, 256> map{};
    for (std::int32_t v = 0; v < 256; ++v)
        map[std::size_t(v)] = std::uint8_t(min + (max - min + 1) * v / 256);
    const std::int32_t w = image.Width();
    if (image.Format() == 32) {
        for (std::int32_t y = 0; y < image.Height(); ++y) {
            std::uint8_t* p = image.Row(y);
            const std::uint32_t* words = image.Row32(y);
            for (std::int32_t x = 0; x < w; ++x, p += 4) {
                if (words[x] == 0)
                    continue;
                p[0] = map[p[0]];
                p[1] = map[p[1]];
                p[2] = map[p[2]];
            }
        }
    } else if (image.Format() == 24) {
        for (std::int32_t y = 0; y < image.Height(); ++y) {
            std::uint8_t* p = image.Row(y);
            for (std::int32_t i = 0; i < w * 3; ++i)
                p[i] = map[p[i]];
        }
    } else {
        for (std::int32_t y = 0; y < image.Height(); ++y)
            for (std::int32_t x = 0; x < w; ++x) {
                SColor c = image.GetColor(x, y);
                c.b = map[c.b];
                c.g = map[c.g];
                c.r = map[c.r];
                image.SetColor(x, y, c);
            }
    }
}

SError RenderExportImage(SBitmap* output, const SQuickPress& document, const SHuedraneOptions* options,
                         SAbort* progress)
{
    if (output == nullptr)
        return ErrorFromIdentifier("pointer");
    if (options == nullptr) {
        output->Release();
        return ErrorFromIdentifier("pointer");
    }
    SError err = 0;
    {
        RenderProgress steps(progress);
        err = Render(*output, document, *options, steps);
    }
    if (err != 0)
        output->Release();
    return err;
}
