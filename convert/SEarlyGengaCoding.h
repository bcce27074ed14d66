// Coding the genga while its picture is still being read: a 24-bit picture that becomes the genga
// unchanged (no input levels, no genga compression mode) is final row by row as the reader decodes
// it, so a second core codes its tile rows during the decoding instead of after it.
#pragma once

#include "SQuickPress.h"
#include "SRowsRead.h"

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>

class SEarlyGengaCoding
{
public:
    // wanted: the picture, if it is 24-bit, becomes the genga unchanged.
    explicit SEarlyGengaCoding(bool wanted) : wanted_(wanted) {}
    SEarlyGengaCoding(const SEarlyGengaCoding&) = delete;
    SEarlyGengaCoding& operator=(const SEarlyGengaCoding&) = delete;

    // The listener to hand the reader (reading thread).
    ulib::SRowsRead Listener();
    // After the reader returned (reading thread): no further rows are coded here.
    void ReadEnds();
    // The coding thread's part: codes tile rows as they are told, until the read ends.
    void Work();
    // Once both the above have returned: the coding of the whole picture when every row was told
    // and the picture kept, else null (the genga is then coded as usual).
    ulib::STileCoding* Coding();

private:
    void Told(const ulib::SBitmap& bitmap, std::int32_t rows);

    const bool wanted_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::unique_ptr<ulib::STileCoding> coding_;
    std::int32_t height_ = 0;
    std::int32_t told_ = 0;
    bool ended_ = false;
    bool abandoned_ = false;
    bool busy_ = false;  // the coding thread is inside the bitmap's rows
};
