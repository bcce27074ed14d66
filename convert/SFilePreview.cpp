#include "SFilePreview.h"

#include "SDocumentRecords.h"
#include "SFileMapper.h"
#include "SQuickPress.h"
#include "Sximage.h"

#include <algorithm>

using namespace ulib;

namespace {

// Documents store a 128-pixel thumbnail; a record claiming more than this is damaged, and is not
// decoded into a picture of that size.
constexpr std::int32_t MaxThumbnailSide = 1024;

// A channel of a pixel of the given alpha put over white paper, rounded to the nearest level.
std::uint8_t OverPaper(std::uint32_t channel, std::uint32_t alpha)
{
    return std::uint8_t((channel * alpha + 255 * (255 - alpha) + 127) / 255);
}

// The size of width by height fitted into box by box with the aspect kept, never enlarged.
SPoint FittedSize(std::int32_t width, std::int32_t height, std::int32_t box)
{
    if (width <= box && height <= box)
        return {width, height};
    if (width >= height)
        return {box, std::max<std::int32_t>(1, std::int32_t(std::int64_t(box) * height / width))};
    return {std::max<std::int32_t>(1, std::int32_t(std::int64_t(box) * width / height)), box};
}

// The picture scaled into the box as a 24-bit image, an alpha channel laid on white paper.
SError Shrink(const SBitmap& picture, std::int32_t box, SBitmap& out)
{
    const SPoint size = FittedSize(picture.Width(), picture.Height(), box);
    const SBitmap scaled = size == picture.Dimensions() ? picture : Resample(picture, size.x, size.y);
    out.Create(size.x, size.y, 24);
    if (scaled.Dimensions() != size || out.Dimensions() != size) {
        out.Release();
        return ErrorFromIdentifier("memory_alloc");
    }
    const bool onPaper = scaled.Format() == 32 && scaled.HasAlpha();
    for (std::int32_t y = 0; y < size.y; ++y) {
        std::uint8_t* row = out.Row(y);
        for (std::int32_t x = 0; x < size.x; ++x, row += 3) {
            if (onPaper) {
                const std::uint8_t* in = scaled.PixelAddress(x, y);
                row[0] = OverPaper(in[0], in[3]);
                row[1] = OverPaper(in[1], in[3]);
                row[2] = OverPaper(in[2], in[3]);
            } else {
                const SColor c = scaled.GetColor(x, y);
                row[0] = c.b;
                row[1] = c.g;
                row[2] = c.r;
            }
        }
    }
    return 0;
}

SError DocumentPreview(const SQuickPress& list, std::int32_t box, SFilePreview& preview)
{
    preview.width = list.width;
    preview.height = list.height;
    for (std::int32_t i = 0; i < list.Count(); ++i) {
        const SQuickPressLayer& record = list[i];
        if (record.kind != document_kind::Thumbnail)
            continue;
        if (record.width <= 0 || record.height <= 0 || record.width > MaxThumbnailSide ||
            record.height > MaxThumbnailSide)
            return ErrorFromIdentifier("data");
        SBitmap thumbnail;
        if (SError err = record.Decode(thumbnail))
            return err;
        return Shrink(thumbnail, box, preview.picture);
    }
    return 0;
}

}  // namespace

SError ReadPreviewBytes(const std::uint8_t* begin, const std::uint8_t* end, std::int32_t box, SFilePreview& preview)
{
    preview = SFilePreview();
    if (box <= 0)
        return ErrorFromIdentifier("InvalidArgument");
    SQuickPress list;
    SError err = list.ReadFrom(begin, end);
    if (err == 0) {
        err = DocumentPreview(list, box, preview);
    } else if (err == ErrorFromIdentifier("UnacceptableFormat")) {
        // Not a document of ours: the bytes may be a picture.
        SBitmap picture;
        err = ReadImageBytes(picture, begin, end);
        if (err == 0) {
            preview.width = picture.Width();
            preview.height = picture.Height();
            err = Shrink(picture, box, preview.picture);
        }
    }
    if (err != 0)
        preview = SFilePreview();
    return err;
}

SError ReadFilePreview(const SString& path, std::int32_t box, SFilePreview& preview)
{
    preview = SFilePreview();
    if (box <= 0)
        return ErrorFromIdentifier("InvalidArgument");
    SFileMapper file;
    SError err = file.OpenRead(path);
    if (err == 0)
        err = ReadPreviewBytes(file.Begin(), file.End(), box, preview);
    (void)file.Close();  // a mapping opened only for reading has nothing to lose on closing
    return err;
}
