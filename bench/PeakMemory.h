#pragma once
#include <string>
#include <vector>

// Peak resident memory of a child process, from wait4()'s rusage (ru_maxrss). Children
// are started by a small launcher forked first thing in main, not by the benchmark: on
// Linux a child forked from a process carries that process's resident pages into its
// peak (fork copies them, vfork even passes on the parent's own peak at exec), which
// would drown the child's real figure once the benchmark holds big test images.
// Call StartLauncher once at the top of main, before any thread exists.
class PeakMemory {
public:
    static void StartLauncher();
    // This program's own path, for re-running it in a child mode.
    static std::string SelfPath();
    // Runs argv (argv[0] a path) through the launcher, waits, and returns the child's
    // peak resident memory in MiB; -1, with a warning, when it did not exit with 0.
    static double RunMB(const std::vector<std::string>& argv);
};
