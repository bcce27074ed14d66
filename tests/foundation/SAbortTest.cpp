#include "SAbort.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using ulib::SAbort;

TEST(SAbort, NestedRangesMapThroughEveryLevel)
{
    SAbort abort;
    abort.PushRange(0, 100, 0, 50);
    EXPECT_EQ(abort.Progress(), 0);  // the position starts at the range's local start
    abort.SetPosition(25);
    EXPECT_EQ(abort.Progress(), 50);

    // A nested range is placed in the enclosing range's local units (here 0..50).
    abort.PushRange(25, 50, 0, 10);
    abort.SetPosition(5);
    EXPECT_EQ(abort.Progress(), 75);
    abort.PopRange();  // 25 + 5 * 25 / 10 = 37.5 outer units, kept as a whole 37
    EXPECT_EQ(abort.Progress(), 74);

    abort.PushRange(50, 100, 0, 10);  // beyond the outer local range: 150, clamped
    abort.SetPosition(5);
    EXPECT_EQ(abort.Progress(), 100);
    abort.PopRange();
    abort.PopRange();  // 0 + 75 * 100 / 50 = 150 overall, clamped
    EXPECT_EQ(abort.Progress(), 100);
    abort.PopRange();  // nothing left to pop
    EXPECT_EQ(abort.Progress(), 100);

    SAbort single;
    single.PushRange(50, 100, 0, 10);
    single.SetPosition(5);
    EXPECT_EQ(single.Progress(), 75);
}

TEST(SAbort, PopRangeMapsThePositionIntoTheEnclosingRange)
{
    SAbort abort;
    abort.PushRange(10, 20, 0, 4);
    abort.SetPosition(3);
    abort.PopRange();
    EXPECT_EQ(abort.Progress(), 17);  // 10 + 3 * 10 / 4 = 17.5, truncated

    // Degenerate ranges leave the position at the local start, whatever it was.
    abort.PushRange(30, 30, 6, 10);
    abort.SetPosition(9);
    abort.PopRange();
    EXPECT_EQ(abort.Progress(), 6);
    abort.PushRange(30, 60, 4, 4);
    abort.SetPosition(9);
    abort.PopRange();
    EXPECT_EQ(abort.Progress(), 4);
}

TEST(SAbort, PopShiftsWhileProgressDividesWithTruncation)
{
    // -16 + 16 * 16 / 48 = -11 in sixteenths: a shift gives -1, a division 0.
    SAbort abort;
    abort.SetBounds(-100, 100);
    abort.PushRange(-1, 0, 0, 3);
    abort.SetPosition(1);
    EXPECT_EQ(abort.Progress(), 0);
    abort.PopRange();
    EXPECT_EQ(abort.Progress(), -1);
}

TEST(SAbort, ReplaceRangeIsPopThenPush)
{
    SAbort abort;
    abort.PushRange(0, 50, 0, 10);
    abort.SetPosition(10);
    EXPECT_EQ(abort.Progress(), 50);
    abort.ReplaceRange(50, 100, 0, 10);
    EXPECT_EQ(abort.Progress(), 50);
    abort.SetPosition(5);
    EXPECT_EQ(abort.Progress(), 75);

    SAbort empty;  // with nothing to pop it is a push
    empty.ReplaceRange(0, 100, 0, 4);
    empty.SetPosition(1);
    EXPECT_EQ(empty.Progress(), 25);
}

TEST(SAbort, ProgressIsClampedToTheBounds)
{
    SAbort abort;
    EXPECT_EQ(abort.Minimum(), 0);
    EXPECT_EQ(abort.Maximum(), 100);
    EXPECT_FALSE(abort.SetPosition(150));
    EXPECT_FALSE(abort.IsAborted());
    EXPECT_EQ(abort.Progress(), 100);
    abort.SetPosition(-5);
    EXPECT_EQ(abort.Progress(), 0);
    abort.PushRange(10, 20, 5, 5);  // an empty local range reports its local start
    EXPECT_EQ(abort.Progress(), 5);

    abort.SetBounds(30, 30);
    EXPECT_EQ(abort.Progress(), 30);
    abort.SetBounds(50, 40);
    EXPECT_EQ(abort.Progress(), 0);
}

TEST(SAbort, LargeRangesDoNotOverflow)
{
    SAbort abort;
    abort.PushRange(0, 100, 0, 100000000);
    abort.SetPosition(99999999);
    EXPECT_EQ(abort.Progress(), 99);
    abort.PopRange();
    EXPECT_EQ(abort.Progress(), 99);
}

TEST(SAbort, OperationsThatCannotGetTheLockAreSkippedButAbortIsNeverLost)
{
    SAbort abort;
    abort.PushRange(0, 100, 0, 10);
    abort.SetPosition(2);
    bool positionReportedAbort = false;
    bool abortedSeen = false;
    int progressWhileHeld = -1;
    {
        auto held = abort.HoldLock();
        // Each call below waits its 5 ms and gives up while this thread keeps the lock.
        std::thread other([&] {
            abort.RequestAbort();
            positionReportedAbort = abort.SetPosition(9);
            abortedSeen = abort.IsAborted();
            progressWhileHeld = abort.Progress();
            abort.PushRange(0, 1, 0, 1);
            abort.PopRange();
        });
        other.join();
    }
    EXPECT_TRUE(positionReportedAbort);
    EXPECT_TRUE(abortedSeen);
    EXPECT_EQ(progressWhileHeld, 0);
    EXPECT_TRUE(abort.IsAborted());
    EXPECT_EQ(abort.Progress(), 20);  // the position, push and pop were dropped
}

TEST(SAbort, AWorkerStopsWhenTheWindowAsks)
{
    SAbort abort;
    std::atomic<bool> started{false};
    int steps = 0;
    std::thread worker([&] {
        abort.PushRange(0, 100, 0, 1000000);
        for (int i = 0; i < 1000000; ++i) {
            started = true;
            if (abort.SetPosition(i))
                break;
            ++steps;
        }
        abort.PopRange();
    });
    while (!started)
        std::this_thread::yield();
    const int seen = abort.Progress();
    abort.RequestAbort();
    worker.join();
    EXPECT_GE(seen, 0);
    EXPECT_LE(seen, 100);
    EXPECT_LT(steps, 1000000);
    EXPECT_TRUE(abort.IsAborted());
}
