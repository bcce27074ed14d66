// The converter with the test plug-ins of tests/spi, found through the folder the settings name:
// a failed read takes one line, and no plug-in helper outlives the converter, however it ends.
#include "CliRunner.h"
#include "CliSettingsFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <unistd.h>

extern char** environ;

using namespace ulib;

namespace {

namespace fs = std::filesystem;

// Bounds for waiting on other processes: generous, so only a real fault runs into them.
constexpr auto Patience = std::chrono::seconds(30);
constexpr auto Step = std::chrono::milliseconds(20);

// The parent process id in /proc/<pid>/stat, or -1 for a process that is gone or a zombie.
pid_t LivingParent(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text;
    std::getline(stat, text);
    const std::size_t close = text.rfind(')');
    if (close == std::string::npos || close + 4 >= text.size() || text[close + 2] == 'Z')
        return -1;
    return pid_t(std::atol(text.c_str() + close + 4));
}

// The first child of parent found in /proc, waiting for one to appear; -1 when none does.
pid_t AwaitChild(pid_t parent)
{
    for (auto end = std::chrono::steady_clock::now() + Patience; std::chrono::steady_clock::now() < end;) {
        for (const fs::directory_entry& entry : fs::directory_iterator("/proc")) {
            const std::string name = entry.path().filename().string();
            if (name.find_first_not_of("0123456789") == std::string::npos && LivingParent(std::atoi(name.c_str())) == parent)
                return std::atoi(name.c_str());
        }
        std::this_thread::sleep_for(Step);
    }
    return -1;
}

bool AwaitGone(pid_t pid)
{
    for (auto end = std::chrono::steady_clock::now() + Patience; std::chrono::steady_clock::now() < end;) {
        if (LivingParent(pid) < 0)
            return true;
        std::this_thread::sleep_for(Step);
    }
    return false;
}

// True once every writer of the pipe has closed it.
bool AwaitPipeEnd(int fd)
{
    for (auto end = std::chrono::steady_clock::now() + Patience; std::chrono::steady_clock::now() < end;) {
        pollfd entry{fd, POLLIN, 0};
        if (poll(&entry, 1, 20) > 0) {
            char buffer[512];
            if (read(fd, buffer, sizeof buffer) == 0)
                return true;
        }
    }
    return false;
}

// Exit status of the process, waiting for it to end; -1 when it did not end or ended by a signal.
int AwaitExit(pid_t pid)
{
    for (auto end = std::chrono::steady_clock::now() + Patience; std::chrono::steady_clock::now() < end;) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        std::this_thread::sleep_for(Step);
    }
    return -1;
}

// The converter started in the background, its output and error streams on one pipe.
struct Running
{
    pid_t pid = -1;
    int output = -1;

    explicit Running(const std::string& picture)
    {
        int ends[2];
        if (pipe2(ends, O_CLOEXEC) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, ends[1], 1);
        posix_spawn_file_actions_adddup2(&actions, ends[1], 2);
        std::string program = HUEDRANE_CLI, command = "import", file = picture;
        char* argv[] = {program.data(), command.data(), file.data(), nullptr};
        if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ) != 0)
            pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(ends[1]);
        output = ends[0];
    }
    ~Running()
    {
        if (pid > 0 && waitpid(pid, nullptr, WNOHANG) == 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        if (output >= 0)
            close(output);
    }
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;
};

class CliPlugins : public CliSettingsFolder
{
protected:
    CliPlugins() : CliSettingsFolder("huedrane-cli-spi-") {}

    // The folder is named only by the options, as the window stores them.
    void SetUp() override
    {
        CliSettingsFolder::SetUp();
        NamePluginFolder();
    }

    // The options' plug-in folder holds this test plug-in alone.
    void Use(const char* name)
    {
        fs::remove_all(folder / "plugins");
        fs::create_directories(folder / "plugins");
        fs::create_symlink(fs::path(HUEDRANE_TEST_SPI_FOLDER) / (std::string(name) + ".spi"),
                           folder / "plugins" / (std::string(name) + ".spi"));
    }

    std::string Write(const std::string& name, const std::string& bytes)
    {
        const std::string path = (folder / name).string();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    // Runs the converter on a picture the plug-in never finishes, finds the plug-in helper, ends
    // the converter with the signal and expects the helper to go with it.
    void ExpectNoHelperOutlives(int signal)
    {
        const Running converter(Write("still.tpx", "HANG"));
        ASSERT_GT(converter.pid, 0);
        const pid_t helper = AwaitChild(converter.pid);
        ASSERT_GT(helper, 0);
        ASSERT_EQ(kill(converter.pid, signal), 0);
        const bool gone = AwaitGone(helper);
        EXPECT_TRUE(gone) << "signal " << signal;
        // A wrapper reading the converter's error stream sees its end.
        EXPECT_TRUE(AwaitPipeEnd(converter.output)) << "signal " << signal;
        if (!gone)
            kill(helper, SIGKILL);
    }
};

TEST_F(CliPlugins, TheOptionsPluginFolderServesTheConverter)
{
    Use("reader_a");
    std::string tpx = "TPX";
    tpx += {char(2), char(2), char(0), char(10), char(11), char(12), char(13)};
    const std::string picture = Write("picture.tpx", tpx);
    const CliRun run = RunCli("import " + picture);
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_TRUE(fs::exists(folder / "picture.hdq"));
}

TEST_F(CliPlugins, AFailedPluginReadTakesOneLine)
{
    Use("coder");
    const std::string picture = Write("coded.tpx", "CODE2");
    const CliRun run = RunCli("import " + picture);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out.rfind("huedrane-cli: wrong_format: ", 0), 0u) << run.out;
    EXPECT_EQ(run.out.find('\n'), run.out.size() - 1) << run.out;
    EXPECT_NE(run.out.find("(" + picture + ")"), std::string::npos) << run.out;
}

TEST_F(CliPlugins, NoHelperOutlivesAKilledConverter)
{
    Use("hanger");
    ExpectNoHelperOutlives(SIGKILL);
    ExpectNoHelperOutlives(SIGTERM);
}

TEST_F(CliPlugins, CtrlCEndsAPluginThatNeverStopsOrAnswers)
{
    Use("chatterer");
    const Running converter(Write("chatty.tpx", "CHAT"));
    ASSERT_GT(converter.pid, 0);
    const pid_t helper = AwaitChild(converter.pid);
    ASSERT_GT(helper, 0);
    ASSERT_EQ(kill(converter.pid, SIGINT), 0);
    EXPECT_EQ(AwaitExit(converter.pid), 1);
    const bool gone = AwaitGone(helper);
    EXPECT_TRUE(gone);
    EXPECT_FALSE(fs::exists(folder / "chatty.hdq"));
    if (!gone)
        kill(helper, SIGKILL);
}

}  // namespace
