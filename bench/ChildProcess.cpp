#include "ChildProcess.h"
#include "BenchTable.h"

#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

double TimeChildMs(const std::vector<std::string>& argv)
{
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);

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
        while (waitpid(pid, &status, 0) < 0) {
        }
    });
    posix_spawn_file_actions_destroy(&actions);
    if (!started || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::printf("warning: %s did not run to a clean end\n", argv[0].c_str());
        return -1;
    }
    return ms;
}
