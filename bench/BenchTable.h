#pragma once
#include <functional>
#include <string>
#include <vector>

// Runs scenarios as pairs, ours and the reference, interleaved so that both see the
// same machine load, and prints their medians and ratio. Timings are wall-clock ms.
struct BenchScenario {
    std::string name;
    std::function<void()> ours;
    std::function<void()> reference;
    int runs = 7;
};

struct BenchResult {
    std::string name;
    double oursMs;
    double referenceMs;
};

BenchResult RunScenario(const BenchScenario& scenario);
void PrintTable(const std::vector<BenchResult>& results);
double MedianMs(std::vector<double> samples);
double TimeMs(const std::function<void()>& work);
