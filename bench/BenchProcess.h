// Whole processes for the benchmarks that compare the converter with a peer program: started,
// waited for, and their peak resident memory read. The peak is GNU time's report: a child started
// straight from the benchmark would count the benchmark's own resident memory from before its exec
// (the peak of the memory it starts with is carried over the exec), whereas time's child starts
// from time's few megabytes.
#pragma once

#include <cstdlib>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace bench_process {

// Runs the program with the arguments (standard output to /dev/null) under /usr/bin/time; the
// peak resident memory in bytes, or -1 when it could not start or did not exit with 0.
inline long Run(const std::vector<std::string>& arguments)
{
    char report[] = "/tmp/huedrane-bench-time-XXXXXX";
    const int reportFd = ::mkstemp(report);
    if (reportFd < 0)
        return -1;
    std::vector<std::string> timed = {"/usr/bin/time", "-f", "%M", "-o", report};
    timed.insert(timed.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (const std::string& a : timed)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t child = -1;
    const int started = ::posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    const bool ran = started == 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
                     WEXITSTATUS(status) == 0;
    char text[64] = {};
    const ssize_t length = ::pread(reportFd, text, sizeof text - 1, 0);
    ::close(reportFd);
    ::unlink(report);
    if (!ran || length <= 0)
        return -1;
    return std::atol(text) * 1024L;
}

}  // namespace bench_process
