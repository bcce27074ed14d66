#include "SEarlyGengaCoding.h"

#include <new>

using namespace ulib;

SRowsRead SEarlyGengaCoding::Listener()
{
    return [this](const SBitmap& bitmap, std::int32_t rows) {
        Told(bitmap, rows);
        return true;
    };
}

void SEarlyGengaCoding::Told(const SBitmap& bitmap, std::int32_t rows)
{
    std::unique_lock lock(mutex_);
    if (rows < 0) {
        // The bitmap is about to be released: wait until the coding thread has left its rows.
        abandoned_ = true;
        changed_.notify_all();
        changed_.wait(lock, [this] { return !busy_; });
        return;
    }
    if (!wanted_ || abandoned_)
        return;
    if (!coding_) {
        if (bitmap.Format() != 24)
            return;
        coding_.reset(new (std::nothrow) STileCoding(bitmap));
        if (!coding_)
            return;
        height_ = bitmap.Height();
    }
    told_ = rows;
    changed_.notify_all();
}

void SEarlyGengaCoding::ReadEnds()
{
    const std::lock_guard lock(mutex_);
    ended_ = true;
    changed_.notify_all();
}

void SEarlyGengaCoding::Work()
{
    std::unique_lock lock(mutex_);
    std::int32_t coded = 0;
    for (;;) {
        changed_.wait(lock, [&] { return ended_ || abandoned_ || (coding_ && told_ > coded); });
        if (ended_ || abandoned_)
            return;
        coded = told_;
        busy_ = true;
        lock.unlock();
        // One tile row at a time, so that an abandoned or finished read is noticed soon.
        bool more = true;
        while (more) {
            more = coding_->WorkRow(coded);
            lock.lock();
            if (ended_ || abandoned_)
                more = false;
            if (more)
                lock.unlock();
        }
        busy_ = false;
        changed_.notify_all();
    }
}

STileCoding* SEarlyGengaCoding::Coding()
{
    const std::lock_guard lock(mutex_);
    return coding_ && !abandoned_ && told_ == height_ ? coding_.get() : nullptr;
}
