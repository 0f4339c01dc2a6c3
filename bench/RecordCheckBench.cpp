// Speed of the inspection record: a record of 1,000 welds with 10 findings
// each, read, judged against the shipped catalogue and written as the JSON
// of --check, step by step and as the whole check of a file.  Then the real
// `veltrano-limits --check` on records of 10^3, 10^4 and 10^5 findings: its
// time and its peak memory, beside the floor of `veltrano-limits --version`,
// as (peak - floor) / file size.  VELTRANO_BENCH_BASELINE_TOOL names another
// build of the tool to be measured in the same run, e.g. an older one.
#include "catalogue/Catalogue.h"
#include "record/CatalogueRows.h"
#include "record/Check.h"
#include "record/RecordFile.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

using namespace veltrano;
using namespace veltrano::record;

namespace {

// Welds of both seam types and all levels, with findings over the whole
// catalogue: formula rows, angles, short imperfections and verdict texts.
std::string bigRecord(int welds = 1000)
{
    std::ostringstream s;
    s << R"({"format":"veltrano-record","version":1,"inspection":{"order":"A-4711"},"welds":[)";
    for (int w = 0; w < welds; ++w) {
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

// ---- the real tool as a child process ----------------------------------------

// A child's peak memory counts the memory of the process it was started
// from, so the tool is started by a small launcher, forked before the bench
// builds any record.  The launcher reads one command per request (arguments
// separated by NUL, the list ended by an empty one) and answers with the
// exit status, the peak resident size in KiB and the wall time in ns.
struct ChildRun {
    long status = -1;
    long peakKiB = 0;
    long long nanoseconds = 0;
};

class Launcher {
public:
    void start()
    {
        int toChild[2], fromChild[2];
        if (pipe(toChild) != 0 || pipe(fromChild) != 0)
            std::abort();
        m_pid = fork();
        if (m_pid == 0) {
            close(toChild[1]);
            close(fromChild[0]);
            serve(toChild[0], fromChild[1]);
            _exit(0);
        }
        close(toChild[0]);
        close(fromChild[1]);
        m_to = toChild[1];
        m_from = fromChild[0];
    }

    ~Launcher()
    {
        if (m_pid > 0) {
            close(m_to);
            close(m_from);
            waitpid(m_pid, nullptr, 0);
        }
    }

    ChildRun run(const std::vector<std::string>& args) const
    {
        std::string request;
        for (const std::string& a : args)
            request += a + '\0';
        request += '\0';
        if (!writeAll(m_to, request.data(), request.size()))
            std::abort();
        ChildRun r;
        if (!readAll(m_from, &r, sizeof r))
            std::abort();
        return r;
    }

private:
    static bool writeAll(int fd, const void* data, std::size_t n)
    {
        const char* p = static_cast<const char*>(data);
        while (n) {
            const ssize_t w = write(fd, p, n);
            if (w <= 0)
                return false;
            p += w;
            n -= static_cast<std::size_t>(w);
        }
        return true;
    }

    static bool readAll(int fd, void* data, std::size_t n)
    {
        char* p = static_cast<char*>(data);
        while (n) {
            const ssize_t r = read(fd, p, n);
            if (r <= 0)
                return false;
            p += r;
            n -= static_cast<std::size_t>(r);
        }
        return true;
    }

    static void serve(int in, int out)
    {
        std::string pending;
        char buffer[4096];
        for (;;) {
            const std::size_t end = pending.find(std::string("\0\0", 2));
            if (end == std::string::npos) {
                const ssize_t n = read(in, buffer, sizeof buffer);
                if (n <= 0)
                    return;
                pending.append(buffer, static_cast<std::size_t>(n));
                continue;
            }
            std::vector<std::string> args;
            for (std::size_t at = 0; at <= end; at = pending.find('\0', at) + 1)
                args.emplace_back(pending.c_str() + at);
            pending.erase(0, end + 2);
            const ChildRun r = spawn(args);
            writeAll(out, &r, sizeof r);
        }
    }

    static ChildRun spawn(const std::vector<std::string>& args)
    {
        std::vector<char*> argv;
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        ChildRun r;
        const auto start = std::chrono::steady_clock::now();
        pid_t pid = 0;
        if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
            int status = 0;
            rusage usage{};
            if (wait4(pid, &status, 0, &usage) == pid) {
                r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
                r.peakKiB = usage.ru_maxrss;
            }
        }
        r.nanoseconds =
            std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - start).count();
        posix_spawn_file_actions_destroy(&actions);
        return r;
    }

    pid_t m_pid = -1;
    int m_to = -1;
    int m_from = -1;
};

Launcher& launcher()
{
    static Launcher l;
    return l;
}

// Records as the program saves them (two blanks of indent, one member a
// line), of 10 findings a weld, in a folder of their own.
class RecordFiles {
public:
    RecordFiles()
    {
        std::random_device seed;
        m_folder = std::filesystem::temp_directory_path() / ("veltrano-check-bench-" + std::to_string(seed()));
        std::filesystem::create_directories(m_folder);
    }
    ~RecordFiles()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_folder, ec);
    }

    const std::filesystem::path& of(int findings)
    {
        auto& file = m_files[findings];
        if (file.empty()) {
            file = m_folder / ("record-" + std::to_string(findings) + ".json");
            std::ofstream(file, std::ios::binary)
                << serializeRecord(parseRecord(bigRecord(findings / 10), "bench.json"));
        }
        return file;
    }

