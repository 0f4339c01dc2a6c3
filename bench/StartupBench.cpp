// Start-up of the real program: from starting the process until its main
// window is on the screen after the splash, and the process's peak memory,
// beside a bare Qt main window started the same way.
//
// The program measured is the benchmark's own copy of veltrano, whose splash
// steps pass at once and which ends as soon as its main window is mapped.
// Each run gets a fresh home, data and runtime folder, so the one-copy guard
// and the offer of unsaved records start from nothing and no file of the
// user's is touched.
//
// Run by hand, on the screen or without one:
//   QT_QPA_PLATFORM=offscreen ./build/bin/startup_bench --benchmark_enable_random_interleaving=true
//   xvfb-run -a ./build/bin/startup_bench --benchmark_enable_random_interleaving=true

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

struct Run {
    double mappedMs = 0;
    double peakMiB = 0;
};

struct Figures {
    std::vector<double> mappedMs;
    std::vector<double> peakMiB;
};

std::map<std::string, Figures>& figures()
{
    static std::map<std::string, Figures> all;
    return all;
}

// A fresh folder for the run's home, data, configuration and runtime folders.
std::string freshHome()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "veltrano-startup-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("no temporary folder");
    return pattern;
}

Run startAndWaitForMapping(const char* program)
{
    const std::string home = freshHome();
    auto replaced = [](const std::string& entry) {
        for (const char* name : {"HOME=", "XDG_DATA_HOME=", "XDG_CONFIG_HOME=", "XDG_RUNTIME_DIR=", "XDG_CACHE_HOME="})
            if (entry.rfind(name, 0) == 0)
                return true;
        return false;
    };
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        if (!replaced(*e))
            env.emplace_back(*e);
    env.push_back("HOME=" + home);
    env.push_back("XDG_DATA_HOME=" + home + "/data");
    env.push_back("XDG_CONFIG_HOME=" + home + "/config");
    env.push_back("XDG_CACHE_HOME=" + home + "/cache");
    env.push_back("XDG_RUNTIME_DIR=" + home);
    std::vector<char*> envp;
    for (std::string& entry : env)
        envp.push_back(entry.data());
    envp.push_back(nullptr);

    int out[2];
    if (::pipe(out) != 0)
        throw std::runtime_error("no pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, out[1]);
    std::string path = program;
    char* argv[] = {path.data(), nullptr};

    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = ::posix_spawn(&pid, program, &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    if (spawned != 0) {
        ::close(out[0]);
        throw std::runtime_error(std::string("cannot start ") + program + ": " + std::strerror(spawned));
    }

    // The child says "mapped" once its main window is on the screen.
    std::string said;
    char buf[64];
    double mappedMs = -1;
    for (ssize_t n; (n = ::read(out[0], buf, sizeof buf)) > 0;) {
        said.append(buf, static_cast<std::size_t>(n));
        if (mappedMs < 0 && said.find("mapped\n") != std::string::npos)
            mappedMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    }
    ::close(out[0]);

    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    std::error_code ec;
    std::filesystem::remove_all(home, ec);
    if (mappedMs < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error(std::string(program) + " did not map its window and end normally");
    return {mappedMs, static_cast<double>(usage.ru_maxrss) / 1024.0}; // ru_maxrss is in KiB
}

void startUp(benchmark::State& state, const char* name, const char* program)
{
    Figures& f = figures()[name];
    for (auto _ : state) {
        Run run;
        try {
            run = startAndWaitForMapping(program);
        } catch (const std::exception& e) {
            state.SkipWithError(e.what());
            return;
        }
        state.SetIterationTime(run.mappedMs / 1000.0);
        f.mappedMs.push_back(run.mappedMs);
        f.peakMiB.push_back(run.peakMiB);
    }
    if (!f.peakMiB.empty())
        state.counters["peak_MiB"] = *std::max_element(f.peakMiB.begin(), f.peakMiB.end());
}

void BM_MainWindowMapped(benchmark::State& state) { startUp(state, "program", VELTRANO_STARTUP_PROGRAM); }
void BM_BareWindowMapped(benchmark::State& state) { startUp(state, "bare", VELTRANO_BARE_WINDOW); }

// Five starts per repetition; with --benchmark_enable_random_interleaving=true
// the repetitions of both alternate, so that the machine's load falls on both alike.
BENCHMARK(BM_BareWindowMapped)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(4);
BENCHMARK(BM_MainWindowMapped)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(4);

double median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    const Figures& program = figures()["program"];
    const Figures& bare = figures()["bare"];
    if (program.mappedMs.empty() || bare.mappedMs.empty())
        return 0;
    const double programMs = median(program.mappedMs), bareMs = median(bare.mappedMs);
    const double programMiB = median(program.peakMiB), bareMiB = median(bare.peakMiB);
    std::printf("\nmedians over %zu and %zu starts\n", program.mappedMs.size(), bare.mappedMs.size());
    std::printf("main window mapped: %.1f ms, bare Qt window: %.1f ms, ratio %.2f\n", programMs, bareMs,
                programMs / bareMs);
    std::printf("peak memory:        %.1f MiB, bare Qt window: %.1f MiB, ratio %.2f\n", programMiB, bareMiB,
                programMiB / bareMiB);
    return 0;
}
