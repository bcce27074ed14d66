#include "SEarlyImport.h"

#include <algorithm>
#include <new>

using namespace ulib;

namespace {
// Rows extracted and classified between two looks at the read.
constexpr std::int32_t RowsPerTurn = 16;
}  // namespace

SEarlyImport::SEarlyImport(const SHuedraneOptions& options)
    : code_(!options.importLevelEnabled && options.importGengaCompress == 0),
      rows_(!options.importLevelEnabled),
      classify_(!options.importLevelEnabled && !options.importAntiHole)
{
}

SRowsRead SEarlyImport::Listener()
{
    return [this](const SBitmap& bitmap, std::int32_t rows) {
        Told(bitmap, rows);
        return true;
    };
}

void SEarlyImport::Told(const SBitmap& bitmap, std::int32_t rows)
{
    std::unique_lock lock(mutex_);
    if (rows < 0) {
        // The bitmap is about to be released: wait until the second thread has left its rows.
        abandoned_ = true;
        changed_.notify_all();
        changed_.wait(lock, [this] { return !busy_; });
        return;
    }
    if (!rows_ || abandoned_)
        return;
    if (picture_ == nullptr) {
        if (bitmap.Format() != 24)
            return;
        picture_ = &bitmap;
        height_ = bitmap.Height();
    }
    told_ = rows;
    changed_.notify_all();
}

void SEarlyImport::ReadEnds()
{
    const std::lock_guard lock(mutex_);
    ended_ = true;
    changed_.notify_all();
}

bool SEarlyImport::CatchUp(std::int32_t told, bool& caughtUp)
{
    const SBitmap& picture = *picture_;
    if (!imagesMade_) {
        const std::int32_t w = picture.Width(), h = picture.Height();
        trace_.Create(w, h, 32);
        paint_.Create(w, h, 32);
        if (trace_.Dimensions() != SPoint{w, h} || paint_.Dimensions() != SPoint{w, h})
            return false;
        if (code_)
            coding_.reset(new (std::nothrow) STileCoding(picture));
        imagesMade_ = true;
    }
    // Row y of the trace reads rows y-1 to y+1; the first and last rows wrap round the picture
    // and are left to the conversion. A few rows at a time, so that the end of the read is
    // noticed soon.
    const std::int32_t extractTo = std::min({told - 1, height_ - 1, extracted_ + RowsPerTurn});
    for (; extracted_ < extractTo; ++extracted_)
        ExtractTraceRow(picture, trace_, extracted_);
    const std::int32_t classifyTo = classify_ ? std::min(told, classified_ + RowsPerTurn) : classified_;
    for (; classified_ < classifyTo; ++classified_)
        ClassifyPaintRow(picture, paint_, classified_);
    caughtUp = extracted_ >= std::min(told - 1, height_ - 1) && (!classify_ || classified_ >= told);
    return true;
}

void SEarlyImport::Work()
{
    std::unique_lock lock(mutex_);
    std::int32_t seen = 0;
    bool failed = false;
    for (;;) {
        changed_.wait(lock, [&] { return Stopping() || (picture_ != nullptr && told_ > seen); });
        if (Stopping() || failed)
            return;
        busy_ = true;
        // The rows told so far first, then one tile row of the genga at a time, so that new rows
        // and the end of the read are noticed soon.
        bool more = true;
        while (more) {
            seen = told_;
            lock.unlock();
            bool caughtUp = false;
            failed = !CatchUp(seen, caughtUp);
            more = !failed && (!caughtUp || (coding_ && coding_->WorkRow(seen)));
            lock.lock();
            more = more && !Stopping();
        }
        busy_ = false;
        changed_.notify_all();
    }
}

SEarlyRows SEarlyImport::Rows()
{
    const std::lock_guard lock(mutex_);
    SEarlyRows rows;
    if (picture_ == nullptr || abandoned_ || told_ != height_ || !imagesMade_)
        return rows;
    rows.gengaCoding = coding_.get();
    rows.trace = &trace_;
    rows.paint = &paint_;
    rows.extracted = {1, extracted_};
    rows.classified = {0, classified_};
    return rows;
}
