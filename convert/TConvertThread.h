// TConvertThread: one import or export conversion, single or batch, run on a worker thread while
// the interface thread shows progress. The worker sees only the fields below: the container made
// for it, its own copy of the options, the file names and the shared SAbort.
#pragma once

#include "SAbort.h"
#include "SArray.h"
#include "SError.h"
#include "SHuedraneOptions.h"
#include "SQuickPress.h"
#include "SString.h"
#include "Sximage.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>

class TConvertThread
{
public:
    // What the worker does.
    enum Mode : std::int32_t
    {
        Import = 1,       // fileName into *document
        Export = 2,       // *document to fileName
        BatchImport = 3,  // each of files to the same path with ".hdq"
        BatchExport = 4,  // each document of files to ".bmp" or ".png" by options.exportFormat
    };

    // Receives the progress box's two lines (message, file line) at the start of each conversion.
    // It is called on the worker thread: a window must hand the texts over to its own thread (post
    // them) rather than touch widgets here.
    using MessageSink = std::function<void(const ulib::SString& message, const ulib::SString& fileLine)>;

    // Set every field before Start and leave them alone until the worker has ended.
    std::int32_t mode = 0;
    ulib::SQuickPress* document = nullptr;  // target of Import, source of Export
    ulib::SPictureReader plugins;           // reader for pictures the built-in readers refuse (imports)
    ulib::SArray<ulib::SString> files;      // sources of the batch modes
    ulib::SString fileName;                 // picture read by Import, written by Export
    SHuedraneOptions options;               // read only by the worker
    MessageSink messages;                   // may be empty

    // The progress object is the caller's and must outlive the worker.
    explicit TConvertThread(ulib::SAbort& progress) : progress_(progress) {}
    // Waits for the worker to end.
    ~TConvertThread();
    TConvertThread(const TConvertThread&) = delete;
    TConvertThread& operator=(const TConvertThread&) = delete;

    // Starts the worker. When no thread can be made the body does not run: the result becomes
    // "internal", the object counts as finished and that error is returned. A second Start is
    // refused with "internal" and changes nothing.
    ulib::SError Start();
    // Waits until the worker has ended (returns at once when none was started).
    void Join();
    // True once the worker's last action is done; set after the result.
    bool Finished() const { return finished_.load(std::memory_order_acquire); }
    // The outcome, 0 or the first error. Read it once Finished() is true (or after Join).
    ulib::SError Result() const { return Finished() ? result_ : 0; }

    // The target of a batch: source with the extension of its file name replaced (or added).
    static ulib::SString TargetPath(const ulib::SString& source, const char* extension);

private:
    void Run();
    ulib::SError Body();
    void Tell(const char* message, const ulib::SString& fileLine) const;

    ulib::SAbort& progress_;
    ulib::SError result_ = 0;
    std::atomic<bool> finished_{false};
    bool started_ = false;
    std::thread thread_;
};
