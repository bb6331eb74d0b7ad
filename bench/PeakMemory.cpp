#include "PeakMemory.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

int requestFd = -1; // the benchmark writes requests here
int replyFd = -1;   // and reads the launcher's answers here

bool readAll(int fd, void* data, size_t size)
{
    auto* p = static_cast<char*>(data);
    while (size > 0) {
        const ssize_t n = ::read(fd, p, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        size -= size_t(n);
    }
    return true;
}

bool writeAll(int fd, const void* data, size_t size)
{
    const auto* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd, p, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        size -= size_t(n);
    }
    return true;
}

struct Reply {
    int32_t status;    // the exit code, or -1 when the child did not exit normally
    int64_t maxRssKb;
};

// The launcher's life: read an argument list, run it, answer; end when the benchmark does.
[[noreturn]] void serve(int requests, int replies)
{
    for (;;) {
        uint32_t count = 0;
        if (!readAll(requests, &count, sizeof count))
            _exit(0);
        std::vector<std::string> argv(count);
        for (std::string& arg : argv) {
            uint32_t length = 0;
            if (!readAll(requests, &length, sizeof length))
                _exit(0);
            arg.resize(length);
            if (length && !readAll(requests, arg.data(), length))
                _exit(0);
        }
        Reply reply{-1, 0};
        const pid_t pid = fork();
        if (pid == 0) {
            std::vector<char*> args;
            for (std::string& arg : argv)
                args.push_back(arg.data());
            args.push_back(nullptr);
            execv(args[0], args.data());
            _exit(127);
        }
        if (pid > 0) {
            int status = 0;
            struct rusage usage {};
            while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
            }
            reply.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            reply.maxRssKb = usage.ru_maxrss;
        }
        if (!writeAll(replies, &reply, sizeof reply))
            _exit(0);
    }
}

}

std::string PeakMemory::SelfPath()
{
    char path[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    return n > 0 ? std::string(path, size_t(n)) : std::string();
}

void PeakMemory::StartLauncher()
{
    int toLauncher[2], fromLauncher[2];
    if (pipe2(toLauncher, O_CLOEXEC) != 0 || pipe2(fromLauncher, O_CLOEXEC) != 0)
        return;
    const pid_t pid = fork();
    if (pid == 0) {
        ::close(toLauncher[1]);
        ::close(fromLauncher[0]);
        serve(toLauncher[0], fromLauncher[1]);
    }
    ::close(toLauncher[0]);
    ::close(fromLauncher[1]);
    if (pid < 0) {
        ::close(toLauncher[1]);
        ::close(fromLauncher[0]);
        return;
    }
    // A launcher that died must show as a failed run, not end the benchmark.
    signal(SIGPIPE, SIG_IGN);
    requestFd = toLauncher[1];
    replyFd = fromLauncher[0];
}

double PeakMemory::RunMB(const std::vector<std::string>& argv)
{
    Reply reply{-1, 0};
    bool sent = requestFd >= 0;
    const uint32_t count = uint32_t(argv.size());
    sent = sent && writeAll(requestFd, &count, sizeof count);
    for (const std::string& arg : argv) {
        const uint32_t length = uint32_t(arg.size());
        sent = sent && writeAll(requestFd, &length, sizeof length) && writeAll(requestFd, arg.data(), length);
    }
    if (!sent || !readAll(replyFd, &reply, sizeof reply) || reply.status != 0) {
        std::printf("warning: %s %s failed (status %d)\n", argv.at(0).c_str(),
                    argv.size() > 1 ? argv[1].c_str() : "", int(reply.status));
        return -1;
    }
    return double(reply.maxRssKb) / 1024.0;
}
