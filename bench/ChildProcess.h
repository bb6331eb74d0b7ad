#pragma once
#include <string>
#include <vector>

// Runs a reference command (argv[0] is looked up on PATH) with its output thrown away and
// returns its wall time in ms, from just before the start to the end of the wait: what a
// user of that command pays. Prints a warning and returns -1 when it does not exit with 0.
double TimeChildMs(const std::vector<std::string>& argv);

// Runs argv (argv[0] a path) and returns the ms from just before its start to the moment
// it prints on its standard output, as a CLOCK_MONOTONIC time in ns (MonotonicNs), what it
// times; what the child does after that (closing down) is not counted. -1, with a
// warning, when it prints nothing or does not exit with 0.
double TimeToMarkMs(const std::vector<std::string>& argv);
// The CLOCK_MONOTONIC clock, shared by every process on the machine.
long long MonotonicNs();
