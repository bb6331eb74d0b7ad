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
    if (samples.empty())
        return 0;
    std::sort(samples.begin(), samples.end());
    const size_t n = samples.size();
    return n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
}

BenchResult RunScenario(const BenchScenario& scenario)
{
    const auto settled = [&](const std::function<void()>& side) {
        return [&scenario, &side] {
            if (scenario.settle)
                scenario.settle();
            return TimeMs(side);
        };
    };
    return RunMeasured(scenario.name, "ms", scenario.runs, settled(scenario.ours), settled(scenario.reference),
                       scenario.target);
}

BenchResult RunMeasured(const std::string& name, const std::string& unit, int runs,
                        const std::function<double()>& ours, const std::function<double()>& reference,
                        BenchTarget target)
{
    std::printf("  running %s (%d runs each) ...\n", name.c_str(), runs);
    std::fflush(stdout);
    // One untimed round of each warms caches (page cache, allocator, fonts).
    ours();
    reference();
    std::vector<double> oursSamples, referenceSamples;
    for (int i = 0; i < runs; ++i) {
        oursSamples.push_back(ours());
        referenceSamples.push_back(reference());
    }
    return {name, MedianMs(oursSamples), MedianMs(referenceSamples), unit, target};
}

namespace {

std::string targetText(const BenchResult& r)
{
    char text[48];
    switch (r.target.kind) {
    case BenchTarget::Ratio:
        std::snprintf(text, sizeof text, "<=%.2fx %s", r.target.limit,
                      r.oursMs / r.referenceMs <= r.target.limit ? "met" : "MISSED");
        return text;
    case BenchTarget::Ours:
        std::snprintf(text, sizeof text, "<=%g %s %s", r.target.limit, r.unit.c_str(),
                      r.oursMs <= r.target.limit ? "met" : "MISSED");
        return text;
    case BenchTarget::None:
        break;
    }
    return "-";
}

}

void PrintTable(const std::vector<BenchResult>& results)
{
    std::printf("%-28s %12s %12s %5s %8s  %s\n", "scenario", "ours", "reference", "unit", "ratio", "target");
    for (const BenchResult& r : results)
        std::printf("%-28s %12.2f %12.2f %5s %8.3f  %s\n", r.name.c_str(), r.oursMs, r.referenceMs,
                    r.unit.c_str(), r.oursMs / r.referenceMs, targetText(r).c_str());
    for (const BenchResult& r : results)
        std::printf("BENCH %s %.3f %.3f %.3f\n", r.name.c_str(), r.oursMs, r.referenceMs,
                    r.oursMs / r.referenceMs);
    std::fflush(stdout);
}
