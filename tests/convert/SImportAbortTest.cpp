// An abort requested while an import is in the middle of its passes: the import stops with
// "abort" before it ends, and no document file is written.
#include "SImportConvert.h"
#include "Sximage.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <thread>
#include <unistd.h>

using namespace ulib;

namespace {

TEST(ImportAbort, AnAbortMidwayWritesNothing)
{
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("huedrane-import-abort-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string scan = (folder / "scan.bmp").string(), target = (folder / "scan.hdq").string();

    // Large enough that every pass runs for a while: dark strokes on paper.
    SBitmap picture;
    picture.Create(1600, 1200, 24);
    picture.FillRect(SColor(245, 243, 238));
    for (std::int32_t y = 0; y < 1200; y += 37) {
        const SRect stroke{0, y, 1600, y + 3};
        picture.FillRect(SColor(30, 30, 30), &stroke);
    }
    ASSERT_EQ(WriteBmpFile(picture, SString(scan)), 0u);

    SAbort abort;
    std::atomic<bool> finished{false};
    std::atomic<int> seenAt{-1};
    std::thread watcher([&] {
        // Abort once the conversion is well into its passes.
        while (!finished.load()) {
            const int progress = abort.Progress();
            if (progress >= 20) {
                seenAt = progress;
                abort.RequestAbort();
                return;
            }
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    });
    const SError err = ImportImageFileToDocumentFile(SString(scan), SString(target), SHuedraneOptions(), &abort, nullptr);
    finished = true;
    watcher.join();

    ASSERT_GE(seenAt.load(), 20) << "the import ended before the abort could be requested";
    EXPECT_LT(seenAt.load(), 100);
    EXPECT_EQ(err, ErrorFromIdentifier("abort"));
    EXPECT_FALSE(std::filesystem::exists(target));
    std::filesystem::remove_all(folder);
}

}  // namespace
