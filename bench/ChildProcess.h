#pragma once
#include <string>
#include <vector>

// Runs a reference command (argv[0] is looked up on PATH) with its output thrown away and
// returns its wall time in ms, from just before the start to the end of the wait: what a
// user of that command pays. Prints a warning and returns -1 when it does not exit with 0.
double TimeChildMs(const std::vector<std::string>& argv);