private:
    std::filesystem::path m_folder;
    std::map<int, std::filesystem::path> m_files;
};

RecordFiles& recordFiles()
{
    static RecordFiles f;
    return f;
}

// state.range(0): findings; state.range(1): 1 for JSON, 0 for the table.
void checkWithTool(benchmark::State& state, const std::string& tool)
{
    const auto& file = recordFiles().of(static_cast<int>(state.range(0)));
    const double fileKiB = static_cast<double>(std::filesystem::file_size(file)) / 1024.0;
    const ChildRun floor = launcher().run({tool, "--version"});
    if (floor.status != 0) {
        state.SkipWithError(("cannot run " + tool).c_str());
        return;
    }
    long peakKiB = 0;
    for (auto _ : state) {
        const ChildRun r =
            launcher().run({tool, "--check", file.string(), "--format", state.range(1) ? "json" : "table"});
        if (r.status < 0 || r.status == 5) {
            state.SkipWithError("the check failed");
            return;
        }
        peakKiB = std::max(peakKiB, r.peakKiB);
        state.SetIterationTime(static_cast<double>(r.nanoseconds) * 1e-9);
    }
    state.counters["file_MiB"] = fileKiB / 1024.0;
    state.counters["peak_MiB"] = static_cast<double>(peakKiB) / 1024.0;
    state.counters["floor_MiB"] = static_cast<double>(floor.peakKiB) / 1024.0;
    state.counters["peak_over_file"] = static_cast<double>(peakKiB - floor.peakKiB) / fileKiB;
}

void registerToolBenchmarks(const std::string& name, const std::string& tool)
{
    benchmark::RegisterBenchmark(name.c_str(), [tool](benchmark::State& state) { checkWithTool(state, tool); })
        ->ArgNames({"findings", "json"})
        ->ArgsProduct({{1000, 10000, 100000}, {1, 0}})
        ->UseManualTime()
        ->Iterations(3)
        ->Unit(benchmark::kMillisecond);
}

} // namespace

int main(int argc, char** argv)
{
    launcher().start();
    registerToolBenchmarks("BM_ToolCheck", VELTRANO_BENCH_LIMITS_TOOL);
    if (const char* baseline = std::getenv("VELTRANO_BENCH_BASELINE_TOOL"))
        registerToolBenchmarks("BM_BaselineToolCheck", baseline);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
