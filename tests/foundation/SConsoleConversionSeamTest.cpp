// The console seam's calls around conversions and other instances: waiting for a worker, and
// starting a real process with one argument and no shell.
#include "SConsolePlatform.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using ulib::SConsolePlatform;
using ulib::SConversionWait;

namespace {

namespace fs = std::filesystem;

class ConsoleInstance : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char name[] = "/tmp/huedrane-instance-XXXXXX";
        ASSERT_NE(::mkdtemp(name), nullptr);
        dir_ = name;
        // Writes its argument count and its first argument, as received, to a file beside it.
        script_ = dir_ / "instance.sh";
        std::ofstream(script_) << "#!/bin/sh\nprintf '%s|%s' \"$#\" \"$1\" > \"" << (dir_ / "marker.tmp").string()
                               << "\"\nmv \"" << (dir_ / "marker.tmp").string() << "\" \""
                               << (dir_ / "marker").string() << "\"\n";
        fs::permissions(script_, fs::perms::owner_all);
    }
    void TearDown() override { fs::remove_all(dir_); }

    // The marker's text once the instance has written it (empty after 10 s).
    std::string Marker() const
    {
        for (int i = 0; i < 1000 && !fs::exists(dir_ / "marker"); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::ifstream in(dir_ / "marker");
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    fs::path dir_;
    fs::path script_;
    SConsolePlatform console_{nullptr};
};

// True once this process has no child left, running or ended and unreaped (at most 10 s).
bool NoChildLeft()
{
    for (int i = 0; i < 1000; ++i) {
        siginfo_t info{};
        if (::waitid(P_ALL, 0, &info, WEXITED | WNOHANG | WNOWAIT) < 0 && errno == ECHILD)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

TEST_F(ConsoleInstance, StartsTheProgramWithOneArgumentAndNoShell)
{
    // Blanks, quotes and shell syntax reach the instance as one untouched argument.
    const std::string argument = (dir_ / "a cel 'x' $(touch pwned) ;.hdq").string();
    ASSERT_TRUE(console_.StartInstance(script_.string(), argument));
    EXPECT_EQ(Marker(), "1|" + argument);
    EXPECT_FALSE(fs::exists("pwned"));
    EXPECT_FALSE(fs::exists(dir_ / "pwned"));
    // The ended instance was reaped: no zombie stays behind.
    EXPECT_TRUE(NoChildLeft());
}

TEST_F(ConsoleInstance, RefusesWhatCannotStart)
{
    EXPECT_FALSE(console_.StartInstance((dir_ / "missing").string(), "a.hdq"));
    EXPECT_FALSE(console_.StartInstance("", "a.hdq"));
    EXPECT_FALSE(console_.StartInstance(script_.string(), std::string("a\0b", 3)));
    fs::permissions(script_, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_FALSE(console_.StartInstance(script_.string(), "a.hdq"));
    EXPECT_FALSE(fs::exists(dir_ / "marker"));
}

TEST(ConsoleConversion, WaitsUntilTheWorkerHasFinished)
{
    SConsolePlatform console(nullptr);
    std::atomic<bool> done{false};
    std::thread worker([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        done.store(true);
    });
    SConversionWait request;
    request.finished = [&] { return done.load(); };
    console.WaitForConversion(request);
    EXPECT_TRUE(done.load());
    worker.join();

    // Nothing to wait for, and lines from a worker, are fine without a box.
    console.WaitForConversion({});
    console.SetProgressLines("一括インポート変換中です", "a.bmp→a.hdq");
}

}  // namespace
