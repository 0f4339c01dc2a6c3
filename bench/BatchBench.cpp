// The batch mode of veltrano-limits: welds per CPU-second through the whole
// path (reading the JSON line, evaluating all records, writing the answer),
// beside the evaluation of the same welds alone.

#include "Batch.h"
#include "catalogue/Recalculation.h"

#include <benchmark/benchmark.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

using veltrano::QualityLevel;
using veltrano::WeldInput;

// A spread of welds: both seam types, all levels, thin and thick, options.
std::vector<veltrano::limits::BatchWeld> sampleWelds()
{
    std::vector<veltrano::limits::BatchWeld> welds;
    for (int i = 0; i < 600; ++i) {
        veltrano::limits::BatchWeld w;
        w.weld.seamType = i % 2;
        w.level = static_cast<QualityLevel>(1 + i % 3);
        w.weld.t = 0.5f * static_cast<float>(1 + (i * 7) % 200);
        w.weld.l = static_cast<float>(1 + (i * 37) % 1000);
        w.weld.b = static_cast<float>(1 + (i * 11) % 100);
        w.weld.bw = 1.0f + 0.5f * static_cast<float>((i * 5) % 98);
        w.weld.welderTest = i % 17 == 0;
        w.weld.railBridge = i % 13 == 0;
        welds.push_back(w);
    }
    return welds;
}

// Counts what the batch writes and keeps nothing, as a pipe to a reader would.
class CountingBuffer : public std::streambuf {
public:
    std::size_t count = 0;

protected:
    std::streamsize xsputn(const char*, std::streamsize n) override
    {
        count += static_cast<std::size_t>(n);
        return n;
    }
    int_type overflow(int_type c) override
    {
        ++count;
        return traits_type::not_eof(c);
    }
};

std::string number(float v)
{
    std::string s = std::to_string(static_cast<int>(v));
    if (v != static_cast<float>(static_cast<int>(v)))
        s += ".5";
    return s;
}

std::string batchInput(const std::vector<veltrano::limits::BatchWeld>& welds)
{
    std::string in;
    for (const auto& w : welds) {
        in += std::string("{\"seam\":\"") + (w.weld.seamType == 0 ? "butt" : "fillet") + "\",\"level\":\"" +
              "BCD"[static_cast<int>(w.level) - 1] + "\",\"t\":" + number(w.weld.t) + ",\"l\":" + number(w.weld.l) +
              ",\"b\":" + number(w.weld.b) + ",\"bw\":" + number(w.weld.bw) +
              ",\"welder_test\":" + (w.weld.welderTest ? "true" : "false") +
              ",\"rail_bridge\":" + (w.weld.railBridge ? "true" : "false") + "}\n";
    }
    return in;
}

void BM_EvaluationAlone(benchmark::State& state)
{
    veltrano::Recalculation recalculation(VELTRANO_BENCH_CATALOGUE, ",");
    const auto welds = sampleWelds();
    for (auto _ : state) {
        for (const auto& w : welds)
            recalculation.evaluate(w.weld, w.level);
        benchmark::DoNotOptimize(recalculation.state().aResult.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(welds.size()));
    state.SetLabel("items = welds");
}
BENCHMARK(BM_EvaluationAlone)->Unit(benchmark::kMillisecond);

void BM_BatchPath(benchmark::State& state)
{
    veltrano::Recalculation recalculation(VELTRANO_BENCH_CATALOGUE, ",");
    const auto welds = sampleWelds();
    const std::string input = batchInput(welds);
    std::size_t bytes = 0;
    for (auto _ : state) {
        std::istringstream in(input);
        CountingBuffer sink;
        std::ostream out(&sink);
        veltrano::limits::runBatch(in, out, recalculation);
        bytes = sink.count;
        benchmark::DoNotOptimize(bytes);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(welds.size()));
    state.SetLabel("items = welds, " + std::to_string(bytes / welds.size()) + " bytes out per weld");
}
BENCHMARK(BM_BatchPath)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
