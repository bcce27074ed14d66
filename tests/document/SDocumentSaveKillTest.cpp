// Saving over an existing document while the saving process is killed at random moments: the
// target is always the whole old or the whole new document, and no temporary file piles up.
#include "CelFixture.h"
#include "SDocumentFile.h"
#include "SQuickPress.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <random>
#include <string>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

using namespace ulib;

namespace {

SCel NoisyCel(std::int32_t size, unsigned seed)
{
    SCel cel = MakeCel(size, size);
    std::mt19937 random(seed);
    for (std::int32_t y = 0; y < size; ++y)
        for (std::int32_t x = 0; x < size; ++x) {
            cel.paint.Row32(y)[x] = random() | 0xFF000000u;
            cel.genga.SetColor(x, y, SColor::FromValue(random()));
        }
    cel.held.Clear();
    cel.held.Append(cel.genga);
    return cel;
}

std::size_t TemporaryFiles(const std::filesystem::path& folder)
{
    std::size_t n = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        n += entry.path().filename() != "cel.hdq";
    return n;
}

TEST(DocumentSave, KillingTheSaverNeverLeavesAHalfWrittenFile)
{
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("huedrane-kill-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const SString path((folder / "cel.hdq").string());

    const SCel cels[2] = {NoisyCel(256, 1), NoisyCel(256, 2)};
    SQuickPress expected[2];
    for (int i = 0; i < 2; ++i)
        ASSERT_EQ(PackDocument(cels[i], expected[i]), 0u);
    ASSERT_EQ(SaveDocument(cels[0], path), 0u);

    // How long one save takes here, so the kills land before, during and after it.
    timespec start{}, end{};
    clock_gettime(CLOCK_MONOTONIC, &start);
    ASSERT_EQ(SaveDocument(cels[0], path), 0u);
    clock_gettime(CLOCK_MONOTONIC, &end);
    const long saveMicros = std::max(1000L, (end.tv_sec - start.tv_sec) * 1000000L + (end.tv_nsec - start.tv_nsec) / 1000);

    std::mt19937 random(42);
    int seenNew = 0, seenOld = 0;
    for (int round = 0; round < 200; ++round) {
        const int next = (round + 1) % 2;
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0)
            _exit(SaveDocument(cels[next], path) == 0 ? 0 : 1);
        ::usleep(useconds_t(random() % std::uint32_t(saveMicros * 3 / 2)));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);

        SQuickPress onDisk;
        ASSERT_EQ(onDisk.ReadFile(path), 0u) << "round " << round;
        const bool isNew = onDisk.Equals(expected[next]);
        const bool isOld = onDisk.Equals(expected[1 - next]);
        ASSERT_TRUE(isNew || isOld) << "round " << round;
        seenNew += isNew;
        seenOld += isOld;
        ASSERT_LE(TemporaryFiles(folder), 1u) << "round " << round;
        // Keep the file at the state the next round expects as old.
        if (!isNew) {
            ASSERT_EQ(SaveDocument(cels[next], path), 0u);
        }
        ASSERT_EQ(TemporaryFiles(folder), 0u) << "a completed save leaves no temporary file";
    }
    EXPECT_GT(seenOld, 0);  // some kills did land mid-save
    std::filesystem::remove_all(folder);
}

}  // namespace
