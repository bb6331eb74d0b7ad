#include "BenchTable.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

double TimeMs(const std::function<void()>& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

double MedianMs(std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    const size_t n = samples.size();
    return n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
}

BenchResult RunScenario(const BenchScenario& scenario)
{
    // One untimed round of each warms caches (page cache, allocator, fonts).
    scenario.ours();
    scenario.reference();
    std::vector<double> ours, reference;
    for (int i = 0; i < scenario.runs; ++i) {
        ours.push_back(TimeMs(scenario.ours));
        reference.push_back(TimeMs(scenario.reference));
    }
    return {scenario.name, MedianMs(ours), MedianMs(reference)};
}

void PrintTable(const std::vector<BenchResult>& results)
{
    std::printf("%-28s %12s %14s %8s\n", "scenario", "ours (ms)", "reference (ms)", "ratio");
    for (const BenchResult& r : results)
        std::printf("%-28s %12.2f %14.2f %8.3f\n", r.name.c_str(), r.oursMs, r.referenceMs,
                    r.oursMs / r.referenceMs);
    for (const BenchResult& r : results)
        std::printf("BENCH %s %.3f %.3f %.3f\n", r.name.c_str(), r.oursMs, r.referenceMs,
                    r.oursMs / r.referenceMs);
    std::fflush(stdout);
}
