// Speed of the evaluation core: the number formatter against the C library's
// fixed-point conversion, and a whole 89-record pass at each level through the
// catalogue, the driver and the recalculation walk.
#include "catalogue/Recalculation.h"
#include "evaluation/FormatFixed.h"
#include "evaluation/LimitText.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <vector>

using namespace veltrano;

namespace {

std::vector<long double> sampleValues()
{
    std::vector<long double> v;
    for (int i = 1; i <= 2000; ++i)
        v.push_back(static_cast<long double>(i) * 0.15L + 0.2L);
    return v;
}

void BM_FormatFixed(benchmark::State& state)
{
    std::vector<Significand18> values;
    for (long double x : sampleValues())
        values.push_back(Significand18::fromDecimal(Decimal(static_cast<std::int64_t>(x * 100 + 0.5L), 2)));
    std::size_t i = 0;
    for (auto _ : state) {
        std::string s = FormatFixed(values[i], 2, 1, ",");
        benchmark::DoNotOptimize(s);
        i = (i + 1) % values.size();
    }
}
BENCHMARK(BM_FormatFixed);

void BM_Snprintf(benchmark::State& state)
{
    const std::vector<long double> values = sampleValues();
    std::size_t i = 0;
    char buf[64];
    for (auto _ : state) {
        std::snprintf(buf, sizeof buf, "%.1Lf", values[i]);
        std::string s(buf);
        benchmark::DoNotOptimize(s);
        i = (i + 1) % values.size();
    }
}
BENCHMARK(BM_Snprintf);

void BM_FullPass(benchmark::State& state)
{
    const auto level = static_cast<QualityLevel>(state.range(0));
    Recalculation recalculation(VELTRANO_BENCH_CATALOGUE, ",");
    WeldInput weld; // butt weld, t 10, l 100, b 12, bw 2
    for (auto _ : state) {
        auto results = recalculation.run(weld, level);
        benchmark::DoNotOptimize(results);
    }
    state.SetLabel(level == QualityLevel::B ? "level B" : level == QualityLevel::C ? "level C" : "level D");
}
BENCHMARK(BM_FullPass)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
