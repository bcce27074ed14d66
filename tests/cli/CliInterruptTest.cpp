// Ctrl+C during a batch, made deterministic: the test plug-in "holder" keeps a conversion open
// until the test closes its end of a FIFO, so SIGINT is sent while the conversion surely runs.
// During a carry, SIGINT follows the first target's line: the next carry lasts far longer.
#include "CarryDrawing.h"
#include "CliRunner.h"
#include "CliSettingsFolder.h"
#include "SDocumentFile.h"
#include "Sxpng.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace ulib;

namespace {

namespace fs = std::filesystem;

struct Converter
{
    pid_t pid = -1;
    int status = 0;
    bool ended = false;
};

class CliInterrupt : public CliSettingsFolder
{
protected:
    CliInterrupt() : CliSettingsFolder("huedrane-interrupt-") {}

    void SetUp() override
    {
        CliSettingsFolder::SetUp();
        fs::create_directories(folder / "plugins");
        fs::create_symlink(HUEDRANE_TEST_SPI_FOLDER "holder.spi", folder / "plugins" / "holder.spi");
        NamePluginFolder();
    }

    std::string Scan(const std::string& name)
    {
        SBitmap picture;
        picture.Create(24, 16, 24);
        picture.FillRect(SColor(250, 250, 250));
        EXPECT_EQ(WritePngFile(&picture, SString(Path(name))), 0u);
        return Path(name);
    }

    // A picture only the holder plug-in reads; reading it waits on the FIFO `name`.fifo.
    std::string Held(const std::string& name)
    {
        const std::string fifo = Path(name + ".fifo");
        EXPECT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
        std::ofstream(Path(name)) << "HOLD" << fifo;
        return Path(name);
    }

    // Starts the converter with its stdout and stderr in the files "stdout" and "stderr".
    Converter Start(const std::vector<std::string>& arguments)
    {
        std::vector<char*> argv{const_cast<char*>(HUEDRANE_CLI)};
        for (const std::string& a : arguments)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        const std::string output = Path("stdout"), errors = Path("stderr");
        Converter c;
        c.pid = ::fork();
        if (c.pid == 0) {
            const int err = ::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            const int out = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            ::dup2(err, 2);
            ::dup2(out, 1);
            ::execv(HUEDRANE_CLI, argv.data());
            ::_exit(127);
        }
        return c;
    }

    // The FIFO's writing end, once the plug-in has opened it (its conversion is under way);
    // -1 when the converter ended first.
    static int AwaitReader(const std::string& fifo, Converter& c)
    {
        while (!c.ended) {
            const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0 || errno != ENXIO)
                return fd;
            c.ended = ::waitpid(c.pid, &c.status, WNOHANG) != 0;
            ::usleep(2000);
        }
        return -1;
    }

    static int Finish(Converter& c)
    {
        if (!c.ended) {
            EXPECT_EQ(::waitpid(c.pid, &c.status, 0), c.pid);
        }
        return WIFEXITED(c.status) ? WEXITSTATUS(c.status) : -1;
    }

    std::string Errors() const { return FileContents(Path("stderr")); }

    bool Exists(const std::string& name) const { return fs::exists(folder / name); }

    void ExpectNoTemporaryFiles() const
    {
        for (const auto& entry : fs::directory_iterator(folder))
            EXPECT_EQ(entry.path().filename().string().find(".saving"), std::string::npos) << entry.path();
    }
};

TEST_F(CliInterrupt, CtrlCDuringTheOnlyFileWritesNothingAndSaysSo)
{
    const std::string held = Held("held.hold");
    Converter c = Start({"import", held});
    const int fd = AwaitReader(held + ".fifo", c);
    ASSERT_GE(fd, 0) << Errors();
    ASSERT_EQ(::kill(c.pid, SIGINT), 0);
    ::close(fd);  // the plug-in returns its picture; the conversion must not write it
    EXPECT_EQ(Finish(c), 1);
    EXPECT_FALSE(Exists("held.hdq"));
    EXPECT_NE(Errors().find("huedrane-cli: abort: "), std::string::npos) << Errors();
    EXPECT_NE(Errors().find("(batch interrupted, 0 of 1 files written)"), std::string::npos) << Errors();
    ExpectNoTemporaryFiles();
}

TEST_F(CliInterrupt, CtrlCReachesEveryRunningConversionAndKeepsFinishedFiles)
{
    // Two workers: a.png and one.hold start; two.hold starts only once a.png is written.
    const std::string scan = Scan("a.png");
    const std::string one = Held("one.hold"), two = Held("two.hold");
    Converter c = Start({"import", "-j", "2", "--progress", scan, one, two});
    const int first = AwaitReader(one + ".fifo", c);
    const int second = AwaitReader(two + ".fifo", c);
    ASSERT_GE(first, 0) << Errors();
    ASSERT_GE(second, 0) << Errors();
    ASSERT_EQ(::kill(c.pid, SIGINT), 0);
    ::close(first);
    ::close(second);
    EXPECT_EQ(Finish(c), 1);
    EXPECT_TRUE(Exists("a.hdq"));
    EXPECT_FALSE(Exists("one.hdq"));
    EXPECT_FALSE(Exists("two.hdq"));
    EXPECT_NE(Errors().find("(batch interrupted, 1 of 3 files written)"), std::string::npos) << Errors();
    ExpectNoTemporaryFiles();
}

TEST_F(CliInterrupt, CtrlCDuringACarryKeepsTheTargetsWrittenBefore)
{
    // Wide paper around the small drawing, so that each carry lasts long enough to be stopped.
    using namespace carry_drawing;
    const SPoint paper{3000, 2000};
    ASSERT_EQ(SaveDocument(Drawing({0, 0}, {.painted = true}, paper), SString(Path("c001.hdq"))), 0u);
    std::vector<std::string> arguments{"carry", "--from", Path("c001.hdq"), "--in-place"};
    std::vector<std::string> before;
    for (int i = 2; i <= 4; ++i) {
        arguments.push_back(Path("c00" + std::to_string(i) + ".hdq"));
        ASSERT_EQ(SaveDocument(Drawing({i, i}, {}, paper), SString(arguments.back())), 0u);
        before.push_back(FileContents(arguments.back()));
    }
    Converter c = Start(arguments);
    // Ctrl+C once the first target is written and reported.
    while (!c.ended && FileContents(Path("stdout")).find('\n') == std::string::npos) {
        c.ended = ::waitpid(c.pid, &c.status, WNOHANG) != 0;
        ::usleep(2000);
    }
    ASSERT_FALSE(c.ended) << Errors();
    ASSERT_EQ(::kill(c.pid, SIGINT), 0);
    EXPECT_EQ(Finish(c), 1);
    const std::string reported = FileContents(Path("stdout"));
    EXPECT_EQ(reported.find(arguments[4] + ": 5 regions, 4 painted, 0 left, "), 0u) << reported;
    EXPECT_EQ(reported.find('\n'), reported.size() - 1) << reported;
    EXPECT_NE(Errors().find("huedrane-cli: abort: "), std::string::npos) << Errors();
    EXPECT_NE(Errors().find("(carry interrupted, 1 of 3 files written)"), std::string::npos) << Errors();
    EXPECT_NE(FileContents(arguments[4]), before[0]);
    EXPECT_EQ(FileContents(arguments[5]), before[1]);
    EXPECT_EQ(FileContents(arguments[6]), before[2]);
    ExpectNoTemporaryFiles();
}

}  // namespace
