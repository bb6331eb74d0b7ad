#pragma once
#include <functional>
#include <string>
#include <utility>
#include <vector>

// What a scenario aims for: a ratio of ours to the reference, or a ceiling on ours alone
// (in the scenario's unit). Printed beside the numbers; nothing fails on it, since a
// shared machine's timings are evidence, not verdicts.
struct BenchTarget {
    enum Kind { None, Ratio, Ours };
    Kind kind = None;
    double limit = 0;
};

// Runs scenarios as pairs, ours and the reference, interleaved so that both see the
// same machine load, and prints their medians and ratio. Timings are wall-clock ms.
struct BenchScenario {
    BenchScenario(std::string name, std::function<void()> ours, std::function<void()> reference, int runs = 7)
        : name(std::move(name)), ours(std::move(ours)), reference(std::move(reference)), runs(runs)
    {
    }

    std::string name;
    std::function<void()> ours;
    std::function<void()> reference;
    int runs = 7;
    // Untimed, before every run of either side: lets background work of the last run end.
    std::function<void()> settle;
    BenchTarget target;
};

struct BenchResult {
    std::string name;
    double oursMs;      // the median of ours, in `unit`
    double referenceMs; // the median of the reference, in `unit`
    std::string unit = "ms";
    BenchTarget target;
};

BenchResult RunScenario(const BenchScenario& scenario);
// Like RunScenario for a measure other than the time taken: each side returns its value.
BenchResult RunMeasured(const std::string& name, const std::string& unit, int runs,
                        const std::function<double()>& ours, const std::function<double()>& reference,
                        BenchTarget target = {});
void PrintTable(const std::vector<BenchResult>& results);
double MedianMs(std::vector<double> samples);
double TimeMs(const std::function<void()>& work);
