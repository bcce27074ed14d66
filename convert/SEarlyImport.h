// Import work done while the picture is still being read: a 24-bit picture that becomes the genga
// without input levels is final row by row as the reader decodes it, so a second core extracts
// the trace and classifies the paint borders of the rows decoded so far and, when the genga is
// stored as read, codes its tile rows, instead of waiting for the whole picture.
#pragma once

#include "SHuedraneOptions.h"
#include "SImportPasses.h"
#include "SQuickPress.h"
#include "SRowsRead.h"

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>

// What was done early, for the conversion to go on from: null or empty when nothing was.
struct SEarlyRows
{
    ulib::STileCoding* gengaCoding = nullptr;  // the genga's coding, begun
    ulib::SBitmap* trace = nullptr;            // the trace image, rows `extracted` written
    ulib::SBitmap* paint = nullptr;            // the paint image, rows `classified` written
    SRowsDone extracted;
    SRowsDone classified;
};

class SEarlyImport
{
public:
    explicit SEarlyImport(const SHuedraneOptions& options);
    SEarlyImport(const SEarlyImport&) = delete;
    SEarlyImport& operator=(const SEarlyImport&) = delete;

    // The listener to hand the reader (reading thread).
    ulib::SRowsRead Listener();
    // After the reader returned (reading thread): no further rows are worked on here.
    void ReadEnds();
    // The second thread's part: works on the rows as they are told, until the read ends.
    void Work();
    // Once both the above have returned: the work done, when every row was told and the picture
    // kept; else nothing (the conversion then does all of it).
    SEarlyRows Rows();

private:
    void Told(const ulib::SBitmap& bitmap, std::int32_t rows);
    // Extracts and classifies some of the told rows not yet done, caughtUp once none is left;
    // false when the images cannot be made.
    bool CatchUp(std::int32_t told, bool& caughtUp);
    bool Stopping() const { return ended_ || abandoned_; }

    const bool code_;      // the genga is stored as read
    const bool rows_;      // the genga is the picture as read
    const bool classify_;  // the paint is classified from the genga itself
    std::mutex mutex_;
    std::condition_variable changed_;
    const ulib::SBitmap* picture_ = nullptr;
    std::unique_ptr<ulib::STileCoding> coding_;
    ulib::SBitmap trace_, paint_;
    bool imagesMade_ = false;
    std::int32_t height_ = 0;
    std::int32_t told_ = 0;
    std::int32_t extracted_ = 1;   // rows 1..extracted_-1 of the trace are written
    std::int32_t classified_ = 0;  // rows 0..classified_-1 of the paint are written
    bool ended_ = false;
    bool abandoned_ = false;
    bool busy_ = false;  // the second thread is inside the picture's rows
};
