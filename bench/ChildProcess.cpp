#include "ChildProcess.h"
#include "BenchTable.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <time.h>
#include <unistd.h>
#include <sys/wait.h>

extern char** environ;

namespace {
// argv as posix_spawn takes it, ending in a null pointer; valid while `argv` lives.
std::vector<char*> spawnArgs(const std::vector<std::string>& argv)
{
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    return args;
}

int waitFor(pid_t pid)
{
    int status = -1;
    while (waitpid(pid, &status, 0) < 0) {
    }
    return status;
}
}

double TimeChildMs(const std::vector<std::string>& argv)
{
    std::vector<char*> args = spawnArgs(argv);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    int status = -1;
    bool started = false;
    const double ms = TimeMs([&] {
        pid_t pid = 0;
        // posix_spawn starts the child without copying this (large) process first.
        if (posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ) != 0)
            return;
        started = true;
        status = waitFor(pid);
    });
    posix_spawn_file_actions_destroy(&actions);
    if (!started || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::printf("warning: %s did not run to a clean end\n", argv[0].c_str());
        return -1;
    }
    return ms;
}

long long MonotonicNs()
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

double TimeToMarkMs(const std::vector<std::string>& argv)
{
    std::vector<char*> args = spawnArgs(argv);
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const long long started = MonotonicNs();
    pid_t pid = 0;
    const bool spawned = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    std::string printed;
    char buffer[64];
    for (ssize_t got; spawned && (got = read(pipeFds[0], buffer, sizeof buffer)) != 0;) {
        if (got > 0)
            printed.append(buffer, size_t(got));
    }
    close(pipeFds[0]);
    const int status = spawned ? waitFor(pid) : -1;
    const long long mark = printed.empty() ? 0 : std::atoll(printed.c_str());
    if (!spawned || !WIFEXITED(status) || WEXITSTATUS(status) != 0 || mark < started) {
        std::printf("warning: %s did not print its mark and end cleanly\n", argv[0].c_str());
        return -1;
    }
    return double(mark - started) / 1e6;
}
