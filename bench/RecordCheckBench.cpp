// Speed of the inspection record: a record of 1,000 welds with 10 findings
// each, read, judged against the shipped catalogue and written as the JSON
// of --check, step by step and as the whole check of a file.
#include "catalogue/Catalogue.h"
#include "record/CatalogueRows.h"
#include "record/Check.h"
#include "record/RecordFile.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

using namespace veltrano;
using namespace veltrano::record;

namespace {

// Welds of both seam types and all levels, with findings over the whole
// catalogue: formula rows, angles, short imperfections and verdict texts.
std::string bigRecord()
{
    std::ostringstream s;
    s << R"({"format":"veltrano-record","version":1,"inspection":{"order":"A-4711"},"welds":[)";
    for (int w = 0; w < 1000; ++w) {
        s << (w ? "," : "") << R"({"id":"N)" << w << R"(","seam":")" << (w % 2 ? "fillet" : "butt") << R"(","level":")"
          << "BCD"[w % 3] << R"(","t":)" << 3 + (w % 40) * 0.25 << R"(,"l":)" << 50 + w % 200
          << R"(,"b":12,"bw":2,"findings":[)";
        for (int f = 0; f < 10; ++f) {
            const int recNo = 1 + (w * 10 + f) % 89;
            s << (f ? "," : "") << R"({"record":)" << recNo << R"(,"value":")"
              << "0," << (w + f) % 100 << R"(","length":)" << (f * 3) % 30 << "}";
        }
        s << "]}";
    }
    s << "]}";
    return s.str();
}

class Fixture {
public:
    Fixture()
        : catalogue(VELTRANO_BENCH_CATALOGUE)
        , rows(catalogue)
        , text(bigRecord())
    {
        catalogue.Open();
        file = std::filesystem::temp_directory_path() / "veltrano-record-bench.json";
        std::ofstream(file, std::ios::binary) << text;
    }
    ~Fixture()
    {
        std::error_code ec;
        std::filesystem::remove(file, ec);
    }

    Catalogue catalogue;
    CatalogueRowsOf<Catalogue> rows;
    std::string text;
    std::filesystem::path file;
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

void BM_ParseRecord(benchmark::State& state)
{
    for (auto _ : state) {
        Record r = parseRecord(fixture().text, "bench.json");
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_ParseRecord)->Unit(benchmark::kMillisecond);

// One object of 200,000 members that this version does not know: every key
// is checked against the others of its object, which must stay linear.
void BM_ParseManyMembers(benchmark::State& state)
{
    std::string text = R"({"format":"veltrano-record","version":1,"welds":[],"x-many":{)";
    for (int i = 0; i < 200000; ++i)
        text += (i ? ",\"k" : "\"k") + std::to_string(i) + "\":" + std::to_string(i);
    text += "}}";
    for (auto _ : state) {
        Record r = parseRecord(text, "bench.json");
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_ParseManyMembers)->Unit(benchmark::kMillisecond);

void BM_JudgeRecord(benchmark::State& state)
{
    const Record r = parseRecord(fixture().text, "bench.json");
    for (auto _ : state) {
        RecordVerdict v = judgeRecord(r, fixture().rows);
        benchmark::DoNotOptimize(v);
    }
}
BENCHMARK(BM_JudgeRecord)->Unit(benchmark::kMillisecond);

void BM_SaveFormOfRecord(benchmark::State& state)
{
    const Record r = parseRecord(fixture().text, "bench.json");
    for (auto _ : state) {
        std::string s = serializeRecord(r);
        benchmark::DoNotOptimize(s);
    }
}
BENCHMARK(BM_SaveFormOfRecord)->Unit(benchmark::kMillisecond);

// The whole `--check FILE --format json`: read the file, judge, write.
void BM_CheckRecordFile(benchmark::State& state)
{
    CheckOptions options;
    options.format = CheckOptions::Format::Json;
    for (auto _ : state) {
        std::ostringstream out, err;
        const int status = checkRecordFile(fixture().file, fixture().rows, options, out, err);
        benchmark::DoNotOptimize(status);
        if (!err.str().empty())
            state.SkipWithError(err.str().c_str());
    }
    state.counters["findings"] = 10000;
}
BENCHMARK(BM_CheckRecordFile)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
